#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Every ELF file of a build tree: no run path (DT_RUNPATH or DT_RPATH) with an empty or relative
# entry. The loader reads an empty entry as the current directory, and a relative one from the
# current directory, so either would let a binary of the tree load libraries from wherever it is
# started. Absolute directories and $ORIGIN are what a run path may name. Object files (*.o) are
# not read: nothing loads them, and they carry no run path.
#
# usage: check_runpaths.sh BUILD_DIR READELF
set -uo pipefail

tree=$1
readelf=${2:-}
command -v "$readelf" >/dev/null || { echo "no readelf: \"$readelf\""; exit 1; }
checked=0
dynamic=0
faults=0
while IFS= read -r -d '' file; do
    magic=
    LC_ALL=C IFS= read -r -d '' -n 4 magic <"$file" 2>/dev/null
    [[ $magic == $'\x7fELF' ]] || continue
    checked=$((checked + 1))
    dump=$(LC_ALL=C "$readelf" -d "$file" 2>/dev/null)
    [[ "$dump" == *"Dynamic section"* ]] && dynamic=$((dynamic + 1))
    while IFS= read -r path; do
        [[ -n "$path" ]] || continue
        entries=()
        IFS=: read -r -a entries <<<"$path:end"
        unset 'entries[${#entries[@]}-1]'
        for entry in "${entries[@]}"; do
            case $entry in
                /* | '$ORIGIN' | '$ORIGIN/'* | '${ORIGIN}' | '${ORIGIN}/'*) ;;
                '') faults=$((faults + 1)); echo "FAIL ${file#"$tree/"}: empty entry in [$path]" ;;
                *) faults=$((faults + 1)); echo "FAIL ${file#"$tree/"}: relative entry \"$entry\" in [$path]" ;;
            esac
        done
    done < <(sed -n 's/.*(R\(UN\)\{0,1\}PATH) *Library r\(un\)\{0,1\}path: \[\(.*\)\]$/\3/p' <<<"$dump")
done < <(find "$tree" -type f -size +52c ! -name '*.o' -print0)

echo "run paths: $checked ELF files, $dynamic dynamically linked, $faults faults"
# A tree with nothing dynamically linked in it was not read.
[[ $dynamic -gt 0 && $faults -eq 0 ]]
