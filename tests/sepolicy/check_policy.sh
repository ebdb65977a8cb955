#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Compiles the vendor policy of device/sepolicy with the platform model of tests/sepolicy/platform
# (m4, checkpolicy and secilc, as the platform build does, for user and userdebug builds, with
# the platform of Android 12 to 14) and checks it:
# - the platform's neverallow rules and ours hold, and planted rules that break them are refused
#   by the rule's own file; a core domain given quorin_hal_host fails them;
# - sesearch: halctl's domain and the hosting service may do exactly what they need, the
#   system-control service may set the LED request, a platform client and dumpsys reach the
#   service, and no core domain may touch the nodes or the properties;
# - the attribute paths the built library opens and its four property keys are labelled
#   as they must be: genfscon (each line one file), ueventd's mode and owner, property_contexts
#   resolved through libselinux's Android property backend.
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
# shellcheck source=common.sh
source "$here/common.sh"

# --- compile ----------------------------------------------------------------------------------
# With the release the vendor image is built for (API 31), and with each newer system image a
# system-only update can bring to it: 12L, 13 and 14; eng as well with 31. All at once, two by
# two on the two cores a CI runner has.
builds=(user-31 userdebug-31 eng-31 user-32 userdebug-32 user-33 userdebug-33 user-34 userdebug-34)
for build in "${builds[@]}"; do
    output=$work/${build%-31}
    (compile "${build%-*}" "$vendor" "$output" "${build##*-}" >"$output.report" 2>&1; echo $? >"$output.status") &
    (($(jobs -r | wc -l) >= 2)) && wait -n
done
for variant in user userdebug; do
    (compile_vendor "$variant" "$vendor" "$work/$variant-vendor" >"$work/$variant-vendor.report" 2>&1
        echo $? >"$work/$variant-vendor.status") &
done
wait
for build in "${builds[@]}"; do
    output=$work/${build%-31}
    if [[ $(cat "$output.status") == 0 ]]; then
        ok "API ${build##*-}, ${build%-*}: the policy compiles with the platform model" \
            "(checkpolicy and secilc), every neverallow rule holds"
    else
        fail "API ${build##*-}, ${build%-*}: the policy does not compile:"
        cat "$output.report"
    fi
done
for variant in user userdebug; do
    if [[ $(cat "$work/$variant-vendor.status") == 0 ]]; then
        ok "$variant: the vendor part compiles against the platform's public policy alone"
    else
        fail "$variant: the vendor part does not compile against the public policy alone:"
        cat "$work/$variant-vendor.report"
    fi
done
policy=$work/userdebug
[[ -f "$policy" && -f "$work/user" ]] || { echo "policy check: $failed failed"; exit 1; }

mapfile -t core_domains < <(seinfo "$policy" -a coredomain -x --flat | awk '/^\t/ {print $1}')

