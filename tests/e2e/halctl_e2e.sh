#!/usr/bin/env bash
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
passed=0
failed=0

check() {  # check NAME EXPECTED ACTUAL
    if [[ "$2" == "$3" ]]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        printf 'FAIL %s\n  expected: %q\n  actual:   %q\n' "$1" "$2" "$3"
    fi
}

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

prop() { sed -n "s/^$1=//p" "$HAL_SIM_DIR/properties"; }
attr() { cat "$1"; }

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
check "remote trigger" timer "$(attr $leds/remote_led/trigger)"
check "green brightness" 0 "$(attr $leds/green_led/brightness)"
check "green trigger" none "$(attr $leds/green_led/trigger)"
check "sys brightness" 0 "$(attr $leds/sys_led/brightness)"
check "ADC mute" 0 "$(attr $adc/adc3101_mute_ctl)"
check "ADC volume" 23 "$(attr $adc/adc3101_vol_ctl)"
check "saved triple" "1,200,0" "$(prop vendor.quorin.ledindex),$(prop vendor.quorin.ledstate),$(prop vendor.quorin.ledcolor)"
check "mic state" 1 "$(prop vendor.quorin.micstate)"
check "standby refusal logged" 1 "$(grep -c 'skip to set other LED in standby mode' "$E2E_WORK/story.log")"
check "saves (4 requests, the repeat after restart)" 4 "$(grep -c 'in save_property' "$E2E_WORK/story.log")"
check "echo weight clamped" "setParameters audio_echo_decay=100" "$(grep setParameters "$HAL_SIM_DIR/audio_port")"
check "one patch created" 1 "$(grep -c createAudioPatchTarsk "$HAL_SIM_DIR/audio_port")"
check "port per load" "2 2" "$(grep -c '^created' "$HAL_SIM_DIR/audio_port") $(grep -c '^destroyed' "$HAL_SIM_DIR/audio_port")"

hc led state 0 -1
check "negative state exit" 1 $?
hc led color 0 -3
check "negative colour exit" 1 $?

# A new process: the model is back at all blinking, the saved request is replayed.
hc -v led init 2>"$E2E_WORK/init.log"
check "init exit" 0 $?
check "init read the triple" 1 "$(grep -c 'HAL_FrontPanelInit> in get_property <1><200><0>' "$E2E_WORK/init.log")"
check "init replayed and saved" 1 "$(grep -c 'in save_property' "$E2E_WORK/init.log")"
check "volume is per process" 0 "$(hc mic get-volume)"
check "patch state kept" enabled "$(hc patch status)"
hc mic on
check "no second patch for a recorded one" 1 "$(grep -c createAudioPatchTarsk "$HAL_SIM_DIR/audio_port")"
hc mic off
check "mute" 1 "$(attr $adc/adc3101_mute_ctl)"
check "patch released" disabled "$(hc patch status)"
hc led color 0 10  # a new process: blinking, so triggers only
check "colour saved" "0,2,10" "$(prop vendor.quorin.ledindex),$(prop vendor.quorin.ledstate),$(prop vendor.quorin.ledcolor)"
check "green now blinking" timer "$(attr $leds/green_led/trigger)"
check "show draws three blinking LEDs" 3 "$(hc --color=never show | grep -o blinking | wc -l)"
printf 'led state 1 201\n' | hc run -
check "script from standard input" 0 $?
check "all steady after the stdin script" "none 1" "$(attr $leds/sys_led/trigger | cut -c1-4) $(attr $leds/sys_led/brightness)"

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
)
for line in "${bad_lines[@]}"; do
    # shellcheck disable=SC2086 # word splitting is the point
    hc -v $line >"$E2E_WORK/out" 2>"$E2E_WORK/err"
    status=$?
    check "bad command line [$line] status" 2 $status
    check "bad command line [$line] says why" 1 "$(grep -c '^halctl: ' "$E2E_WORK/err")"
    check "bad command line [$line] calls nothing" "" "$(grep -E '^[VDIWEF]/' "$E2E_WORK/err"; cat "$E2E_WORK/out")"
