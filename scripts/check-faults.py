#!/usr/bin/env python3
"""Checks the fault list that scripts/plant-faults.sh plants: every fault must apply exactly once.

A fault is one line, "name | file | exact text | replacement" (lines starting with # are
comments). Each name must be unique, its file must exist, and its text must occur exactly once in
that file, so that every fault still plants what it says. Cheap: nothing is built or planted.

    scripts/check-faults.py [LIST]     (default scripts/faults.txt)
"""
import os
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def problems(list_path):
    seen = set()
    with open(list_path, encoding="utf-8") as faults:
        for number, line in enumerate(faults, 1):
            line = line.rstrip("\n")
            if not line.strip() or line.startswith("#"):
                continue
            parts = line.split(" | ", 3)  # as plant-faults.sh reads it: the replacement is the rest
            if len(parts) != 4:
                yield f"line {number}: not 'name | file | exact text | replacement'"
                continue
            name, path, text, replacement = parts
            if name in seen:
                yield f"{name}: named twice"
            seen.add(name)
            if text == replacement:
                yield f"{name}: the replacement is the text itself"
            full = os.path.join(ROOT, path)
            if not os.path.isfile(full):
                yield f"{name}: no file {path}"
                continue
            with open(full, encoding="utf-8") as source:
                count = source.read().count(text)
            if count != 1:
                yield f"{name}: its text occurs {count} times in {path}, not once"


def main():
    list_path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "scripts", "faults.txt")
    found = list(problems(list_path))
    for problem in found:
        print(problem, file=sys.stderr)
    if found:
        print(f"{len(found)} fault(s) of {list_path} do not apply", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
