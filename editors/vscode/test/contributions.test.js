'use strict';
// What package.json and the grammar promise, checked against the assembler's
// own tables and against the error lines it prints.

const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('fs');
const path = require('path');

const root = path.join(__dirname, '..');
const manifest = JSON.parse(fs.readFileSync(path.join(root, 'package.json'), 'utf8'));
const samples = JSON.parse(fs.readFileSync(path.join(root, '..', 'test', 'error-lines.json'), 'utf8'));

function matcher(name) {
  const found = manifest.contributes.problemMatchers.find((m) => m.name === name);
  assert.ok(found, `problem matcher ${name}`);
  return found;
}

/// What VS Code takes from a line: the fields the pattern's indexes name,
/// and the matcher's own severity where the pattern gives none.
function apply(problemMatcher, line) {
  const { pattern } = problemMatcher;
  const m = new RegExp(pattern.regexp).exec(line);
  if (!m) return null;
  const at = (index) => (index === undefined ? undefined : m[index]);
  const column = at(pattern.column);
  return {
    file: at(pattern.file),
    lnum: Number(at(pattern.line)),
    col: column === undefined ? null : Number(column),
    severity: at(pattern.severity) ?? problemMatcher.severity ?? 'error',
    text: at(pattern.message),
  };
}

test('each problem matcher reads exactly the lines of its own form', () => {
  const forms = { gnu: matcher('zr17asm'), classic: matcher('zr17asm-classic') };
  for (const sample of samples) {
    for (const [form, problemMatcher] of Object.entries(forms)) {
      const got = apply(problemMatcher, sample.line);
      // A warning of -W reads the same in both forms.
      if (![sample.form].flat().includes(form)) {
        assert.equal(got, null, `${problemMatcher.name} must not read: ${sample.line}`);
        continue;
      }
      assert.deepEqual(
        got,
        {
          file: sample.file,
          lnum: sample.lnum,
          col: sample.col,
          severity: sample.vscode_severity ?? sample.severity,
          text: sample.text,
        },
        sample.line
      );
    }
  }
});

test('both matchers resolve file names against the workspace and report under one owner', () => {
  for (const name of ['zr17asm', 'zr17asm-classic']) {
    const problemMatcher = matcher(name);
    assert.deepEqual(problemMatcher.fileLocation, ['autoDetect', '${workspaceFolder}']);
    assert.equal(problemMatcher.owner, 'zr17asm');
  }
});

/// The keyword column of the assembler's instruction table.
function assemblerKeywords() {
  const table = fs.readFileSync(path.join(root, '..', '..', 'src', 'core', 'opcode_table.cc'), 'utf8');
  const keywords = [...table.matchAll(/^\s*\{OP_\w+,\s*"\w+",\s*"(\w+)",/gm)].map((m) => m[1]);
  assert.equal(keywords.length, 82, 'rows of the instruction table');
  return new Set(keywords);
}

/// The alternatives of every "(?i:a|b|...)" group in a regular expression.
function alternatives(regexp) {
  return [...regexp.matchAll(/\(\?i:([a-z0-9|]+)\)/g)].flatMap((m) => m[1].split('|'));
}

test('the grammar knows exactly the mnemonics of the instruction table', () => {
  const grammar = JSON.parse(fs.readFileSync(path.join(root, 'syntaxes', 'zr17asm.tmLanguage.json'), 'utf8'));
  const keywords = assemblerKeywords();
  const mnemonics = grammar.repository.mnemonics.patterns.flatMap((p) => alternatives(p.match));
  assert.deepEqual(new Set(mnemonics), keywords);
  assert.equal(mnemonics.length, keywords.size, 'no mnemonic listed twice');
  // A label can be any name but a mnemonic, a register or CONST.
  const notLabels = alternatives(grammar.repository['label-definition'].match);
  assert.deepEqual(new Set(notLabels), new Set([...keywords, 'const', 'x', 'y', 'z', 'r']));
});

test('the Vim syntax knows exactly the mnemonics of the instruction table', () => {
  const syntax = fs.readFileSync(path.join(root, '..', 'vim', 'syntax', 'zr17asm.vim'), 'utf8');
  const words = [...syntax.matchAll(/^syn(?:tax)? keyword zr17asm(?:Mnemonic|Jump)\s+(.*)$/gm)].flatMap((m) =>
    m[1].trim().split(/\s+/)
  );
  assert.deepEqual(new Set(words), assemblerKeywords());
  assert.equal(words.length, 82, 'no mnemonic listed twice');
});

test('VS Code and Vim recognise the same file extensions', () => {
  const [language] = manifest.contributes.languages;
  const ftdetect = fs.readFileSync(path.join(root, '..', 'vim', 'ftdetect', 'zr17asm.vim'), 'utf8');
  const globs = ftdetect.match(/^autocmd BufNewFile,BufRead\s+(\S+)/m)[1].split(',');
  assert.deepEqual(
    globs.map((glob) => glob.replace('*', '')).sort(),
    [...language.extensions].sort()
  );
});
