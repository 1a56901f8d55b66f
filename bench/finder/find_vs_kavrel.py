#!/usr/bin/env python3
"""Times a name-only search of kavrel-find against `find DIR -iname PATTERN`,
and beside them fd (Debian's fd-find: `fdfind -u -g -i PATTERN DIR`) when it
is installed.

Usage: find_vs_kavrel.py [--build DIR] [--tree DIR] [--pattern PAT] [--runs N]

The tree (100,000 files in 10,000 folders, 10 x 10 x 100 folders with ten
files each, mixed extensions and letter case) is generated once under /tmp
and reused while its marker file is present. Each program is run --runs
times with its output thrown away; the best time of each is compared.
"""
import argparse
import os
import resource
import shutil
import subprocess
import sys
import time

EXTENSIONS = ["shp", "shx", "dbf", "tif", "tfw", "TIF", "mif", "mid", "txt", ""]
MARKER = ".kavrel-bench-tree"


def make_tree(root):
    if os.path.exists(os.path.join(root, MARKER)):
        return
    print(f"generating the tree in {root} ...", file=sys.stderr)
    for a in range(10):
        for b in range(10):
            for c in range(100):
                folder = os.path.join(root, f"region{a}", f"sheet {b}", f"tile{c:03d}")
                os.makedirs(folder, exist_ok=True)
                for i, ext in enumerate(EXTENSIONS):
                    name = f"layer{i}" + (f".{ext}" if ext else "")
                    with open(os.path.join(folder, name), "wb") as f:
                        f.write(b"x" * (i * 100))
    open(os.path.join(root, MARKER), "w").close()


def count_files(root):
    folders = files = 0
    for _, dirs, names in os.walk(root):
        folders += len(dirs)
        files += len(names)
    return folders, files


def best_time(command, runs):
    """Best wall-clock and best CPU (user + system) time over `runs` runs."""
    best_wall = best_cpu = None
    lines = 0
    for _ in range(runs):
        before = resource.getrusage(resource.RUSAGE_CHILDREN)
        start = time.perf_counter()
        done = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        wall = time.perf_counter() - start
        after = resource.getrusage(resource.RUSAGE_CHILDREN)
        cpu = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
        if done.returncode != 0:
            sys.exit(f"{command[0]} failed with status {done.returncode}")
        lines = done.stdout.count(b"\n")
        best_wall = wall if best_wall is None else min(best_wall, wall)
        best_cpu = cpu if best_cpu is None else min(best_cpu, cpu)
    return best_wall, best_cpu, lines


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default=os.path.join(here, "..", "..", "build"))
    parser.add_argument("--tree", default="/tmp/kavrel-bench-tree")
    parser.add_argument("--pattern", default="*.tif")
    parser.add_argument("--runs", type=int, default=5)
    args = parser.parse_args()

    program = os.path.join(args.build, "bin", "kavrel-find")
    if not os.access(program, os.X_OK):
        sys.exit(f"{program} not found: build first or pass --build")
    make_tree(args.tree)
    folders, files = count_files(args.tree)
    print(f"tree: {args.tree}: {files} files in {folders} folders; pattern {args.pattern}")

    # One untimed pass of each so that both start from a warm cache.
    find_cmd = ["find", args.tree, "-iname", args.pattern]
    kavrel_cmd = [program, "--look-in", args.tree, "--named", args.pattern]
    commands = [("find -iname", find_cmd), ("kavrel-find", kavrel_cmd)]
    fd = shutil.which("fdfind") or shutil.which("fd")
    if fd:
        commands.append(("fd -u -g -i", [fd, "-u", "-g", "-i", args.pattern, args.tree]))
    for _, command in commands:
        subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    # Interleaved rounds, so that a change of the machine's load meets all alike.
    best = {}
    for _ in range(args.runs):
        for name, command in commands:
            wall, cpu, rows = best_time(command, 1)
            old = best.get(name)
            best[name] = (min(wall, old[0]) if old else wall, min(cpu, old[1]) if old else cpu, rows)
    find_wall, find_cpu, find_rows = best["find -iname"]
    for name, _ in commands:
        wall, cpu, rows = best[name]
        print(f"{name:12}: {wall * 1000:8.1f} ms wall {cpu * 1000:8.1f} ms cpu  {rows} lines  "
              f"{wall / find_wall:.2f}x find wall, {cpu / find_cpu:.2f}x cpu")
        if rows != find_rows:
            print(f"warning: {name} found {rows} files, find {find_rows}", file=sys.stderr)
    print("target: kavrel-find at most 1.05x find")


if __name__ == "__main__":
    main()
