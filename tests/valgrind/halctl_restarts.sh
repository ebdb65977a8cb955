#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# halctl under valgrind's memcheck, running scripts that restart the library between calls.
# Unlike the test executable, halctl built against libstdc++ does not keep the AOSP libraries
# loaded, so each restart unloads and reloads them with the library. Checks: no memory error;
# nothing lost but the platform's one known leak, suppressed by name and seen exactly once per
# load of libbase; and what is still held at exit does not grow with the number of restarts.
#
# usage: halctl_restarts.sh VALGRIND HALCTL SUPPRESSIONS
set -uo pipefail

valgrind=$1
halctl=$2
suppressions=$3
known_leak=debian-libbase-static-property-map-per-load

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unset HAL_SIM_DIR  # properties in memory
failed=0
fail() {
    echo "FAIL $*"
    failed=1
}

# Built against libc++, halctl links libutils and with it libbase itself: libbase is then
# loaded once and kept, and its map stays reachable instead of being lost.
keeps_libbase=false
if ldd "$halctl" | grep -q 'libbase\.so'; then keeps_libbase=true; fi

held=()
runs=$(dirname "$0")/../support/reliability_runs.h
few=$(sed -n 's/^constexpr int kHalctlRestartsFew = \([0-9]*\);.*/\1/p' "$runs")
many=$(sed -n 's/^constexpr int kHalctlRestartsMany = \([0-9]*\);.*/\1/p' "$runs")
[[ -n $few && -n $many ]] || { echo "FAIL no restart counts in $runs"; exit 1; }
for cycles in $few $many; do
    script=$work/restarts-$cycles.halctl
    for ((i = 0; i < cycles; ++i)); do
        printf 'led init\nled state 0 %d\nled color 0 10\nmic on\nmic volume %d\nmic echo %d\n' \
            $((i % 2)) "$i" "$i"
        printf 'mic off\nprops\nrestart\n'
    done >"$script"
    log=$work/memcheck-$cycles.log
    # --keep-debuginfo: a leak from an unloaded library keeps its object name, which the
    # suppression matches.
    "$valgrind" -v --keep-debuginfo=yes --suppressions="$suppressions" --error-exitcode=99 \
        --leak-check=full --errors-for-leak-kinds=definite,possible \
        "$halctl" run "$script" >/dev/null 2>"$log"
    status=$?
    loads=$((cycles + 1))
    if $keeps_libbase; then loads=0; fi
    if ((status != 0)); then
        fail "$cycles restarts: status $status (99: memcheck found an error or a leak)"
        grep -E '^==[0-9]+== ' "$log" | tail -60
    fi
    suppressed=$(sed -n "s/^--[0-9]*-- used_suppression: *\([0-9]*\) $known_leak .*/\1/p" "$log")
    [[ "${suppressed:-0}" == "$loads" ]] ||
        fail "$cycles restarts: $known_leak seen ${suppressed:-0} times, expected $loads (once per load of libbase when halctl unloads it, else none)"
    held+=("$(sed -n 's/^==[0-9]*== *still reachable: //p' "$log")")
    echo "$cycles restarts: status $status, $known_leak ${suppressed:-0}x, still reachable ${held[-1]}"
done
[[ "${held[0]}" == "${held[1]}" ]] ||
    fail "memory held at exit grows with the run: ${held[0]} after 5 restarts, ${held[1]} after 20"

exit $failed
