#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Checks every property trigger of the vendor tree's init scripts as Android 12's init does.
# init parses a vendor .rc in the vendor_init subcontext, and there a trigger on a property
# (on property:NAME=VALUE, alone or joined with &&) is kept only if NAME begins with a partner
# prefix or vendor_init may read NAME's property type (ro.actionable_compatible_property.enabled
# is always true on Android 12). Otherwise init logs "unexported property trigger found" and
# drops the whole action: the service it would start never starts. The platform's
# host_init_verifier takes every property as readable and does not see this, nor does a build.
# NAME's type is resolved through libselinux from the platform model's property_contexts and the
# vendor's, and what vendor_init may read is read off the compiled policy.
#
# usage: check_init_triggers.sh PROPERTY_CONTEXT_TOOL [DEVICE_DIR]
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
lookup=$1
device=${2:-$root/device}
vendor=$device/sepolicy
platform=$here/platform
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# shellcheck source=common.sh
source "$here/common.sh"

partner_prefixes=(vendor. ro.vendor. persist.vendor. init.svc.vendor. odm. ro.odm. persist.odm.
    init.svc.odm. ro.boot.)

if ! output=$(compile userdebug "$vendor" "$work/policy"); then
    echo "the policy does not compile:"
    echo "$output"
    exit 1
fi

# verdict NAME: "ok (why)" when init keeps a trigger on NAME in a vendor .rc, else why it drops it.
verdict() {
    local name=$1 prefix context type
    for prefix in "${partner_prefixes[@]}"; do
        [[ $name == "$prefix"* ]] && { echo "ok (partner prefix $prefix)"; return; }
    done
    context=$("$lookup" "$platform/property_contexts" "$vendor/property_contexts" -- "$name" |
        awk '{print $2}')
    type=${context#u:object_r:}
    type=${type%%:*}
    if [[ -z $type || $type == "(none)" ]]; then
        echo "no property context"
    elif [[ -n $(sesearch -A -s vendor_init -t "$type" -c file -p read "$work/policy") ]]; then
        echo "ok (vendor_init may read $type)"
    else
        echo "unexported property trigger: $type, which vendor_init may not read"
    fi
}

# triggers RC_FILE: "LINE NAME" for each property of each "on" line.
triggers() {
    awk '$1 == "on" {
        for (i = 2; i <= NF; ++i)
            if ($i ~ /^property:/) { n = $i; sub(/^property:/, "", n); sub(/=.*/, "", n); print FNR, n }
    }' "$1"
}

# check_file RC_FILE LABEL: every trigger of the file, as init treats it.
check_file() {
    local line name result count=0
    while read -r line name; do
        count=$((count + 1))
        result=$(verdict "$name")
        if [[ $result == ok* ]]; then
            ok "$2:$line: on property:$name is kept: ${result#ok }"
        else
            fail "$2:$line: on property:$name is dropped by init: $result"
        fi
    done < <(triggers "$1")
    ((count > 0)) || ok "$2: no property trigger"
}

# The tree's init scripts: every .rc with a service or an action (ueventd's files have neither).
mapfile -t scripts < <(grep -l -E '^(service|on) ' $(find "$device" -name '*.rc') | sort)
((${#scripts[@]} > 0)) || fail "no init script found under ${device#"$root"/}"
for script in "${scripts[@]}"; do
    check_file "$script" "${script#"$root"/}"
done

# What init decides for triggers of each kind. Columns: property | kept or dropped.
while IFS='|' read -r name expected; do
    [[ -z $name || $name == \#* ]] && continue
    printf 'on property:%s=running && property:vendor.x=1\n    start x\n' "$name" >"$work/planted.rc"
    result=$(check_file "$work/planted.rc" planted)
    if grep -q '^FAIL' <<<"$result"; then actual=dropped; else actual=kept; fi
    if [[ $actual == "$expected" ]]; then
        ok "a vendor trigger on $name is $expected: $(grep -m1 -o 'dropped by init: .*\|kept: .*' <<<"$result")"
    else
        fail "a vendor trigger on $name is $actual, expected $expected:"
        echo "$result"
    fi
done <<'EOF_TRIGGERS'
# The SoC vendor's system-control service by its platform-side state: init.svc. of a service
# that is not a vendor one is the platform's own.
init.svc.systemcontrol|dropped
init.svc.vendor.systemcontrol|kept
init.svc.odm.systemcontrol|kept
init.svc.zygote|kept
init.svc.surfaceflinger|kept
init.svc.servicemanager|dropped
vendor.quorin.micstate|kept
ro.boot.hardware|kept
EOF_TRIGGERS

echo "init trigger check: $failed failed"
[[ $failed -eq 0 ]]
