#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Holds the platform model to what the real platform build does, and the vendor policy to what a
# system update brings:
# - each grant the model states on a type or attribute the vendor policy touches is planted
#   against a neverallow rule written for it, at the release it holds in, and the build must
#   refuse it naming that grant; at a release before the grant the same rule must hold;
# - the ADC rule the vendor tree once had fails as the real build failed;
# - with the platform policy of Android 12 to 14 and no system_ext policy at all, the hosting
#   service registers and a platform client finds it; a type that names vendor_service does not
#   build with Android 14.
#
# usage: check_platform_grants.sh [VENDOR_SEPOLICY_DIR]
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
vendor=${1:-$root/device/sepolicy}
platform=$here/platform
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# shellcheck source=common.sh
source "$here/common.sh"

# Columns: API | planted rules (\n between two) | the rule the build must name: "violated by
# allow SOURCE TARGET:CLASS", or "holds" where the release grants nothing against it. A grant to
# an attribute is seen through a planted domain that has it.
while IFS='|' read -r api text expected; do
    [[ -z $api || $api == \#* ]] && continue
    planted=$(plant "$vendor" file.te "$(printf '%b' "$text")")
    if output=$(compile userdebug "$planted" "$work/planted-policy" "$api"); then
        if [[ $expected == holds ]]; then
            ok "API $api: \"${text##*\\n}\" holds: the release grants nothing against it"
        else
            fail "API $api: \"$text\" compiles: the model does not state \"$expected\""
        fi
    elif [[ $expected == holds ]]; then
        fail "API $api: \"$text\" is refused, where the release grants nothing against it:"
        echo "$output"
    elif grep -F "violated by $expected" <<<"$output" >/dev/null &&
        grep '^secilc: neverallow check failed' <<<"$output" >/dev/null; then
        ok "API $api: \"${text##*\\n}\" is refused by the platform's grant: $(grep -m1 -o -F "$expected" <<<"$output")" \
            "$(grep -m1 -o "$expected[^;]*" <<<"$output" | sed 's/^[^{]*//')"
    else
        fail "API $api: \"$text\" fails, but not through \"$expected\":"
        echo "$output"
    fi
done <<'EOF_GRANTS'
# The rule the vendor tree had: ueventd, a core domain, writes every sysfs file at cold boot.
31|neverallow { coredomain -init -vold } sysfs_quorin_adc:file { open read write append };|allow ueventd sysfs_quorin_adc:file
33|neverallow { coredomain -init -vold } sysfs_quorin_adc:file { open read write append };|allow ueventd sysfs_quorin_adc:file
# The platform's own exemptions on Android 12 for sysfs_leds, on a type of ours: held by 12 and
# 12L, broken by 13, whose apexd reads every sysfs type.
32|neverallow { coredomain -init -ueventd -vold } sysfs_quorin_adc:file read;|holds
33|neverallow { coredomain -init -ueventd -vold } sysfs_quorin_adc:file read;|allow apexd sysfs_quorin_adc:file
34|neverallow { coredomain -init -ueventd -vold } sysfs_quorin_adc:file read;|allow apexd sysfs_quorin_adc:file
# Every grant on sysfs_type, seen through the types of ours.
31|neverallow ueventd sysfs_quorin_led:file write;|allow ueventd sysfs_quorin_led:file
31|neverallow ueventd sysfs_quorin_led:file append;|allow ueventd sysfs_quorin_led:file
31|neverallow ueventd sysfs_quorin_adc:file { read open };|allow ueventd sysfs_quorin_adc:file
31|neverallow ueventd sysfs_quorin_adc:file setattr;|allow ueventd sysfs_quorin_adc:file
31|neverallow ueventd sysfs_quorin_adc:file { relabelfrom relabelto };|allow ueventd sysfs_quorin_adc:file
31|neverallow init sysfs_quorin_led:file relabelto;|allow init sysfs_quorin_led:file
31|neverallow init sysfs_quorin_led:file getattr;|allow init sysfs_quorin_led:file
32|neverallow init sysfs_quorin_adc:file read;|holds
33|neverallow init sysfs_quorin_adc:file read;|allow init sysfs_quorin_adc:file
34|neverallow init sysfs_quorin_adc:file read;|allow init sysfs_quorin_adc:file
31|neverallow vold sysfs_quorin_adc:file read;|allow vold sysfs_quorin_adc:file
32|neverallow apexd sysfs_quorin_led:file read;|holds
33|neverallow apexd sysfs_quorin_led:file read;|allow apexd sysfs_quorin_led:file
31|type quorin_planted_hal, domain;\nhal_server_domain(quorin_planted_hal, hal_bluetooth)\nneverallow quorin_planted_hal sysfs_quorin_adc:file read;|allow quorin_planted_hal sysfs_quorin_adc:file
31|type quorin_planted_hal, domain;\nhal_server_domain(quorin_planted_hal, hal_telephony)\nneverallow quorin_planted_hal sysfs_quorin_adc:file read;|allow quorin_planted_hal sysfs_quorin_adc:file
31|type quorin_planted_hal, domain;\nhal_server_domain(quorin_planted_hal, hal_wifi)\nneverallow quorin_planted_hal sysfs_quorin_adc:file read;|allow quorin_planted_hal sysfs_quorin_adc:file
31|type quorin_planted_hal, domain;\nhal_server_domain(quorin_planted_hal, hal_wifi_supplicant)\nneverallow quorin_planted_hal sysfs_quorin_adc:file read;|allow quorin_planted_hal sysfs_quorin_adc:file
31|type quorin_planted_hal, domain;\nhal_server_domain(quorin_planted_hal, hal_wifi_hostapd)\nneverallow quorin_planted_hal sysfs_quorin_adc:file read;|allow quorin_planted_hal sysfs_quorin_adc:file
34|neverallow tee sysfs_quorin_adc:file read;|allow tee sysfs_quorin_adc:file
# The platform's own sysfs types.
31|neverallow init sysfs_leds:file write;|allow init sysfs_leds:file
31|neverallow init sysfs_leds:file setattr;|allow init sysfs_leds:file
31|neverallow init sysfs:file relabelfrom;|allow init sysfs:file
31|neverallow vold sysfs:file write;|allow vold sysfs:file
# The properties of the four keys, and the ones every vendor domain reads.
31|neverallow init vendor_quorin_mic_prop:property_service set;|allow init vendor_quorin_mic_prop:property_service
31|neverallow init vendor_quorin_led_prop:file write;|allow init vendor_quorin_led_prop:file
31|neverallow dumpstate vendor_quorin_led_prop:file read;|allow dumpstate vendor_quorin_led_prop:file
31|neverallow vendor_init vendor_default_prop:file read;|allow vendor_init vendor_default_prop:file
31|neverallow hal_quorin_default init_service_status_prop:file read;|allow hal_quorin_default init_service_status_prop:file
31|neverallow system_server init_service_status_private_prop:file read;|allow system_server init_service_status_private_prop:file
31|neverallow vendor_init init_service_status_private_prop:file read;|holds
# The vendor files: ueventd reads the vendor's ueventd.rc and firmware; a vendor process loads
# the vendor's libraries.
31|neverallow ueventd hal_quorin_default_exec:file read;|allow ueventd hal_quorin_default_exec:file
31|neverallow hal_quorin_default vendor_file:file execute;|allow hal_quorin_default vendor_file:file
# What every domain has: its own process and /proc.
31|neverallow hal_quorin_default self:process fork;|allow hal_quorin_default hal_quorin_default:process
31|neverallow hal_quorin_default proc:dir read;|allow hal_quorin_default proc:dir
# The HAL attributes: what every HIDL client is given.
31|type quorin_planted_client, domain;\nhal_client_domain(quorin_planted_client, hal_bluetooth)\nneverallow quorin_planted_client hidl_manager_hwservice:hwservice_manager find;|allow quorin_planted_client hidl_manager_hwservice:hwservice_manager
31|type quorin_planted_client, domain;\nhal_client_domain(quorin_planted_client, hal_bluetooth)\nneverallow quorin_planted_client hwservicemanager_prop:file read;|allow quorin_planted_client hwservicemanager_prop:file
# The service managers: dumpsys finds every service; every domain opens /dev/binder.
31|neverallow shell hal_quorin_service:service_manager find;|allow shell hal_quorin_service:service_manager
31|neverallow dumpstate hal_quorin_service:service_manager find;|allow dumpstate hal_quorin_service:service_manager
31|neverallow hal_quorin_default binder_device:chr_file open;|allow hal_quorin_default binder_device:chr_file
EOF_GRANTS

# --- a system update -------------------------------------------------------------------------
# The tree puts nothing into system_ext, which a system update replaces: no system_ext policy
# directory, no part of device/sepolicy outside the vendor policy.
if grep -n 'SYSTEM_EXT_\(PUBLIC\|PRIVATE\)_SEPOLICY_DIRS' "$root"/device/*.mk; then
    fail "the vendor tree adds system_ext policy: a system update would drop it"
elif [[ -n $(find "$vendor" -mindepth 1 -type d) ]]; then
    fail "device/sepolicy has directories beside the vendor policy: $(find "$vendor" -mindepth 1 -type d)"
else
    ok "the vendor tree has no system_ext policy: everything of the HAL's is vendor policy"
fi

# With each release's platform policy and no system_ext part, the server registers the service,
# a platform client given quorin_hal_client finds and calls it.
planted=$(plant "$vendor" hal_quorin.te "quorin_hal_client(system_server)")
for api in 31 32 33 34; do
    if ! output=$(compile user "$planted" "$work/update-$api" "$api"); then
        fail "API $api: the vendor policy with a platform client does not compile:"
        echo "$output"
        continue
    fi
    add=$(sesearch -A -s hal_quorin_default -t hal_quorin_service -c service_manager -p add "$work/update-$api")
    find=$(sesearch -A -s system_server -t hal_quorin_service -c service_manager -p find "$work/update-$api")
    call=$(sesearch -A -s system_server -t hal_quorin_default -c binder -p call "$work/update-$api")
    if [[ -n $add && -n $find && -n $call ]]; then
        ok "API $api, no system_ext policy: hal_quorin_default registers the service," \
            "system_server finds and calls it"
    else
        fail "API $api, no system_ext policy: add \"$add\", find \"$find\", call \"$call\""
    fi
done

# The attribute vendor_service is gone from Android 14: a service type that names it builds with
# 12 and no longer with 14.
for entry in 31:builds 34:refused; do
    planted=$(plant "$vendor" hal_quorin.te "typeattribute hal_quorin_service vendor_service;")
    if output=$(compile user "$planted" "$work/planted-policy" "${entry%%:*}" 2>&1); then
        result=builds
    else
        result=refused
    fi
    if [[ $result == "${entry#*:}" ]]; then
        ok "API ${entry%%:*}: a service type with vendor_service $result" \
            "$(grep -m1 -o 'vendor_service[^;]*is not declared\|unknown[^ ]* vendor_service' <<<"$output")"
    else
        fail "API ${entry%%:*}: a service type with vendor_service $result, expected ${entry#*:}:"
        echo "$output"
    fi
done

echo "platform grants check: $failed failed"
[[ $failed -eq 0 ]]
