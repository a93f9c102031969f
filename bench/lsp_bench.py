#!/usr/bin/env python3
"""Times zr17_lsp's re-assembly: the time from a didChange to the
publishDiagnostics it causes, the median of several changes, on the 64 KB
program of gen.py (every jump widened) and on a typical source of 64 KB.
Usage: bench/lsp_bench.py [PATH_TO_ZR17_LSP]   (BENCH_RUNS, default 15)"""
import os
import pathlib
import statistics
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "bench"))
sys.path.insert(0, os.path.join(ROOT, "tests", "lsp"))
import gen  # noqa: E402
from lsp_client import Client  # noqa: E402

SERVER = os.path.abspath(sys.argv[1]) if len(sys.argv) > 1 else os.path.join(ROOT, "build", "src", "lsp", "zr17_lsp")
RUNS = int(os.environ.get("BENCH_RUNS", "15"))


def typical_64k(path):
    """gen.py's typical mix (constants, subroutines, loops, comments) up to 64 KB of source."""
    out = ["; a typical program, 64 KB of source", "CONST PORT 12", "CONST LIMIT 200", "",
           " ORG 0", "start: clear x"]
    n = 0
    while sum(len(line) + 1 for line in out) < 64 * 1024:
        out += [f"; subroutine {n}", f"sub{n}: move y, LIMIT", f"wait{n}: decr y", " compare y, 0",
                f" gotoNE wait{n}", " bitset x, 3", " ramadr PORT", " skipBitC x, 3, 1", " nop",
                " jsubret", "", f"main{n}: incr x", f" jsub sub{n}", " add x, 5",
                f" gotoEQ main{n}", ""]
        n += 1
    out += [" goto start"]
    with open(path, "w") as f:
        f.write("\n".join(out) + "\n")


def cpu_ms(pid):
    """The server's processor time so far (Linux), to tell its own work
    from the waiting on a busy machine; None elsewhere."""
    try:
        with open(f"/proc/{pid}/stat") as f:
            fields = f.read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) * 1000 / os.sysconf("SC_CLK_TCK")
    except (OSError, ValueError, IndexError):
        return None


def measure(client, uri, text, incremental):
    """Median milliseconds from a change to its diagnostics, and the
    server's processor time per change."""
    times = []
    client.sync()
    cpu_start = cpu_ms(client.proc.pid)
    version = 1
    for i in range(RUNS):
        version += 1
        if incremental:
            # Typing on the first line (a comment): one character in, or out again.
            change = {"range": {"start": {"line": 0, "character": 1}, "end": {"line": 0, "character": 1 if i % 2 == 0 else 2}},
                      "text": "x" if i % 2 == 0 else ""}
        else:
            change = {"text": text + f"; edit {i}\n"}
        client.sync()
        start = time.perf_counter()
        client.notify("textDocument/didChange", {"textDocument": {"uri": uri, "version": version},
                                                "contentChanges": [change]})
        client.diagnostics(uri, timeout=120)
        times.append((time.perf_counter() - start) * 1000)
    cpu_end = cpu_ms(client.proc.pid)
    cpu = (cpu_end - cpu_start) / RUNS if cpu_start is not None and cpu_end is not None else float("nan")
    return statistics.median(times), min(times), max(times), cpu


def bench(name, path):
    text = open(path).read()
    uri = pathlib.Path(path).as_uri()
    client = Client([SERVER], cwd=os.path.dirname(path))
    client.request("initialize", {"processId": None, "rootUri": pathlib.Path(os.path.dirname(path)).as_uri(),
                                  "capabilities": {}})
    client.notify("initialized", {})
    client.notify("textDocument/didOpen", {"textDocument": {"uri": uri, "languageId": "zr17asm", "version": 1,
                                                            "text": text}})
    first = client.diagnostics(uri, timeout=120)
    errors = sum(1 for d in first if d["severity"] == 1)
    for label, incremental in (("incremental edit", True), ("full text", False)):
        median, low, high, cpu = measure(client, uri, text, incremental)
        print(f"{name:<13}{len(text) // 1024:>5} KB  {label:<17}{median:>8.1f} ms median"
              f"  ({low:.1f} .. {high:.1f}; server CPU {cpu:.1f} ms a change; {RUNS} runs, {errors} errors)")
    client.request("shutdown")
    client.notify("exit")
    client.close()


def main():
    with tempfile.TemporaryDirectory(prefix="zr17_lsp_bench_") as work:
        jumps = os.path.join(work, "jumps.asm")
        gen.jump_chain(jumps)
        # The benchmark's source starts with a comment line to type into.
        with open(jumps) as f:
            text = f.read()
        with open(jumps, "w") as f:
            f.write("; 64 KB of code, every jump widened\n" + text)
        typical = os.path.join(work, "typical.asm")
        typical_64k(typical)
        bench("jumps.asm", jumps)
        bench("typical.asm", typical)


if __name__ == "__main__":
    main()