# --- planted violations -----------------------------------------------------------------------
# Each platform rule the vendor files meet, and each of ours, with a rule that breaks it: the
# build must refuse each by the rule's own file, naming the planted pair (expect_refusals).
# Columns: variant | API | file | planted text | the file of the rule that refuses it, or holds |
# the pair it names. Types named quorin_planted_* are declared by the row that plants them.
expect_refusals "$vendor" <<'EOF_PLANTS'
# Vendor files, and the entry points of each side: su is a core domain on userdebug.
userdebug|31|quorin_halctl.te|domain_auto_trans(su, quorin_halctl_exec, quorin_halctl)|private/vendor_files.te|su quorin_halctl_exec:file
userdebug|31|quorin_halctl.te|allow quorin_halctl system_file:file entrypoint;|private/vendor_files.te|quorin_halctl system_file:file
# sysfs: the platform's rules on its own types and on every sysfs type, and ours on the nodes.
user|31|hal_quorin_default.te|allow system_server sysfs_leds:file getattr;|private/sysfs.te|system_server sysfs_leds:file
user|31|hal_quorin_default.te|allow system_server sysfs:file read;|private/sysfs.te|system_server sysfs:file
user|31|hal_quorin_default.te|allow init sysfs:file read;|private/sysfs.te|init sysfs:file
user|33|hal_quorin_default.te|allow init sysfs:file read;|holds|init sysfs:file
user|31|hal_quorin_default.te|allow untrusted_app sysfs_quorin_adc:file setattr;|private/sysfs.te|untrusted_app sysfs_quorin_adc:file
user|31|hal_quorin_default.te|allow mediaprovider sysfs:file read;|private/sysfs.te|mediaprovider sysfs:file
user|31|hal_quorin_default.te|allow isolated_app sysfs_quorin_led:file read;|private/sysfs.te|isolated_app sysfs_quorin_led:file
user|31|hal_quorin_default.te|allow hal_quorin_default sysfs_usermodehelper:file write;|public/domain.te|hal_quorin_default sysfs_usermodehelper:file
user|31|hal_quorin_default.te|allow hal_quorin_default sysfs_quorin_led:dir write;|public/domain.te|hal_quorin_default sysfs_quorin_led:dir
user|31|hal_quorin_default.te|allow system_server sysfs_quorin_adc:file open;|sepolicy/file.te|system_server sysfs_quorin_adc:file
user|31|hal_quorin_default.te|allow shell sysfs_quorin_led:file read;|sepolicy/file.te|shell sysfs_quorin_led:file
user|31|hal_quorin_default.te|allow dumpstate sysfs_quorin_led:file write;|sepolicy/file.te|dumpstate sysfs_quorin_led:file
userdebug|31|hal_quorin_default.te|allow su sysfs_quorin_led:file write;|sepolicy/file.te|su sysfs_quorin_led:file
# Properties, by owner and scope.
user|31|hal_quorin_default.te|allow system_server vendor_quorin_led_prop:file read;|sepolicy/property.te|system_server vendor_quorin_led_prop:file
userdebug|31|hal_quorin_default.te|allow system_server vendor_quorin_led_prop:file read;|private/property.te|system_server vendor_quorin_led_prop:file
user|31|hal_quorin_default.te|allow vold vendor_quorin_mic_prop:property_service set;|private/property.te|vold vendor_quorin_mic_prop:property_service
user|31|hal_quorin_default.te|allow hal_quorin_default init_service_status_private_prop:file read;|private/property.te|hal_quorin_default init_service_status_private_prop:file
user|31|hal_quorin_default.te|allow hal_quorin_default init_service_status_prop:property_service set;|private/property.te|hal_quorin_default init_service_status_prop:property_service
user|31|hal_quorin_default.te|allow hal_quorin_default init_service_status_private_prop:property_service set;|private/property.te|hal_quorin_default init_service_status_private_prop:property_service
user|31|hal_quorin_default.te|allow hal_quorin_default vendor_quorin_mic_prop:file lock;|private/property.te|hal_quorin_default vendor_quorin_mic_prop:file
user|31|hal_quorin_default.te|allow system_server default_prop:property_service set;|private/property.te|system_server default_prop:property_service
user|31|hal_quorin_default.te|type quorin_planted_unowned_prop, property_type;\nallow hal_quorin_default quorin_planted_unowned_prop:file read;|private/property.te|hal_quorin_default quorin_planted_unowned_prop:file
user|31|hal_quorin_default.te|type quorin_planted_shared_prop, property_type, system_and_vendor_property_type;|private/property.te|init quorin_planted_shared_prop:property_service
user|31|hal_quorin_default.te|allow hal_quorin_default vendor_default_prop:property_service set;|public/property.te|hal_quorin_default vendor_default_prop:property_service
user|31|hal_quorin_default.te|vendor_restricted_prop(vendor_quorin_planted_prop)\nallow system_server vendor_quorin_planted_prop:property_service set;|planted|system_server vendor_quorin_planted_prop:property_service
# binder and the three service managers.
user|31|hal_quorin_default.te|allow hal_quorin_default init:binder call;|public/domain.te|hal_quorin_default init:binder
user|31|hal_quorin_default.te|allow system_control vendor_init:binder call;|public/domain.te|system_control vendor_init:binder
user|31|hal_quorin_default.te|allow hal_quorin_default self:binder set_context_mgr;|public/domain.te|hal_quorin_default hal_quorin_default:binder
user|31|hal_quorin_default.te|allow servicemanager hwbinder_device:chr_file read;|public/domain.te|servicemanager hwbinder_device:chr_file
user|31|hal_quorin_default.te|allow servicemanager vndbinder_device:chr_file read;|public/domain.te|servicemanager vndbinder_device:chr_file
user|31|hal_quorin_default.te|allow hwservicemanager binder_device:chr_file read;|public/domain.te|hwservicemanager binder_device:chr_file
user|31|hal_quorin_default.te|allow hwservicemanager vndbinder_device:chr_file read;|public/domain.te|hwservicemanager vndbinder_device:chr_file
user|31|hal_quorin_default.te|allow vndservicemanager binder_device:chr_file read;|public/domain.te|vndservicemanager binder_device:chr_file
user|31|hal_quorin_default.te|allow vndservicemanager hwbinder_device:chr_file read;|public/domain.te|vndservicemanager hwbinder_device:chr_file
user|31|hal_quorin_default.te|allow system_server vndbinder_device:chr_file open;|public/domain.te|system_server vndbinder_device:chr_file
user|31|hal_quorin_default.te|allow ueventd vndbinder_device:chr_file read;|public/domain.te|ueventd vndbinder_device:chr_file
user|31|hal_quorin_default.te|allow system_server vndservicemanager:binder call;|public/domain.te|system_server vndservicemanager:binder
userdebug|31|hal_quorin_default.te|allow su vndservicemanager:binder call;|holds|su vndservicemanager:binder
user|31|hal_quorin_default.te|type quorin_planted_vndservice, vndservice_manager_type;\nallow system_server quorin_planted_vndservice:service_manager find;|public/domain.te|system_server quorin_planted_vndservice:service_manager
user|31|hal_quorin_default.te|allow hal_quorin_default default_android_service:service_manager find;|public/domain.te|hal_quorin_default default_android_service:service_manager
user|31|hal_quorin_default.te|allow hal_quorin_default default_android_vndservice:service_manager find;|public/domain.te|hal_quorin_default default_android_vndservice:service_manager
user|31|hal_quorin_default.te|allow hal_quorin_default default_android_hwservice:hwservice_manager find;|public/domain.te|hal_quorin_default default_android_hwservice:hwservice_manager
user|31|hal_quorin_default.te|allow hal_quorin_default hidl_base_hwservice:hwservice_manager find;|public/domain.te|hal_quorin_default hidl_base_hwservice:hwservice_manager
user|31|hal_quorin_default.te|allow hal_quorin_default hal_quorin_service:service_manager list;|public/domain.te|hal_quorin_default hal_quorin_service:service_manager
user|31|hal_quorin_default.te|allow hal_quorin_default system_control_hwservice:hwservice_manager list;|public/domain.te|hal_quorin_default system_control_hwservice:hwservice_manager
user|31|hal_quorin_default.te|allow hal_quorin_default hidl_manager_hwservice:hwservice_manager add;|public/domain.te|hal_quorin_default hidl_manager_hwservice:hwservice_manager
user|31|hal_quorin_default.te|allow hal_quorin_default hal_graphics_mapper_hwservice:hwservice_manager add;|public/domain.te|hal_quorin_default hal_graphics_mapper_hwservice:hwservice_manager
# Who registers which service: a vendor process only a vendor_service, a core one none.
user|31|hal_quorin_default.te|type quorin_planted_service, service_manager_type;\nallow hal_quorin_default quorin_planted_service:service_manager add;|public/domain.te|hal_quorin_default quorin_planted_service:service_manager
user|34|hal_quorin_default.te|type quorin_planted_service, service_manager_type;\nallow hal_quorin_default quorin_planted_service:service_manager add;|holds|hal_quorin_default quorin_planted_service:service_manager
userdebug|31|hal_quorin_default.te|allow system_server hal_quorin_service:service_manager add;|public/domain.te|system_server hal_quorin_service:service_manager
user|31|hal_quorin_default.te|allow system_control hal_quorin_service:service_manager add;|sepolicy/hal_quorin.te|system_control hal_quorin_service:service_manager
user|31|hal_quorin_default.te|allow init hal_face_service:service_manager find;|public/init.te|init hal_face_service:service_manager
user|31|hal_quorin_default.te|allow init servicemanager:service_manager list;|public/init.te|init servicemanager:service_manager
# Vendor apps find only stable services: a vendor_service, and vr_hwc_service until 13.
user|31|hal_quorin_default.te|type quorin_planted_app, domain, appdomain;\nallow quorin_planted_app quorin_planted_service:service_manager find;|public/domain.te|quorin_planted_app quorin_planted_service:service_manager
user|31|hal_quorin_default.te|allow quorin_planted_app hal_face_service:service_manager find;|holds|quorin_planted_app hal_face_service:service_manager
user|32|hal_quorin_default.te|type quorin_planted_app, domain, appdomain;\nallow quorin_planted_app vr_hwc_service:service_manager find;|holds|quorin_planted_app vr_hwc_service:service_manager
user|33|hal_quorin_default.te|type quorin_planted_app, domain, appdomain;\nallow quorin_planted_app vr_hwc_service:service_manager find;|public/domain.te|quorin_planted_app vr_hwc_service:service_manager
# Apps and the service managers.
user|31|hal_quorin_default.te|allow untrusted_app hal_quorin_service:service_manager add;|private/app_neverallows.te|untrusted_app hal_quorin_service:service_manager
user|31|hal_quorin_default.te|allow untrusted_app vndbinder_device:chr_file read;|private/app_neverallows.te|untrusted_app vndbinder_device:chr_file
user|31|hal_quorin_default.te|allow untrusted_app quorin_planted_vndservice:service_manager find;|private/app_neverallows.te|untrusted_app quorin_planted_vndservice:service_manager
user|31|hal_quorin_default.te|allow untrusted_app system_control_hwservice:hwservice_manager add;|private/app_neverallows.te|untrusted_app system_control_hwservice:hwservice_manager
user|31|hal_quorin_default.te|type quorin_planted_hwservice, hwservice_manager_type, protected_hwservice;\nallow untrusted_app quorin_planted_hwservice:hwservice_manager find;|private/app_neverallows.te|untrusted_app quorin_planted_hwservice:hwservice_manager
user|31|hal_quorin_default.te|allow untrusted_app hal_face_service:service_manager find;|private/app_neverallows.te|untrusted_app hal_face_service:service_manager
user|31|hal_quorin_default.te|allow priv_app quorin_planted_service:service_manager add;|private/app_neverallows.te|priv_app quorin_planted_service:service_manager
user|31|hal_quorin_default.te|allow isolated_app hwbinder_device:chr_file read;|private/app_neverallows.te|isolated_app hwbinder_device:chr_file
user|31|hal_quorin_default.te|allow isolated_app hidl_manager_hwservice:hwservice_manager find;|private/app_neverallows.te|isolated_app hidl_manager_hwservice:hwservice_manager
user|31|hal_quorin_default.te|allow isolated_app activity_service:service_manager list;|private/app_neverallows.te|isolated_app activity_service:service_manager
user|31|hal_quorin_default.te|allow isolated_app hal_quorin_service:service_manager find;|private/app_neverallows.te|isolated_app hal_quorin_service:service_manager
# The HAL's own rules (hal_attribute, hal_attribute_service): who may be its server or client,
# who registers its service, and who finds it. The client's line of before, a bare find, is
# refused; the client as the platform accepts it holds.
user|31|hal_quorin_default.te|type quorin_planted_server, domain;\ntypeattribute quorin_planted_server hal_quorin_server;|sepolicy/hal_quorin.te|quorin_planted_server quorin_planted_server:process
user|31|hal_quorin_default.te|type quorin_planted_client, domain;\ntypeattribute quorin_planted_client hal_quorin_client;|sepolicy/hal_quorin.te|quorin_planted_client quorin_planted_client:process
user|31|hal_quorin.te|# the old quorin_hal_client(system_server)\nallow system_server hal_quorin_service:service_manager find;\nbinder_call(system_server, hal_quorin_server)|sepolicy/hal_quorin.te|system_server hal_quorin_service:service_manager
eng|31|hal_quorin.te|quorin_hal_client(system_server)|holds|system_server hal_quorin_service:service_manager
user|31|hal_quorin_default.te|type quorin_planted_hidl, hwservice_manager_type;\nhal_attribute_hwservice(hal_quorin, quorin_planted_hidl)\nallow system_server quorin_planted_hidl:hwservice_manager find;|planted|system_server quorin_planted_hidl:hwservice_manager
# The host's macro given to a core domain: the system server, an app, adb's shell, su. (At 32,
# apart from the rows of 31 whose pairs the macro would grant as well.)
user|32|hal_quorin_default.te|quorin_hal_host(system_server)|private/property.te|system_server vendor_quorin_mic_prop:property_service
user|32|hal_quorin_default.te|quorin_hal_host(untrusted_app)|sepolicy/file.te|untrusted_app sysfs_quorin_led:file
user|32|hal_quorin_default.te|quorin_hal_host(shell)|sepolicy/file.te|shell sysfs_quorin_adc:file
userdebug|32|hal_quorin_default.te|quorin_hal_host(su)|sepolicy/file.te|su sysfs_quorin_adc:file
# What a HAL server may never do: network capabilities and sockets, running a program without a
# transition, being entered but by init's exec, and the audio and camera nodes.
user|31|hal_quorin_default.te|allow hal_quorin_default self:capability net_admin;|public/hal_neverallows.te|hal_quorin_default hal_quorin_default:capability
user|31|hal_quorin_default.te|allow hal_quorin_default self:cap_userns net_raw;|public/hal_neverallows.te|hal_quorin_default hal_quorin_default:cap_userns
user|31|hal_quorin_default.te|allow hal_quorin_default self:tcp_socket create;|public/hal_neverallows.te|hal_quorin_default hal_quorin_default:tcp_socket
user|31|hal_quorin_default.te|allow hal_quorin_default self:udp_socket create;|public/hal_neverallows.te|hal_quorin_default hal_quorin_default:udp_socket
user|33|hal_quorin_default.te|allow hal_quorin_default self:tcp_socket create;|public/hal_neverallows.te|hal_quorin_default hal_quorin_default:tcp_socket
user|33|hal_quorin_default.te|allow hal_quorin_default self:rawip_socket create;|public/hal_neverallows.te|hal_quorin_default hal_quorin_default:rawip_socket
userdebug|31|hal_quorin_default.te|allow hal_quorin_default su:tcp_socket read;|public/hal_neverallows.te|hal_quorin_default su:tcp_socket
userdebug|33|hal_quorin_default.te|allow hal_quorin_default su:tcp_socket read;|holds|hal_quorin_default su:tcp_socket
user|31|hal_quorin_default.te|allow hal_quorin_default self:unix_stream_socket { create connect };|holds|hal_quorin_default hal_quorin_default:unix_stream_socket
user|31|hal_quorin_default.te|type quorin_planted_uwb, domain;\nhal_server_domain(quorin_planted_uwb, hal_uwb)\nallow quorin_planted_uwb self:capability net_admin;\nallow quorin_planted_uwb self:udp_socket ioctl;|holds|quorin_planted_uwb quorin_planted_uwb:capability
user|31|hal_quorin_default.te|type quorin_planted_uwb_raw, domain;\nhal_server_domain(quorin_planted_uwb_raw, hal_uwb)\nallow quorin_planted_uwb_raw self:capability net_raw;|public/hal_neverallows.te|quorin_planted_uwb_raw quorin_planted_uwb_raw:capability
user|31|hal_quorin_default.te|type quorin_planted_uwb_netlink, domain;\nhal_server_domain(quorin_planted_uwb_netlink, hal_uwb)\nallow quorin_planted_uwb_netlink self:netlink_route_socket create;|public/hal_neverallows.te|quorin_planted_uwb_netlink quorin_planted_uwb_netlink:netlink_route_socket
user|33|hal_quorin_default.te|type quorin_planted_uwb_vendor, domain;\nhal_server_domain(quorin_planted_uwb_vendor, hal_uwb_vendor)\nallow quorin_planted_uwb_vendor self:packet_socket create;|public/hal_neverallows.te|quorin_planted_uwb_vendor quorin_planted_uwb_vendor:packet_socket
user|31|hal_quorin_default.te|allow hal_quorin_default system_file:file execute_no_trans;|public/hal_neverallows.te|hal_quorin_default system_file:file
user|31|hal_quorin_default.te|allow hal_quorin_default hal_quorin_default_exec:file execute_no_trans;|public/hal_neverallows.te|hal_quorin_default hal_quorin_default_exec:file
user|31|hal_quorin_default.te|allow hal_quorin_default shell_exec:file execute_no_trans;|public/hal_neverallows.te|hal_quorin_default shell_exec:file
user|34|hal_quorin_default.te|allow hal_quorin_default shell_exec:file execute_no_trans;|holds|hal_quorin_default shell_exec:file
user|34|hal_quorin_default.te|allow hal_quorin_default vendor_file:file execute_no_trans;|public/hal_neverallows.te|hal_quorin_default vendor_file:file
user|31|hal_quorin_default.te|allow vendor_init hal_quorin_default:process transition;|public/hal_neverallows.te|vendor_init hal_quorin_default:process
user|31|hal_quorin_default.te|allow init hal_quorin_default:process dyntransition;|public/hal_neverallows.te|init hal_quorin_default:process
user|31|hal_quorin_default.te|allow hal_quorin_default audio_device:chr_file open;|public/hal_neverallows.te|hal_quorin_default audio_device:chr_file
user|31|hal_quorin_default.te|allow hal_quorin_default camera_device:chr_file read;|public/hal_neverallows.te|hal_quorin_default camera_device:chr_file
user|31|hal_quorin_default.te|type quorin_planted_audio, domain;\nhal_server_domain(quorin_planted_audio, hal_audio)\nallow quorin_planted_audio audio_device:chr_file { open read write ioctl };|holds|quorin_planted_audio audio_device:chr_file
user|31|hal_quorin_default.te|type quorin_planted_audio_exec, domain;\nhal_server_domain(quorin_planted_audio_exec, hal_audio)\nallow quorin_planted_audio_exec vendor_file:file execute_no_trans;|public/hal_neverallows.te|quorin_planted_audio_exec vendor_file:file
# Vendor files: which core domains may execute, enter or touch which of them.
user|31|hal_quorin_default.te|allow system_server hal_quorin_default_exec:file getattr;|private/vendor_files.te|system_server hal_quorin_default_exec:file
user|31|hal_quorin_default.te|allow system_server vendor_configs_file:file execute;|private/vendor_files.te|system_server vendor_configs_file:file
user|31|hal_quorin_default.te|allow system_server vendor_app_file:file { open read execute };|holds|system_server vendor_app_file:file
user|31|hal_quorin_default.te|allow init hal_quorin_default_exec:file execute_no_trans;|private/vendor_files.te|init hal_quorin_default_exec:file
user|31|hal_quorin_default.te|allow shell vendor_file:file execute_no_trans;|holds|shell vendor_file:file
user|31|hal_quorin_default.te|allow crash_dump hal_quorin_default_exec:file { open read map };|holds|crash_dump hal_quorin_default_exec:file
user|31|hal_quorin_default.te|allow profcollectd vendor_file:file read;|private/vendor_files.te|profcollectd vendor_file:file
userdebug|31|hal_quorin_default.te|allow profcollectd vendor_file:file read;|holds|profcollectd vendor_file:file
userdebug|31|hal_quorin_default.te|allow su hal_quorin_default_exec:file read;|private/vendor_files.te|su hal_quorin_default_exec:file
user|33|hal_quorin_default.te|allow system_server vendor_uuid_mapping_config_file:file read;|holds|system_server vendor_uuid_mapping_config_file:file
user|32|hal_quorin_default.te|allow iorap_prefetcherd hal_quorin_default_exec:file read;|holds|iorap_prefetcherd hal_quorin_default_exec:file
user|34|hal_quorin_default.te|allow crosvm vendor_file:file read;|holds|crosvm vendor_file:file
EOF_PLANTS

