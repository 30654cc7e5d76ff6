#!/usr/bin/env bash
# The Windows-side tests: the real Win32 layer on real files under wine64,
# in a 64-bit prefix of their own (they change its hosts file). Needs the
# trees of scripts/build.sh. Arguments go to the test program.
set -Eeuo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

export WINEPREFIX=$build_root/wineprefix-win
make_prefix "$WINEPREFIX" win64 win10
at_exit stop_wine "$WINEPREFIX"
run_gtest "$wine64" "$build_root/win64/bin/quietreel_win_tests.exe" "$@"
