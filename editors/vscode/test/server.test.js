'use strict';
// Finding the language server, and what the extension does with and without
// one. The editor API and the client library are stood in for: the tests
// run under plain node.

const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('fs');
const os = require('os');
const path = require('path');
const Module = require('module');

const { resolveServer, resolveIncludeDirs } = require('../src/server');

function tempDir(t) {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'zr17asm-'));
  t.after(() => fs.rmSync(dir, { recursive: true, force: true }));
  return dir;
}

function writeFile(file, mode) {
  fs.mkdirSync(path.dirname(file), { recursive: true });
  fs.writeFileSync(file, '#!/bin/sh\n');
  fs.chmodSync(file, mode);
  return file;
}

const posix = process.platform !== 'win32';

test('a bare name is found on PATH, the first executable one winning', { skip: !posix }, (t) => {
  const dir = tempDir(t);
  writeFile(path.join(dir, 'a', 'zr17_lsp'), 0o644); // not executable: skipped
  fs.mkdirSync(path.join(dir, 'b', 'zr17_lsp'), { recursive: true }); // a directory: skipped
  const server = writeFile(path.join(dir, 'c', 'zr17_lsp'), 0o755);
  writeFile(path.join(dir, 'd', 'zr17_lsp'), 0o755);
  const PATH = ['', 'a', 'b', 'c', 'd'].map((d) => (d ? path.join(dir, d) : '')).join(':');
  assert.equal(resolveServer('zr17_lsp', { env: { PATH }, platform: 'linux' }), server);
  assert.equal(resolveServer('', { env: { PATH }, platform: 'linux' }), server, 'empty setting: the default name');
  assert.equal(resolveServer('zr17_lsp', { env: { PATH: path.join(dir, 'a') }, platform: 'linux' }), undefined);
  assert.equal(resolveServer('zr17_lsp', { env: {}, platform: 'linux' }), undefined, 'no PATH at all');
});

test('a path is taken as it is, or from the workspace folder when relative', { skip: !posix }, (t) => {
  const dir = tempDir(t);
  const server = writeFile(path.join(dir, 'my tools', 'zr17_lsp'), 0o755);
  const where = { env: { PATH: '' }, platform: 'linux', baseDir: dir };
  assert.equal(resolveServer(server, where), server);
  assert.equal(resolveServer('my tools/zr17_lsp', where), server);
  assert.equal(resolveServer('./my tools/zr17_lsp', where), server);
  assert.equal(resolveServer('my tools/missing', where), undefined);
  // A name with a separator is never looked up on PATH.
  assert.equal(resolveServer('tools/zr17_lsp', { ...where, env: { PATH: path.join(dir, 'my tools') } }), undefined);
});

test('on Windows the PATHEXT extensions are tried, in Path, without an execute bit', () => {
  // Windows paths cannot be made here: a set of file names stands in for the disk.
  const files = new Set(['C:\\tools\\zr17_lsp.exe', 'D:\\proj\\bin\\zr17_lsp.cmd']);
  const isExecutable = (file, platform) => platform === 'win32' && files.has(file);
  const env = { Path: 'C:\\none;;C:\\tools', PATHEXT: '.COM;.EXE;.CMD' };
  const where = { env, platform: 'win32', baseDir: 'D:\\proj', isExecutable };
  assert.equal(resolveServer('zr17_lsp', where), 'C:\\tools\\zr17_lsp.exe');
  assert.equal(resolveServer('zr17_lsp.exe', where), 'C:\\tools\\zr17_lsp.exe');
  assert.equal(resolveServer('zr17_lsp.cmd', where), undefined, 'an extension of its own is kept');
  assert.equal(resolveServer('bin\\zr17_lsp', where), 'D:\\proj\\bin\\zr17_lsp.cmd');
  assert.equal(resolveServer('C:\\tools\\zr17_lsp', where), 'C:\\tools\\zr17_lsp.exe');
  assert.equal(resolveServer('zr17_lsp', { ...where, env: { PATH: 'C:\\tools' } }), 'C:\\tools\\zr17_lsp.exe', 'default PATHEXT');
});

