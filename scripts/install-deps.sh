#!/usr/bin/env bash
# Installs, with apt-get, whatever the build and the tests need that this
# Debian 12 machine lacks (32-bit Wine among it, after adding the i386
# architecture), and checks that the machine can run 32-bit programs: the
# release is one. Does nothing but the check when all of it is there.
set -Eeuo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

packages=(
  ca-certificates cmake ninja-build g++ make googletest libbenchmark-dev
  clang libclang-rt-14-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-win32 g++-mingw-w64-i686-posix
  binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
  wine64 wine32:i386 xvfb xauth x11-utils fonts-wqy-microhei imagemagick python3
  passwd util-linux
)

sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
if [[ ${#missing[@]} -gt 0 ]]; then
  echo "Installing: ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo[@]}" dpkg --add-architecture i386
  fi
  "${sudo[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi

# 32-bit Wine is itself a 32-bit program: if it cannot start, neither can
# the release, and no test of it means anything.
if ! version=$("$wine32" --version 2>&1) || [[ $version != wine-* ]]; then
  echo "This machine cannot run 32-bit programs: $wine32 --version answered: ${version:-nothing}" >&2
  echo "The release Quietreel.exe is 32-bit and is tested by running it under 32-bit Wine;" >&2
  echo "run the tests on a kernel with 32-bit support (CONFIG_IA32_EMULATION, not ia32_emulation=0)." >&2
  exit 1
fi
