#!/usr/bin/env python3
"""Protocol tests for zr17_lsp: each case starts the real executable on
pipes, drives it as an editor would and checks what comes back.
Usage: protocol_test.py PATH_TO_ZR17_LSP [PATH_TO_ZR17_ASM]"""
import json
import os
import pathlib
import shutil
import subprocess
import sys
import tempfile
import traceback
import urllib.parse

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from lsp_client import Client  # noqa: E402

SERVER = os.path.abspath(sys.argv[1])
# The assembler itself, to learn what it supports (optional).
ASSEMBLER = os.path.abspath(sys.argv[2]) if len(sys.argv) > 2 else None

MAIN = """; main program
#include "defs.inc"
        ORG 0
start:  clear x
        move x, LIMIT       ; LIMIT from defs.inc
loop:   incr x
        compare x, LIMIT
        gotoNE loop
        jsub helper
        goto start
#include <util.inc>
"""
DEFS = "CONST LIMIT 10\n#define FAST\n"
UTIL = "helper: nop\n        jsubret\n"


def uri(path):
    return pathlib.Path(path).as_uri()


def make_project(root):
    os.makedirs(os.path.join(root, "lib"))
    files = {"main.asm": MAIN, "defs.inc": DEFS, "lib/util.inc": UTIL}
    for name, text in files.items():
        with open(os.path.join(root, name), "w") as f:
            f.write(text)
    return {name: os.path.join(root, name) for name in files}


def start(root, options=None, capabilities=None):
    client = Client([SERVER], cwd=root)
    reply = client.request("initialize", {
        "processId": None, "rootUri": uri(root), "capabilities": capabilities or {},
        "initializationOptions": options or {}})
    client.notify("initialized", {})
    return client, reply


def open_doc(client, path, text=None):
    if text is None:
        text = open(path).read()
    client.notify("textDocument/didOpen", {"textDocument": {
        "uri": uri(path), "languageId": "zr17asm", "version": 1, "text": text}})


def pos(path, line, character):
    return {"textDocument": {"uri": uri(path)}, "position": {"line": line, "character": character}}


def change(client, path, text, version):
    client.notify("textDocument/didChange", {"textDocument": {"uri": uri(path), "version": version},
                                            "contentChanges": [{"text": text}]})


def last_published(messages, doc_uri):
    found = None
    for message in messages:
        if message.get("method") == "textDocument/publishDiagnostics" and message["params"]["uri"] == doc_uri:
            found = message["params"]["diagnostics"]
    return found


def assembler_honours(root, args):
    """Whether the assembler assembles with these arguments (in a scratch
    copy of the project, so that no output lands in it)."""
    if ASSEMBLER is None:
        return False
    with tempfile.TemporaryDirectory() as scratch:
        copy = os.path.join(scratch, "p")
        shutil.copytree(root, copy)
        args = [a.replace(root, copy) for a in args]
        return subprocess.run([ASSEMBLER] + args, cwd=copy, capture_output=True).returncode == 0


def shutdown(client):
    assert client.request("shutdown")["result"] is None
    client.notify("exit")
    code = client.close()
    assert code == 0, f"exit code {code} after shutdown"


def files_in(root):
    return sorted(str(p.relative_to(root)) for p in pathlib.Path(root).rglob("*"))


# The cases.

def test_initialize_capabilities(root):
    client, reply = start(root)
    caps = reply["result"]["capabilities"]
    assert reply["result"]["serverInfo"]["name"] == "zr17_lsp"
    assert caps["positionEncoding"] == "utf-16"
    assert caps["textDocumentSync"]["openClose"] is True
    assert caps["textDocumentSync"]["change"] == 2
    for name in ("definitionProvider", "referencesProvider", "hoverProvider", "documentSymbolProvider"):
        assert caps[name] is True, name
    assert "completionProvider" in caps
    shutdown(client)
    # A client that offers byte columns gets them.
    client, reply = start(root, capabilities={"general": {"positionEncodings": ["utf-8", "utf-16"]}})
    assert reply["result"]["capabilities"]["positionEncoding"] == "utf-8"
    shutdown(client)


