#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Holds the platform model to what the real platform build does, and the vendor policy to what a
# system update brings:
# - each grant the model states on a type or attribute the vendor policy touches is planted
#   against a neverallow rule written for it, at the release it holds in, and the build must
#   refuse it naming that grant; at a release before the grant the same rule must hold;
# - the ADC rule the vendor tree once had fails as the real build failed;
# - with the platform policy of Android 12 to 14 and no system_ext policy at all, the hosting
#   service registers and a platform client finds it. Its type is a vendor_service: a system-only
#   update keeps the vendor's own public policy of 31, which declares the attribute, and the
#   system of 14, whose policy has neither the attribute nor its rule, accepts it.
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

# Columns (expect_refusals): variant | API | file | planted rules (\n between two) | "planted"
# where the build must refuse the planted rule itself, naming the grant "allow SOURCE
# TARGET:CLASS", or "holds" where the release grants nothing against it | the grant. A grant to
# an attribute is seen through a planted domain that has it.
expect_refusals "$vendor" <<'EOF_GRANTS'
# The rule the vendor tree had: ueventd, a core domain, writes every sysfs file at cold boot.
userdebug|31|file.te|neverallow { coredomain -init -vold } sysfs_quorin_adc:file { open read write append };|planted|ueventd sysfs_quorin_adc:file
userdebug|33|file.te|neverallow { coredomain -init -vold } sysfs_quorin_adc:file { open read write append };|planted|ueventd sysfs_quorin_adc:file
# The platform's own exemptions on Android 12 for sysfs_leds, on a type of ours: held by 12 and
# 12L, broken by 13, whose apexd reads every sysfs type.
userdebug|32|file.te|neverallow { coredomain -init -ueventd -vold } sysfs_quorin_adc:file read;|holds|
userdebug|33|file.te|neverallow { coredomain -init -ueventd -vold } sysfs_quorin_adc:file read;|planted|apexd sysfs_quorin_adc:file
userdebug|34|file.te|neverallow { coredomain -init -ueventd -vold } sysfs_quorin_adc:file read;|planted|apexd sysfs_quorin_adc:file
# Every grant on sysfs_type, seen through the types of ours.
userdebug|31|file.te|neverallow ueventd sysfs_quorin_led:file write;|planted|ueventd sysfs_quorin_led:file
userdebug|31|file.te|neverallow ueventd sysfs_quorin_led:file append;|planted|ueventd sysfs_quorin_led:file
userdebug|31|file.te|neverallow ueventd sysfs_quorin_adc:file { read open };|planted|ueventd sysfs_quorin_adc:file
userdebug|31|file.te|neverallow ueventd sysfs_quorin_adc:file setattr;|planted|ueventd sysfs_quorin_adc:file
userdebug|31|file.te|neverallow ueventd sysfs_quorin_adc:file { relabelfrom relabelto };|planted|ueventd sysfs_quorin_adc:file
userdebug|31|file.te|neverallow init sysfs_quorin_led:file relabelto;|planted|init sysfs_quorin_led:file
userdebug|31|file.te|neverallow init sysfs_quorin_led:file getattr;|planted|init sysfs_quorin_led:file
userdebug|32|file.te|neverallow init sysfs_quorin_adc:file read;|holds|
userdebug|33|file.te|neverallow init sysfs_quorin_adc:file read;|planted|init sysfs_quorin_adc:file
userdebug|34|file.te|neverallow init sysfs_quorin_adc:file read;|planted|init sysfs_quorin_adc:file
userdebug|31|file.te|neverallow vold sysfs_quorin_adc:file read;|planted|vold sysfs_quorin_adc:file
userdebug|32|file.te|neverallow apexd sysfs_quorin_led:file read;|holds|
userdebug|33|file.te|neverallow apexd sysfs_quorin_led:file read;|planted|apexd sysfs_quorin_led:file
userdebug|31|file.te|type quorin_planted_bt, domain;\nhal_server_domain(quorin_planted_bt, hal_bluetooth)\nneverallow quorin_planted_bt sysfs_quorin_adc:file read;|planted|quorin_planted_bt sysfs_quorin_adc:file
userdebug|31|file.te|type quorin_planted_tel, domain;\nhal_server_domain(quorin_planted_tel, hal_telephony)\nneverallow quorin_planted_tel sysfs_quorin_adc:file read;|planted|quorin_planted_tel sysfs_quorin_adc:file
userdebug|31|file.te|type quorin_planted_wifi, domain;\nhal_server_domain(quorin_planted_wifi, hal_wifi)\nneverallow quorin_planted_wifi sysfs_quorin_adc:file read;|planted|quorin_planted_wifi sysfs_quorin_adc:file
userdebug|31|file.te|type quorin_planted_supplicant, domain;\nhal_server_domain(quorin_planted_supplicant, hal_wifi_supplicant)\nneverallow quorin_planted_supplicant sysfs_quorin_adc:file read;|planted|quorin_planted_supplicant sysfs_quorin_adc:file
userdebug|31|file.te|type quorin_planted_hostapd, domain;\nhal_server_domain(quorin_planted_hostapd, hal_wifi_hostapd)\nneverallow quorin_planted_hostapd sysfs_quorin_adc:file read;|planted|quorin_planted_hostapd sysfs_quorin_adc:file
userdebug|34|file.te|neverallow tee sysfs_quorin_adc:file read;|planted|tee sysfs_quorin_adc:file
# The platform's own sysfs types.
userdebug|31|file.te|neverallow init sysfs_leds:file write;|planted|init sysfs_leds:file
userdebug|31|file.te|neverallow init sysfs_leds:file setattr;|planted|init sysfs_leds:file
userdebug|31|file.te|neverallow init sysfs:file relabelfrom;|planted|init sysfs:file
userdebug|31|file.te|neverallow vold sysfs:file write;|planted|vold sysfs:file
# The properties of the four keys, and the ones every vendor domain reads.
userdebug|31|file.te|neverallow init vendor_quorin_mic_prop:property_service set;|planted|init vendor_quorin_mic_prop:property_service
userdebug|31|file.te|neverallow init vendor_quorin_led_prop:file write;|planted|init vendor_quorin_led_prop:file
userdebug|31|file.te|neverallow dumpstate vendor_quorin_led_prop:file read;|planted|dumpstate vendor_quorin_led_prop:file
userdebug|31|file.te|neverallow vendor_init vendor_default_prop:file read;|planted|vendor_init vendor_default_prop:file
userdebug|31|file.te|neverallow hal_quorin_default init_service_status_prop:file read;|planted|hal_quorin_default init_service_status_prop:file
userdebug|31|file.te|neverallow system_server init_service_status_private_prop:file read;|planted|system_server init_service_status_private_prop:file
userdebug|31|file.te|neverallow vendor_init init_service_status_private_prop:file read;|holds|
# The vendor files: ueventd reads the vendor's ueventd.rc and firmware; a vendor process loads
# the vendor's libraries.
userdebug|31|file.te|neverallow ueventd hal_quorin_default_exec:file read;|planted|ueventd hal_quorin_default_exec:file
userdebug|31|file.te|neverallow hal_quorin_default vendor_file:file execute;|planted|hal_quorin_default vendor_file:file
# What every domain has: its own process and /proc.
userdebug|31|file.te|neverallow hal_quorin_default self:process fork;|planted|hal_quorin_default hal_quorin_default:process
userdebug|31|file.te|neverallow hal_quorin_default proc:dir read;|planted|hal_quorin_default proc:dir
# The HAL attributes: what every HIDL client is given.
userdebug|31|file.te|type quorin_planted_hidl_client, domain;\nhal_client_domain(quorin_planted_hidl_client, hal_bluetooth)\nneverallow quorin_planted_hidl_client hidl_manager_hwservice:hwservice_manager find;|planted|quorin_planted_hidl_client hidl_manager_hwservice:hwservice_manager
userdebug|31|file.te|type quorin_planted_prop_client, domain;\nhal_client_domain(quorin_planted_prop_client, hal_bluetooth)\nneverallow quorin_planted_prop_client hwservicemanager_prop:file read;|planted|quorin_planted_prop_client hwservicemanager_prop:file
# The service managers: dumpsys finds every service; every domain opens /dev/binder.
userdebug|31|file.te|neverallow shell hal_quorin_service:service_manager find;|planted|shell hal_quorin_service:service_manager
userdebug|31|file.te|neverallow dumpstate hal_quorin_service:service_manager find;|planted|dumpstate hal_quorin_service:service_manager
userdebug|31|file.te|neverallow hal_quorin_default binder_device:chr_file open;|planted|hal_quorin_default binder_device:chr_file
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
    (compile user "$planted" "$work/update-$api" "$api" >"$work/update-$api.report" 2>&1
        echo $? >"$work/update-$api.status") &
    (($(jobs -r | wc -l) >= 2)) && wait -n
done
wait
for api in 31 32 33 34; do
    if [[ $(cat "$work/update-$api.status") != 0 ]]; then
        fail "API $api: the vendor policy with a platform client does not compile:"
        cat "$work/update-$api.report"
        continue
    fi
    add=$(sesearch -A -s hal_quorin_default -t hal_quorin_service -c service_manager -p add "$work/update-$api")
    find=$(sesearch -A -s system_server -t hal_quorin_service -c service_manager -p find "$work/update-$api")
    call=$(sesearch -A -s system_server -t hal_quorin_default -c binder -p call "$work/update-$api")
    # The vendor partition's public policy of 31 declares vendor_service, whichever system runs.
    vendor_service=$(seinfo "$work/update-$api" -a vendor_service -x | grep -w hal_quorin_service)
    if [[ -n $add && -n $find && -n $call && -n $vendor_service ]]; then
        ok "API $api, no system_ext policy: hal_quorin_default registers the service" \
            "(a vendor_service), system_server finds and calls it"
    else
        fail "API $api, no system_ext policy: add \"$add\", find \"$find\", call \"$call\"," \
            "vendor_service \"$vendor_service\""
    fi
done

echo "platform grants check: $failed failed"
[[ $failed -eq 0 ]]
