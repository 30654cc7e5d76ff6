#!/usr/bin/env bash
# Installs what is missing, builds, and starts the release as users get it
# (the zip's 32-bit Quietreel.exe) under 32-bit Wine, in a 32-bit prefix set
# to Windows 7, inside a Wine desktop. With no display it starts Xvfb, waits
# for the main window, saves a screenshot, prints the PNG's path and ends the
# program.
set -Eeuo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

"$repo/scripts/install-deps.sh"
"$repo/scripts/build.sh"
unpack_release "$build_root/run"
exe=$(winepath_of "$build_root/run/Quietreel.exe")
export WINEPREFIX=$build_root/wineprefix

if [[ -n "${DISPLAY:-}" ]]; then
  make_prefix "$WINEPREFIX" win32 win7
  exec "$wine32" "$exe"
fi

start_xvfb 1280x1024
make_prefix "$WINEPREFIX" win32 win7
at_exit stop_wine "$WINEPREFIX"
"$wine32" "$exe" >/dev/null 2>&1 &

# Wine gives each top-level window an X window named after its title, the
# program's own title text.
title=$(sed -n 's/.* kTitleText\[\] = L"\(.*\)";$/\1/p' "$repo/src/base/Brand.h")
[[ -n "$title" ]] || { echo "no kTitleText in src/base/Brand.h" >&2; exit 1; }
for _ in $(seq 120); do
  xwininfo -root -tree 2>/dev/null | grep -qF "\"$title\"" && break
  sleep 0.5
done
if ! xwininfo -root -tree 2>/dev/null | grep -qF "\"$title\""; then
  echo "The main window did not appear." >&2
  exit 1
fi
sleep 1  # let it finish painting
shot=$build_root/quietreel.png
import -window root "$shot"
echo "$shot"