def test_diagnostics_clean_program_and_no_files_written(root):
    paths = make_project(root)
    before = files_in(root)
    client, _ = start(root)
    open_doc(client, paths["main.asm"])
    assert client.diagnostics(uri(paths["main.asm"])) == []
    shutdown(client)
    assert files_in(root) == before, "the server wrote files"


def test_diagnostics_ranges_and_clearing(root):
    path = os.path.join(root, "bad.asm")
    text = ("        ORG 0\n        move x,, 1\n  nop 3.99999999999\nfoo\n"
            "<COMMENT>\xe4\U0001F600<ENDCOMMENT> nop 2.99999999999\n")
    with open(path, "w") as f:
        f.write("        ORG 0\n")
    client, _ = start(root)
    open_doc(client, path, text)
    diags = client.diagnostics(uri(path))
    got = sorted((d["range"]["start"]["line"], d["range"]["start"]["character"],
                  d["range"]["end"]["character"], d["severity"], d["code"]) for d in diags)
    assert got == [
        (1, 14, 15, 1, "grammar-error"),       # the misplaced comma
        (2, 6, 19, 1, "float-out-of-range"),  # the number, to its end
        (3, 0, 3, 1, "grammar-error"),         # the unknown word
        # Columns count UTF-16 units: "ä" and the emoji take 6 bytes but 3 units.
        (4, 29, 42, 1, "float-out-of-range"),
    ], got
    assert all(d["source"] == "zr17_asm" and d["message"] for d in diags)
    # Fixed in the buffer: the messages go (the file on disk says nothing).
    client.notify("textDocument/didChange", {"textDocument": {"uri": uri(path), "version": 2},
                                            "contentChanges": [{"text": "        ORG 0\n        nop\n"}]})
    assert client.diagnostics(uri(path)) == []
    shutdown(client)


def test_incremental_change(root):
    paths = make_project(root)
    client, _ = start(root)
    open_doc(client, paths["main.asm"])
    assert client.diagnostics(uri(paths["main.asm"])) == []
    # "loop:" becomes "lop:" on line 5: the jump to loop has no target.
    client.notify("textDocument/didChange", {
        "textDocument": {"uri": uri(paths["main.asm"]), "version": 2},
        "contentChanges": [{"range": {"start": {"line": 5, "character": 1}, "end": {"line": 5, "character": 2}},
                            "text": ""}]})
    diags = client.diagnostics(uri(paths["main.asm"]))
    assert len(diags) >= 1 and any("loop" in d["message"] for d in diags), diags
    shutdown(client)


def test_include_diagnostics_and_unsaved_include(root):
    paths = make_project(root)
    client, _ = start(root)
    open_doc(client, paths["main.asm"])
    assert client.last_diagnostics(uri(paths["main.asm"])) == []
    # The include is open and included: its messages come from main's run,
    # under its own URI, from its unsaved text.
    open_doc(client, paths["defs.inc"])
    client.sync()
    change(client, paths["defs.inc"], "        nop\nCONST LIMIT 10\n", 2)
    messages = client.sync()
    diags = last_published(messages, uri(paths["defs.inc"]))
    assert [(d["range"]["start"]["line"], d["code"]) for d in diags] == [(0, "org-rule")], diags
    assert last_published(messages, uri(paths["main.asm"])) in (None, [])
    # Unsaved text of the include: LIMIT is gone for main.
    change(client, paths["defs.inc"], "CONST LIMIT2 10\n", 3)
    messages = client.sync()
    main_diags = last_published(messages, uri(paths["main.asm"]))
    assert main_diags and all(d["range"]["start"]["line"] in (4, 6) for d in main_diags), main_diags
    assert last_published(messages, uri(paths["defs.inc"])) == []  # cleared: none there any more
    assert open(paths["defs.inc"]).read() == DEFS
    # Closing the include: main reads the file on disk again.
    client.notify("textDocument/didClose", {"textDocument": {"uri": uri(paths["defs.inc"])}})
    assert client.last_diagnostics(uri(paths["main.asm"])) == []
    # Closing main: an open include is assembled on its own (and, holding
    # no statement, lacks the ORG 0); main's list is cleared.
    open_doc(client, paths["defs.inc"])
    client.sync()
    client.notify("textDocument/didClose", {"textDocument": {"uri": uri(paths["main.asm"])}})
    messages = client.sync()
    diags = last_published(messages, uri(paths["defs.inc"]))
    # Errors only: warnings (a constant nothing there uses) may come too.
    assert [d["code"] for d in diags if d["severity"] == 1] == ["org-rule"], diags
    assert last_published(messages, uri(paths["main.asm"])) in (None, [])
    shutdown(client)


