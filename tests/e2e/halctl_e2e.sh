#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# End to end: halctl drives the built library, unmodified and without any test seam, on the
# device emulated by umockdev. Checks the emulated device files, the properties, the audio
# port's record and the exit codes of a scripted sequence with restarts, and that malformed
# command lines and scripts are refused with status 2 before anything is called.
#
# usage: halctl_e2e.sh HALCTL DEVICE_DESCRIPTION [EMULATOR...]
# With an emulator (a cross build), halctl runs under it.
set -uo pipefail

halctl=$1
device=$2
emulator=("${@:3}")
hc() { "${emulator[@]}" "$halctl" "$@"; }

. "$(dirname "${BASH_SOURCE[0]}")/check.sh"

leds=/sys/devices/platform/gpioleds/leds
adc=/sys/devices/platform/soc/ffd00000.cbus/ffd1f000.i2c/i2c-0/0-0018

if [[ "${E2E_INSIDE:-}" != 1 ]]; then
    command -v umockdev-run >/dev/null || { echo "umockdev-run is not installed"; exit 1; }
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    export HAL_SIM_DIR=$work/sim E2E_WORK=$work
    mkdir -p "$HAL_SIM_DIR"
    E2E_INSIDE=1 umockdev-run --device "$device" -- bash "$0" "$@"
    exit $?
fi

# --- inside the emulated device ---------------------------------------------------------------

# Another halctl on the machine with its own copy of the library loaded, for the whole run: a
# copy is another file, never this library's holder, so nothing below may see it.
library_built=$(dirname "$halctl")/../libquorin_hal.so
mkdir -p "$E2E_WORK/elsewhere"
cp "$library_built" "$E2E_WORK/elsewhere/libquorin_hal.so"
mkfifo "$E2E_WORK/elsewhere.in"
# shellcheck disable=SC2016 # the program is python's
bash -c 'exec -a halctl python3 -c "$1" "$2"' copy 'import mmap, sys
f = open(sys.argv[1], "rb")
m = mmap.mmap(f.fileno(), 0, prot=mmap.PROT_READ)
print("mapped", flush=True)
sys.stdin.read()' "$E2E_WORK/elsewhere/libquorin_hal.so" <"$E2E_WORK/elsewhere.in" >"$E2E_WORK/elsewhere.out" &
copy_holder=$!
exec 6>"$E2E_WORK/elsewhere.in"
trap 'exec 6>&-; wait $copy_holder' EXIT
for _ in $(seq 100); do [[ -s "$E2E_WORK/elsewhere.out" ]] && break; sleep 0.1; done
check "a copy of the library held elsewhere" mapped "$(cat "$E2E_WORK/elsewhere.out")"

# A property's value, its key compared as text (the dots in a key are dots).
prop() {
    local line
    while IFS= read -r line; do
        if [[ "$line" == "$1="* ]]; then printf '%s\n' "${line#"$1="}"; fi
    done <"$HAL_SIM_DIR/properties"
}
# Drops a property from the store, its key compared as text.
drop_prop() {
    local line kept=()
    while IFS= read -r line; do
        [[ "$line" == "$1="* ]] || kept+=("$line")
    done <"$HAL_SIM_DIR/properties"
    printf '%s\n' "${kept[@]}" >"$HAL_SIM_DIR/properties"
}
# How many lines of FILE start with TEXT, compared as text. (grep -cF counts the lines holding it.)
starting() {  # starting TEXT FILE
    TEXT=$1 awk 'index($0, ENVIRON["TEXT"]) == 1 { n++ } END { print n + 0 }' "$2"
}
# The line after the first one of FILE that starts with TEXT.
line_after() {  # line_after TEXT FILE
    TEXT=$1 awk 'found { print; exit } index($0, ENVIRON["TEXT"]) == 1 { found = 1 }' "$2"
}
attr() { cat "$1"; }
# Standard error without the warning that the holder scan was cut short: any process on the
# machine with many mappings can cause it, and the checks below that use this are about other
# things. The scan's own checks build the processes that cut it short.
warnings_of_this_run() {
    grep -v -F -e "halctl: warning: whether another process has " "$1" || true
}
# The trigger written last: an emulated attribute is not truncated, so it is the start of the file.
trig() {
    case $(cat "$1") in
        timer*) echo timer ;;
        none*) echo none ;;
        *) cat "$1" ;;
    esac
}

cat >"$E2E_WORK/story.halctl" <<'SCRIPT'
led init            # nothing saved yet
led state 0 0       # standby
led state 1 201     # refused in standby
led state 0 1       # all steady
led state 1 200     # remote blinking
mic on
mic volume 57
mic echo 150        # clamped to 100
restart             # the model starts again at all blinking...
led state 1 200     # ...so this is drawn and saved once more
SCRIPT
hc -v run "$E2E_WORK/story.halctl" 2>"$E2E_WORK/story.log"
check "story exit" 0 $?
check "remote brightness" 1 "$(attr $leds/remote_led/brightness)"
check "remote trigger" timer "$(trig $leds/remote_led/trigger)"
check "green brightness" 0 "$(attr $leds/green_led/brightness)"
check "green trigger" none "$(trig $leds/green_led/trigger)"
check "sys brightness" 0 "$(attr $leds/sys_led/brightness)"
check "ADC mute" 0 "$(attr $adc/adc3101_mute_ctl)"
check "ADC volume" 23 "$(attr $adc/adc3101_vol_ctl)"
check "saved triple" "1,200,0" "$(prop vendor.quorin.ledindex),$(prop vendor.quorin.ledstate),$(prop vendor.quorin.ledcolor)"
check "mic state" 1 "$(prop vendor.quorin.micstate)"
check "standby refusal logged" 1 "$(grep -cF 'skip to set other LED in standby mode' "$E2E_WORK/story.log")"
check "log lines in logcat's brief format, tag padded to eight" 1 "$(grep -cE '^D/hal_mic \( *[0-9]+\): hal_mic:HAL_MicSetVolume v101\(volume=57\)$' "$E2E_WORK/story.log")"
check "long tags are not cut" 1 "$(grep -cE '^I/audio_patch\( *[0-9]+\): enableMicAudioPatch$' "$E2E_WORK/story.log")"
check "saves (4 requests, the repeat after restart)" 4 "$(grep -cF 'in save_property' "$E2E_WORK/story.log")"
check "echo weight clamped" "setParameters audio_echo_decay=100" "$(grep -F setParameters "$HAL_SIM_DIR/audio_port")"
check "one patch created" 1 "$(grep -cF createAudioPatchTarsk "$HAL_SIM_DIR/audio_port")"
check "port per load" "2 2" "$(grep -cxF created "$HAL_SIM_DIR/audio_port") $(grep -cxF destroyed "$HAL_SIM_DIR/audio_port")"