# The service type as it stood, without vendor_service: Android 12 to 13 refuse its
# registration with their own rule; 14 has no such rule.
sed 's/^type hal_quorin_service, vendor_service, service_manager_type;$/type hal_quorin_service, service_manager_type;/' \
    "$vendor/hal_quorin.te" >"$work/hal_quorin.te.old"
if cmp -s "$work/hal_quorin.te.old" "$vendor/hal_quorin.te"; then
    fail "hal_quorin.te declares hal_quorin_service otherwise than expected: the old form cannot be made"
else
    cp -r "$vendor" "$work/old-vendor" && cp "$work/hal_quorin.te.old" "$work/old-vendor/hal_quorin.te"
    expect_refusals "$work/old-vendor" <<'EOF_OLD'
user|31|hal_quorin.te|# the old hal_quorin.te|public/domain.te|hal_quorin_default hal_quorin_service:service_manager
userdebug|33|hal_quorin.te|# the old hal_quorin.te|public/domain.te|hal_quorin_default hal_quorin_service:service_manager
user|34|hal_quorin.te|# the old hal_quorin.te|holds|hal_quorin_default hal_quorin_service:service_manager
EOF_OLD
fi

# The vendor part may name only public platform types.
planted=$(plant "$vendor" hal_quorin_default.te "allow hal_quorin_default system_server_startup:fd use;")
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

