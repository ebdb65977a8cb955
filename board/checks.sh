# SPDX-License-Identifier: Apache-2.0
# What every check set of the virtual board shares: the attribute paths, the PASS/FAIL lines on
# the console and the kernel's view of an LED. Sourced by the checks-* scripts.

set -f # words are split below (to trim the fields of the cases), never globbed
# The LED class directory, every LED of the panel in the panel's order, and those the library
# drives in its order, as the device's description lists them (make-image copies the list).
leds=$(sed -n 's/^dir //p' /board/leds)
panel_leds=$(sed -n 's/^panel //p' /board/leds)
driven_leds=$(sed -n 's/^driven //p' /board/leds)
if [ -z "$leds" ] || [ -z "$panel_leds" ] || [ -z "$driven_leds" ]; then
    echo "FAIL the LED list: /board/leds names no LED directory, no panel or no driven LED"
    echo "RESULT 0 1"
    exit 1
fi
undriven_leds=$(for led in $panel_leds; do
    case " $driven_leds " in *" $led "*) ;; *) echo "$led" ;; esac
done)
adc=/sys/devices/platform/soc/ffd00000.cbus/ffd1f000.i2c/i2c-0/0-0018
passed=0
failed=0

# The closing line the host reads: how many checks passed and failed.
finish() {
    echo "RESULT $passed $failed"
}

pass() {
    passed=$((passed + 1))
    echo "PASS $1"
}
fail() {
    failed=$((failed + 1))
    echo "FAIL $1: $2"
}
check() { # check NAME EXPECTED ACTUAL
    if [ "$2" = "$3" ]; then pass "$1"; else fail "$1" "expected \"$2\", got \"$3\""; fi
}

# The active trigger of an LED: the bracketed entry of the kernel's list.
active_trigger() {
    local list
    read -r list <"$leds/$1/trigger" || return 1
    list=${list#*\[}
    echo "${list%%\]*}"
}

# What the kernel shows for an LED: off, on, blinking (the timer trigger active, with its
# periods), or the raw attributes when it is none of these.
look() {
    local trigger brightness on off
    trigger=$(active_trigger "$1") || { echo "no-trigger-attribute"; return; }
    read -r brightness <"$leds/$1/brightness" || { echo "no-brightness-attribute"; return; }
    case $trigger/$brightness in
    none/0) echo off ;;
    none/1) echo on ;;
    timer/0 | timer/1)
        read -r on <"$leds/$1/delay_on" && read -r off <"$leds/$1/delay_off"
        if [ "${on:-0}" -gt 0 ] && [ "${off:-0}" -gt 0 ]; then echo blinking; else
            echo "timer-without-periods"
        fi
        ;;
    *) echo "trigger=$trigger,brightness=$brightness" ;;
    esac
}

# looks LED...: what the kernel shows for each LED, on one line.
looks() {
    local led words=""
    for led in "$@"; do words="$words $(look "$led")"; done
    echo $words
}

# The LEDs the library drives, in its order: the columns of the cases.
panel() {
    looks $driven_leds
}

# lines_ending TEXT FILE: how many lines of FILE end with TEXT, compared as text (a path's dots
# are dots).
lines_ending() {
    TEXT=$1 awk '
        { tail = substr($0, length($0) - length(ENVIRON["TEXT"]) + 1) }
        length($0) >= length(ENVIRON["TEXT"]) && tail == ENVIRON["TEXT"] { n++ }
        END { print n + 0 }' "$2"
}

# doctor_names REPORT SUBJECT CHECK HINT_WORD: in the text report of `halctl doctor`, a FAIL
# line for SUBJECT's CHECK followed by its hint, which mentions HINT_WORD.
doctor_names() {
    LINE="FAIL  $2: $3" WORD=$4 awk '
        index($0, ENVIRON["LINE"]) == 1 { found = 1; next }
        found == 1 { print (index($0, "hint:") > 0 && index($0, ENVIRON["WORD"]) > 0) ? "named" : "no hint"; exit }
        END { if (found != 1) print "not named" }' "$1"
}
