'use strict';
// Runs a built assembler on sources that provoke each kind of error line,
// in the classic form and with --diagnostics=gnu, and checks that the VS
// Code problem matcher of that form and the Vim errorformat read every line
// that names a source, with that name and a line number. Catches a change
// of the assembler's message forms that the editors would miss.
// Usage: node editors/test/live-check.js path/to/zr17_asm

const fs = require('fs');
const os = require('os');
const path = require('path');
const { spawnSync } = require('child_process');

const here = __dirname;
const manifest = JSON.parse(fs.readFileSync(path.join(here, '..', 'vscode', 'package.json'), 'utf8'));
const matchers = Object.fromEntries(manifest.contributes.problemMatchers.map((m) => [m.name, m]));

/// Each source provokes some of the forms; parse errors hide check errors,
/// so they come in separate files.
const sources = {
  'parse errors.asm': 'ORG 0\nnop\n5 5\nCONST f 0.75\n#include ""\n',
  'check errors.asm': 'ORG 0\nmove x\nskip 0\n',
  'comment.asm': 'ORG 0\nnop\n<COMMENT> never closed\n',
  'fatal.asm': 'ORG 0\n#define\n',
};

function vimLines(lines, dir) {
  const editor = ['vim', 'nvim'].find((name) => spawnSync(name, ['--version']).status === 0);
  if (!editor) throw new Error('neither vim nor nvim is installed');
  const input = path.join(dir, 'lines.txt');
  const output = path.join(dir, 'qf.json');
  fs.writeFileSync(input, lines.join('\n') + '\n');
  const flags = editor === 'vim' ? ['-N', '-u', 'NONE', '-i', 'NONE', '-Es'] : ['-u', 'NONE', '-i', 'NONE', '-Es'];
  const run = spawnSync(editor, [...flags, '-S', path.join(here, 'qf-lines.vim')], {
    env: { ...process.env, ZR17_LINES: input, ZR17_RESULT: output },
    stdio: ['ignore', 'ignore', 'inherit'],
  });
  if (run.status !== 0) throw new Error(`${editor} failed (${run.status})`);
  return JSON.parse(fs.readFileSync(output, 'utf8'));
}

function main() {
  const assembler = path.resolve(process.argv[2] || '');
  if (!process.argv[2] || !fs.existsSync(assembler)) throw new Error('usage: node live-check.js path/to/zr17_asm');
  const dir = path.join(fs.mkdtempSync(path.join(os.tmpdir(), 'zr17asm-live-')), 'dir with blanks');
  fs.mkdirSync(dir);
  const failures = [];
  let passed = 0;
  try {
    for (const [form, args, matcherName] of [
      ['classic', [], 'zr17asm-classic'],
      ['gnu', ['--diagnostics=gnu'], 'zr17asm'],
    ]) {
      const lines = [];
      const named = [];
      for (const [name, text] of Object.entries(sources)) {
        const file = path.join(dir, name);
        fs.writeFileSync(file, text);
        const run = spawnSync(assembler, [...args, file], { encoding: 'latin1', env: { ...process.env, SOURCE_DATE_EPOCH: '0' } });
        for (const line of `${run.stdout}${run.stderr}`.split('\n').filter(Boolean)) {
          lines.push(line);
          named.push(line.startsWith(file) ? file : null);
        }
      }
      const matcher = matchers[matcherName];
      const fromVim = vimLines(lines, path.dirname(dir));
      lines.forEach((line, i) => {
        const file = named[i];
        if (!file) return;
        const before = failures.length;
        const m = new RegExp(matcher.pattern.regexp).exec(line);
        if (!m || m[matcher.pattern.file] !== file || !(Number(m[matcher.pattern.line]) > 0)) {
          failures.push(`${matcherName} does not read: ${line}`);
        }
        const entry = fromVim[i];
        if (!entry || entry[0] !== 1 || entry[1] !== file || !(entry[2] > 0)) {
          failures.push(`Vim does not read (${JSON.stringify(entry)}): ${line}`);
        }
        if (failures.length === before) passed += 1;
      });
      const count = named.filter(Boolean).length;
      console.log(`${form}: ${lines.length} lines, ${count} name a source`);
      if (count === 0) failures.push(`${form}: no line names a source:\n    ${lines.join('\n    ')}`);
    }
  } finally {
    fs.rmSync(path.dirname(dir), { recursive: true, force: true });
  }
  for (const failure of failures) console.log(`  ${failure}`);
  console.log(`live: ${passed} passed, ${failures.length} failed`);
  if (failures.length > 0) process.exitCode = 1;
}

try {
  main();
} catch (error) {
  console.error(`live-check: ${error.message}`);
  process.exitCode = 1;
}
