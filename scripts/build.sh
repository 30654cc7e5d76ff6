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
  toolchain=$repo/cmake/mingw-$arch.cmake
  # CMake keeps the compiler it first found: a tree made with another one
  # than the toolchain file now names is made anew.
  compiler=$(sed -n 's/^set(CMAKE_CXX_COMPILER \(.*\))$/\1/p' "$toolchain")
  found=$(find "$build_root/$name/CMakeFiles" -name CMakeCXXCompiler.cmake 2>/dev/null | head -n 1 || true)
  if [[ -n "$found" ]] && ! grep -q "^set(CMAKE_CXX_COMPILER \".*/$compiler\")" "$found"; then
    rm -rf "$build_root/$name"
  fi
  cmake -S "$repo" -B "$build_root/$name" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DQUIETREEL_BLOCKCODEC="$build_root/native/bin/blockcodec"
done
cmake --build "$build_root/win64"
cmake --build "$build_root/win32" --target Quietreel core_dat release_zip
