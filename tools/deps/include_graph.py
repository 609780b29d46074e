#!/usr/bin/env python3
"""The folders of src/ and which of them each includes from, as a graph.

    include_graph.py [SRC_DIR]          prints every folder's imports; fails on a cycle
    include_graph.py --dot [SRC_DIR]    the same graph for Graphviz

A folder may use those below it, never one that uses it: the graph must have no cycle.
"""
import re
import sys
from pathlib import Path

INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z_]+)/', re.MULTILINE)


def folder_graph(src):
    folders = sorted(p.name for p in src.iterdir() if p.is_dir())
    graph = {f: {} for f in folders}
    for f in folders:
        for file in (src / f).rglob("*"):
            if file.suffix not in (".h", ".cpp", ".in", ".rc"):
                continue
            for used in INCLUDE.findall(file.read_text(errors="replace")):
                if used != f and used in graph:
                    graph[f][used] = graph[f].get(used, 0) + 1
    return graph


def cycles(graph):
    """Every folder pair that reaches each other, as sorted tuples."""
    def reach(start):
        seen, todo = set(), [start]
        while todo:
            for n in graph[todo.pop()]:
                if n not in seen:
                    seen.add(n)
                    todo.append(n)
        return seen
    reached = {f: reach(f) for f in graph}
    return sorted({tuple(sorted((a, b))) for a in graph for b in reached[a] if a in reached[b] and a != b})


def main(argv):
    dot = "--dot" in argv
    args = [a for a in argv if a != "--dot"]
    src = Path(args[0] if args else Path(__file__).resolve().parents[2] / "src")
    graph = folder_graph(src)
    if dot:
        print("digraph src {")
        for f, used in graph.items():
            for u, n in sorted(used.items()):
                print(f'  "{f}" -> "{u}" [label={n}];')
        print("}")
    else:
        for f, used in graph.items():
            print(f"{f:12} -> " + (", ".join(f"{u} ({n})" for u, n in sorted(used.items())) or "-"))
    found = cycles(graph)
    for a, b in found:
        print(f"CYCLE: {a} and {b} include from each other", file=sys.stderr)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
