#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Compiles the vendor policy of device/sepolicy with the platform model of tests/sepolicy/platform
# (m4 and checkpolicy, as the platform build does, for user and userdebug builds) and checks it:
# - the platform's neverallow rules hold, and a core domain given quorin_hal_host fails them;
# - sesearch: a domain given quorin_hal_host may do each thing the library does, the
#   system-control service may set the LED request, and no core domain may touch the nodes or
#   the properties (a planted rule that lets one is caught);
# - the eight attribute paths and four property keys that the built library holds are labelled
#   as they must be: genfscon, ueventd's mode and owner, property_contexts resolved through
#   libselinux's Android property backend.
#
# usage: check_policy.sh PROPERTY_CONTEXT_TOOL LIBRARY [VENDOR_SEPOLICY_DIR]
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
lookup=$1
library=$2
vendor=${3:-$root/device/sepolicy}
platform=$here/platform
ueventd=$root/device/ueventd.quorin_hal.rc
host=quorin_halctl  # the vendor tree's one user of the macro

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
ok() { echo "ok    $*"; }
# has_line FILE WORD...: FILE has a line of exactly these words, blank-separated, compared as text
# (a path or a property key is not a pattern: its dots are dots).
has_line() {
    local file=$1 words
    shift
    while read -r -a words; do
        [[ "${words[*]}" == "$*" ]] && return 0
    done <"$file"
    return 1
}
fail() {
    echo "FAIL  $*"
    failed=$((failed + 1))
}