def test_included_file_on_disk_gets_its_own_diagnostics(root):
    paths = make_project(root)
    with open(paths["lib/util.inc"], "w") as f:
        f.write("helper: nop\n        jsubret 7,\n")
    client, _ = start(root)
    open_doc(client, paths["main.asm"])
    diags = client.diagnostics(uri(paths["lib/util.inc"]))
    assert [d["range"]["start"]["line"] for d in diags] == [1], diags
    main_diags = client.diagnostics(uri(paths["main.asm"]))
    assert main_diags == [], main_diags
    # Fixed on disk (by another program) and main saved: the include's list is cleared.
    with open(paths["lib/util.inc"], "w") as f:
        f.write(UTIL)
    client.notify("textDocument/didSave", {"textDocument": {"uri": uri(paths["main.asm"])}})
    messages = client.sync()
    assert last_published(messages, uri(paths["lib/util.inc"])) == []
    assert last_published(messages, uri(paths["main.asm"])) == []
    # A missing include is reported on main's #include line.
    client.notify("textDocument/didChange", {"textDocument": {"uri": uri(paths["main.asm"]), "version": 2},
                                            "contentChanges": [{"text": MAIN.replace("defs.inc", "nothere.inc")}]})
    main_diags = client.diagnostics(uri(paths["main.asm"]))
    assert any(d["code"] == "include-not-opened" and d["range"]["start"]["line"] == 1 for d in main_diags), main_diags
    shutdown(client)


def test_include_dirs_and_defines_from_settings(root):
    os.makedirs(os.path.join(root, "inc"))
    with open(os.path.join(root, "inc", "far.inc"), "w") as f:
        f.write("CONST FAR 5\n")
    main = os.path.join(root, "main.asm")
    text = '#include <far.inc>\n        ORG 0\n#ifdef FAST\n        move x, FAR\n#else\n        bogus\n#endif\n'
    with open(main, "w") as f:
        f.write(text)
    client, _ = start(root, options={"includeDirs": ["inc"], "defines": ["FAST"]})
    open_doc(client, main)
    diags = client.last_diagnostics(uri(main))
    honoured = assembler_honours(root, ["-I", "inc", "-D", "FAST", main])
    if honoured:
        assert diags == [], diags
        reply = client.request("textDocument/definition", pos(main, 3, 18))
        assert reply["result"][0]["uri"] == uri(os.path.join(root, "inc", "far.inc")), reply
    else:
        print("  (the assembler does not take -I and -D yet: the runs' results are not checked)")
    # The server finds the include in the include directory itself.
    reply = client.request("textDocument/definition", pos(main, 0, 12))
    assert reply["result"][0]["uri"] == uri(os.path.join(root, "inc", "far.inc")), reply
    # Without the define, the other branch is assembled.
    client.notify("workspace/didChangeConfiguration", {"settings": {"zr17asm": {"includeDirs": ["inc"], "defines": []}}})
    diags = client.last_diagnostics(uri(main))
    if honoured:
        assert [d["range"]["start"]["line"] for d in diags] == [5], diags
    shutdown(client)


