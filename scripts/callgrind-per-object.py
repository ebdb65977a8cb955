#!/usr/bin/env python3
# SPDX-License-Identifier: Apache-2.0
"""Sums a callgrind output's self cost (Ir) per object file, for the instructions each shared
object spent itself. usage: callgrind-per-object.py CALLGRIND_OUT"""
import re
import sys
from collections import defaultdict


def main(path):
    names = {}
    per_object = defaultdict(int)
    current = None
    skip_next = False
    with open(path) as out:
        for line in out:
            line = line.rstrip("\n")
            if skip_next:  # the inclusive cost of a call, not the caller's own
                skip_next = False
                continue
            m = re.match(r"^ob=\((\d+)\)(?: (.*))?$", line)
            if m:
                if m.group(2):
                    names[m.group(1)] = m.group(2)
                current = m.group(1)
                continue
            m = re.match(r"^cob=\((\d+)\) (.*)$", line)  # names are also given where called
            if m:
                names[m.group(1)] = m.group(2)
                continue
            if line.startswith("calls="):
                skip_next = True
                continue
            if re.match(r"^[+\-*]?\d", line) or line.startswith("*"):
                fields = line.split()
                if len(fields) >= 2 and current is not None:
                    per_object[current] += int(fields[-1])
    resolved = defaultdict(int)
    for key, cost in per_object.items():
        resolved[names.get(key, key)] += cost
    for name, cost in sorted(resolved.items(), key=lambda item: -item[1]):
        print(f"{cost}\t{name}")


if __name__ == "__main__":
    main(sys.argv[1])