# policy.conf in the platform build's order: classes, macros, attributes, rules, then labels.
policy_conf() {  # policy_conf VARIANT VENDOR_DIR
    m4 --fatal-warnings -D target_build_variant="$1" -s \
        "$platform"/{security_classes,initial_sids,access_vectors,global_macros,mls,te_macros} \
        "$2/te_macros" "$platform/attributes" "$platform"/*.te "$2"/*.te \
        "$platform"/{roles,users,initial_sid_contexts,fs_use,genfs_contexts} "$2/genfs_contexts"
}

compile() {  # compile VARIANT VENDOR_DIR OUTPUT: prints checkpolicy's complaints
    policy_conf "$1" "$2" >"$3.conf" && checkpolicy -M -c 30 -o "$3" "$3.conf" 2>&1
}

# --- compile ----------------------------------------------------------------------------------
for variant in user userdebug; do
    if output=$(compile "$variant" "$vendor" "$work/$variant"); then
        ok "$variant policy compiles with the platform model, its neverallow rules hold"
    else
        fail "$variant policy does not compile:"
        echo "$output"
    fi
done
policy=$work/userdebug
[[ -f "$policy" && -f "$work/user" ]] || { echo "policy check: $failed failed"; exit 1; }

mapfile -t core_domains < <(seinfo "$policy" -a coredomain -x --flat | awk '/^\t/ {print $1}')

# A core domain that is given the macro must fail the platform's neverallow rules: the system
# server, apps, adb's shell and su.
for domain in system_server untrusted_app shell su; do
    planted=$work/planted-$domain
    cp -r "$vendor" "$planted"
    echo "quorin_hal_host($domain)" >>"$planted/quorin_halctl.te"
    if output=$(compile userdebug "$planted" "$work/planted"); then
        fail "quorin_hal_host($domain) compiles: the model does not stop a core domain"
    elif grep -q neverallow <<<"$output"; then
        ok "quorin_hal_host($domain) is refused by a neverallow rule"
    else
        fail "quorin_hal_host($domain) fails for another reason:"
        echo "$output"
    fi
done

# --- what the host and the system-control service may do --------------------------------------
# "source target:class perm" for every permission of every allow rule of a source.
granted() {
    sesearch -A -s "$1" "$policy" | sed -n 's/^allow \([^ ]*\) \([^:]*\):\([^ ]*\) \(.*\);$/\2 \3 \4/p' |
        tr -d '{}' | awk '{for (i = 3; i <= NF; ++i) print $1 ":" $2 " " $i}' | sort -u
}

expect_grants() {  # expect_grants SOURCE WHAT "TARGET:CLASS PERMS" ...
    local source=$1 what=$2 rules
    shift 2
    rules=$(granted "$source")
    for entry in "$@"; do
        read -r object perms <<<"$entry"
        for perm in ${perms//,/ }; do
            if ! grep -qxF "$object $perm" <<<"$rules"; then
                fail "$source may not $perm $object ($what)"
                continue 2
            fi
        done
        ok "$source may $perms $object ($what)"
    done
}

expect_grants "$host" "what the library does" \
    "sysfs:dir search" \
    "sysfs_leds:dir search" \
    "sysfs_leds:file open,read,write" \
    "sysfs_quorin_adc:file open,read,write" \
    "property_socket:sock_file write" \
    "init:unix_stream_socket connectto" \
    "vendor_quorin_mic_prop:property_service set" \
    "vendor_quorin_mic_prop:file open,read" \
    "vendor_quorin_led_prop:file open,read" \
    "hwbinder_device:chr_file open,read,write,ioctl" \
    "system_control_hwservice:hwservice_manager find" \
    "system_control:binder call,transfer"
expect_grants "$host" "what halctl doctor looks at: mode, owner, label" \
    "sysfs_leds:file getattr" \
    "sysfs_quorin_adc:file getattr"
expect_grants system_control "on the library's behalf" \
    "vendor_quorin_led_prop:property_service set" \
    "vendor_quorin_led_prop:file open,read" \
    "property_socket:sock_file write" \
    "init:unix_stream_socket connectto"

# Exactly that: the LED request is set by the service, and nothing else in sysfs is writable.
host_rules=$(granted "$host")
for forbidden in "vendor_quorin_led_prop:property_service set" "sysfs:file write" "sysfs:file open"; do
    if grep -qxF "$forbidden" <<<"$host_rules"; then
        fail "$host may $forbidden: more than the library does"
    else
        ok "$host may not $forbidden"
    fi
done

# --- what no core domain may do ---------------------------------------------------------------
# Any rule that lets a core domain (init and ueventd apart, which set up the nodes) open a node
# or set or read a property of the library.
core_access() {  # core_access POLICY: prints the offending rules, or why it could not look
    local p=$1 target rules="" found
    for target in sysfs_leds sysfs_quorin_adc; do
        found=$(sesearch -A -s coredomain -t "$target" -c file -p open,read,write,append "$p") ||
            { echo "sesearch failed on $p"; return 0; }
        rules+=$found$'\n'
    done
    for target in vendor_quorin_led_prop vendor_quorin_mic_prop; do
        found=$(sesearch -A -s coredomain -t "$target" -c property_service,file -p set,open,read "$p") ||
            { echo "sesearch failed on $p"; return 0; }
        rules+=$found$'\n'
    done
    grep -v -E '^(allow (init|ueventd) |$)' <<<"$rules"
}
if offending=$(core_access "$policy"); then
    fail "core domains reach the library's nodes or properties:"
    echo "$offending"
else
    ok "no core domain may open the LED or ADC nodes, or set or read the four properties:" \
        "$(printf '%s\n' "${core_domains[@]}" | grep -v -x -E 'init|ueventd' | tr '\n' ' ')"
fi

# The ADC's type is the device's own: no platform neverallow guards it, this check does.
planted=$work/planted-adc
cp -r "$vendor" "$planted"
echo "allow system_server sysfs_quorin_adc:file { open write };" >>"$planted/quorin_halctl.te"
if compile userdebug "$planted" "$work/planted-adc-policy" >/dev/null &&
    offending=$(core_access "$work/planted-adc-policy"); then
    ok "a planted rule for system_server on the ADC is caught: $offending"
else
    fail "a planted rule for system_server on the ADC is not caught"
fi

# --- su and the tool's domain -----------------------------------------------------------------
permissive=$(seinfo "$policy" --permissive | awk 'NR > 2 {print $1}' | tr '\n' ' ')
if [[ $permissive == "su " ]]; then
    ok "userdebug: su alone is permissive, $host is enforcing"
else
    fail "userdebug: permissive domains are \"$permissive\", expected su alone"
fi
if sesearch -T -s su -t quorin_halctl_exec -c process "$policy" | grep -q " $host;$"; then
    ok "userdebug: su executing halctl enters $host"
else
    fail "userdebug: su executing halctl does not enter $host"
fi
if ! transitions=$(sesearch -T -s su -t quorin_halctl_exec "$work/user"); then
    fail "user: sesearch failed"
elif [[ -z $transitions ]]; then
    ok "user: no way into $host"
else
    fail "user: su enters $host"
fi

# --- labels of the library's paths ------------------------------------------------------------
# The library composes its paths from parts: what it opens is read from the built library.
mapfile -t paths < <(strings -a "$library" | grep -E '^/sys/devices/.*[^/]$' | sort -u)
[[ ${#paths[@]} -eq 8 ]] || fail "expected eight attribute paths in the library, found ${#paths[@]}"
genfs=$(seinfo "$policy" --genfscon sysfs | awk '$1 == "genfscon" {print $3, $4}')
for path in "${paths[@]}"; do
    # genfscon labels by the longest matching prefix of the path below /sys.
    label=$(awk -v p="${path#/sys}" 'index(p, $1) == 1 && length($1) > n {n = length($1); l = $2}
        END {print l}' <<<"$genfs")
    expected=u:object_r:sysfs_leds:s0
    [[ $path == */adc3101_* ]] && expected=u:object_r:sysfs_quorin_adc:s0
    if [[ $label == "$expected" ]]; then
        ok "$path is labelled $expected"
    else
        fail "$path is labelled \"$label\", expected $expected"
    fi
    if has_line "$ueventd" "${path%/*}" "${path##*/}" 0664 system system; then
        ok "$path gets 0664 system system from ueventd"
    else
        fail "$path has no \"0664 system system\" line in ${ueventd#"$root"/}"
    fi
