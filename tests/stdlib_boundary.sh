#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# The library and halctl are built with LLVM's libc++, Debian's libutils and liblog with GCC's
# libstdc++: the two must share no standard-library type. Lists every dynamic symbol that OBJECT
# takes from one of the PROVIDER libraries and fails if the name of any of them (its
# parameters, its class, a template argument) involves namespace std, whichever library's
# (std::__1 is libc++'s, std::__cxx11 libstdc++'s). Also fails if OBJECT needs libstdc++.
#
# usage: stdlib_boundary.sh NM READELF OBJECT PROVIDER...
set -euo pipefail

nm=$1
readelf=$2
object=$3
providers=("${@:4}")

names() { "$nm" -D "$@" | awk 'NF { print $NF }' | sed 's/@.*//' | sort -u; }

needed=$(LC_ALL=C "$readelf" -d "$object" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
if grep -qx 'libstdc++\.so\..*' <<<"$needed"; then
    echo "$object needs libstdc++ ($(tr '\n' ' ' <<<"$needed"))"
    exit 1
fi

imported=$(comm -12 <(names --undefined-only "$object") \
    <(for provider in "${providers[@]}"; do names --defined-only "$provider"; done | sort -u))
if [[ -z "$imported" ]]; then
    echo "$object takes nothing from ${providers[*]}"
    exit 1
fi

crossing=$(c++filt <<<"$imported" | grep 'std::' || true)
if [[ -n "$crossing" ]]; then
    echo "$object takes symbols with standard-library types from ${providers[*]##*/}:"
    sed 's/^/  /' <<<"$crossing"
    exit 1
fi
echo "$object takes $(wc -l <<<"$imported") symbols from ${providers[*]##*/}, none with a standard-library type:"
c++filt <<<"$imported" | sed 's/^/  /'
