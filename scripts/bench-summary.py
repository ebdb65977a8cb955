#!/usr/bin/env python3
# SPDX-License-Identifier: Apache-2.0
"""Turns hal_bench's JSON results into the report's tables: each request beside its floor."""
import json
import sys

PAIRS = [
    ("BM_LedState_SixWrites", "BM_Floor_SixWrites", "state request, six writes (incl. save)"),
    ("BM_LedColor_AllSteady", "BM_Floor_LedColor_AllSteady", "colour request, six writes (incl. save)"),
    ("BM_MicSetVolume", "BM_Floor_OneWrite", "HAL_MicSetVolume, one write"),
    ("BM_MicSetOnOff", "BM_Floor_MuteWrite", "HAL_MicSetOnOff, one write + patch"),
    ("BM_LedState_Skipped", None, "state request skipped (in force)"),
    ("BM_LedState_RefusedInStandby", None, "state request refused (standby)"),
    ("BM_SaveProperty", None, "save_property (stand-in client)"),
]


def main(path):
    data = json.load(open(path))
    median = {}
    for bench in data["benchmarks"]:
        if bench.get("aggregate_name") != "median":
            continue
        name = bench["run_name"].split("/")[0]
        scale = {"ns": 1, "us": 1e3, "ms": 1e6}[bench["time_unit"]]
        median[name] = (bench["real_time"] * scale, bench.get("allocs/call"))

    def ns(value):
        return f"{value / 1e3:.2f} µs" if value >= 1000 else f"{value:.1f} ns"

    print("## Time per call (median of 5 runs)\n")
    print("| request | time per call | floor (same syscalls in C) | ratio | heap allocations per call |")
    print("|---|---:|---:|---:|---:|")
    for name, floor, label in PAIRS:
        time, allocs = median[name]
        allocs_text = "—" if allocs is None else f"{allocs:.3g}"
        if floor:
            floor_time = median[floor][0]
            print(f"| {label} | {ns(time)} | {ns(floor_time)} | {time / floor_time:.3f} | {allocs_text} |")
        else:
            print(f"| {label} | {ns(time)} | — | — | {allocs_text} |")
    save = median["BM_SaveProperty"][0]
    for name, floor, label in PAIRS[:2]:
        time = median[name][0]
        print(f"| {label.split(',')[0]}, without the save | {ns(time - save)} | "
              f"{ns(median[floor][0])} | {(time - save) / median[floor][0]:.3f} | — |")

    flash = median["BM_LedState_Flash"][0]
    print("\n## Flash and whole processes (median of 5 runs)\n")
    print("| what | time |")
    print("|---|---:|")
    print(f"| flash request (3, 2), two 50 ms sleeps | {flash / 1e6:.3f} ms "
          f"({(flash - 100e6) / 1e3:.0f} µs over the sleeps) |")
    print(f"| shell: `sh -c 'echo none > …; echo 1 > …'`, six writes | "
          f"{median['BM_Process_ShellSixWrites'][0] / 1e6:.3f} ms |")
    print(f"| `halctl led state 0 1`: a process that loads the library, one request | "
          f"{median['BM_Process_HalctlSixWrites'][0] / 1e6:.3f} ms |")
    print(f"| the same request in a process that has the library loaded | "
          f"{ns(median['BM_LedState_SixWrites'][0])} |")


if __name__ == "__main__":
    main(sys.argv[1])
