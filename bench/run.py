#!/usr/bin/env python3
"""Times build/zr17_asm on generated sources: wall time, CPU time (user +
system) and peak memory, the median of several runs; GNU as on a source of
the same line count gives the reference for the speed per line, which is
compared in CPU time (and, for information, in wall time)."""
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


def timed_run(argv, cwd):
    """Wall seconds and CPU seconds (user + system) of one run of `argv`,
    the CPU time from the kernel's account of that child alone."""
    start = time.perf_counter()
    child = subprocess.Popen(argv, cwd=cwd, stdout=subprocess.DEVNULL,
                             stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(child.pid, 0)
    wall = time.perf_counter() - start
    child.returncode = os.waitstatus_to_exitcode(status)
    if child.returncode != 0:
        print(f"  warning: {' '.join(argv)} exited {child.returncode}")
    return wall, usage.ru_utime + usage.ru_stime


def measure(argv, cwd):
    """Median wall seconds, median CPU seconds and median peak resident
    memory in MB over RUNS runs each. The peak comes from GNU time (Debian
    package "time") in runs of their own: the kernel's own figure for a
    child includes what its parent had at the fork."""
    gnu_time = shutil.which("time", path="/usr/bin:/bin")
    walls, cpus, peaks = [], [], []
    for _ in range(RUNS):
        wall, cpu = timed_run(argv, cwd)
        walls.append(wall)
        cpus.append(cpu)
    for _ in range(RUNS if gnu_time else 0):
        with tempfile.NamedTemporaryFile("r") as report:
            subprocess.call([gnu_time, "-f", "%M", "-o", report.name] + argv, cwd=cwd,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            peaks.append(int(report.read().split()[-1]) / 1024)
    peak = statistics.median(peaks) if peaks else float("nan")
    return statistics.median(walls), statistics.median(cpus), peak


def lines(path):
    with open(path, "rb") as f:
        return sum(1 for _ in f)


def main():
    work = tempfile.mkdtemp(prefix="zr17_bench_")
    subprocess.run([sys.executable, os.path.join(ROOT, "bench", "gen.py"), work], check=True)
    with open(os.path.join(work, "comment.asm"), "w") as f:
        f.write(" ORG 0\n nop\n;" + "x" * (100 * 1024 * 1024) + "\n nop\n")
    print(f"{'source':<14}{'lines':>10}{'wall s':>10}{'CPU s':>10}{'peak MB':>10}")
    results = {}
    for name in ["million.asm", "jumps.asm", "typical.asm", "comment.asm"]:
        path = os.path.join(work, name)
        wall, cpu, peak = measure([ASM, name], work)
        results[name] = (wall, cpu)
        print(f"{name:<14}{lines(path):>10}{wall:>10.3f}{cpu:>10.3f}{peak:>10.1f}")
    if shutil.which("as"):
        wall, cpu, peak = measure(["as", "--64", "-o", os.devnull, "million.s"], work)
        print(f"{'as million.s':<14}{lines(os.path.join(work, 'million.s')):>10}"
              f"{wall:>10.3f}{cpu:>10.3f}{peak:>10.1f}")
        asm_lines = lines(os.path.join(work, "million.asm"))
        as_lines = lines(os.path.join(work, "million.s"))
        # The machine is shared: CPU time is what each program itself took,
        # wall time also holds whatever else ran meanwhile.
        for label, ours, theirs in (("CPU", results["million.asm"][1], cpu),
                                    ("wall", results["million.asm"][0], wall)):
            ratio = (theirs / as_lines) / (ours / asm_lines)
            print(f"speed ratio, {label} time (as time per line / zr17_asm time per line): "
                  f"{ratio:.2f}")
    shutil.rmtree(work)


if __name__ == "__main__":
    main()
