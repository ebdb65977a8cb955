#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Compiles the vendor policy of device/sepolicy with the platform model of tests/sepolicy/platform
# (m4 and checkpolicy, as the platform build does, for user and userdebug builds) and checks it:
# - the platform's neverallow rules hold, and a core domain given quorin_hal_host fails them;
# - sesearch: a domain given quorin_hal_host may do each thing the library does, the
#   system-control service may set the LED request, and no core domain may touch the nodes or
#   the properties (a planted rule that lets one is caught);
# - the attribute paths the built library opens and its four property keys are labelled
#   as they must be: genfscon, ueventd's mode and owner, property_contexts resolved through
#   libselinux's Android property backend.
#
# usage: QUORIN_LED_LIST=BUILD/sim/leds check_policy.sh PROPERTY_CONTEXT_TOOL LIBRARY [VENDOR_SEPOLICY_DIR]
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
# The platform's public policy, then (unless PUBLIC_ONLY) its private policy, then the HAL's
# system_ext public part, the SoC vendor's policy and ours.
policy_conf() {  # policy_conf VARIANT VENDOR_DIR [PUBLIC_ONLY]
    local private=("$platform"/private/*.te)
    [[ -n ${3:-} ]] && private=()
    m4 --fatal-warnings -D target_build_variant="$1" -s \
        "$platform"/{security_classes,initial_sids,access_vectors,global_macros,mls,te_macros} \
        "$2/te_macros" "$platform/attributes" "$platform"/public/*.te "${private[@]}" \
        "$2"/public/*.te "$platform/soc_vendor.te" "$2"/*.te \
        "$platform"/{roles,users,initial_sid_contexts,fs_use,genfs_contexts} "$2/genfs_contexts"
}

# compile VARIANT VENDOR_DIR OUTPUT: the whole policy, as the platform build compiles it: the
# binary policy with checkpolicy, and the CIL that the device's precompiled policy is built
# from, through secilc. Both check every neverallow rule; prints their complaints.
compile() {
    policy_conf "$1" "$2" >"$3.conf" || return 1
    local status=0
    checkpolicy -M -c 30 -o "$3" "$3.conf" 2>&1 || status=1
    if checkpolicy -C -M -c 30 -o "$3.cil" "$3.conf" >/dev/null 2>&1; then
        secilc -m -M true -c 30 -o "$3.secilc" -f /dev/null "$3.cil" 2>&1 | sed 's/^/secilc: /'
        ((PIPESTATUS[0] == 0)) || status=1
    fi
    return $status
}

# compile_vendor VARIANT VENDOR_DIR OUTPUT: the vendor's part alone against the platform's public
# types, as the vendor image is built: a reference to a private platform type fails here.
compile_vendor() {
    policy_conf "$1" "$2" public >"$3.conf" && checkpolicy -M -c 30 -o "$3" "$3.conf" 2>&1
}

# --- compile ----------------------------------------------------------------------------------
for variant in user userdebug; do
    if output=$(compile "$variant" "$vendor" "$work/$variant"); then
        ok "$variant policy compiles with the platform model (checkpolicy and secilc)," \
            "its neverallow rules hold"
    else
        fail "$variant policy does not compile:"
        echo "$output"
    fi
    if output=$(compile_vendor "$variant" "$vendor" "$work/$variant-vendor"); then
        ok "$variant: the vendor part compiles against the platform's public policy alone"
    else
        fail "$variant: the vendor part does not compile against the public policy alone:"
        echo "$output"
    fi
done
policy=$work/userdebug
[[ -f "$policy" && -f "$work/user" ]] || { echo "policy check: $failed failed"; exit 1; }

mapfile -t core_domains < <(seinfo "$policy" -a coredomain -x --flat | awk '/^\t/ {print $1}')

# --- planted violations -----------------------------------------------------------------------
# plant VENDOR_DIR FILE TEXT: a copy of the vendor policy with TEXT appended to FILE.
plant() {
    local copy=$work/planted
    rm -rf "$copy"
    cp -r "$vendor" "$copy"
    printf '%s\n' "$3" >>"$copy/$2"
    echo "$copy"
}
# refused_by OUTPUT WHERE: every neverallow failure that checkpolicy reports names the rule's
# file (and its line, where WHERE gives one); secilc failed too.
refused_by() {
    local reports
    reports=$(grep -o 'neverallow on line [0-9]* of [^ ]*' <<<"$1" | sed 's/^neverallow on line \([0-9]*\) of \(.*\)$/\2:\1/')
    [[ -n $reports ]] || return 1
    grep -q '^secilc: neverallow check failed' <<<"$1" || return 1
    ! grep -v -F -- "${2##*/}" <<<"$reports" >/dev/null
}