def test_definition(root):
    paths = make_project(root)
    client, _ = start(root)
    open_doc(client, paths["main.asm"])
    client.diagnostics(uri(paths["main.asm"]))

    def definition(line, character):
        result = client.request("textDocument/definition", pos(paths["main.asm"], line, character))["result"]
        return [(urllib.parse.unquote(r["uri"]), r["range"]["start"]["line"], r["range"]["start"]["character"],
                 r["range"]["end"]["character"]) for r in result or []]

    assert definition(4, 18) == [(uri(paths["defs.inc"]), 0, 6, 11)]  # LIMIT, across the include
    assert definition(7, 17) == [(uri(paths["main.asm"]), 5, 0, 4)]  # loop
    assert definition(8, 14) == [(uri(paths["lib/util.inc"]), 0, 0, 6)]  # helper, in lib/
    assert definition(1, 12) == [(uri(paths["defs.inc"]), 0, 0, 0)]  # the quoted include
    assert definition(10, 11) == [(uri(paths["lib/util.inc"]), 0, 0, 0)]  # the angled include
    assert definition(0, 3) == []  # in a comment
    assert definition(4, 8) == []  # a mnemonic
    # From an open include back to a label of its main.
    open_doc(client, paths["defs.inc"], DEFS + "        goto start\n")
    result = client.request("textDocument/definition", pos(paths["defs.inc"], 2, 14))["result"]
    assert [(r["uri"], r["range"]["start"]["line"]) for r in result] == [(uri(paths["main.asm"]), 3)], result
    # A #define name.
    open_doc(client, paths["main.asm"] + ".x", "")  # an unrelated document stays harmless
    text = MAIN.replace("        ORG 0\n", "        ORG 0\n#ifdef FAST\n        nop\n#endif\n")
    client.notify("textDocument/didChange", {"textDocument": {"uri": uri(paths["main.asm"]), "version": 2},
                                            "contentChanges": [{"text": text}]})
    result = client.request("textDocument/definition", pos(paths["main.asm"], 3, 8))["result"]
    assert [(r["uri"], r["range"]["start"]["line"], r["range"]["start"]["character"]) for r in result] == \
        [(uri(paths["defs.inc"]), 1, 8)], result
    shutdown(client)


def test_references(root):
    paths = make_project(root)
    client, _ = start(root)
    open_doc(client, paths["main.asm"])
    client.diagnostics(uri(paths["main.asm"]))
    params = pos(paths["main.asm"], 4, 18)
    params["context"] = {"includeDeclaration": True}
    result = client.request("textDocument/references", params)["result"]
    got = sorted((r["uri"], r["range"]["start"]["line"], r["range"]["start"]["character"]) for r in result)
    assert got == sorted([(uri(paths["defs.inc"]), 0, 6), (uri(paths["main.asm"]), 4, 16),
                          (uri(paths["main.asm"]), 6, 19)]), got
    params["context"] = {"includeDeclaration": False}
    result = client.request("textDocument/references", params)["result"]
    assert len(result) == 2 and all(r["uri"] == uri(paths["main.asm"]) for r in result), result
    # A label: its declaration and its jump.
    params = pos(paths["main.asm"], 5, 1)
    params["context"] = {"includeDeclaration": True}
    result = client.request("textDocument/references", params)["result"]
    assert sorted(r["range"]["start"]["line"] for r in result) == [5, 7], result
    shutdown(client)


def test_hover(root):
    paths = make_project(root)
    client, _ = start(root)
    open_doc(client, paths["main.asm"])
    client.diagnostics(uri(paths["main.asm"]))

    def hover(line, character):
        result = client.request("textDocument/hover", pos(paths["main.asm"], line, character))["result"]
        return result and result["contents"]["value"]

    text = hover(4, 18)
    assert "10" in text and "0x0000000A" in text and "defs.inc:1" in text, text
    text = hover(5, 2)
    assert "0x0006" in text and "main.asm:6" in text, text
    assert "0x0013" in hover(8, 14)
    text = hover(4, 9)
    assert "move" in text and "register" in text and "Size" in text and "5 bytes" in text, text
    assert "0x70" in text, text
    text = hover(7, 9)
    assert "label" in text and "out of reach" in text, text
    assert hover(0, 4) is None  # a comment
    # An error in the program: the last good addresses stay, marked so.
    broken = MAIN.replace("goto start\n", "goto start\n        bogus\n")
    client.notify("textDocument/didChange", {"textDocument": {"uri": uri(paths["main.asm"]), "version": 2},
                                            "contentChanges": [{"text": broken}]})
    assert client.diagnostics(uri(paths["main.asm"]))
    text = hover(5, 2)
    assert "0x0006" in text and "last assembly without errors" in text, text
    shutdown(client)


