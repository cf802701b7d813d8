#!/usr/bin/env bash
# check_install.sh BUILD_DIR SOURCE_DIR CC EXTRA_FLAGS
set -euo pipefail
build=$1 src=$2 cc=$3 extra=${4:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/prefix" >/dev/null
libdir=$(dirname "$(find "$work/prefix" -name 'libkxapi.so' | head -1)")
test -f "$work/prefix/include/kxapi.h"
test -f "$libdir/pkgconfig/kxapi.pc"
test -f "$libdir/cmake/kxapi/kxapiConfig.cmake"
expect=$(printf '\033[K\003\000\006\300P' | od -An -tx1)

# pkg-config
export PKG_CONFIG_PATH="$libdir/pkgconfig"
# shellcheck disable=SC2046
"$cc" -std=c99 -Wall -Werror $extra "$src/use_kxapi.c" -o "$work/use_pc" $(pkg-config --cflags --libs kxapi)
LD_LIBRARY_PATH="$libdir" "$work/use_pc" "$work/out1.prn" | grep -qx ok
[ "$(od -An -tx1 "$work/out1.prn")" = "$expect" ]

# find_package
mkdir -p "$work/proj"
cat >"$work/proj/CMakeLists.txt" <<CMAKE
cmake_minimum_required(VERSION 3.16)
project(use_kxapi C)
find_package(kxapi REQUIRED)
add_executable(use_kxapi $src/use_kxapi.c)
target_link_libraries(use_kxapi PRIVATE kxapi::kxapi)
CMAKE
cmake -S "$work/proj" -B "$work/proj/build" -DCMAKE_C_COMPILER="$cc" -DCMAKE_PREFIX_PATH="$work/prefix" \
  -DCMAKE_C_FLAGS="$extra" -DCMAKE_EXE_LINKER_FLAGS="$extra" >/dev/null
cmake --build "$work/proj/build" >/dev/null
"$work/proj/build/use_kxapi" "$work/out2.prn" | grep -qx ok
[ "$(od -An -tx1 "$work/out2.prn")" = "$expect" ]
echo "installed tree works through pkg-config and find_package"
