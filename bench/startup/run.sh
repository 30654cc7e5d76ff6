#!/usr/bin/env bash
# Start-up time to the main window under wine64: Quietreel.exe beside
# MinimalDialog.exe, alternating, on a virtual X display of our own. Needs
# the win64 tree of scripts/build.sh. Not part of the test command.
#   bench/startup/run.sh [rounds]
set -Eeuo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/common.sh"

rounds=${1:-21}
bin=$build_root/win64/bin
cmake --build "$build_root/win64" --target Quietreel MinimalDialog startup_bench core_dat >/dev/null
export WINEPREFIX=$build_root/wineprefix-bench
make_prefix "$WINEPREFIX" win64 win7
wine=$wine64
# A wineserver left from an earlier command keeps a desktop without display.
stop_wine "$WINEPREFIX"
at_exit stop_wine "$WINEPREFIX"
start_xvfb 1024x768

echo "machine: $(nproc) x $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs), $("$wine" --version)"
"$wine" "$bin/startup_bench.exe" "$(winepath_of "$bin/Quietreel.exe")" "$(winepath_of "$bin/MinimalDialog.exe")" "$rounds"