# expect_exactly SOURCE WHAT PERMISSION...: SOURCE may do these ("target:class perm", each
# permission alone) and nothing more, its attributes' rules included.
expect_exactly() {
    local source=$1 what=$2 expected actual
    shift 2
    expected=$(printf '%s\n' "$@" | sort -u)
    actual=$(granted "$source")
    if [[ $actual == "$expected" ]]; then
        ok "$source may do exactly $what: $(wc -l <<<"$actual") permissions"
    else
        fail "$source differs from $what (< missing, > more than it needs):"
        diff <(echo "$expected") <(echo "$actual") | grep '^[<>]'
    fi
}
# perms "TARGET:CLASS" PERM...: one "TARGET:CLASS PERM" line each.
perms() {
    local object=$1
    shift
    printf "$object %s\n" "$@"
}

# hosting DOMAIN: what the library does in its host (the macro), and what the platform gives
# every vendor domain.
hosting() {
    perms sysfs:dir search
    perms sysfs_quorin_led:file open read write
    perms sysfs_quorin_adc:file open read write
    perms property_socket:sock_file write
    perms init:unix_stream_socket connectto
    perms vendor_quorin_mic_prop:property_service set
    perms vendor_quorin_mic_prop:file getattr map open read
    perms vendor_quorin_led_prop:file getattr map open read
    perms hwbinder_device:chr_file append getattr ioctl lock map open read watch watch_reads write
    perms hwservicemanager:binder call transfer
    perms hwservicemanager_prop:file getattr map open read
    perms hidl_manager_hwservice:hwservice_manager find
    perms system_control_hwservice:hwservice_manager find
    perms system_control:binder call transfer
    perms system_control:fd use
    # What the platform gives every domain, or every vendor domain.
    perms binder_device:chr_file append getattr ioctl lock map open read watch watch_reads write
    perms init_service_status_prop:file getattr map open read
    perms vendor_default_prop:file getattr map open read
    perms "$1":process fork getattr getcap getpgid getsched getsession setcap setpgid setrlimit \
        setsched sigchld sigkill signal signull sigstop
    perms "$1":fd use
    perms "$1":fifo_file append getattr ioctl lock map open read watch watch_reads write
    perms "$1":dir getattr ioctl lock open read search watch watch_reads
    perms "$1":file getattr ioctl lock map open read watch watch_reads
    perms "$1":lnk_file getattr ioctl lock map open read watch watch_reads
    perms proc:dir getattr ioctl lock open read search watch watch_reads
    perms sysfs:lnk_file getattr read
    perms selinuxfs:dir search
    perms selinuxfs:file getattr
    perms vendor_file:dir getattr ioctl lock open read search watch watch_reads
    perms vendor_file:file execute getattr map open read
}
expect_grants system_control "on the library's behalf" \
    "vendor_quorin_led_prop:property_service set" \
    "vendor_quorin_led_prop:file open,read" \
    "property_socket:sock_file write" \
    "init:unix_stream_socket connectto"