hc led state 0 -1
check "negative state exit" 1 $?
hc led color 0 -3
check "negative colour exit" 1 $?

# A new process: the model is back at all blinking, the saved request is replayed.
hc -v led init 2>"$E2E_WORK/init.log"
check "init exit" 0 $?
check "init read the triple" 1 "$(grep -cF 'HAL_FrontPanelInit> in get_property <1><200><0>' "$E2E_WORK/init.log")"
check "init replayed and saved" 1 "$(grep -cF 'in save_property' "$E2E_WORK/init.log")"
check "volume is per process" 0 "$(hc mic get-volume)"
check "patch state kept" enabled "$(hc patch status)"
hc mic on
check "no second patch for a recorded one" 1 "$(grep -cF createAudioPatchTarsk "$HAL_SIM_DIR/audio_port")"
hc mic off
check "mute" 1 "$(attr $adc/adc3101_mute_ctl)"
check "patch released" disabled "$(hc patch status)"
hc led color 0 10  # a new process: blinking, so triggers only
check "colour saved" "0,2,10" "$(prop vendor.quorin.ledindex),$(prop vendor.quorin.ledstate),$(prop vendor.quorin.ledcolor)"
check "green now blinking" timer "$(trig $leds/green_led/trigger)"
check "show draws three blinking LEDs" 3 "$(hc --color=never show | grep -o blinking | wc -l)"
# No service manager here reaches another process's service: halctl loads the library, and says so.
check "show: the requests' way" "  requests        the library, loaded by halctl (vendor.quorin.hal.IQuorinHal/default is not found in the service manager)" \
    "$(hc --color=never show | tail -n1)"
printf '%s\n' 'led state 1 201' | hc run -
check "script from standard input" 0 $?
check "all steady after the stdin script" "none 1" "$(trig $leds/sys_led/trigger) $(attr $leds/sys_led/brightness)"

# The kernel's own trigger list (Debian's armhf 6.1, as the virtual board shows it): 279 bytes,
# the active entry bracketed at byte 272. show reads the whole attribute.
kernel_triggers="usb-gadget usb-host kbd-scrolllock kbd-numlock kbd-capslock kbd-kanalock \
kbd-shiftlock kbd-altgrlock kbd-ctrllock kbd-altlock kbd-shiftllock kbd-shiftrlock kbd-ctrlllock \
kbd-ctrlrlock disk-activity disk-read disk-write ide-disk mtd nand-disk heartbeat cpu cpu0 panic"
printf 'none %s [timer]\n' "$kernel_triggers" >$leds/remote_led/trigger
printf '[none] %s timer\n' "$kernel_triggers" >$leds/green_led/trigger
check "show finds the bracketed entry at the end of a kernel-sized list" "blinking on on" \
    "$(hc --color=never show | grep -A3 '^+-- front panel' | sed -n 4p | tr -s ' |' ' ' | sed 's/^ //;s/ $//')"

# A trigger list past show's 64 KiB bound: drawn from what was read, and said to be cut.
kept=$(cat $leds/sys_led/trigger)
{ printf 'none '; head -c 70000 /dev/zero | tr '\0' 'x'; printf ' [timer]\n'; } >$leds/sys_led/trigger
check "show: a trigger list past the bound is said to be cut" 1 \
    "$(hc --color=never show | grep -cF 'sys_led/trigger is longer than 64 KiB: read up to there (cut)')"
printf '%s' "$kept" >$leds/sys_led/trigger

# A script's status is the worst of its lines', and every line runs...
printf '%s\n' 'led state 0 -1' 'led state 0 0' >"$E2E_WORK/minus.halctl"
hc -x run "$E2E_WORK/minus.halctl" >"$E2E_WORK/out"
check "script with a -1 line exit" 1 $?
check "lines after a -1 line run" 2 "$(starting 'halctl> ' "$E2E_WORK/out")"
check "standby after the -1 line" "0 1 0" "$(attr $leds/remote_led/brightness) $(attr $leds/green_led/brightness) $(attr $leds/sys_led/brightness)"
# ...except after a line that exits 3 (here: no library to load), where the script ends.
hc -x --lib "$E2E_WORK/missing.so" run "$E2E_WORK/minus.halctl" >"$E2E_WORK/out" 2>"$E2E_WORK/err"
check "script stops at a line exiting 3" 3 $?
check "no line runs after a 3" 1 "$(starting 'halctl> ' "$E2E_WORK/out")"
check "the load failure said once" 1 "$(grep -cF 'cannot load' "$E2E_WORK/err")"

# show opens the attributes non-blocking: an emulated one can be a FIFO, with nobody writing.
fifo=$UMOCKDEV_DIR$leds/green_led/trigger
kept=$(cat "$fifo")
rm "$fifo" && mkfifo "$fifo"
# A guard, not a measure; KILL because the emulation blocks signals while it opens a file.
timeout -s KILL 60 "${emulator[@]}" "$halctl" --color=never show >"$E2E_WORK/out"
check "show with a FIFO attribute exit" 0 $?
check "show with a FIFO attribute draws the panel" 1 "$(grep -cF 'front panel' "$E2E_WORK/out")"
rm "$fifo" && printf '%s' "$kept" >"$fifo"

# The stand-ins' property store as a FIFO: refused at once, not waited on; nothing is read.
mv "$HAL_SIM_DIR/properties" "$E2E_WORK/properties.kept" && mkfifo "$HAL_SIM_DIR/properties"
timeout -s KILL 60 "${emulator[@]}" "$halctl" props >"$E2E_WORK/out"
check "props with a FIFO store exit" 0 $?
check "props with a FIFO store reads nothing" "vendor.quorin.ledindex=" "$(head -n1 "$E2E_WORK/out")"
rm "$HAL_SIM_DIR/properties" && mv "$E2E_WORK/properties.kept" "$HAL_SIM_DIR/properties"