# Each platform rule the vendor files meet, and our own, with a rule that breaks it: the check
# must refuse each. Columns: variant | file | planted text | the file of the rule that refuses it.
while IFS='|' read -r variant file text rule; do
    [[ -z $variant || $variant == \#* ]] && continue
    planted=$(plant "$vendor" "$file" "$text")
    if output=$(compile "$variant" "$planted" "$work/planted-policy"); then
        fail "$variant: planted \"$text\" compiles: the model does not refuse it"
    elif refused_by "$output" "$rule"; then
        ok "$variant: planted \"$text\" is refused by $rule" \
            "($(grep -c '^libsepol.report_failure' <<<"$output") neverallow failures)"
    else
        fail "$variant: planted \"$text\" fails, but not by $rule alone:"
        echo "$output"
    fi
done <<'EOF_PLANTS'
# su is a core domain on userdebug: it may not be allowed to execute halctl.
userdebug|quorin_halctl.te|domain_auto_trans(su, quorin_halctl_exec, quorin_halctl)|private/vendor_files.te
userdebug|quorin_halctl.te|allow su quorin_halctl_exec:file { open read };|private/vendor_files.te
userdebug|quorin_halctl.te|allow quorin_halctl system_file:file entrypoint;|private/vendor_files.te
userdebug|quorin_halctl.te|allow system_server sysfs_leds:file getattr;|private/neverallows.te
userdebug|quorin_halctl.te|allow system_server sysfs:file read;|private/neverallows.te
userdebug|quorin_halctl.te|allow untrusted_app sysfs_quorin_adc:file setattr;|private/neverallows.te
userdebug|quorin_halctl.te|allow system_server vendor_quorin_mic_prop:property_service set;|private/neverallows.te
userdebug|quorin_halctl.te|allow system_server vendor_quorin_led_prop:file read;|property.te
userdebug|quorin_halctl.te|allow system_server sysfs_quorin_adc:file open;|file.te
userdebug|quorin_halctl.te|allow su sysfs_quorin_adc:file write;|file.te
EOF_PLANTS

# The macro given to any core domain is refused, on every build: the system server, apps,
# adb's shell, and su where it is a core domain.
for entry in user:system_server user:untrusted_app user:shell userdebug:su; do
    planted=$(plant "$vendor" quorin_halctl.te "quorin_hal_host(${entry#*:})")
    if compile "${entry%%:*}" "$planted" "$work/planted-policy" >/dev/null; then
        fail "${entry%%:*}: quorin_hal_host(${entry#*:}) compiles: the model does not stop a core domain"
    else
        ok "${entry%%:*}: quorin_hal_host(${entry#*:}) is refused by a neverallow rule"
    fi
done

# Our own rule must hold against what the platform grants: without vold's exemption it cannot.
planted=$work/planted
rm -rf "$planted"
cp -r "$vendor" "$planted"
sed -i 's/{ coredomain -init -vold } sysfs_quorin_adc/{ coredomain -init } sysfs_quorin_adc/' "$planted/file.te"
if ! cmp -s "$vendor/file.te" "$planted/file.te" &&
    output=$(compile userdebug "$planted" "$work/planted-policy"; true) &&
    grep -q 'violated by allow vold sysfs_quorin_adc:file' <<<"$output"; then
    ok "the ADC's own rule needs vold's exemption: the platform lets vold read every sysfs type"
else
    fail "the ADC's own rule without vold's exemption is not refused by vold's platform rule"
fi

# The vendor part may name only public platform types.
planted=$(plant "$vendor" quorin_halctl.te "allow quorin_halctl system_server_startup:fd use;")
if output=$(compile_vendor userdebug "$planted" "$work/planted-policy"); then
    fail "a private platform type named by the vendor policy compiles against the public policy"
elif grep -q 'system_server_startup' <<<"$output"; then
    ok "a private platform type named by the vendor policy is refused: $(grep -m1 -o 'unknown type[^,]*\|[^ ]* is not defined' <<<"$output" || head -n1 <<<"$output")"
else
    fail "a private platform type named by the vendor policy fails for another reason:"
    echo "$output"
fi

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
    "system_control:binder call,transfer" \
    "hwservicemanager_prop:file open,read" \
    "hidl_manager_hwservice:hwservice_manager find"
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
# Any rule that lets a core domain open a node or set or read a property of the library, but for
# the platform's own exemptions: init, ueventd and vold on sysfs, init and dumpstate on
# properties.
core_access() {  # core_access POLICY: prints the offending rules, or why it could not look
    local p=$1 target rules="" found
    for target in sysfs_leds sysfs_quorin_adc; do
        found=$(sesearch -A -s coredomain -t "$target" -c file -p open,read,write,append "$p") ||
            { echo "sesearch failed on $p"; return 0; }
        rules+=$(grep -v -E '^allow (init|ueventd|vold) ' <<<"$found")$'\n'
    done
    for target in vendor_quorin_led_prop vendor_quorin_mic_prop; do
        found=$(sesearch -A -s coredomain -t "$target" -c property_service,file -p set,open,read "$p") ||
            { echo "sesearch failed on $p"; return 0; }
        rules+=$(grep -v -E '^allow (init|dumpstate) ' <<<"$found")$'\n'
    done
    grep -v '^$' <<<"$rules"
}
if offending=$(core_access "$policy"); then
    fail "core domains reach the library's nodes or properties:"
    echo "$offending"
else
    ok "no core domain may open the LED or ADC nodes, or set or read the four properties:" \
        "$(printf '%s\n' "${core_domains[@]}" | grep -v -x -E 'init|ueventd|vold|dumpstate' | tr '\n' ' ')"
fi

# --- su and the tool's domain
# (A query's output is read to its end: grep -q would stop early and, under pipefail, a query
# killed by the broken pipe would count as no match.) -----------------------------------------------------------------
permissive=$(seinfo "$policy" --permissive | awk 'NR > 2 {print $1}' | tr '\n' ' ')
if [[ $permissive == "su " ]]; then
    ok "userdebug: su alone is permissive, $host is enforcing"
else
    fail "userdebug: permissive domains are \"$permissive\", expected su alone"
fi
if sesearch -T -s su -t quorin_halctl_exec -c process "$policy" | grep " $host;$" >/dev/null; then
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
# su's own side of the exec rests on su being permissive: no rule lets su reach halctl's file.
if rules=$(sesearch -A -s su -t quorin_halctl_exec "$policy") && [[ -z $rules ]]; then
    ok "userdebug: no rule lets su (a core domain there) execute or read halctl's vendor file"
else
    fail "userdebug: su is given halctl's vendor file: $rules"
fi
expect_grants "$host" "its side of the exec from su" \
    "quorin_halctl_exec:file entrypoint,open,read,execute,getattr,map" \
    "su:process sigchld"
# What su is on each build: core, app and permissive on userdebug only.
for variant in user userdebug; do
    roles=""
    seinfo "$work/$variant" -a coredomain -x | grep -w su >/dev/null && roles+="coredomain "
    seinfo "$work/$variant" -a appdomain -x | grep -w su >/dev/null && roles+="appdomain "
    seinfo "$work/$variant" --permissive | grep -w su >/dev/null && roles+="permissive "
    expected=""
    [[ $variant == userdebug ]] && expected="coredomain appdomain permissive "
    if [[ $roles == "$expected" ]]; then
        ok "$variant: su is ${expected:-none of coredomain, appdomain, permissive}"
    else
        fail "$variant: su is \"$roles\", expected \"$expected\""
    fi
done

# --- the hosting service ----------------------------------------------------------------------
# Compiled with a caller given the client's side, as a platform process would be.
service=hal_quorin_default
caller=quorin_hal_test_caller
planted=$(plant "$vendor" quorin_halctl.te "type $caller, domain;
hal_client_domain($caller, hal_quorin)")
if ! output=$(compile userdebug "$planted" "$work/with-caller"); then
    fail "the policy with a client of the HAL does not compile:"
    echo "$output"
else
    if sesearch -T -s init -t ${service}_exec -c process "$work/with-caller" | grep " $service;$" >/dev/null; then
        ok "init starting the service's executable enters $service"
    else
        fail "init starting the service's executable does not enter $service"
    fi
    policy_saved=$policy
    policy=$work/with-caller
    expect_grants "$caller" "a client finds the service and calls it" \
        "hal_quorin_service:service_manager find" \
        "hal_quorin_server:binder call,transfer"
    if seinfo "$work/with-caller" -a hal_quorin_server -x | grep -w "$service" >/dev/null; then
        ok "$service is the HAL's server (hal_quorin_server)"
    else
        fail "$service is not in hal_quorin_server: its callers cannot reach it"
    fi
    expect_grants "$service" "it registers the service" \
        "hal_quorin_service:service_manager add,find" \
        "servicemanager:binder call,transfer"
    # Nothing more: the macro's grants, the exec from init, binder and the servicemanager, the
    # registration, and the references it passes back to its callers.
    expected=$( {
        granted "$host" | grep -v -E '^(su|adbd|devpts|quorin_halctl_exec):|^sysfs_(leds|quorin_adc):file getattr$'
        printf '%s\n' "${service}_exec:file "{entrypoint,open,read,execute,getattr,map} \
            "init:process sigchld" "servicemanager:binder call" "servicemanager:binder transfer" \
            "hal_quorin_service:service_manager add" "hal_quorin_service:service_manager find" \
            "hal_quorin_client:binder transfer"
    } | sort -u)
    actual=$(granted "$service")
    if [[ $actual == "$expected" ]]; then
        ok "$service may do exactly that: $(wc -l <<<"$actual") permissions"
    else
        fail "$service differs from what it needs (< missing, > more than it needs):"
        diff <(echo "$expected") <(echo "$actual") | grep '^[<>]'
    fi
    policy=$policy_saved
fi
if grep -qxF "vendor.quorin.hal.IQuorinHal/default u:object_r:hal_quorin_service:s0" \
    <(grep -v '^#' "$vendor/service_contexts"); then
    ok "service_contexts labels vendor.quorin.hal.IQuorinHal/default hal_quorin_service"
else
    fail "service_contexts has no line for vendor.quorin.hal.IQuorinHal/default"
fi

# --- labels of the library's paths ------------------------------------------------------------
# The library composes its paths from parts: what it opens is read from the built library. It
# holds the paths of every LED of the panel in its one table and opens those of the LEDs it drives
# (the device description's list, QUORIN_LED_LIST, written by the build): the others need no node.
[[ -s "${QUORIN_LED_LIST:-}" ]] || { echo "QUORIN_LED_LIST names no LED list" >&2; exit 2; }
read -r -a panel <<<"$(sed -n 's/^panel //p' "$QUORIN_LED_LIST")"
read -r -a driven <<<"$(sed -n 's/^driven //p' "$QUORIN_LED_LIST")"
((${#panel[@]} > 0 && ${#driven[@]} > 0)) || { echo "$QUORIN_LED_LIST lists no LEDs" >&2; exit 2; }
undriven=()
for led in "${panel[@]}"; do
    [[ " ${driven[*]} " == *" $led "* ]] || undriven+=("$led")
done
not_opened="^$"
((${#undriven[@]} == 0)) || not_opened="/leds/($(IFS='|' && echo "${undriven[*]}"))/"
mapfile -t paths < <(strings -a "$library" | grep -E '^/sys/devices/.*[^/]$' |
    grep -v -E "$not_opened" | sort -u)
opened=$((2 * ${#driven[@]} + 2)) # brightness and trigger of each driven LED, the ADC's two
[[ ${#paths[@]} -eq $opened ]] ||
    fail "expected $opened attribute paths in the library, found ${#paths[@]}"
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
    if seinfo "$policy" -t "${prop_type%:s0}" -x | grep vendor_internal_property_type >/dev/null; then
        ok "${prop_type%:s0} is a vendor-internal property type"
    else
        fail "${prop_type%:s0} is not a vendor-internal property type"
    fi
done

echo "policy check: $failed failed"
[[ $failed -eq 0 ]]
