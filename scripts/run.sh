#!/usr/bin/env bash
# Installs what is missing, builds, and starts Quietreel.exe under wine64 in
# a Wine desktop. With no display it starts Xvfb, waits for the main window,
# saves a screenshot, prints the PNG's path and ends the program.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

"$repo/scripts/install-deps.sh"
"$repo/scripts/build.sh"
ensure_wine_prefix
exe=$(winepath_of "$build_root/win64/bin/Quietreel.exe")
desktop=Quietreel,1024x768

if [[ -n "${DISPLAY:-}" ]]; then
  exec "$wine" explorer "/desktop=$desktop" "$exe"
fi

start_xvfb 1024x768
at_exit stop_wine

"$wine" explorer "/desktop=$desktop" "$exe" >/dev/null 2>&1 &

# Wine gives each top-level window an X window named after its title.
title='Brassfen工作室 - Quietreel1.0'
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