# --- malformed input: status 2, a message, and nothing called ---------------------------------

before=$(cat "$HAL_SIM_DIR/properties" "$HAL_SIM_DIR/audio_port" | md5sum)
bad_lines=(
    ""
    "led"
    "led state"
    "led state 0"
    "led state 0 1 2"
    "led state a 1"
    "led state 1e3 1"
    "led state 0x10 1"
    "led state +1 1"
    "led state 0 2147483648"
    "led state 0 -2147483649"
    "led state 0 99999999999999999999"
    "led state 0 1.5"
    "led state 0 -"
    "led blink 0 1"
    "mic volume"
    "mic volume ten"
    "mic on 1"
    "props save 1 2"
    "patch enable now"
    "frobnicate"
    "run"
    "run a b"
    "--nonsense led init"
    "--color=sometimes show"
    "-vq led init"
    "--lib"
    "--lib="
    "--verbose=1 led init"
    "--version=2"
    "doctor --xml"
    "doctor --json --json"
)
for line in "${bad_lines[@]}"; do
    # shellcheck disable=SC2086 # word splitting is the point
    hc -v $line >"$E2E_WORK/out" 2>"$E2E_WORK/err"
    status=$?
    check "bad command line [$line] status" 2 $status
    check "bad command line [$line] says why" 1 "$(starting 'halctl: ' "$E2E_WORK/err")"
    check "bad command line [$line] calls nothing" "" "$(grep -E '^[VDIWEF]/' "$E2E_WORK/err"; cat "$E2E_WORK/out")"
done

