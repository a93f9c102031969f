#!/usr/bin/env python3
"""Times build/zr17_asm on generated sources: wall time and peak memory, the
median of several runs; GNU as on a source of the same line count gives the
reference for the speed per line."""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
ASM = os.path.join(ROOT, "build", "zr17_asm")
RUNS = int(os.environ.get("BENCH_RUNS", "5"))


def measure(argv, cwd):
    """Median wall seconds and peak resident memory in MB over RUNS runs.
    The peak comes from GNU time (Debian package "time"): the kernel's own
    figure for a child includes what its parent had at the fork."""
    gnu_time = shutil.which("time", path="/usr/bin:/bin")
    walls, peaks = [], []
    for _ in range(RUNS):
        with tempfile.NamedTemporaryFile("r") as report:
            command = ([gnu_time, "-f", "%M", "-o", report.name] if gnu_time else []) + argv
            start = time.perf_counter()
            code = subprocess.call(command, cwd=cwd, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
            walls.append(time.perf_counter() - start)
            if gnu_time:
                peaks.append(int(report.read().split()[-1]) / 1024)
        if code != 0:
            print(f"  warning: {' '.join(argv)} exited {code}")
    return statistics.median(walls), statistics.median(peaks) if peaks else float("nan")


def lines(path):
    with open(path, "rb") as f:
        return sum(1 for _ in f)


def main():
    work = tempfile.mkdtemp(prefix="zr17_bench_")
    subprocess.run([sys.executable, os.path.join(ROOT, "bench", "gen.py"), work], check=True)
    with open(os.path.join(work, "comment.asm"), "w") as f:
        f.write(" ORG 0\n nop\n;" + "x" * (100 * 1024 * 1024) + "\n nop\n")
    print(f"{'source':<14}{'lines':>10}{'wall s':>10}{'peak MB':>10}")
    results = {}
    for name in ["million.asm", "jumps.asm", "typical.asm", "comment.asm"]:
        path = os.path.join(work, name)
        wall, peak = measure([ASM, name], work)
        results[name] = wall
        print(f"{name:<14}{lines(path):>10}{wall:>10.3f}{peak:>10.1f}")
    if shutil.which("as"):
        wall, peak = measure(["as", "--64", "-o", os.devnull, "million.s"], work)
        print(f"{'as million.s':<14}{lines(os.path.join(work, 'million.s')):>10}{wall:>10.3f}{peak:>10.1f}")
        per_line_asm = results["million.asm"] / lines(os.path.join(work, "million.asm"))
        per_line_as = wall / lines(os.path.join(work, "million.s"))
        print(f"speed ratio (as time per line / zr17_asm time per line): {per_line_as / per_line_asm:.2f}")
    shutil.rmtree(work)


if __name__ == "__main__":
    main()
