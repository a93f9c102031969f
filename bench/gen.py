#!/usr/bin/env python3
"""Generates the benchmark sources for zr17_asm (and one for GNU as)."""
import os
import sys


def million_lines(path, lines=1_000_000):
    """About 60,000 statements in 60 ORG sections, the rest comments, blank
    lines and #ifdef blocks that are skipped."""
    ops = ["nop", "incr x", "decr y", "clear z", "getflag r", "setC", "clrC"]
    out = ["; generated: one million lines", "#define FAST", "", " ORG 0"]
    statements = 0
    section = 0
    while len(out) < lines - 40:
        if statements >= (section + 1) * 1000:
            section += 1
            out.append(f" ORG 0x{section * 1024:04X}")
        kind = len(out) % 16
        if kind < 8:
            out.append(f"; comment line {len(out)} describing the code below in some detail")
        elif kind < 11:
            out.append("")
        elif kind == 11 and statements % 1000 < 990:
            out.append("#ifdef SLOW")
            out.append("        move x, 12345678      ; never assembled")
            out.append("        compare x, y")
            out.append("#endif")
        elif statements % 1000 == 10:
            out.append(f"loop{section}:  incr x")
            statements += 1
        elif statements % 1000 == 500:
            out.append(f"        gotoNE loop{section}")
            statements += 1
            # the jump is 2 bytes: keep the section inside 1024 bytes
        else:
            out.append(f"        {ops[statements % len(ops)]}    ; statement {statements}")
            statements += 1
    with open(path, "w") as f:
        f.write("\n".join(out[:lines]) + "\n")


def gnu_as_lines(path, lines=1_000_000):
    """The same mix of comment, blank and instruction lines for GNU as."""
    out = []
    for i in range(lines):
        kind = i % 16
        if kind < 8:
            out.append(f"# comment line {i} describing the code below in some detail")
        elif kind < 11:
            out.append("")
        else:
            out.append(f"        nop    # statement {i}")
    with open(path, "w") as f:
        f.write("\n".join(out) + "\n")


def jump_chain(path):
    """A 64 KB program in which each widened jump pushes the jump before it
    out of reach: the optimisation needs one pass per jump."""
    out = [" ORG 0"]
    # Jump k sits at 64k and jumps 127 bytes ahead; jump k+1 lies inside its
    # span, so widening k+1 moves k's target to 128. The last one starts at 128.
    spacing = 64
    count = 1000  # with every jump widened the program still fits 64 KB
    addr = 0
    targets = {}
    for k in range(count):
        targets.setdefault(addr + 127 + (1 if k == count - 1 else 0), []).append(k)
        addr += spacing
    addr = 0
    k = 0
    body = []
    position = 0
    end = count * spacing + 200
    while position < end:
        label = ""
        if position in targets:
            label = "t" + "_".join(str(j) for j in targets[position]) + ": "
            for j in targets[position][1:]:
                body.append(f"t{j}:")
        if position % spacing == 0 and position // spacing < count:
            j = position // spacing
            body.append(f"{label} goto t{'_'.join(str(x) for x in targets[position + 127 + (1 if j == count - 1 else 0)])}")
            position += 2
        else:
            body.append(f"{label} nop")
            position += 1
    with open(path, "w") as f:
        f.write("\n".join(out + body) + "\n")


def typical(path):
    """A few thousand lines: constants, subroutines, loops, comments."""
    out = ["; a typical program", "CONST PORT 12", "CONST LIMIT 200", "", " ORG 0",
           "start: clear x", " jsub init", " goto main0"]
    for s in range(150):
        out += [f"; subroutine {s}", f"sub{s}: move y, LIMIT", f"wait{s}: decr y",
                " compare y, 0", f" gotoNE wait{s}", " bitset x, 3", " ramadr PORT",
                f" skipBitC x, 3, 1", " nop", " jsubret", ""]
    out += ["init: clear y", " jsubret"]
    for m in range(150):
        out += [f"main{m}: incr x", f" jsub sub{m}", " add x, 5", " move z, x",
                f" gotoEQ main{m}", ""]
    out += [" goto start"]
    with open(path, "w") as f:
        f.write("\n".join(out) + "\n")


if __name__ == "__main__":
    d = sys.argv[1]
    os.makedirs(d, exist_ok=True)
    million_lines(os.path.join(d, "million.asm"))
    gnu_as_lines(os.path.join(d, "million.s"))
    jump_chain(os.path.join(d, "jumps.asm"))
    typical(os.path.join(d, "typical.asm"))