done

bad_scripts=(
    "led state 0 1\nled state 0 x"
    "led state 0 1\nmic volume 1e3"
    "led state 0 1\nrun other.halctl"
    "led state 0 1\nled --help"
    "mic on\n\n# fine\nmic echo 0x10"
    "led state 0 1\nnonsense"
    "led init\nled state 0 1 extra"
)
for script in "${bad_scripts[@]}"; do
    printf "$script\n" >"$E2E_WORK/bad.halctl"
    last=$(printf "$script\n" | wc -l)
    hc -v run "$E2E_WORK/bad.halctl" >"$E2E_WORK/out" 2>"$E2E_WORK/err"
    check "bad script [$script] status" 2 $?
    check "bad script [$script] names line $last" 1 "$(grep -c "line $last: " "$E2E_WORK/err")"
    check "bad script [$script] calls nothing" "" "$(grep -E '^[VDIWEF]/' "$E2E_WORK/err"; cat "$E2E_WORK/out")"
done
check "nothing changed by malformed input" "$before" "$(cat "$HAL_SIM_DIR/properties" "$HAL_SIM_DIR/audio_port" | md5sum)"

# --- process restart and device reboot ----------------------------------------------------------
# A restart of the process keeps every property and start replays the saved request; a reboot of
# the simulated device keeps only persist.* properties, as init does, so start replays nothing.
printf 'persist.vendor.quorin.e2e=kept\n' >>"$HAL_SIM_DIR/properties"
hc led state 0 220
hc mic on
hc -v run - <<<$'restart\nled init' 2>"$E2E_WORK/restart.log"
check "restart: exit" 0 $?
check "restart: start read the saved request" 1 "$(grep -c 'HAL_FrontPanelInit> in get_property <0><220><1>' "$E2E_WORK/restart.log")"
check "restart: replayed and saved again" 1 "$(grep -c 'in save_property' "$E2E_WORK/restart.log")"
check "restart: patch state kept" 1 "$(prop vendor.quorin.micstate)"
hc reboot
check "reboot: exit" 0 $?
check "reboot: only persist.* is left" "persist.vendor.quorin.e2e=kept" "$(cat "$HAL_SIM_DIR/properties")"
check "reboot: the port record starts again" "" "$(cat "$HAL_SIM_DIR/audio_port")"
hc -v led init 2>"$E2E_WORK/reboot.log"
check "reboot: start finds nothing saved" 1 "$(grep -c 'HAL_FrontPanelInit> in get_property <-1><0><0>' "$E2E_WORK/reboot.log")"
check "reboot: start replays nothing" 0 "$(grep -c 'in save_property' "$E2E_WORK/reboot.log")"
check "reboot: no patch recorded" disabled "$(hc patch status)"
check "reboot: show has no saved request" 1 "$(hc --color=never show | grep -c 'saved request   none')"
hc -v run - <<<$'led state 0 0\nreboot\nled init\nmic get-volume' >"$E2E_WORK/out" 2>"$E2E_WORK/reboot.log"
check "reboot in a script: exit" 0 $?
check "reboot in a script: the new boot's port, of the library loaded again" "created destroyed" "$(tr '\n' ' ' <"$HAL_SIM_DIR/audio_port" | sed 's/ $//')"
check "reboot in a script: start replays nothing" 1 "$(grep -c 'in save_property' "$E2E_WORK/reboot.log")"
check "reboot in a script: nothing saved" "" "$(prop vendor.quorin.ledindex)"
hc reboot now >/dev/null 2>&1
check "reboot takes no arguments" 2 $?

for topic in "" "led" "led state" "mic" "props" "patch echo-weight" "show" "run"; do
    # shellcheck disable=SC2086
    hc $topic --help >"$E2E_WORK/out" 2>&1
    check "help [$topic] status" 0 $?
    check "help [$topic] has a usage line" 1 "$(grep -c -m1 -E "^(usage: halctl|  ${topic:-led state})" "$E2E_WORK/out")"
done

echo "halctl e2e: $passed passed, $failed failed"
[[ $failed -eq 0 ]]
