'use strict';
// Starts the zr17_lsp language server for ZR17 assembler sources. Syntax
// highlighting and the problem matchers need none of this: without a server
// the extension says so once and keeps out of the way.

const vscode = require('vscode');
const { LanguageClient, TransportKind } = require('vscode-languageclient/node');
const { resolveServer, resolveIncludeDirs } = require('./server');

let client;
let output;

function baseDir() {
  const folder = vscode.workspace.workspaceFolders && vscode.workspace.workspaceFolders[0];
  return folder && folder.uri.scheme === 'file' ? folder.uri.fsPath : undefined;
}

async function offerSettings(message) {
  const choice = await vscode.window.showWarningMessage(message, 'Open Settings');
  if (choice === 'Open Settings') {
    await vscode.commands.executeCommand('workbench.action.openSettings', 'zr17asm.server.path');
  }
}

async function startClient() {
  const config = vscode.workspace.getConfiguration('zr17asm');
  const configured = config.get('server.path', 'zr17_lsp');
  const where = { env: process.env, platform: process.platform, baseDir: baseDir() };
  const command = resolveServer(configured, where);
  if (!command) {
    output.appendLine(`Language server "${configured}" not found; highlighting only.`);
    void offerSettings(
      `ZR17: the language server "${configured}" was not found. ` +
        'Highlighting works without it; set "zr17asm.server.path" to use it.'
    );
    return;
  }

  const serverOptions = { command, args: [], transport: TransportKind.stdio };
  const clientOptions = {
    documentSelector: [
      { scheme: 'file', language: 'zr17asm' },
      { scheme: 'untitled', language: 'zr17asm' },
    ],
    initializationOptions: {
      includeDirs: resolveIncludeDirs(config.get('includeDirs', []), where),
    },
    outputChannel: output,
  };
  const candidate = new LanguageClient('zr17asm', 'ZR17 Language Server', serverOptions, clientOptions);
  try {
    await candidate.start();
    client = candidate;
  } catch (error) {
    // A server that exists but cannot start (no permission, crashes at once).
    output.appendLine(`Language server "${command}" failed to start: ${error && error.message}`);
    void offerSettings(`ZR17: the language server "${command}" could not be started: ${error && error.message}`);
    try {
      await candidate.dispose();
    } catch {
      // Already stopped: nothing to release.
    }
  }
}

async function stopClient() {
  const running = client;
  client = undefined;
  if (running) await running.stop();
}

async function restartClient() {
  await stopClient();
  await startClient();
}

async function activate(context) {
  output = vscode.window.createOutputChannel('ZR17 Language Server');
  context.subscriptions.push(output);
  context.subscriptions.push(vscode.commands.registerCommand('zr17asm.restartServer', restartClient));
  context.subscriptions.push(
    vscode.workspace.onDidChangeConfiguration((event) => {
      if (event.affectsConfiguration('zr17asm.server.path') || event.affectsConfiguration('zr17asm.includeDirs')) {
        void restartClient();
      }
    })
  );
  await startClient();
}

function deactivate() {
  return stopClient();
}

module.exports = { activate, deactivate };