# halctl: the host's rights (its direct path), a client's rights on the hosting service (its path
# through the service), what its doctor looks at (mode, owner, label), and its way in from su.
# No terminal, and no write on anything but the eight attributes.
mapfile -t halctl_perms < <(
    hosting "$host"
    perms sysfs_quorin_led:file getattr
    perms sysfs_quorin_adc:file getattr
    perms sysfs:dir getattr ioctl lock open read search watch watch_reads
    perms sysfs:file getattr ioctl lock map open read watch watch_reads
    perms sysfs:lnk_file getattr ioctl lock map open read watch watch_reads
    perms sysfs_leds:dir getattr ioctl lock open read search watch watch_reads
    perms sysfs_leds:lnk_file getattr read
    perms selinuxfs:file open read
    perms property_contexts_file:file getattr open read
    perms hal_quorin_default:dir getattr ioctl lock open read search watch watch_reads
    perms hal_quorin_default:file getattr ioctl lock map open read watch watch_reads
    perms hal_quorin_default:lnk_file getattr ioctl lock map open read watch watch_reads
    # A client of the hosting service: it finds it through the servicemanager and calls it.
    perms hal_quorin_service:service_manager find
    perms hal_quorin_server:binder call transfer
    perms hal_quorin_server:fd use
    perms servicemanager:binder call transfer
    perms quorin_halctl_exec:file entrypoint execute execute_no_trans getattr map open read
    perms su:process sigchld
    perms su:fd use
    perms adbd:fd use
    perms adbd:unix_stream_socket getattr read write
)
expect_exactly "$host" "what the library and the doctor do" "${halctl_perms[@]}"
# Each over-grant is seen: a write outside the eight attributes, a terminal, another domain's
# /proc, a property it does not set. Planted together, each must show as a line of its own.
over_grants=("sysfs:file write" "devpts:chr_file read" "system_server:file read"
    "vendor_quorin_led_prop:property_service set")