def test_document_symbols_and_completion(root):
    paths = make_project(root)
    client, _ = start(root)
    open_doc(client, paths["main.asm"])
    client.diagnostics(uri(paths["main.asm"]))
    result = client.request("textDocument/documentSymbol", {"textDocument": {"uri": uri(paths["main.asm"])}})["result"]
    assert [(s["name"], s["kind"], s["selectionRange"]["start"]["line"]) for s in result] == \
        [("start", 12, 3), ("loop", 12, 5)], result
    open_doc(client, paths["defs.inc"])
    result = client.request("textDocument/documentSymbol", {"textDocument": {"uri": uri(paths["defs.inc"])}})["result"]
    assert [(s["name"], s["kind"]) for s in result] == [("LIMIT", 14), ("FAST", 14)], result
    result = client.request("textDocument/completion", pos(paths["main.asm"], 5, 8))["result"]
    labels = {item["label"]: item for item in result["items"]}
    for name in ("move", "gotoNE", "x", "r", "LIMIT", "loop", "helper", "FAST", "CONST", "#include"):
        assert name in labels, name
    assert labels["LIMIT"]["detail"] == "= 10"
    assert "ramadrext" not in labels  # refused by the assembler: not offered
    shutdown(client)


def test_lifecycle_errors(root):
    client = Client([SERVER], cwd=root)
    # Before initialize: requests are refused, notifications dropped.
    client.notify("textDocument/didOpen", {"textDocument": {"uri": "file:///x.asm", "languageId": "x",
                                                            "version": 1, "text": ""}})
    reply = client.request("textDocument/hover", pos("/x.asm", 0, 0))
    assert reply["error"]["code"] == -32002, reply
    reply = client.request("initialize", {"processId": None, "rootUri": None, "capabilities": {}})
    assert "capabilities" in reply["result"]
    assert client.request("initialize", {"capabilities": {}})["error"]["code"] == -32600
    assert client.request("no/suchMethod", {})["error"]["code"] == -32601
    client.notify("no/suchNotification", {})
    client.notify("$/cancelRequest", {"id": 1})
    # Missing params members: invalid params, and the server carries on.
    assert client.request("textDocument/hover", {})["error"]["code"] == -32602
    assert client.request("textDocument/hover", {"textDocument": {"uri": 5}})["error"]["code"] == -32602
    assert client.request("shutdown")["result"] is None
    assert client.request("textDocument/hover", pos("/x.asm", 0, 0))["error"]["code"] == -32600
    assert not [m for m in client.backlog if "error" in m], client.backlog  # no answers to notifications
    client.notify("exit")
    assert client.close() == 0


def test_exit_without_shutdown(root):
    client, _ = start(root)
    client.notify("exit")
    assert client.close() == 1