# Each script is written as it stands, its last line the bad one (a script is data, never a
# printf format: "100%" or a backslash in one stays as it is).
bad_scripts=(
    $'led state 0 1\nled state 0 x'
    $'led state 0 1\nmic volume 1e3'
    $'led state 0 1\nrun other.halctl'
    $'led state 0 1\nled --help'
    $'mic on\n\n# fine\nmic echo 0x10'
    $'led state 0 1\nnonsense'
    $'led init\nled state 0 1 extra'
    $'led state 0 1\nmic volume 100%'
    $'led state 0 1\nled state 0 \\x31'
)
for script in "${bad_scripts[@]}"; do
    printf '%s\n' "$script" >"$E2E_WORK/bad.halctl"
    last=$(wc -l <"$E2E_WORK/bad.halctl")
    name=${script//$'\n'/\\n}
    hc -v run "$E2E_WORK/bad.halctl" >"$E2E_WORK/out" 2>"$E2E_WORK/err"
    check "bad script [$name] status" 2 $?
    check "bad script [$name] names line $last" 1 "$(grep -cF "line $last: " "$E2E_WORK/err")"
    check "bad script [$name] calls nothing" "" "$(grep -E '^[VDIWEF]/' "$E2E_WORK/err"; cat "$E2E_WORK/out")"
done
# Scripts that cannot be read whole are refused the same way, before any line runs.
yes 'mic get-volume' | head -n $((1024 * 1024 / 15 + 1)) >"$E2E_WORK/huge.halctl"
unreadable=(
    "run $E2E_WORK"                   # a directory
    "run $E2E_WORK/missing.halctl"
    "run /dev/zero"                   # endless
    "run $E2E_WORK/huge.halctl"       # whole lines, just over the limit
)
for line in "${unreadable[@]}" "run - (standard input closed)"; do
    if [[ "$line" == "run -"* ]]; then
        hc -v run - <&- >"$E2E_WORK/out" 2>"$E2E_WORK/err"
    else
        # shellcheck disable=SC2086
        hc -v $line >"$E2E_WORK/out" 2>"$E2E_WORK/err"
    fi
    check "unreadable script [$line] status" 2 $?
    check "unreadable script [$line] says why" 1 "$(grep -c -E '^halctl: run: .*: (cannot read|larger than)' "$E2E_WORK/err")"
    check "unreadable script [$line] calls nothing" "" "$(grep -E '^[VDIWEF]/' "$E2E_WORK/err"; cat "$E2E_WORK/out")"
done
check "nothing changed by malformed input" "$before" "$(cat "$HAL_SIM_DIR/properties" "$HAL_SIM_DIR/audio_port" | md5sum)"

# --- process restart and device reboot ----------------------------------------------------------
# A restart of the process keeps every property and start replays the saved request; a reboot of
# the simulated device keeps only persist.* properties, as init does, so start replays nothing.
printf '%s\n' 'persist.vendor.quorin.e2e=kept' >>"$HAL_SIM_DIR/properties"
hc led state 0 220
hc mic on
hc -v run - <<<$'restart\nled init' 2>"$E2E_WORK/restart.log"
check "restart: exit" 0 $?
check "restart: start read the saved request" 1 "$(grep -cF 'HAL_FrontPanelInit> in get_property <0><220><1>' "$E2E_WORK/restart.log")"
check "restart: replayed and saved again" 1 "$(grep -cF 'in save_property' "$E2E_WORK/restart.log")"
check "restart: patch state kept" 1 "$(prop vendor.quorin.micstate)"
hc reboot
check "reboot: exit" 0 $?
check "reboot: only persist.* is left" "persist.vendor.quorin.e2e=kept" "$(cat "$HAL_SIM_DIR/properties")"
check "reboot: the port record starts again" "" "$(cat "$HAL_SIM_DIR/audio_port")"
hc -v led init 2>"$E2E_WORK/reboot.log"
check "reboot: start finds nothing saved" 1 "$(grep -cF 'HAL_FrontPanelInit> in get_property <-1><0><0>' "$E2E_WORK/reboot.log")"
check "reboot: start replays nothing" 0 "$(grep -cF 'in save_property' "$E2E_WORK/reboot.log")"
check "reboot: no patch recorded" disabled "$(hc patch status)"
check "reboot: show has no saved request" 1 "$(hc --color=never show | grep -cF 'saved request   none')"
hc -v run - <<<$'led state 0 0\nreboot\nled init\nmic get-volume' >"$E2E_WORK/out" 2>"$E2E_WORK/reboot.log"
check "reboot in a script: exit" 0 $?
check "reboot in a script: the new boot's port, of the library loaded again" "created destroyed" "$(tr '\n' ' ' <"$HAL_SIM_DIR/audio_port" | sed 's/ $//')"
check "reboot in a script: start replays nothing" 1 "$(grep -cF 'in save_property' "$E2E_WORK/reboot.log")"
check "reboot in a script: nothing saved" "" "$(prop vendor.quorin.ledindex)"
hc reboot now >/dev/null 2>&1
check "reboot takes no arguments" 2 $?

# --- the platform's logger: every line, with -v or without ----------------------------------------

if [[ -n "${LOGD_PROBE:-}" ]]; then
    LD_PRELOAD="${LD_PRELOAD:+$LD_PRELOAD:}$LOGD_PROBE" LOGD_PROBE_FILE=$E2E_WORK/logd \
        "$halctl" mic volume 5 2>"$E2E_WORK/err"
    check "logd: every line, DEBUG included" "3 hal_mic hal_mic:HAL_MicSetVolume v101(volume=5)" \
        "$(cat "$E2E_WORK/logd")"
    check "logd: without -v stderr stays quiet" "" "$(warnings_of_this_run "$E2E_WORK/err")"
    rm -f "$E2E_WORK/logd"
    LD_PRELOAD="${LD_PRELOAD:+$LD_PRELOAD:}$LOGD_PROBE" LOGD_PROBE_FILE=$E2E_WORK/logd \
        "$halctl" -v mic on 2>"$E2E_WORK/err"
    check "logd: the same lines as the -v view" \
        "$(warnings_of_this_run "$E2E_WORK/err" | sed -E 's/^([VDIWEF])\/([^ (]*) *\( *[0-9]+\): /\1 \2 /' | sed 's/^D /3 /; s/^I /4 /')" \
        "$(cat "$E2E_WORK/logd")"
fi

# --- the platform's option forms ---------------------------------------------------------------

printf '%s\n' 'mic get-volume' >"$E2E_WORK/one.halctl"
hc -vx run "$E2E_WORK/one.halctl" >"$E2E_WORK/out" 2>"$E2E_WORK/err"
check "-vx: both options" "0 halctl> mic get-volume 1" "$? $(head -1 "$E2E_WORK/out") $(starting D/hal_mic "$E2E_WORK/err")"
library=$(dirname "$halctl")/../libquorin_hal.so
check "--lib=PATH" 0 "$(hc --lib="$library" mic get-volume)"
check "--lib PATH" 0 "$(hc --lib "$library" mic get-volume)"
hc --lib=/nonexistent/libquorin_hal.so led init 2>"$E2E_WORK/err"
check "--lib=PATH is the library loaded" "3 1" "$? $(grep -cF 'cannot load /nonexistent/libquorin_hal.so' "$E2E_WORK/err")"
hc -v -- led state 0 -1 2>/dev/null
check "-- ends the options, -1 stays an argument" 1 $?
check "--version" "halctl 1.0" "$(hc --version)"

# --- beside the hosting service ---------------------------------------------------------------
# init's record of the service, in the property store: while it runs (or is about to run again, or
# has not yet exited after a stop), the commands that change the device are refused before the
# library is loaded, naming the service and how to stop it; those that only read run, and --force
# changes the device all the same.
for state in running restarting stopping; do
    printf '%s\n' "init.svc.vendor.quorin.hal=$state" >>"$HAL_SIM_DIR/properties"
    before=$(cat $leds/*/brightness $leds/*/trigger $adc/adc3101_* | md5sum)
    ports=$(grep -cxF created "$HAL_SIM_DIR/audio_port" 2>/dev/null)
    for line in "led state 0 0" "led color 0 2" "led init" "mic on" "mic volume 3" "patch enable"; do
        # shellcheck disable=SC2086
        hc -v $line >"$E2E_WORK/out" 2>"$E2E_WORK/err"
        check "service $state: [$line] refused" 2 $?
        check "service $state: [$line] names the service and how to stop it" 1 \
            "$(grep -cF "halctl: ${line%% [0-9]*}: the hosting service vendor.quorin.hal is $state (init.svc.vendor.quorin.hal) and drives the device itself; stop it first (adb shell su root stop vendor.quorin.hal" "$E2E_WORK/err")"
        check "service $state: [$line] calls nothing" "" "$(grep -E '^[VDIWEF]/' "$E2E_WORK/err"; cat "$E2E_WORK/out")"
        check "service $state: [$line] loads nothing" "$ports" "$(grep -cxF created "$HAL_SIM_DIR/audio_port" 2>/dev/null)"
    done
    check "service $state: nothing changed" "$before" "$(cat $leds/*/brightness $leds/*/trigger $adc/adc3101_* | md5sum)"
    for line in "show" "props" "mic get-volume" "patch status" "led version"; do
        # shellcheck disable=SC2086
        hc --color=never $line >/dev/null 2>&1
        check "service $state: [$line] still runs" 0 $?
    done
    printf '%s\n' 'mic get-volume' 'mic volume 3' 'mic get-volume' | hc run - >"$E2E_WORK/out" 2>/dev/null
    check "service $state: a script runs its reading lines, refuses the others" "2 0 0" "$? $(tr '\n' ' ' <"$E2E_WORK/out" | sed 's/ $//')"
    hc --force led state 0 0 2>"$E2E_WORK/err"
    check "service $state: --force proceeds" "0 standby" "$? $(attr $leds/green_led/brightness | sed 's/^1$/standby/')"
    drop_prop init.svc.vendor.quorin.hal
done
printf '%s\n' "init.svc.vendor.quorin.hal=stopped" >>"$HAL_SIM_DIR/properties"
hc led state 0 1 2>"$E2E_WORK/err"
check "service stopped: changes go ahead" "0 " "$? $(warnings_of_this_run "$E2E_WORK/err")"
drop_prop init.svc.vendor.quorin.hal

# --- what halctl echoes of what it was handed: escaped, bounded, never cut by a NUL ---------------
hc mic volume $'\e[2J\xc2\x9b31m\x9b' 2>"$E2E_WORK/err"
check "an argument's control bytes escaped: exit" 2 $?
check "an argument's control bytes escaped" 'halctl: mic volume: VOLUME must be a decimal integer in the signed 32-bit range, got "\x1b[2J\xc2\x9b31m\x9b"' "$(head -1 "$E2E_WORK/err")"
{ printf 'mic volume '; head -c 1000000 /dev/zero | tr '\0' 9; printf 'x\n'; } >"$E2E_WORK/long.halctl"
hc run "$E2E_WORK/long.halctl" 2>"$E2E_WORK/err"
check "a 1 MB bad number: exit" 2 $?
check "a 1 MB bad number: an excerpt" 1 "$(grep -cF "line 1: mic volume: VOLUME must be a decimal integer in the signed 32-bit range, got \"$(printf '9%.0s' $(seq 64))... (1000001 bytes)\"" "$E2E_WORK/err")"
check "a 1 MB bad number: what is echoed is bounded" 1 "$(($(wc -c <"$E2E_WORK/err") < 1024))"
printf 'mic volume 5\0x1\n' >"$E2E_WORK/nul.halctl"
hc run "$E2E_WORK/nul.halctl" 2>"$E2E_WORK/err"
check "a NUL in a script: exit" 2 $?
check "a NUL in a script: escaped, the message whole" 1 "$(grep -cF 'got "5\x00x1"' "$E2E_WORK/err")"
hc run "$E2E_WORK/"$'\e]0;t\a' 2>"$E2E_WORK/err"
check "a script's name escaped" 1 "$(grep -cF 'halctl: run: '"$E2E_WORK"'/\x1b]0;t\x07: cannot read' "$E2E_WORK/err")"

# --- the doctor --------------------------------------------------------------------------------

# The port's record is apart: the loader's check loads the library in a child, which constructs
# the port (and no more) as every load does.
device_state() {
    cat $leds/*/brightness $leds/*/trigger $adc/adc3101_* "$HAL_SIM_DIR/properties" | md5sum
}
hc led state 0 220
before=$(device_state)
port_before=$(cat "$HAL_SIM_DIR/audio_port")
hc -v doctor >"$E2E_WORK/doctor" 2>"$E2E_WORK/err"
check "doctor: the full device passes" 0 $?
check "doctor: no failure" 0 "$(starting 'FAIL' "$E2E_WORK/doctor")"
check "doctor: eight attributes open read-write" 8 "$(grep -c '^pass  [a-z_0-9/]*: opens read-write' "$E2E_WORK/doctor")"
check "doctor: a timer trigger on each LED" 3 "$(grep -c '^pass  [a-z_]*/trigger: timer trigger' "$E2E_WORK/doctor")"
check "doctor: the saved request" 1 "$(starting 'pass  saved LED request: complete and consistent: (0, 220, 1)' "$E2E_WORK/doctor")"
check "doctor: SELinux said to be absent" 1 "$(grep -c '^skip  SELinux: .*SELinux not enabled' "$E2E_WORK/doctor")"
check "doctor: the loader loads the library" 1 "$(starting 'pass  libquorin_hal.so: loads' "$E2E_WORK/doctor")"
check "doctor: the platform libraries found" 4 "$(grep -cE '^pass  lib(log|utils|systemcontrolservice|AmlAudioOutPort)\.so[.0-9]*: found: /' "$E2E_WORK/doctor")"
check "doctor: summary" 1 "$(grep -cE '^doctor: [0-9]+ passed, 0 failed, [0-9]+ skipped' "$E2E_WORK/doctor")"
check "doctor: the requests' way" 1 "$(starting 'pass  vendor.quorin.hal.IQuorinHal/default: requests path: the library, loaded by halctl' "$E2E_WORK/doctor")"
check "doctor: calls nothing, logs nothing" "" "$(cat "$E2E_WORK/err")"
check "doctor: changes nothing" "$before" "$(device_state)"
check "doctor: the load constructs the port, nothing more" "created" \
    "$(diff <(echo "$port_before") <(cat "$HAL_SIM_DIR/audio_port") | sed -n 's/^> //p' | sort -u)"

hc doctor --json >"$E2E_WORK/doctor.json"
check "doctor --json: exit" 0 $?
# The same verdicts, in the same order, as the text form.
check "doctor --json: the text's verdicts" \
    "$(sed -n 's/^\(pass\|FAIL\|skip\)  .*/\1/p' "$E2E_WORK/doctor" | tr 'A-Z' 'a-z' | tr '\n' ' ')ok=True" \
    "$(python3 -c 'import json, sys
report = json.load(open(sys.argv[1]))
print(" ".join(c["verdict"] for c in report["checks"]), end=" ")
print("ok=%s" % (report["ok"] and report["failed"] == 0))' "$E2E_WORK/doctor.json")"

testbed=$UMOCKDEV_DIR$leds
planted() {  # planted NAME SUBJECT CHECK HINT FAILURES: one fault, named with its hint
    hc doctor >"$E2E_WORK/doctor" 2>&1
    check "doctor, $1: exit" 1 $?
    check "doctor, $1: names it" 1 "$(starting "FAIL  $2: $3" "$E2E_WORK/doctor")"
    check "doctor, $1: hint" 1 "$(line_after "FAIL  $2: $3" "$E2E_WORK/doctor" | sed -n 's/^      hint: //p' | grep -cF "$4")"
    check "doctor, $1: failures" "$5" "$(starting 'FAIL' "$E2E_WORK/doctor")"
}
class_leds=$UMOCKDEV_DIR/sys/class/leds
mv "$testbed/green_led" "$E2E_WORK/green_led"
rm "$class_leds/green_led"
planted "missing LED" green_led "present: $leds/green_led is missing; the kernel has these LEDs: remote_led, sys_led" \
    'LED green_led is missing: give the gpioleds node of the device tree a child labelled "green_led"' 1
check "doctor, missing LED: one finding for its attributes" 0 "$(starting 'FAIL  green_led/' "$E2E_WORK/doctor")"
# The same LED registered by another driver, at another path.
elsewhere=/sys/devices/platform/leds/leds
mkdir -p "$UMOCKDEV_DIR$elsewhere"
mv "$E2E_WORK/green_led" "$UMOCKDEV_DIR$elsewhere/green_led"
ln -s "../../devices/platform/leds/leds/green_led" "$class_leds/green_led"
planted "LED at another path" green_led "present: $leds/green_led is missing; path differs: the kernel put it at $elsewhere/green_led" \
    "make green_led a child of the device tree's gpioleds node" 1
mv "$UMOCKDEV_DIR$elsewhere/green_led" "$testbed/green_led"
rm "$class_leds/green_led" && ln -s "../../devices/platform/gpioleds/leds/green_led" "$class_leds/green_led"

printf '%s' 255 >"$testbed/green_led/max_brightness"
planted "max_brightness 255" green_led/max_brightness 'max_brightness: max_brightness is 255: "on" writes 1 of 255' \
    'drive it with the leds-gpio driver' 1
printf '%s' 1 >"$testbed/green_led/max_brightness"

# The ADC answering at another address of its bus, then not at all.
bus=$UMOCKDEV_DIR$(dirname "$adc")
mv "$UMOCKDEV_DIR$adc" "$bus/0-0019"
planted "ADC at another address" ADC3101 "present: $adc is missing; on the bus: 0-0019" 'reg 0x18 on i2c-0' 1
check "doctor, ADC at another address: one finding for its attributes" 0 "$(starting 'FAIL  adc3101_' "$E2E_WORK/doctor")"
mv "$bus/0-0019" "$E2E_WORK/0-0019"
planted "no ADC" ADC3101 "present: $adc is missing; nothing on the bus" 'the device tree needs the adc3101 node' 1
mv "$E2E_WORK/0-0019" "$UMOCKDEV_DIR$adc"

volume=$UMOCKDEV_DIR$adc/adc3101_vol_ctl
chmod 0444 "$volume"
# Root opens it anyway; anyone else is refused as well.
planted "read-only attribute" adc3101_vol_ctl "mode and owner: mode 0444" \
    "ueventd.rc: $adc adc3101_vol_ctl 0664 system system" "$([[ $(id -u) == 0 ]] && echo 1 || echo 2)"
if ! getent passwd system >/dev/null; then
    check "doctor, read-only attribute: chmod names the simulated file" 1 \
        "$(line_after "FAIL  adc3101_vol_ctl: mode and owner" "$E2E_WORK/doctor" | grep -cF "on the simulated device: chmod 0664 $volume")"
fi
chmod 0644 "$volume"

# A driver without show: the file made 0200. Root opens it read-write; anyone else is refused.
value=$(cat "$volume")
chmod 0200 "$volume"
if [[ $(id -u) == 0 ]]; then write_only_check="readable"; else write_only_check="opens read-write"; fi
planted "write-only attribute" adc3101_vol_ctl "$write_only_check: write-only (missing show): mode 0200 has no read bit" \
    'writes still work once the mode allows them' 2
chmod 0644 "$volume"
check "doctor, write-only attribute: nothing written" "$value" "$(cat "$volume")"

trigger=$(cat "$testbed/sys_led/trigger")
rm "$testbed/sys_led/trigger" && mkdir "$testbed/sys_led/trigger"
planted "attribute that is a directory" sys_led/trigger "regular attribute: $leds/sys_led/trigger is a directory" \
    'only the leds-gpio driver may own sys_led (device tree label "sys_led")' 1
rmdir "$testbed/sys_led/trigger" && printf '%s' "$trigger" >"$testbed/sys_led/trigger"

trigger=$(cat "$testbed/remote_led/trigger")
printf '%s' '[none] heartbeat default-on' >"$testbed/remote_led/trigger"
planted "no timer trigger" remote_led/trigger "timer trigger" \
    'load ledtrig-timer (modprobe ledtrig_timer) or enable CONFIG_LEDS_TRIGGER_TIMER' 1
printf '%s' "$trigger" >"$testbed/remote_led/trigger"

cp "$HAL_SIM_DIR/properties" "$E2E_WORK/properties"
hc props save 0 0 10
planted "inconsistent saved request" "saved LED request" "complete and consistent: (0, 0, 10): request (0, 0) draws colour 2" \
    'halctl props save INDEX STATE COLOR' 1
drop_prop vendor.quorin.ledcolor
planted "incomplete saved request" "saved LED request" "complete and consistent: incomplete: ledcolor unset" \
    'written together by save_property' 1
cp "$E2E_WORK/properties" "$HAL_SIM_DIR/properties"
hc --lib=/nonexistent/libquorin_hal.so doctor >"$E2E_WORK/doctor" 2>&1
check "doctor, no library file: exit" 1 $?
check "doctor, no library file: names it" 1 "$(starting 'FAIL  libquorin_hal.so: found: /nonexistent/libquorin_hal.so not found' "$E2E_WORK/doctor")"
check "doctor, no library file: the platform libraries instead" 4 "$(grep -cE '^(pass|FAIL)  lib(log|utils|systemcontrolservice|AmlAudioOutPort)\.so: loads' "$E2E_WORK/doctor")"
# Another process with the library's file mapped, as the hosting service has it on a device.
library=$(hc doctor | sed -n 's/^pass  libquorin_hal\.so: found: //p')
# A copy outside the build tree: its run path ($ORIGIN/platform) holds neither of the vendor's
# libraries, halctl's own does; the doctor looks as the library's own load looks.
mkdir "$E2E_WORK/outside" && cp "$library" "$E2E_WORK/outside/"
hc --lib="$E2E_WORK/outside/libquorin_hal.so" doctor >"$E2E_WORK/doctor" 2>&1
check "doctor, library elsewhere: exit" 1 $?
check "doctor, library elsewhere: refused" 1 "$(starting 'FAIL  libquorin_hal.so: loads: ' "$E2E_WORK/doctor")"
check "doctor, library elsewhere: neither vendor library found along the library's search" 2 \
    "$(grep -cE "^FAIL  lib(systemcontrolservice|AmlAudioOutPort)\.so: found: the library's load cannot find it: not in .*$E2E_WORK/outside/platform, the loader's cache" "$E2E_WORK/doctor")"
check "doctor, library elsewhere: what it needs and finds, by its path" 1 \
    "$(grep -cE "^pass  liblog\.so\.0: found: /.*/liblog\.so\.0 \(on the library's search path; the loader loads it alone\)" "$E2E_WORK/doctor")"
mkfifo "$E2E_WORK/holder.in"
python3 -c 'import mmap, sys
f = open(sys.argv[1], "rb")
m = mmap.mmap(f.fileno(), 0, prot=mmap.PROT_READ)
print("mapped", flush=True)
sys.stdin.read()' "$library" <"$E2E_WORK/holder.in" >"$E2E_WORK/holder.out" &
holder=$!
exec 7>"$E2E_WORK/holder.in"
for _ in $(seq 100); do [[ -s "$E2E_WORK/holder.out" ]] && break; sleep 0.1; done
hc doctor >"$E2E_WORK/doctor" 2>&1
check "doctor, library held elsewhere: still passes" 0 $?
check "doctor, library held elsewhere: names the process" 1 \
    "$(starting "pass  libquorin_hal.so: loaded elsewhere: also loaded by pid $holder (python3; kill $holder)" "$E2E_WORK/doctor")"
hc led state 0 220 >/dev/null 2>"$E2E_WORK/err"
check "library held elsewhere: led state still runs" 0 $?
check "library held elsewhere: led state warns" 1 \
    "$(grep -cF "halctl: warning: $library is also loaded by pid $holder (python3; kill $holder)" "$E2E_WORK/err")"
hc led version >/dev/null 2>"$E2E_WORK/err"
check "library held elsewhere: a getter does not warn" "" "$(cat "$E2E_WORK/err")"
exec 7>&-
wait "$holder"
hc led state 0 220 >/dev/null 2>"$E2E_WORK/err"
check "library no longer held: no warning" "" "$(warnings_of_this_run "$E2E_WORK/err")"
check "doctor: no other process" 1 "$(hc doctor | grep -c -E '^(pass  libquorin_hal\.so: loaded elsewhere: no other process|skip  libquorin_hal\.so: loaded elsewhere: not known whether another process has it loaded; )')"
# A process with more mappings than the scan reads of one (any user can make one): the scan says
# it was cut short, rather than that nobody holds the library.
head -c 4096 /dev/zero >"$E2E_WORK/page"
mkfifo "$E2E_WORK/busy.in"
python3 -c 'import ctypes, mmap, os, sys
libc = ctypes.CDLL(None, use_errno=True)
libc.mmap.restype = ctypes.c_void_p
libc.mmap.argtypes = [ctypes.c_void_p, ctypes.c_size_t, ctypes.c_int, ctypes.c_int, ctypes.c_int, ctypes.c_long]
fd = os.open(sys.argv[1], os.O_RDONLY)
# Each a mapping of its own: the same page of the file is never contiguous with the last.
made = sum(libc.mmap(None, 4096, mmap.PROT_READ, mmap.MAP_PRIVATE, fd, 0) not in (None, 2**64 - 1) for _ in range(20000))
print("mapped" if made == 20000 else "mapped %d" % made, flush=True)
sys.stdin.read()' "$E2E_WORK/page" <"$E2E_WORK/busy.in" >"$E2E_WORK/busy.out" &
busy=$!
exec 7>"$E2E_WORK/busy.in"
for _ in $(seq 300); do [[ -s "$E2E_WORK/busy.out" ]] && break; sleep 0.1; done
check "many mappings: made" "mapped" "$(cat "$E2E_WORK/busy.out")"
hc led state 0 220 >/dev/null 2>"$E2E_WORK/err"
check "many mappings: led state still runs" 0 $?
# (Other processes of the machine may add to the count.)
check "many mappings: led state says the scan was cut short" 1 \
    "$(grep -F "halctl: warning: whether another process has $library loaded is not known: " "$E2E_WORK/err" | grep -cE 'known: [0-9]+ process(es)? ha(s|ve) maps longer than 1 MiB, read only that far$')"
hc doctor >"$E2E_WORK/doctor" 2>&1
check "many mappings: the doctor still passes" 0 $?
check "many mappings: the doctor says it does not know" 1 \
    "$(grep -cE '^skip  libquorin_hal\.so: loaded elsewhere: not known whether another process has it loaded; the scan was cut short: [0-9]+ process(es)? ha(s|ve) maps longer than 1 MiB' "$E2E_WORK/doctor")"
exec 7>&-
wait "$busy"

hc doctor >/dev/null
check "doctor: passes again once the faults are gone" 0 $?
# Inside a script the library is loaded already: the loader is still asked in a fresh process
# (which an emulator without binfmt_misc cannot start).
if [[ -z "${emulator[*]}" ]]; then
    printf '%s\n' 'led version' 'doctor' >"$E2E_WORK/doctor.halctl"
    hc run "$E2E_WORK/doctor.halctl" >"$E2E_WORK/doctor" 2>&1
    check "doctor in a script: a fresh process loads it" 1 \
        "$(starting 'pass  libquorin_hal.so: loads: the loader loaded it and every library it needs (RTLD_NOW), in a process of its own' "$E2E_WORK/doctor")"
fi

# --- the doctor and the loader: whatever --lib names, a line with the loader's word, never a
# signal or a hang of halctl; the JSON form parses each time.
json_ok() {  # json_ok FILE: the number of checks, or "invalid"
    python3 -c 'import json, sys
print(len(json.load(open(sys.argv[1], "rb"))["checks"]))' "$1" 2>/dev/null || echo invalid
}
doctor_lib() {  # doctor_lib NAME LIB FAILING-LINE [ENV...]: one library case, text and JSON
    local name=$1 lib=$2 line=$3
    shift 3
    env "$@" timeout -s KILL 60 "${emulator[@]}" "$halctl" --lib "$lib" doctor >"$E2E_WORK/doctor" 2>&1
    check "doctor, $name: exit" 1 $?
    check "doctor, $name: said" 1 "$(grep -cF -- "$line" "$E2E_WORK/doctor")"
    check "doctor, $name: summary" 1 "$(starting 'doctor: ' "$E2E_WORK/doctor")"
    env "$@" timeout -s KILL 60 "${emulator[@]}" "$halctl" --lib "$lib" doctor --json >"$E2E_WORK/doctor.json" 2>/dev/null
    check "doctor --json, $name: exit" 1 $?
    check "doctor --json, $name: parses" "$(grep -cE '^(pass|FAIL|skip)  ' "$E2E_WORK/doctor")" "$(json_ok "$E2E_WORK/doctor.json")"
}
cases=${LOADER_CASES:-}
mkfifo "$E2E_WORK/fifo.so"
doctor_lib "a directory" "$E2E_WORK" "FAIL  libquorin_hal.so: found: $E2E_WORK is a directory"
doctor_lib "/dev/zero" /dev/zero "FAIL  libquorin_hal.so: found: /dev/zero is a device"
doctor_lib "a FIFO" "$E2E_WORK/fifo.so" "FAIL  libquorin_hal.so: found: $E2E_WORK/fifo.so is a FIFO"
printf 'not a library' >"$E2E_WORK/text.so"
doctor_lib "not ELF" "$E2E_WORK/text.so" "FAIL  libquorin_hal.so: loads: $E2E_WORK/text.so: "
if [[ -n "$cases" && -z "${emulator[*]}" ]]; then
    doctor_lib "a dependency's constructor aborts" "$cases/libloader_needs_abort.so" \
        "FAIL  libquorin_hal.so: loads: loading was ended by signal 6"
    doctor_lib "a dependency's constructor blocks" "$cases/libloader_needs_block.so" \
        "FAIL  libquorin_hal.so: loads: loading did not finish within 5 s and was killed"
    doctor_lib "an undefined symbol" "$cases/libloader_undefined.so" \
        "undefined symbol: loader_case_missing_function"
    mv "$cases/libloader_abort.so" "$E2E_WORK/libloader_abort.so"
    doctor_lib "a missing dependency" "$cases/libloader_needs_abort.so" \
        "FAIL  libloader_abort.so: found: the library's load cannot find it: not in "
    check "doctor, a missing dependency: where it was looked for" 1 \
        "$(grep -cF ":$cases, the loader's cache /etc/ld.so.cache, /lib/" "$E2E_WORK/doctor")"
    check "doctor, a missing dependency: the loader's word for the library" 1 \
        "$(grep -cF 'libloader_abort.so: cannot open shared object file' "$E2E_WORK/doctor")"
    mv "$E2E_WORK/libloader_abort.so" "$cases/libloader_abort.so"
    doctor_lib "a constructor kills its parent" "$cases/libloader_kills_parent.so" \
        "FAIL  libquorin_hal.so: loads: loading ended the process that started it with signal 9"
    # A process that a constructor leaves behind holds neither halctl's output nor the pipe.
    timeout -s KILL 20 "$halctl" --lib "$cases/libloader_forks.so" doctor 2>&1 | cat >"$E2E_WORK/doctor"
    check "doctor, a constructor forks: done before the fork's 30 s" "0 1" \
        "${PIPESTATUS[0]} $(starting 'doctor: ' "$E2E_WORK/doctor")"
    "$halctl" --lib "$cases/libloader_prints.so" doctor >"$E2E_WORK/doctor" 2>&1
    check "doctor, a constructor prints: shown escaped in the report" 1 \
        "$(grep -cF 'loads: the loader loaded it and every library it needs (RTLD_NOW), in a process of its own; loading printed: hello\x1b[2J\x07\x0afrom the constructor' "$E2E_WORK/doctor")"
    check "doctor, a constructor prints: nothing raw" 0 "$(grep -c $'\x1b' "$E2E_WORK/doctor")"
    hc --lib "$cases/libloader_rpath.so" doctor >"$E2E_WORK/doctor" 2>&1
    LD_LIBRARY_PATH="$cases/env${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}" \
        "$halctl" --lib "$cases/libloader_rpath.so" doctor >"$E2E_WORK/doctor" 2>&1
    check "doctor: DT_RPATH before LD_LIBRARY_PATH" 1 \
        "$(starting "pass  libloader_dep.so: found: $cases/rpath/libloader_dep.so" "$E2E_WORK/doctor")"
fi

# Text that is not UTF-8, with control bytes, in what the doctor reports: escaped in both forms.
odd=$E2E_WORK/$'odd\x07\xff'.so
cp "$E2E_WORK/text.so" "$odd"
hc --lib "$odd" doctor >"$E2E_WORK/doctor" 2>&1
check "doctor: control bytes shown escaped (found, loads)" 2 "$(grep -cF 'odd\x07' "$E2E_WORK/doctor")"
hc --lib "$odd" doctor --json >"$E2E_WORK/doctor.json" 2>/dev/null
check "doctor --json: any byte, valid JSON (found, loads)" 2 "$(python3 -c 'import json, sys
report = json.load(open(sys.argv[1], "rb"))
print(sum("odd\x07\ufffd" in c["detail"] for c in report["checks"]))' "$E2E_WORK/doctor.json")"

# Output that cannot be written is a failure of its own (status 4), for every printing command.
for line in "doctor" "doctor --json" "show" "props" "mic get-volume" "patch status" "--help" \
    "led --help" "--version"; do
    # shellcheck disable=SC2086
    hc $line >/dev/full 2>"$E2E_WORK/err"
    check "[$line] >/dev/full: status" 4 $?
    check "[$line] >/dev/full: says so" 1 "$(grep -cF 'halctl: cannot write the output' "$E2E_WORK/err")"
done

# The same through a pipe that nobody reads: no death by SIGPIPE, the error said, status 4.
closed_pipe() {  # closed_pipe ARGS...: halctl's standard output a pipe with no reader
    rm -f "$E2E_WORK/closed"
    mkfifo "$E2E_WORK/closed"
    exec 8<>"$E2E_WORK/closed" 9>"$E2E_WORK/closed" 8<&-
    hc "$@" >&9 2>"$E2E_WORK/err"
    local status=$?
    exec 9>&-
    return $status
}
printf '%s\n' 'mic get-volume' >"$E2E_WORK/one.halctl"
for line in "doctor" "doctor --json" "show" "props" "mic get-volume" "patch status" "--help" \
    "led --help" "--version" "-x run $E2E_WORK/one.halctl"; do
    # shellcheck disable=SC2086
    closed_pipe $line
    check "[$line] into a closed pipe: status" 4 $?
    check "[$line] into a closed pipe: says so" 1 "$(grep -cF 'halctl: cannot write the output: Broken pipe' "$E2E_WORK/err")"
done

for topic in "" "led" "led state" "mic" "props" "patch echo-weight" "show" "run"; do
    # shellcheck disable=SC2086
    hc $topic --help >"$E2E_WORK/out" 2>&1
    check "help [$topic] status" 0 $?
    check "help [$topic] has a usage line" 1 "$(grep -c -m1 -E "^(usage: halctl|  ${topic:-led state})" "$E2E_WORK/out")"
done

echo "halctl e2e: $passed passed, $failed failed"
[[ $failed -eq 0 ]]
