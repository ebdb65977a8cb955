# SPDX-License-Identifier: Apache-2.0
# The end-to-end scripts' one check: NAME passes when EXPECTED and ACTUAL are the same text, and a
# failure shows both, quoted. Sourced; the scripts report $passed and $failed at their end.
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
