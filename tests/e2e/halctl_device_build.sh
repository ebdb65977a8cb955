#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# halctl as a device build has it (no simulated device behind it), against the built library:
# `reboot` is refused with status 2 and changes nothing, and a script's status is the worst of
# its lines' even when a worse line comes before a milder one.
#
# usage: halctl_device_build.sh HALCTL [EMULATOR...]
set -uo pipefail

halctl=$1
emulator=("${@:2}")
hc() { "${emulator[@]}" "$halctl" "$@"; }

. "$(dirname "${BASH_SOURCE[0]}")/check.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HAL_SIM_DIR=$work/sim
mkdir -p "$HAL_SIM_DIR"

hc props save 0 220 1
check "saved before the reboot" 0 $?
hc reboot >"$work/out" 2>"$work/err"
check "reboot: exit" 2 $?
check "reboot: says why" "halctl: reboot: only the simulated device is rebooted by halctl" "$(head -n1 "$work/err")"
check "reboot: names the way to do it" "usage: adb reboot" "$(sed -n 2p "$work/err")"
check "reboot: the properties are kept" "0 220 1" "$(hc props | sed -n 's/^vendor\.quorin\.led[a-z]*=//p' | tr '\n' ' ' | sed 's/ $//')"

# A refused reboot (2), then a line whose entry point returns -1 (1): the script exits 2.
printf '%s\n' 'reboot' 'led state 0 -1' 'mic get-volume' >"$work/worst.halctl"
hc -x run "$work/worst.halctl" >"$work/out" 2>"$work/err"
check "2 then 1: the script's status is the worst" 2 $?
check "2 then 1: every line ran" 3 "$(grep -c '^halctl> ' "$work/out")"
check "2 then 1: the last line's value" 0 "$(tail -n1 "$work/out")"

echo "halctl device build: $passed passed, $failed failed"
[[ $failed -eq 0 ]]
