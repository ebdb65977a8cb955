#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Checks the hosting service's vendor-tree files as far as a workstation can:
# - the stable-AIDL interface parses (Debian's aidl, --structured) and matches its API dumps; the
#   frozen version's hash is what the dump gives; --checkapi accepts the current interface
#   against the frozen one and refuses an incompatible change (a compatible one passes);
# - the VINTF manifest fragment and the framework compatibility-matrix fragment are well-formed
#   and name the interface, its version and the instance that service_contexts labels;
# - the init script starts the executable that file_contexts labels, as system, in class hal,
#   declares the AIDL instance it serves, and is not disabled (the service waits for the
#   system-control service itself; tests/sepolicy/check_init_triggers.sh reads every property
#   trigger as init does);
# - the product makefile installs the service on every build, and the ueventd fragment under
#   /vendor/etc, whose lines all have ueventd's sysfs form.
# Debian's aidl is Android 10's: it knows no @VintfStability, which is removed for its runs and
# checked as text, and it dumps without Android 12's additions, which the check puts in to compare:
# the source's licence comment and the "do not edit" block at the top, and @VintfStability.
# Parameters are compared as written: both write a direction only where the source writes one,
# and Soong's equality check of the dump against current/ fails on any difference.
#
# usage: check_vendor_files.sh [DEVICE_DIR]
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
device=${1:-$(cd "$here/../.." && pwd)/device}
aidl_dir=$device/aidl
package=vendor.quorin.hal
interface=IQuorinHal
instance=$package.$interface/default
api=$aidl_dir/aidl_api/$package
source=$aidl_dir/${package//.//}/$interface.aidl

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
ok() { echo "ok    $*"; }
fail() {
    echo "FAIL  $*"
    failed=$((failed + 1))
}

# --- the interface ----------------------------------------------------------------------------
# unstable DIR OUT: a copy of the .aidl files of DIR without the stability annotation.
unstable() {
    local file
    while IFS= read -r -d '' file; do
        mkdir -p "$2/$(dirname "${file#"$1"/}")"
        grep -v -x '@VintfStability' "$file" >"$2/${file#"$1"/}"
    done < <(find "$1" -name '*.aidl' -print0)
}
# dump SOURCE_ROOT OUT: the API dump of the interface under SOURCE_ROOT.
dump() {
    aidl --structured --dumpapi --out="$2" -I "$1" "$1/${package//.//}/$interface.aidl" 2>&1
}

latest=$(awk -F'"' '/versions:/ {print $(NF - 1)}' "$aidl_dir/Android.bp")
[[ -n $latest ]] || fail "Android.bp names no frozen version"
if grep -q 'stability: "vintf"' "$aidl_dir/Android.bp"; then
    ok "the interface module is VINTF-stable"
else
    fail "the interface module has no stability: \"vintf\""
fi
for file in "$source" "$api/current/${package//.//}/$interface.aidl" \
    "$api/$latest/${package//.//}/$interface.aidl"; do
    if grep -q -x '@VintfStability' "$file"; then
        ok "${file#"$device"/} is @VintfStability"
    else
        fail "${file#"$device"/} is not @VintfStability"
    fi
done

unstable "$aidl_dir/vendor" "$work/src/vendor"
for version in current "$latest"; do
    unstable "$api/$version" "$work/api-$version"
done
# android12 DEBIAN_DUMP: the dump as Android 12's aidl writes it (see the top).
android12() {
    sed -n '1,/^ \*\/$/p' "$source"
    cat <<'BANNER'
///////////////////////////////////////////////////////////////////////////////
// THIS FILE IS IMMUTABLE. DO NOT EDIT IN ANY CASE.                          //
///////////////////////////////////////////////////////////////////////////////

// This file is a snapshot of an AIDL file. Do not edit it manually. There are
// two cases:
// 1). this is a frozen version file - do not edit this in any case.
// 2). this is a 'current' file. If you make a backwards compatible change to
//     the interface (from the latest frozen version), the build system will
//     prompt you to update this file with `m <name>-update-api`.
//
// You must not make a backward incompatible change to any AIDL file built
// with the aidl_interface module type with versions property set. The module
// type is used to build AIDL files in a way that they can be used across
// independently updatable components of the system. If a device is shipped
// with such a backward incompatible change, it has a high risk of breaking
// later when a module using the interface is updated, e.g., Mainline modules.

BANNER
    sed -E -e 's/^interface /@VintfStability\ninterface /' "$1"
}
dumped_file=${package//.//}/$interface.aidl
if output=$(dump "$work/src" "$work/dump"); then
    ok "aidl --structured parses ${source#"$device"/}"
    if diff <(android12 "$work/dump/$dumped_file") "$api/current/$dumped_file" >"$work/diff"; then
        ok "the current API dump is the interface's, as Android 12's aidl writes it"
    else
        fail "the current API dump differs from the interface (< as Android 12 dumps it):"
        cat "$work/diff"
    fi
    # A source without its directions dumps without them: the comparison must see it.
    cp -r "$work/src" "$work/src-undirected"
    sed -i -E '/^ +[a-z].*[(]/s/([(]|, )in /\1/g' "$work/src-undirected/$dumped_file"
    if ! dump "$work/src-undirected" "$work/dump-undirected" >/dev/null; then
        fail "aidl refuses the interface without its directions"
    elif diff -q <(android12 "$work/dump-undirected/$dumped_file") "$api/current/$dumped_file" \
        >/dev/null; then
        fail "an interface without its directions compares equal to the current dump"
    else
        ok "an interface without its directions differs from the current dump"
    fi
    for version in current "$latest"; do
        if [[ $(sed -n '/^\/\/ THIS FILE IS IMMUTABLE/p' "$api/$version/$dumped_file") ]]; then
            ok "version $version's dump carries the \"do not edit\" block"
        else
            fail "version $version's dump has no \"do not edit\" block"
        fi
    done
else
    fail "aidl --structured refuses the interface:"
    echo "$output"
fi

hash=$(cd "$api/$latest" && { find ./ -name "*.aidl" -print0 | LC_ALL=C sort -z |
    xargs -0 sha1sum && echo latest-version; } | sha1sum | cut -d ' ' -f 1)
if [[ $hash == "$(cat "$api/$latest/.hash" 2>/dev/null)" ]]; then
    ok "version $latest's .hash is its dump's"
else
    fail "version $latest's .hash is not its dump's ($hash)"
fi

if output=$(aidl --checkapi "$work/api-$latest" "$work/api-current" 2>&1); then
    ok "the current interface is a compatible extension of version $latest"
else
    fail "the current interface breaks version $latest:"
    echo "$output"
fi

# Planted changes: each incompatible one must be refused, the compatible one accepted.
dumped=$work/api-current/${package//.//}/$interface.aidl
while IFS='|' read -r verdict what script; do
    [[ -z $verdict || $verdict == \#* ]] && continue
    rm -rf "$work/planted"
    cp -r "$work/api-current" "$work/planted"
    sed -i "$script" "$work/planted/${package//.//}/$interface.aidl"
    if cmp -s "$dumped" "$work/planted/${package//.//}/$interface.aidl"; then
        fail "planted change \"$what\" changed nothing"
        continue
    fi
    if aidl --checkapi "$work/api-$latest" "$work/planted" >"$work/checkapi" 2>&1; then
        result=accepted
    else
        result=refused
    fi
    if [[ $result == "$verdict" ]]; then
        ok "checkapi: $what is $result"
    else
        fail "checkapi: $what is $result, expected $verdict:"
        cat "$work/checkapi"
    fi
done <<'PLANTS'
refused|a method removed|/int getMicEchoLevel();/d
refused|a parameter's type changed|s/void setLedState(in int ledIndex, in int ledState);/void setLedState(in long ledIndex, in int ledState);/
refused|a method's result changed|s/int getMicVolume();/void getMicVolume();/
refused|two methods swapped|/void setLedState(/{h;d};/void setLedColor(/G
accepted|a method added at the end|s/^}$/  boolean isMicMuted();\n}/
PLANTS

# --- VINTF, service and init -----------------------------------------------------------------
# xml_values FILE XPATH...: the text of each path, one line each; fails on a malformed file.
xml_values() {
    python3 - "$@" <<'PY'
import sys
import xml.etree.ElementTree as tree
root = tree.parse(sys.argv[1]).getroot()
for path in sys.argv[2:]:
    found = root.findall(path)
    print(found[0].text.strip() if len(found) == 1 and found[0].text else "")
PY
}
manifest=$device/service/$package-service.xml
matrix=$device/service/framework_compatibility_matrix.quorin.xml
if values=$(xml_values "$manifest" "./hal[@format='aidl']/name" "./hal[@format='aidl']/version" \
    "./hal[@format='aidl']/fqname" 2>&1); then
    expected=$(printf '%s\n' "$package" "$latest" "$interface/default")
    if [[ $values == "$expected" ]]; then
        ok "the manifest fragment declares $package $latest, $interface/default"
    else
        fail "the manifest fragment declares \"${values//$'\n'/ }\", expected \"${expected//$'\n'/ }\""
    fi
else
    fail "the manifest fragment is not well-formed XML: $values"
fi
if values=$(xml_values "$matrix" "./hal[@format='aidl']/name" "./hal[@format='aidl']/version" \
    "./hal[@format='aidl']/interface/name" "./hal[@format='aidl']/interface/instance" 2>&1); then
    expected=$(printf '%s\n' "$package" "$latest" "$interface" default)
    if [[ $values == "$expected" ]]; then
        ok "the compatibility-matrix fragment lists $package $latest, $interface/default"
    else
        fail "the compatibility-matrix fragment lists \"${values//$'\n'/ }\", expected \"${expected//$'\n'/ }\""
    fi
else
    fail "the compatibility-matrix fragment is not well-formed XML: $values"
fi
if grep -qxF "$instance u:object_r:hal_quorin_service:s0" "$device/sepolicy/service_contexts"; then
    ok "service_contexts labels $instance"
else
    fail "service_contexts does not label $instance"
fi

rc=$device/service/$package-service.rc
read -r _ name executable < <(grep -m1 '^service ' "$rc")
if [[ -n ${executable:-} ]] && python3 - "$device/sepolicy/file_contexts" "$executable" <<'PY'; then
import re, sys
for line in open(sys.argv[1]):
    fields = line.split()
    if len(fields) == 2 and not line.startswith("#") and re.fullmatch(fields[0], sys.argv[2]) \
            and fields[1] == "u:object_r:hal_quorin_default_exec:s0":
        sys.exit(0)
sys.exit(1)
PY
    ok "init starts $executable, which file_contexts labels hal_quorin_default_exec"
else
    fail "the executable of $rc (${executable:-none}) is not labelled hal_quorin_default_exec"
fi
for option in "class hal" "user system" "group system" "interface aidl $instance"; do
    if grep -qxE "[[:space:]]+$option" "$rc"; then
        ok "service $name: $option"
    else
        fail "service $name has no \"$option\" line"
    fi
done
if grep -qxE '[[:space:]]+disabled' "$rc"; then
    fail "service $name is disabled: nothing would start it"
else
    ok "service $name is not disabled: class hal starts it"
fi

# --- ueventd ----------------------------------------------------------------------------------
copy=$(grep -o 'ueventd\.quorin_hal\.rc:[^ ]*' "$device/quorin_hal.mk")
if [[ $copy == 'ueventd.quorin_hal.rc:$(TARGET_COPY_OUT_VENDOR)/etc/ueventd.quorin_hal.rc' ]]; then
    ok "quorin_hal.mk installs the ueventd fragment as /vendor/etc/ueventd.quorin_hal.rc"
else
    fail "quorin_hal.mk does not install the ueventd fragment under /vendor/etc (${copy:-no copy})"
fi
if grep -qx '#   import /vendor/etc/ueventd.quorin_hal.rc' "$device/quorin_hal.mk"; then
    ok "quorin_hal.mk names the import line of the device's ueventd.rc"
else
    fail "quorin_hal.mk does not name the import line"
fi
bad=$(grep -v -e '^#' -e '^$' "$device/ueventd.quorin_hal.rc" |
    grep -v -E '^/sys/[^ ]+ [^ /]+ 0[0-7]{3} [a-z_]+ [a-z_]+$')
if [[ -z $bad ]]; then
    ok "every ueventd line is \"/sys/PATH ATTRIBUTE MODE USER GROUP\""
else
    fail "ueventd lines not of sysfs form: $bad"
fi
if sed -n '/^PRODUCT_PACKAGES +=/,/[^\\]$/p' "$device/quorin_hal.mk" | grep -qw "$package-service"; then
    ok "quorin_hal.mk installs $package-service on every build"
else
    fail "quorin_hal.mk does not list $package-service in PRODUCT_PACKAGES"
fi
if grep -q 'symbols_test' "$device/quorin_hal.mk"; then
    fail "a test is listed as a product package"
else
    ok "no test is listed as a product package"
fi

echo "vendor files check: $failed failed"
[[ $failed -eq 0 ]]
