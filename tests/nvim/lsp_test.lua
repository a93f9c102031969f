-- Neovim's own LSP client (0.7 and later, no plugins) against zr17_lsp:
-- diagnostics of a two-file project, a definition across the include, a
-- hover, and diagnostics that follow an edit of the buffer. Run by run.sh,
-- which sets ZR17_LSP (the server) and ZR17_PROJECT (the project folder).
local server = vim.env.ZR17_LSP
local root = vim.env.ZR17_PROJECT
local timeout = 20000

local function wait_for(what, condition)
  if not vim.wait(timeout, condition, 20) then
    error('timed out waiting for ' .. what, 0)
  end
end

local function check(condition, message)
  if not condition then
    error(message, 0)
  end
end

local function test()
  vim.cmd('edit ' .. vim.fn.fnameescape(root .. '/main.asm'))
  local bufnr = vim.api.nvim_get_current_buf()
  local client_id = vim.lsp.start_client({
    name = 'zr17_lsp',
    cmd = { server },
    root_dir = root,
    init_options = { includeDirs = {}, defines = {} },
  })
  check(client_id, 'the client did not start')
  check(vim.lsp.buf_attach_client(bufnr, client_id), 'the buffer could not be attached')

  -- The error on line 4 of main.asm ("bogus"), and nothing else.
  wait_for('diagnostics', function()
    return #vim.diagnostic.get(bufnr) > 0
  end)
  local diagnostics = vim.diagnostic.get(bufnr)
  check(#diagnostics == 1, 'expected one diagnostic, got ' .. vim.inspect(diagnostics))
  check(diagnostics[1].lnum == 3 and diagnostics[1].col == 8,
        'diagnostic at the wrong place: ' .. vim.inspect(diagnostics[1]))
  check(diagnostics[1].severity == vim.diagnostic.severity.ERROR, 'not an error')
  check(diagnostics[1].message:find('bogus', 1, true), 'unexpected message: ' .. diagnostics[1].message)

  -- LIMIT on line 3 is declared in defs.inc.
  local params = {
    textDocument = { uri = vim.uri_from_bufnr(bufnr) },
    position = { line = 2, character = 17 },
  }
  local replies = vim.lsp.buf_request_sync(bufnr, 'textDocument/definition', params, timeout)
  check(replies and replies[client_id], 'no answer to textDocument/definition')
  check(not replies[client_id].err, 'definition failed: ' .. vim.inspect(replies[client_id].err))
  local result = replies[client_id].result
  local location = result and (result[1] or result)
  check(location and location.uri, 'no definition: ' .. vim.inspect(result))
  check(vim.uri_to_fname(location.uri) == root .. '/defs.inc', 'definition in the wrong file: ' .. location.uri)
  check(location.range.start.line == 1 and location.range.start.character == 6,
        'definition at the wrong place: ' .. vim.inspect(location.range))

  -- Hover on the constant: its value in decimal and hex.
  replies = vim.lsp.buf_request_sync(bufnr, 'textDocument/hover', params, timeout)
  local hover = replies and replies[client_id] and replies[client_id].result
  check(hover and hover.contents, 'no hover')
  local text = hover.contents.value or vim.inspect(hover.contents)
  check(text:find('0x0000000A', 1, true) and text:find('10', 1, true), 'hover without the value: ' .. text)

  -- Hover on the mnemonic: its operands from the instruction table.
  params.position = { line = 2, character = 9 }
  replies = vim.lsp.buf_request_sync(bufnr, 'textDocument/hover', params, timeout)
  hover = replies and replies[client_id] and replies[client_id].result
  text = hover and hover.contents and hover.contents.value or ''
  check(text:find('register', 1, true) and text:find('Size', 1, true), 'mnemonic hover: ' .. text)

  -- Fixing the line in the buffer (unsaved) clears the diagnostic.
  vim.api.nvim_buf_set_lines(bufnr, 3, 4, false, { '        nop' })
  wait_for('the diagnostics to clear', function()
    return #vim.diagnostic.get(bufnr) == 0
  end)

  vim.lsp.stop_client(client_id)
  wait_for('the server to stop', function()
    return vim.lsp.client_is_stopped(client_id)
  end)
end

local ok, err = pcall(test)
if not ok then
  io.stderr:write('FAIL: ' .. tostring(err) .. '\n')
  vim.cmd('cquit 1')
end
io.stdout:write('neovim lsp test: ok\n')
vim.cmd('qall!')