planted=$(plant "$vendor" quorin_halctl.te "$(printf "allow $host %s;\n" "${over_grants[@]}")")
if ! compile userdebug "$planted" "$work/over-grant" >/dev/null; then
    fail "the over-grants do not compile"
else
    report=$(policy=$work/over-grant expect_exactly "$host" "what it needs" "${halctl_perms[@]}")
    for grant in "${over_grants[@]}"; do
        if grep -qxF "> $grant" <<<"$report"; then
            ok "the over-grant \"allow $host $grant\" is seen"
        else
            fail "the over-grant \"allow $host $grant\" passes the check of what $host may do"
        fi
    done
fi
# The doctor's looks into other domains' /proc are refused without a denial in the log.
if [[ -n $(sesearch --dontaudit -s "$host" -t domain -c dir -p search "$policy") ]]; then
    ok "userdebug: $host looking into another domain's /proc is refused without an audit line"
else
    fail "userdebug: every process the doctor may not see logs a denial"
fi
for variant in user userdebug; do
    if seinfo "$work/$variant" -t "$host" | grep -qw "$host"; then
        [[ $variant == userdebug ]] && ok "userdebug: the domain $host exists" ||
            fail "user: the domain $host exists on a build without halctl"
    else
        [[ $variant == user ]] && ok "user: no domain $host (halctl is not installed)" ||
            fail "userdebug: no domain $host"
    fi
