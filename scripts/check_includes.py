#!/usr/bin/env python3
"""Finds include cycles in src/.

A module is a header with its source: foo.h and foo.cc (or foo.l, foo.y) in
one folder; bison's generated parser.hh belongs to parser/parser.y. A quoted
include is looked up beside the including file, then under src/. The graph
holds the code that goes into the assembler: every non-test source in src/
and the headers it reaches (unit tests, src/testing/ and test-only headers
are left out unless --with-tests is given).

Reported:
  - every cycle of modules (A includes B includes ... A), except the one
    between the scanner and the parser, which share the token interface
    (the scanner returns the parser's tokens, the parser calls the scanner);
  - as a separate listing, every cycle of folders (driver includes parser
    includes driver); these do not fail the check.

Usage: scripts/check_includes.py [--with-tests] [SRC_DIR]   (default: src)
Exit status: 1 when there is a module cycle, 0 otherwise.
"""

import argparse
import collections
import pathlib
import re
import sys

# Generated files that are included by name: the file they are made from.
GENERATED = {"parser.hh": "parser/parser.y"}
# The one module cycle that is by design.
TOKEN_INTERFACE = frozenset({"scanner/lexer", "parser/parser"})
# Folders of test support (the case-file reader, hand-built programs).
TEST_FOLDERS = {"testing"}
SOURCE_SUFFIXES = {".cc", ".l", ".y"}
SUFFIXES = SOURCE_SUFFIXES | {".h", ".hh"}
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')
# Stop listing cycles of one kind after this many; the check still fails.
MAX_CYCLES = 200


def module_of(rel):
    """'driver/driver.cc' -> 'driver/driver'."""
    return rel.rsplit(".", 1)[0]


def folder_of(rel):
    return rel.split("/", 1)[0] if "/" in rel else "."


def read_includes(src, with_tests):
    """{file: [(included file, as written)]} for the files of the graph, and
    the names that are not in src/ (generated elsewhere or external)."""
    files = sorted(p.relative_to(src).as_posix() for p in src.rglob("*")
                   if p.is_file() and p.suffix in SUFFIXES)
    edges, outside = {}, set()
    for rel in files:
        found = []
        text = (src / rel).read_text(encoding="utf-8", errors="replace")
        for line in text.splitlines():
            match = INCLUDE.match(line)
            if not match:
                continue
            name = match.group(1)
            beside = (src / rel).parent / name
            if beside.is_file():
                target = beside.resolve().relative_to(src.resolve()).as_posix()
            elif (src / name).is_file():
                target = pathlib.PurePosixPath(name).as_posix()
            elif name in GENERATED:
                target = GENERATED[name]
            else:
                outside.add(name)
                continue
            found.append((target, name))
        edges[rel] = found

    def is_test(rel):
        return module_of(rel).endswith("_test") or folder_of(rel) in TEST_FOLDERS

    # What the assembler is built from: non-test sources and what they reach.
    roots = [f for f in files if pathlib.PurePosixPath(f).suffix in SOURCE_SUFFIXES
             and (with_tests or not is_test(f))]
    keep, todo = set(roots), list(roots)
    while todo:
        for target, _ in edges.get(todo.pop(), []):
            if target not in keep:
                keep.add(target)
                todo.append(target)
    return {f: edges.get(f, []) for f in sorted(keep)}, outside


def graph(file_edges, key):
    """Edges between the groups that `key` puts files in, with the includes
    behind each: {a: {b: [(file, as written, included file)]}}."""
    result = collections.defaultdict(lambda: collections.defaultdict(list))
    for rel, includes in file_edges.items():
        result[key(rel)]  # every group is a node, even one without edges
        for target, name in includes:
            if key(rel) != key(target):
                result[key(rel)][key(target)].append((rel, name, target))
    return result


