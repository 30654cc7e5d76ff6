#!/usr/bin/env bash
# Start-up time to the main window under wine64: Quietreel.exe beside
# MinimalDialog.exe, alternating, on a virtual X display of our own. Needs
# the win64 tree of scripts/build.sh. Not part of the test command.
#   bench/startup/run.sh [rounds]
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/common.sh"

rounds=${1:-21}
bin=$build_root/win64/bin
cmake --build "$build_root/win64" --target Quietreel MinimalDialog startup_bench core_dat >/dev/null
# A wineserver left from an earlier command keeps a desktop without display.
"$wineserver" -k 2>/dev/null || true

at_exit stop_wine
start_xvfb 1024x768
ensure_wine_prefix

echo "machine: $(nproc) x $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs), $("$wine" --version)"
"$wine" "$bin/startup_bench.exe" "$(winepath_of "$bin/Quietreel.exe")" "$(winepath_of "$bin/MinimalDialog.exe")" "$rounds"