def test_bad_input(root):
    client, _ = start(root)
    ok_id = 100

    def still_answers():
        nonlocal ok_id
        ok_id += 1
        client.send({"jsonrpc": "2.0", "id": ok_id, "method": "no/such"})
        assert client.response(ok_id)["error"]["code"] == -32601

    def error_for(raw):
        client.send_raw(raw)
        reply = client.wait(lambda m: "error" in m and m.get("id") is None)
        return reply["error"]["code"]

    def frame(body):
        return b"Content-Length: %d\r\n\r\n" % len(body) + body

    assert error_for(frame(b'{"jsonrpc": "2.0", "id": 1, "method": ')) == -32700
    assert error_for(frame(b"\xff\xfe not json")) == -32700
    assert error_for(frame(b"[" * 100000 + b"]" * 100000)) == -32700  # too deep: refused, no crash
    assert error_for(frame(b"[]")) == -32600
    assert error_for(frame(b"42")) == -32600
    assert error_for(frame(b'{"jsonrpc": "2.0", "id": {"x": 1}, "method": "shutdown"}')) == -32600
    still_answers()
    client.send_raw(frame(b'{"jsonrpc": "1.0", "id": 7, "method": "shutdown"}'))
    assert client.response(7)["error"]["code"] == -32600
    client.send_raw(frame(b'{"jsonrpc": "2.0", "id": 8}'))
    assert client.response(8)["error"]["code"] == -32600
    client.send_raw(frame(b'{"jsonrpc": "2.0", "id": 9, "method": 5}'))
    assert client.response(9)["error"]["code"] == -32600
    # Broken headers: answered, and the next message is read.
    assert error_for(b"Content-Length: abc\r\n\r\n{}") == -32700
    still_answers()
    assert error_for(b"no header at all\r\n\r\n") == -32700
    still_answers()
    # A body above the limit is refused and skipped, whatever it holds.
    size = 64 * 1024 * 1024 + 1
    client.send_raw(b"Content-Length: %d\r\n\r\n" % size)
    reply = client.wait(lambda m: "error" in m and m.get("id") is None)
    assert reply["error"]["code"] == -32600 and "too large" in reply["error"]["message"], reply
    chunk = frame(b'{"jsonrpc": "2.0", "id": 55, "method": "shutdown"}') * 1000
    sent = 0
    while sent < size:
        piece = chunk[: size - sent]
        client.send_raw(piece)
        sent += len(piece)
    still_answers()
    assert not any(m.get("id") == 55 for m in client.backlog), "a skipped body was read"
    shutdown(client)


def test_eof_mid_message(root):
    client, _ = start(root)
    client.send_raw(b'Content-Length: 100\r\n\r\n{"jsonrpc": "2.0", ')
    assert client.close() == 1  # ends on its own, no hang
    assert b"inside a message" in client.stderr
    client = Client([SERVER], cwd=root)
    client.send_raw(b"Content-Len")
    assert client.close() == 1
    client = Client([SERVER], cwd=root)
    assert client.close() == 1


def test_client_that_stops_reading(root):
    # The server's output is closed: its writes fail, and it ends (no SIGPIPE death).
    proc = subprocess.Popen([SERVER], stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    proc.stdout.close()
    body = json.dumps({"jsonrpc": "2.0", "id": 1, "method": "initialize", "params": {"capabilities": {}}}).encode()
    try:
        proc.stdin.write(b"Content-Length: %d\r\n\r\n" % len(body) + body)
        proc.stdin.flush()
    except BrokenPipeError:
        pass
    _, err = proc.communicate(timeout=30)
    assert proc.returncode == 1, (proc.returncode, err)
    assert b"no longer reads" in err, err


def test_untitled_buffer(root):
    with open(os.path.join(root, "defs.inc"), "w") as f:
        f.write(DEFS)
    client, _ = start(root)
    doc = "untitled:Untitled-1"
    client.notify("textDocument/didOpen", {"textDocument": {
        "uri": doc, "languageId": "zr17asm", "version": 1,
        "text": '#include "defs.inc"\n        ORG 0\n        move x, LIMIT\n        bogus\n'}})
    diags = client.diagnostics(doc)
    assert [d["range"]["start"]["line"] for d in diags] == [3], diags
    result = client.request("textDocument/definition", {"textDocument": {"uri": doc},
                                                        "position": {"line": 2, "character": 18}})["result"]
    assert result[0]["uri"] == uri(os.path.join(root, "defs.inc")), result
    shutdown(client)


def main():
    tests = [(name, fn) for name, fn in globals().items() if name.startswith("test_")]
    failed = 0
    for name, fn in tests:
        with tempfile.TemporaryDirectory() as root:
            try:
                fn(os.path.realpath(root))
                print(f"ok   {name}")
            except Exception:
                failed += 1
                print(f"FAIL {name}")
                traceback.print_exc()
    print(f"{len(tests) - failed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
