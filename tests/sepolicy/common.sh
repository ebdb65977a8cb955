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
# of API level API; there is no system_ext policy: the vendor tree puts nothing there. The
# target_* flags are those the platform build sets for a full-Treble device launched on Android
# 12 when it checks neverallow rules: build-time-only rules included.
policy_conf() {
    local private=("$platform"/private/*.te)
    [[ -n ${4:-} ]] && private=()
    m4 --fatal-warnings -D target_build_variant="$1" -D platform_api="$3" \
        -D target_full_treble=true -D target_compatible_property=true \
        -D target_treble_sysprop_neverallow=true -D target_enforce_sysprop_owner=true \
        -D target_exclude_build_test=false -s \
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

# expect_refusals VENDOR_DIR: plants each row of the table on stdin, "VARIANT|API|FILE|TEXT|RULE|
# OFFENDER" (\n in TEXT between two lines), into the vendor policy and checks what the build says:
# - RULE "holds": nothing of the row is refused (neither its own lines nor, if given, OFFENDER);
# - RULE "planted": the row's own neverallow is violated by "allow OFFENDER";
# - else the neverallow rule of the file RULE (its path below the model, "private/property.te",
#   or in the vendor policy, "sepolicy/property.te") is violated by "allow OFFENDER" (SOURCE
#   TARGET:CLASS), in checkpolicy's report and in secilc's.
# The rows of one build (variant and release) are planted together and compiled once, two builds
# at a time; a build that fails but through no neverallow rule fails all its rows. A report
# names a rule and one pair of types, so no two rows of a build that are not judged by their own
# lines may share an offender: the check refuses such a table.
refusal_runs=0
expect_refusals() {
    local vendor=$1 row variant api file text rule offender build builds=() i
    local -a rows=()
    refusal_runs=$((refusal_runs + 1))
    while IFS= read -r row; do
        [[ -z $row || $row == \#* ]] || rows+=("$row")
    done
    for row in "${rows[@]}"; do
        IFS='|' read -r variant api _ <<<"$row"
        [[ " ${builds[*]} " == *" $variant-$api "* ]] || builds+=("$variant-$api")
    done
    # Plant and compile each build; the ranges of lines each row added go beside its copy.
    for build in "${builds[@]}"; do
        local copy=$work/refusals-$refusal_runs-$build/sepolicy
        rm -rf "${copy%/*}" && mkdir -p "${copy%/*}" && cp -r "$vendor" "$copy"
        : >"$copy.rows"
        for i in "${!rows[@]}"; do
            IFS='|' read -r variant api file text rule offender <<<"${rows[$i]}"
            [[ $variant-$api == "$build" ]] || continue
            # A blank line before each row: checkpolicy names a rule by the line after its end
            # where the rule ends a line, by its macro's line where a macro writes it.
            local first=$(($(wc -l <"$copy/$file") + 2))
            printf '\n%b\n' "$text" >>"$copy/$file"
            echo "$i $first $(($(wc -l <"$copy/$file") + 1))" >>"$copy.rows"
        done
        (compile "${build%-*}" "$copy" "$copy.policy" "${build##*-}" >"$copy.out" 2>&1
            echo $? >"$copy.status") &
        (($(jobs -r | wc -l) >= 2)) && wait -n
    done
    wait
    for build in "${builds[@]}"; do
        local copy=$work/refusals-$refusal_runs-$build/sepolicy seen=""
        if [[ $(cat "$copy.status") != 0 ]] &&
            ! grep -q '^libsepol.report_failure: neverallow' "$copy.out"; then
            fail "${build%-*}, API ${build##*-}: the planted policy does not compile:"
            cat "$copy.out"
            continue
        fi
        while read -r i first last; do
            IFS='|' read -r variant api file text rule offender <<<"${rows[$i]}"
            local name="$variant, API $api: \"${text//\\n/; }\""
            if [[ $rule != planted && -n $offender ]]; then
                if [[ " $seen " == *" ${offender// /@} "* ]]; then
                    fail "$name: another row of this build names the offender \"$offender\""
                    continue
                fi
                seen+=" ${offender// /@} "
            fi
            refusal_of "$copy" "$file" "$first" "$last" "$rule" "$offender" "$name"
        done <"$copy.rows"
    done
}

# refusal_of COPY FILE FIRST LAST RULE OFFENDER NAME: judges one row of expect_refusals.
refusal_of() {
    local copy=$1 file=$2 first=$3 last=$4 rule=$5 offender=$6 name=$7 reports line own=""
    reports=$(grep '^libsepol.report_failure: neverallow on line' "$copy.out")
    for ((line = first; line <= last; ++line)); do
        own+=$(grep -F "neverallow on line $line of $copy/$file " <<<"$reports")
    done
    local by_offender=""
    [[ -n $offender ]] && by_offender=$(grep -F "violated by allow $offender {" <<<"$reports")
    case $rule in
    holds)
        if [[ -z $own && -z $by_offender ]]; then
            ok "$name holds"
        else
            fail "$name is refused, where nothing should refuse it:"
            printf '%s\n' "$own" "$by_offender" | grep -v '^$'
        fi
        ;;
    planted)
        if grep -F "violated by allow $offender {" <<<"$own" >/dev/null &&
            grep -F "from $copy/$file:" "$copy.out" >/dev/null; then
            ok "$name is refused: $(grep -m1 -o "allow $offender {[^}]*}" <<<"$own")"
        else
            fail "$name is not refused through \"allow $offender\":"
            echo "${own:-$(cat "$copy.out")}"
        fi
        ;;
    *)
        if grep -E "neverallow on line [0-9]+ of [^ ]*/$rule " <<<"$by_offender" >/dev/null &&
            grep -E "^secilc: neverallow check failed at .* from [^ ]*/$rule:" "$copy.out" >/dev/null; then
            ok "$name is refused by $rule: $(grep -m1 -o "allow $offender {[^}]*}" <<<"$by_offender")"
        else
            fail "$name is not refused by $rule through \"allow $offender\":"
            echo "${by_offender:-$(cat "$copy.out")}"
        fi
        ;;
    esac
}
