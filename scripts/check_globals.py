#!/usr/bin/env python3
"""Lists the writable global data of the zr17 library: every variable in a
writable data section (.data, .bss and their thread-local and per-symbol
variants) of the library's object files, as nm shows them. The objects are
those in BUILD_DIR's libzr17.a, named by their files under zr17.dir. Global state ties the assembler to
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
import collections
import pathlib
import re
import subprocess
import sys
import tempfile

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


def archive_members(archive):
    """The members of a Unix ar archive, as (name, bytes), in order."""
    data = archive.read_bytes()
    if not data.startswith(b"!<arch>\n"):
        raise OSError(f"{archive} is not an ar archive")
    pos, long_names, members = 8, b"", []
    while pos + 60 <= len(data):
        header = data[pos:pos + 60]
        name, size = header[:16].decode().rstrip(), int(header[48:58])
        body = data[pos + 60:pos + 60 + size]
        pos += 60 + size + (size & 1)
        if name == "//":  # the GNU table of long names
            long_names = body
        elif name in ("/", "/SYM64/"):  # the symbol index
            continue
        else:
            if name.startswith("/") and name[1:].isdigit():
                start = int(name[1:])
                name = long_names[start:long_names.index(b"/\n", start)].decode()
            members.append((name.rstrip("/"), body))
    return members


def objects(build_dir, scratch):
    """(label, object file) for each object in the zr17 library. The library
    archive is the truth: its folder of objects may hold stale ones of sources
    that were moved or removed. Each member is matched to its object file
    under zr17.dir by content, for a label that names its source."""
    archives = sorted(build_dir.rglob("libzr17.a"), key=lambda p: len(p.parts))
    if not archives:
        return []
    on_disk = collections.defaultdict(list)
    for folder in build_dir.rglob("zr17.dir"):
        for obj in folder.rglob("*.o*"):
            if obj.suffix in (".o", ".obj"):
                on_disk[obj.name].append((obj, obj.relative_to(folder).as_posix()))
    found = []
    for number, (name, body) in enumerate(archive_members(archives[0])):
        match = next(((obj, rel) for obj, rel in on_disk.get(name, [])
                      if obj.read_bytes() == body), None)
        if match is None:  # not in the folder: read the member itself
            obj = scratch / f"{number}_{name}"
            obj.write_bytes(body)
            match = (obj, name)
        obj, rel = match
        found.append((re.sub(r"\.(o|obj)$", "", rel), obj))
    return found


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


def ours_and_writable(name, letter, section):
    return (letter.upper() in "BDGSVU" and WRITABLE.match(section) is not None
            and not RELRO.match(section) and not NOT_OURS.match(name))


def main():
    parser = argparse.ArgumentParser(
        description="Lists the writable global data of the zr17 library.")
    parser.add_argument("build_dir", type=pathlib.Path, metavar="BUILD_DIR")
    parser.add_argument("--skip-generated", action="store_true",
                        help="leave out the generated scanner's and parser's objects")
    args = parser.parse_args()
    build_dir, skip_generated = args.build_dir, args.skip_generated
    with tempfile.TemporaryDirectory() as scratch:
        try:
            objs = objects(build_dir, pathlib.Path(scratch))
        except (OSError, ValueError) as error:
            print(f"check_globals: cannot read the zr17 library: {error}", file=sys.stderr)
            return 2
        if not objs:
            print(f"check_globals: no zr17 library (libzr17.a) under {build_dir}: build it first",
                  file=sys.stderr)
            return 2
        found = []
        for rel, obj in objs:
            if skip_generated and rel.startswith("generated/"):
                continue
            try:
                found += [(rel, name, section, size)
                          for name, letter, size, section in symbols(obj)
                          if ours_and_writable(name, letter, section)]
            except (OSError, subprocess.CalledProcessError) as error:
                print(f"check_globals: cannot read {obj}: {error}", file=sys.stderr)
                return 2

    if not found:
        print("check_globals: no writable global data in the zr17 library")
        return 0
    print(f"check_globals: {len(found)} writable global variables in the zr17 library:")
    width = max(len(rel) for rel, *_ in found)
    for rel, name, section, size in sorted(found, key=lambda f: f[0]):
        print(f"  {rel:<{width}}  {name}  ({section}, {size} bytes)")
    return 1


if __name__ == "__main__":
    sys.exit(main())