done

# --- what no core domain may do ---------------------------------------------------------------
# Any rule that lets a core domain open a node or set or read a property of the library, but for
# the platform's own exemptions: init, ueventd and vold on sysfs, init and dumpstate on
# properties.
core_access() {  # core_access POLICY: prints the offending rules, or why it could not look
    local p=$1 target rules="" found
    for target in sysfs_leds sysfs_quorin_led sysfs_quorin_adc; do
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
# Compiled with the system server given the client's side (quorin_hal_client), as a product's
# vendor policy gives its platform clients.
service=hal_quorin_default
caller=system_server
planted=$(plant "$vendor" hal_quorin.te "quorin_hal_client($caller)")
if ! output=$(compile userdebug "$planted" "$work/with-caller"); then
    fail "the policy with a platform client of the HAL does not compile:"
    echo "$output"
else
    if sesearch -T -s init -t ${service}_exec -c process "$work/with-caller" | grep " $service;$" >/dev/null; then
        ok "init starting the service's executable enters $service"
    else
        fail "init starting the service's executable does not enter $service"
    fi
    policy_saved=$policy
    policy=$work/with-caller
    expect_grants "$caller" "a platform client finds the service and calls it" \
        "hal_quorin_service:service_manager find" \
        "hal_quorin_server:binder call,transfer"
    for dumper in dumpstate shell; do
        expect_grants "$dumper" "dumpsys on the service" \
            "hal_quorin_service:service_manager find" \
            "hal_quorin_server:binder call,transfer"
    done
    if seinfo "$work/with-caller" -a hal_quorin_server -x | grep -w "$service" >/dev/null; then
        ok "$service is the HAL's server (hal_quorin_server)"
    else
        fail "$service is not in hal_quorin_server: its callers cannot reach it"
    fi
    # The host's rights, the exec from init, binder and the servicemanager, the registration,
    # the references it passes back to its callers, and the pipe dumpsys hands it.
    mapfile -t service_perms < <(
        hosting "$service"
        perms ${service}_exec:file entrypoint execute getattr map open read
        perms servicemanager:binder call transfer
        perms hal_quorin_service:service_manager add find
        perms $host:binder transfer  # halctl, a client on userdebug
        perms $caller:binder transfer
        for dumper in dumpstate shell; do
            perms $dumper:binder transfer
            perms $dumper:fd use
            perms $dumper:fifo_file getattr write
        done
    )
    expect_exactly "$service" "what a host of the library and a served HAL do" "${service_perms[@]}"
    policy=$policy_saved
fi
if [[ -n $(sesearch -A -s shell -t hal_quorin_server -c binder "$work/user") ]]; then
    fail "user: adb's shell may call the service"
else
    ok "user: adb's shell may not call the service (dumpsys on userdebug and eng only)"
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
    expected=u:object_r:sysfs_quorin_led:s0
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
# Each line of ours names one of those files, whole: genfscon labels by prefix, so a directory's
# line would give the host's type to every file below it.
while read -r fs path context; do
    if [[ " ${paths[*]} " == *" /sys$path "* ]]; then
        ok "genfs_contexts labels $path alone"
    else
        fail "genfs_contexts labels $path ($context), which is not an attribute the library opens"
    fi
done < <(awk '$1 == "genfscon" {print $2, $3, $4}' "$vendor/genfs_contexts")

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

# halctl tells that the hosting service runs by the state init gives it, a property it may read
# on an enforcing device (no look into /proc).
state_key=init.svc.vendor.quorin.hal
state=$("$lookup" "$platform/property_contexts" "$vendor/property_contexts" -- "$state_key" | awk '{print $2}')
state_type=${state#u:object_r:}
state_type=${state_type%%:*}
if [[ -n $(sesearch -A -s "$host" -t "$state_type" -c file -p read "$policy") ]]; then
    ok "$state_key is $state_type, which $host may read"
else
    fail "$state_key is \"$state_type\", which $host may not read"
fi

echo "policy check: $failed failed"
[[ $failed -eq 0 ]]
