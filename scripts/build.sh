#!/usr/bin/env bash
# Builds the three trees: native (core, tools, unit tests, benchmarks), win64
# (the program, Windows-side tests, UI driver) and win32 (the release exe).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

cmake -S "$repo" -B "$build_root/native" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build_root/native"

for tree in win64:x86_64 win32:i686; do
  name=${tree%%:*}
  arch=${tree##*:}
  cmake -S "$repo" -B "$build_root/$name" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-$arch.cmake" \
    -DQUIETREEL_BLOCKCODEC="$build_root/native/bin/blockcodec"
done
cmake --build "$build_root/win64"
cmake --build "$build_root/win32" --target Quietreel core_dat release_zip
