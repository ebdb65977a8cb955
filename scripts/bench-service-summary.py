#!/usr/bin/env python3
# SPDX-License-Identifier: Apache-2.0
# scripts/bench's table of the hosting service's cost per call, from service_bench's JSON: for
# each method the library alone, the method on the service object, the method through the binder
# stand-in (medians), the service's own share (the method less the library) and the stand-in's
# transport (through the stand-in less the method).
import json
import sys

CASES = [
    ("LedStatePair", "two `setLedState` requests, one each way (six writes and a save each)"),
    ("LedStateSkipped", "`setLedState` of the request in force (skipped by the library)"),
    ("MicSetVolume", "`setMicVolume` (one write)"),
    ("MicGetVolume", "`getMicVolume`"),
]


def median_ns(results, name):
    for bench in results["benchmarks"]:
        if bench["name"] == f"BM_{name}_median":
            scale = {"ns": 1, "us": 1e3, "ms": 1e6}[bench["time_unit"]]
            return bench["real_time"] * scale, bench["cpu_time"] * scale
    raise SystemExit(f"bench-service-summary: no BM_{name}_median in the results")


def shown(ns):
    return f"{ns / 1000:.2f} µs" if abs(ns) >= 1000 else f"{ns:.1f} ns"


def main():
    results = json.load(open(sys.argv[1]))
    print("\n## The hosting service per call (wall time, median; CPU time of the calling thread in brackets)\n")
    print("| call | library alone | on the service object | service's own | through the stand-in | stand-in's transport |")
    print("|---|---:|---:|---:|---:|---:|")
    for name, what in CASES:
        lib = median_ns(results, f"Library_{name}")
        svc = median_ns(results, f"Service_{name}")
        binder = median_ns(results, f"Binder_{name}")
        cells = [f"{shown(wall)} ({shown(cpu)})" for wall, cpu in (lib, svc)]
        own = (svc[0] - lib[0], svc[1] - lib[1])
        transport = (binder[0] - svc[0], binder[1] - svc[1])
        print(f"| {what} | {cells[0]} | {cells[1]} | {shown(own[0])} ({shown(own[1])}) | "
              f"{shown(binder[0])} ({shown(binder[1])}) | {shown(transport[0])} ({shown(transport[1])}) |")
    wall, cpu = median_ns(results, "Binder_InterfaceVersion")
    print(f"\nThe stand-in's transport alone (`getInterfaceVersion`, answered by the generated stub): "
          f"{shown(wall)} ({shown(cpu)}).")


main()
