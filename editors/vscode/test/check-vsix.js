'use strict';
// Unpacks a built .vsix and activates the packed extension under plain node
// with a stand-in editor API: proves that the package holds the client
// library with everything it loads, and that a missing server is a warning.
// Usage: node test/check-vsix.js zr17asm-X.Y.Z.vsix

const fs = require('fs');
const os = require('os');
const path = require('path');
const Module = require('module');
const yauzl = require('yauzl');

function unzip(file, into) {
  return new Promise((resolve, reject) => {
    yauzl.open(file, { lazyEntries: true }, (error, zip) => {
      if (error) return reject(error);
      zip.on('error', reject);
      zip.on('end', resolve);
      zip.on('entry', (entry) => {
        const target = path.join(into, entry.fileName);
        if (!target.startsWith(into + path.sep)) return reject(new Error(`unsafe entry ${entry.fileName}`));
        if (entry.fileName.endsWith('/')) {
          fs.mkdirSync(target, { recursive: true });
          return zip.readEntry();
        }
        fs.mkdirSync(path.dirname(target), { recursive: true });
        zip.openReadStream(entry, (streamError, stream) => {
          if (streamError) return reject(streamError);
          stream.pipe(fs.createWriteStream(target)).on('finish', () => zip.readEntry());
        });
      });
      zip.readEntry();
    });
  });
}

/// Any property is a callable, constructible stand-in, so that the client
/// library loads whatever it takes from the editor API at load time.
function anything() {
  const target = function stub() {};
  return new Proxy(target, {
    get: (_, key) => (key === 'then' ? undefined : key === Symbol.toPrimitive ? () => '' : anything()),
    apply: () => anything(),
    construct: () => anything(),
  });
}

async function main() {
  const vsix = process.argv[2];
  if (!vsix) throw new Error('usage: node test/check-vsix.js FILE.vsix');
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'zr17asm-vsix-'));
  try {
    await unzip(path.resolve(vsix), dir);
    const root = path.join(dir, 'extension');
    const manifest = JSON.parse(fs.readFileSync(path.join(root, 'package.json'), 'utf8'));
    for (const file of [manifest.main, ...manifest.contributes.grammars.map((g) => g.path),
      ...manifest.contributes.languages.map((l) => l.configuration)]) {
      if (!fs.existsSync(path.join(root, file))) throw new Error(`the package lacks ${file}`);
    }
    if (fs.existsSync(path.join(root, 'test'))) throw new Error('the package holds the tests');

    const warnings = [];
    const vscode = anything();
    const overrides = {
      workspace: {
        workspaceFolders: undefined,
        getConfiguration: () => ({ get: (key, fallback) => (key === 'server.path' ? path.join(dir, 'no_such_server') : fallback) }),
        onDidChangeConfiguration: () => ({ dispose() {} }),
      },
      window: {
        createOutputChannel: () => ({ appendLine() {}, dispose() {} }),
        showWarningMessage: async (message) => void warnings.push(message),
      },
      commands: { registerCommand: () => ({ dispose() {} }), executeCommand: async () => undefined },
    };
    const editor = new Proxy(vscode, { get: (target, key) => overrides[key] ?? target[key] });
    const original = Module._load;
    Module._load = function load(request, ...rest) {
      return request === 'vscode' ? editor : original.call(this, request, ...rest);
    };
    try {
      // The packed client library must load from the package's own node_modules.
      require(path.join(root, 'node_modules', 'vscode-languageclient', 'node'));
      const extension = require(path.join(root, manifest.main));
      await extension.activate({ subscriptions: [] });
      await extension.deactivate();
    } finally {
      Module._load = original;
    }
    if (warnings.length !== 1 || !/was not found/.test(warnings[0])) {
      throw new Error(`expected one "not found" warning, got ${JSON.stringify(warnings)}`);
    }
    console.log(`${path.basename(vsix)}: loads, warns once without a server`);
  } finally {
    fs.rmSync(dir, { recursive: true, force: true });
  }
}

main().catch((error) => {
  console.error(`check-vsix: ${error.stack || error}`);
  process.exit(1);
});