test('include folders become absolute; empty entries and non-strings are dropped', () => {
  assert.deepEqual(
    resolveIncludeDirs(['lib', '/opt/zr17/inc', '', '  ', 7, '../shared'], { platform: 'linux', baseDir: '/work/proj' }),
    ['/work/proj/lib', '/opt/zr17/inc', '/work/shared']
  );
  assert.deepEqual(
    resolveIncludeDirs(['lib', 'C:\\zr17\\inc', '\\\\server\\share\\inc'], { platform: 'win32', baseDir: 'D:\\proj' }),
    ['D:\\proj\\lib', 'C:\\zr17\\inc', '\\\\server\\share\\inc']
  );
  assert.deepEqual(resolveIncludeDirs(['lib'], { platform: 'linux' }), ['lib'], 'no workspace: kept as written');
  assert.deepEqual(resolveIncludeDirs(undefined, { platform: 'linux' }), []);
});

/// Loads src/extension.js against stand-ins for the editor API and the
/// client library, recording what the extension asks of them.
function loadExtension({ settings, startFails = false, baseDir }) {
  const seen = { warnings: [], clients: [], lines: [], commands: [] };
  const vscode = {
    workspace: {
      workspaceFolders: baseDir ? [{ uri: { scheme: 'file', fsPath: baseDir } }] : undefined,
      getConfiguration: () => ({ get: (key, fallback) => (key in settings ? settings[key] : fallback) }),
      onDidChangeConfiguration: () => ({ dispose() {} }),
    },
    window: {
      createOutputChannel: () => ({ appendLine: (line) => seen.lines.push(line), dispose() {} }),
      showWarningMessage: async (message) => {
        seen.warnings.push(message);
        return undefined;
      },
    },
    commands: {
      registerCommand: (name) => {
        seen.commands.push(name);
        return { dispose() {} };
      },
      executeCommand: async () => undefined,
    },
  };
  class LanguageClient {
    constructor(id, name, serverOptions, clientOptions) {
      Object.assign(this, { id, serverOptions, clientOptions, state: 'new' });
      seen.clients.push(this);
    }
    async start() {
      if (startFails) throw new Error('spawn EACCES');
      this.state = 'running';
    }
    async stop() {
      this.state = 'stopped';
    }
    async dispose() {
      this.state = 'disposed';
    }
  }
  const stubs = {
    vscode,
    'vscode-languageclient/node': { LanguageClient, TransportKind: { stdio: 0 } },
  };
  const file = require.resolve('../src/extension');
  delete require.cache[file];
  const original = Module._load;
  Module._load = function load(request, ...rest) {
    return request in stubs ? stubs[request] : original.call(this, request, ...rest);
  };
  try {
    return { extension: require(file), seen };
  } finally {
    Module._load = original;
  }
}

const context = () => ({ subscriptions: [] });

test('without a server the extension warns once and starts no client', async (t) => {
  const dir = tempDir(t);
  const { extension, seen } = loadExtension({ settings: { 'server.path': path.join(dir, 'zr17_lsp') } });
  await extension.activate(context());
  assert.equal(seen.clients.length, 0);
  assert.equal(seen.warnings.length, 1);
  assert.match(seen.warnings[0], /language server ".*zr17_lsp" was not found/);
  assert.deepEqual(seen.commands, ['zr17asm.restartServer']);
  await extension.deactivate();
});

test('a found server is started over stdio with the include folders', { skip: !posix }, async (t) => {
  const dir = tempDir(t);
  const server = writeFile(path.join(dir, 'bin', 'zr17_lsp'), 0o755);
  const { extension, seen } = loadExtension({
    settings: { 'server.path': 'bin/zr17_lsp', includeDirs: ['lib', '/opt/inc'] },
    baseDir: dir,
  });
  await extension.activate(context());
  assert.equal(seen.warnings.length, 0);
  assert.equal(seen.clients.length, 1);
  const [client] = seen.clients;
  assert.equal(client.state, 'running');
  assert.equal(client.serverOptions.command, server);
  assert.deepEqual(client.clientOptions.initializationOptions, { includeDirs: [path.join(dir, 'lib'), '/opt/inc'] });
  assert.deepEqual(
    client.clientOptions.documentSelector.map((s) => s.language),
    ['zr17asm', 'zr17asm']
  );
  await extension.deactivate();
  assert.equal(client.state, 'stopped');
});

test('a server that fails to start is reported and released', { skip: !posix }, async (t) => {
  const dir = tempDir(t);
  writeFile(path.join(dir, 'zr17_lsp'), 0o755);
  const { extension, seen } = loadExtension({
    settings: { 'server.path': path.join(dir, 'zr17_lsp') },
    startFails: true,
  });
  await extension.activate(context());
  assert.equal(seen.warnings.length, 1);
  assert.match(seen.warnings[0], /could not be started: spawn EACCES/);
  assert.equal(seen.clients[0].state, 'disposed');
  await extension.deactivate(); // nothing running: must not throw
});
