#!/usr/bin/env bash
# Builds the trees: native (core, tools, unit tests, benchmarks), win64 (the
# Windows-side tests and the program they link), win32 (the release exe and
# zip) and win32-tests (the 32-bit end-to-end driver and its hook library).
set -Eeuo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

cmake -S "$repo" -B "$build_root/native" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build_root/native"

for tree in win64:mingw-x86_64 win32:mingw-i686 win32-tests:mingw-i686-tests; do
  name=${tree%%:*}
  toolchain=$repo/cmake/${tree##*:}.cmake
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
# The release: built with the win32 thread-model compilers alone.
cmake --build "$build_root/win32" --target Quietreel core_dat release_zip
cmake --build "$build_root/win32-tests" --target quietreel_e2e quietreel_e2e_probe
