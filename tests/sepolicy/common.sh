# SPDX-License-Identifier: Apache-2.0
# Sourced by the policy checks: the vendor policy of device/sepolicy compiled with the platform
# model of tests/sepolicy/platform as the platform build compiles it, planted copies of it, and
# the report's lines. Needs $platform (the model's directory) and $work (a scratch directory).

failed=0
ok() { echo "ok    $*"; }
fail() {
    echo "FAIL  $*"
    failed=$((failed + 1))
}

# policy_conf VARIANT VENDOR_DIR API [PUBLIC_ONLY]: policy.conf in the platform build's order:
# classes, macros, attributes, rules, then labels. The platform's public policy, then (unless
# PUBLIC_ONLY) its private policy, the SoC vendor's policy and ours. The platform is the release
# of API level API; there is no system_ext policy: the vendor tree puts nothing there.
policy_conf() {
    local private=("$platform"/private/*.te)
    [[ -n ${4:-} ]] && private=()
    m4 --fatal-warnings -D target_build_variant="$1" -D platform_api="$3" -s \
        "$platform"/{versions,security_classes,initial_sids,access_vectors,global_macros,mls} \
        "$platform/te_macros" "$2/te_macros" "$platform/attributes" "$platform"/public/*.te \
        "${private[@]}" "$platform/soc_vendor.te" "$2"/*.te \
        "$platform"/{roles,users,initial_sid_contexts,fs_use,genfs_contexts} "$2/genfs_contexts"
}

# compile VARIANT VENDOR_DIR OUTPUT [API]: the whole policy, as the platform build compiles it:
# the binary policy with checkpolicy, and the CIL that the device's precompiled policy is built
# from, through secilc. Both check every neverallow rule; prints their complaints.
compile() {
    policy_conf "$1" "$2" "${4:-31}" >"$3.conf" || return 1
    local status=0
    checkpolicy -M -c 30 -o "$3" "$3.conf" 2>&1 || status=1
    if checkpolicy -C -M -c 30 -o "$3.cil" "$3.conf" >/dev/null 2>&1; then
        secilc -m -M true -c 30 -o "$3.secilc" -f /dev/null "$3.cil" 2>&1 | sed 's/^/secilc: /'
        ((PIPESTATUS[0] == 0)) || status=1
    fi
    return $status
}

# compile_vendor VARIANT VENDOR_DIR OUTPUT: the vendor's part alone against the public types of
# the release it is built with, as the vendor image is built: a private platform type fails here.
compile_vendor() {
    policy_conf "$1" "$2" 31 public >"$3.conf" && checkpolicy -M -c 30 -o "$3" "$3.conf" 2>&1
}

# plant VENDOR_DIR FILE TEXT: a copy of the vendor policy with TEXT appended to FILE.
plant() {
    local copy=$work/planted
    rm -rf "$copy"
    cp -r "$1" "$copy"
    printf '%s\n' "$3" >>"$copy/$2"
    echo "$copy"
}