done

# --- property contexts ------------------------------------------------------------------------
mapfile -t keys < <(strings -a "$library" | grep -E '^vendor\.quorin\.[a-z]+$' | sort -u)
[[ ${#keys[@]} -eq 4 ]] || fail "expected four property keys in the library, found ${#keys[@]}"
resolved=$("$lookup" "$platform/property_contexts" "$vendor/property_contexts" -- "${keys[@]}")
for key in "${keys[@]}"; do
    if [[ $key == *micstate ]]; then
        context=u:object_r:vendor_quorin_mic_prop:s0 type=string
    else
        context=u:object_r:vendor_quorin_led_prop:s0 type=int
    fi
    if grep -qxF "$key $context" <<<"$resolved"; then
        ok "$key resolves to $context (libselinux)"
    else
        fail "$key resolves to \"$(KEY=$key awk '$1 == ENVIRON["KEY"] {print $2}' <<<"$resolved")\", expected $context"
    fi
    # libselinux's backend reads only key and context; init also reads the match and the type.
    if has_line "$vendor/property_contexts" "$key" "$context" exact "$type"; then
        ok "$key is an exact entry of type $type"
    else
        fail "$key has no \"$context exact $type\" entry"
    fi
    prop_type=${context#u:object_r:}
    if seinfo "$policy" -t "${prop_type%:s0}" -x | grep -q vendor_internal_property_type; then
        ok "${prop_type%:s0} is a vendor-internal property type"
    else
        fail "${prop_type%:s0} is not a vendor-internal property type"
    fi
done

echo "policy check: $failed failed"
[[ $failed -eq 0 ]]
