#!/usr/bin/env python3
"""Lists the writable global data of the zr17 library: every variable in a
writable data section (.data, .bss and their thread-local and per-symbol
variants) of the library's object files. Global state ties the assembler to
one run per process; a run context holds it instead.

Counted: namespace-scope and class-static variables, also in anonymous
namespaces, function-local statics and their guard variables, and the state
that the generated scanner and parser keep in globals (a non-reentrant
scanner or an impure parser is our choice). Not counted: what the compiler,
the C++ runtime, the standard library's templates and the sanitizers put
there (exception-handling references, the iostream initialiser, sanitizer
metadata), and read-only data, vtables and typeinfo (.rodata, .data.rel.ro).

Usage: scripts/check_globals.py BUILD_DIR [--skip-generated]
  BUILD_DIR         a configured and built tree (e.g. build, the default preset)
  --skip-generated  leave out the generated scanner's and parser's objects
Exit status: 0 when there is none, 1 when there are some (listed on stdout),
2 when the objects cannot be found or read.
"""

import argparse
import pathlib
import re
import subprocess
import sys

# Sections whose contents the program may write to at run time.
WRITABLE = re.compile(r"^\.(data|bss|tdata|tbss)(\.|$)")
# Written only by the dynamic loader, read-only afterwards.
RELRO = re.compile(r"^\.data\.rel\.ro(\.|$)")

# Symbols that the toolchain, not our code, puts in writable sections.
NOT_OURS = re.compile(
    r"^(DW\.ref\."                     # exception-handling references to typeinfo, personality
    r"|std::__ioinit$"                 # <iostream>'s static initialiser object
    r"|(guard variable for )?(std|__gnu_cxx|__cxxabiv1)::"  # standard library templates
    r"|_*(asan|odr_asan|ubsan|tsan|msan|sancov|llvm|gcov|profc|profd)"  # sanitizers, coverage
    r"|__dso_handle$|_GLOBAL_OFFSET_TABLE_$)")


def objects(build_dir):
    """The zr17 library target's object files, in a stable order."""
    dirs = [p for p in build_dir.rglob("zr17.dir") if p.is_dir()]
    return sorted(o for d in dirs for o in d.rglob("*.o")), dirs


def symbols(obj):
    """(name, class letter, size, section) of each defined symbol of `obj`."""
    out = subprocess.run(["nm", "-C", "-f", "sysv", str(obj)], check=True,
                         capture_output=True, text=True).stdout
    for line in out.splitlines():
        # Name|Value|Class|Type|Size|Line|Section; a demangled name may hold '|'.
        fields = line.rsplit("|", 6)
        if len(fields) != 7:
            continue
        name, _value, letter, _type, size, _line, section = (f.strip() for f in fields)
        if section in ("", "*UND*", "*ABS*", "*COM*"):
            continue
        yield name, letter, int(size, 16) if size else 0, section


def main():
    parser = argparse.ArgumentParser(
        description="Lists the writable global data of the zr17 library.")
    parser.add_argument("build_dir", type=pathlib.Path, metavar="BUILD_DIR")
    parser.add_argument("--skip-generated", action="store_true",
                        help="leave out the generated scanner's and parser's objects")
    args = parser.parse_args()
    build_dir, skip_generated = args.build_dir, args.skip_generated
    objs, dirs = objects(build_dir)
    if not objs:
        print(f"check_globals: no object files of the zr17 library under {build_dir} "
              "(looked for zr17.dir/**/*.o): build it first", file=sys.stderr)
        return 2

    found = []
    for obj in objs:
        rel = next(str(obj.relative_to(d)) for d in dirs if d in obj.parents)
        rel = rel[:-2] if rel.endswith(".o") else rel
        if skip_generated and rel.startswith("generated/"):
            continue
        try:
            syms = list(symbols(obj))
        except (OSError, subprocess.CalledProcessError) as error:
            print(f"check_globals: cannot read {obj}: {error}", file=sys.stderr)
            return 2
        for name, letter, size, section in syms:
            if letter.upper() not in "BDGSVU":
                continue
            if not WRITABLE.match(section) or RELRO.match(section) or NOT_OURS.match(name):
                continue
            found.append((rel, name, section, size))

    if not found:
        print("check_globals: no writable global data in the zr17 library")
        return 0
    print(f"check_globals: {len(found)} writable global variables in the zr17 library:")
    width = max(len(rel) for rel, *_ in found)
    for rel, name, section, size in found:
        print(f"  {rel:<{width}}  {name}  ({section}, {size} bytes)")
    return 1


if __name__ == "__main__":
    sys.exit(main())