def components(nodes, succ):
    """The strongly connected components with more than one node (Tarjan)."""
    index, low, on_stack, stack, found = {}, {}, set(), [], []
    counter = [0]

    def visit(v):
        index[v] = low[v] = counter[0]
        counter[0] += 1
        stack.append(v)
        on_stack.add(v)
        for w in sorted(succ.get(v, {})):
            if w not in index:
                visit(w)
                low[v] = min(low[v], low[w])
            elif w in on_stack:
                low[v] = min(low[v], index[w])
        if low[v] == index[v]:
            component = []
            while True:
                w = stack.pop()
                on_stack.discard(w)
                component.append(w)
                if w == v:
                    break
            if len(component) > 1:
                found.append(sorted(component))

    sys.setrecursionlimit(max(1000, 10 * len(nodes)))
    for v in sorted(nodes):
        if v not in index:
            visit(v)
    return sorted(found)


def cycles(component, succ, limit):
    """The elementary cycles within one component, each starting at its least
    node; at most `limit` of them, and whether there were more."""
    members = set(component)
    found, more = [], False
    for start in component:
        path = [start]

        def walk(v):
            nonlocal more
            for w in sorted(succ.get(v, {})):
                if w not in members or w < start:
                    continue
                if w == start:
                    if len(found) >= limit:
                        more = True
                        return
                    found.append(path + [start])
                elif w not in path:
                    path.append(w)
                    walk(w)
                    path.pop()
                if more:
                    return

        walk(start)
        if more:
            break
    return found, more


def print_cycles(title, listing, succ, note=lambda rel, target: ""):
    print(title)
    if not listing:
        print("  none")
        return
    shown_edges = set()
    for number, cycle in enumerate(listing, 1):
        print(f"  {number}. " + " -> ".join(cycle))
        for a, b in zip(cycle, cycle[1:]):
            if (a, b) in shown_edges:
                continue
            shown_edges.add((a, b))
            why = ", ".join(f'{rel} "{name}"{note(rel, target)}'
                            for rel, name, target in succ[a][b])
            print(f"       {a} -> {b}: {why}")


def main():
    parser = argparse.ArgumentParser(description="Finds include cycles in src/.")
    parser.add_argument("src", nargs="?", type=pathlib.Path,
                        default=pathlib.Path(__file__).resolve().parent.parent / "src")
    parser.add_argument("--with-tests", action="store_true",
                        help="also take the unit tests and their helpers into the graph")
    args = parser.parse_args()
    if not args.src.is_dir():
        print(f"check_includes: {args.src} is not a directory", file=sys.stderr)
        return 2

    file_edges, outside = read_includes(args.src, args.with_tests)
    modules = graph(file_edges, module_of)
    folders = graph(file_edges, folder_of)

    module_cycles, allowed, more_modules = [], [], False
    tangles = components(modules.keys(), modules)
    for component in tangles:
        found, more = cycles(component, modules, MAX_CYCLES - len(module_cycles))
        more_modules |= more
        for cycle in found:
            (allowed if set(cycle) == TOKEN_INTERFACE else module_cycles).append(cycle)

    print_cycles("Module include cycles (a module is a header with its source):",
                 module_cycles, modules)
    if more_modules:
        print(f"  ... and more (only the first {MAX_CYCLES} are listed)")
    if allowed:
        print("  (not counted: " + " -> ".join(allowed[0]) + ", the token interface)")
    for component in tangles:
        if set(component) != TOKEN_INTERFACE:
            print(f"  The {len(component)} modules that these cycles join: " + ", ".join(component))

    folder_cycles, more_folders = [], False
    for component in components(folders.keys(), folders):
        found, more = cycles(component, folders, MAX_CYCLES - len(folder_cycles))
        folder_cycles += found
        more_folders |= more

    def token_note(rel, target):
        pair = {module_of(rel), module_of(target)}
        return " (token interface)" if pair == TOKEN_INTERFACE else ""

    print()
    print_cycles("Folder include cycles (not counted in the exit status):",
                 folder_cycles, folders, token_note)
    if more_folders:
        print(f"  ... and more (only the first {MAX_CYCLES} are listed)")
    if outside:
        print()
        print("Included but not in src/ (generated or external): " + ", ".join(sorted(outside)))

    print()
    print(f"check_includes: {len(module_cycles)}{'+' if more_modules else ''} module cycles, "
          f"{len(folder_cycles)}{'+' if more_folders else ''} folder cycles")
    return 1 if module_cycles else 0


if __name__ == "__main__":
    sys.exit(main())
