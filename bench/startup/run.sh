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

xvfb_pid=
finish() {
  "$wineserver" -k 2>/dev/null || true
  [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null || true
}
trap finish EXIT
display_number=$((90 + RANDOM % 400))
while [[ -e /tmp/.X11-unix/X$display_number || -e /tmp/.X$display_number-lock ]]; do
  display_number=$((display_number + 1))
done
Xvfb ":$display_number" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=":$display_number"
for _ in $(seq 50); do
  [[ -e /tmp/.X11-unix/X$display_number ]] && break
  sleep 0.1
done
ensure_wine_prefix

echo "machine: $(nproc) x $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs), $("$wine" --version)"
"$wine" "$bin/startup_bench.exe" "$(winepath_of "$bin/Quietreel.exe")" "$(winepath_of "$bin/MinimalDialog.exe")" "$rounds"
