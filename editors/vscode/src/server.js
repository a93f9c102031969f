'use strict';
// Finding the language server and building its start options. Kept apart
// from the editor API so that node's test runner can load it on its own.

const fs = require('fs');
const path = require('path');

/// A bare name is a command looked up on PATH; anything with a separator
/// (or a drive letter) is a path.
function isBareName(command, platform) {
  if (platform === 'win32') return !/[\\/:]/.test(command);
  return !command.includes('/');
}

function isExecutableFile(file, platform) {
  try {
    if (!fs.statSync(file).isFile()) return false;
    // Windows has no execute bit; the extension (PATHEXT) decides there.
    if (platform !== 'win32') fs.accessSync(file, fs.constants.X_OK);
    return true;
  } catch {
    return false;
  }
}

/// The names to try for one candidate path: as written, and on Windows with
/// each PATHEXT extension when it has none of its own.
function windowsVariants(file, env) {
  const pathext = (env.PATHEXT || '.COM;.EXE;.BAT;.CMD').split(';').filter(Boolean);
  if (path.win32.extname(file) !== '') return [file];
  return [file, ...pathext.map((ext) => file + ext.toLowerCase()), ...pathext.map((ext) => file + ext)];
}

function firstExecutable(file, where) {
  const { env, platform, isExecutable = isExecutableFile } = where;
  const candidates = platform === 'win32' ? windowsVariants(file, env) : [file];
  return candidates.find((candidate) => isExecutable(candidate, platform));
}

/**
 * Resolves the configured server to the file that would be started, or
 * returns undefined when there is none, so that the client can say so
 * instead of failing to spawn.
 * @param {string} configured  the setting's value ("zr17_lsp", "./bin/zr17_lsp", an absolute path)
 * @param {{env: object, platform: string, baseDir?: string, isExecutable?: Function}} where
 *   isExecutable(file, platform) replaces the file system check in tests
 */
function resolveServer(configured, where) {
  const { env, platform, baseDir } = where;
  const command = (configured || '').trim() || 'zr17_lsp';
  const paths = platform === 'win32' ? path.win32 : path.posix;
  if (!isBareName(command, platform)) {
    const file = paths.isAbsolute(command) ? command : paths.resolve(baseDir || process.cwd(), command);
    return firstExecutable(file, where);
  }
  // Windows spells the variable Path; node copies it under that name.
  const searchPath = env.PATH ?? env.Path ?? '';
  const delimiter = platform === 'win32' ? ';' : ':';
  for (const dir of searchPath.split(delimiter)) {
    if (dir === '') continue;
    const found = firstExecutable(paths.join(dir, command), where);
    if (found) return found;
  }
  return undefined;
}

/// Include folders as absolute paths: relative ones are taken from the
/// workspace folder, empty entries are dropped.
function resolveIncludeDirs(dirs, { platform, baseDir }) {
  const paths = platform === 'win32' ? path.win32 : path.posix;
  if (!Array.isArray(dirs)) return [];
  return dirs
    .filter((dir) => typeof dir === 'string' && dir.trim() !== '')
    .map((dir) => (paths.isAbsolute(dir) || !baseDir ? dir : paths.resolve(baseDir, dir)));
}

module.exports = { resolveServer, resolveIncludeDirs };
