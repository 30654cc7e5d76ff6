#!/usr/bin/env bash
# End-to-end tests: a Win32 driver (tests/e2e) starts Quietreel.exe under
# wine64 in a Wine desktop on a virtual X display and uses it as a person
# would, once at 96 and once at 144 DPI. Each run also saves a PNG of every
# window under $build_root/e2e/shots-<dpi>/. Needs the trees of
# scripts/build.sh.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

# A prefix of its own: the desktop, DPI and browser settings stay here.
export WINEPREFIX=$build_root/wineprefix-e2e
bin=$build_root/win64/bin
work=$build_root/e2e
hosts=$WINEPREFIX/drive_c/windows/system32/drivers/etc/hosts
mkdir -p "$work"
ensure_wine_prefix
install_test_attrib

saved_hosts=$work/hosts.saved
rm -f "$saved_hosts"
[[ -f "$hosts" ]] && cp -p "$hosts" "$saved_hosts"
put_hosts_back() {
  if [[ -f "$saved_hosts" ]]; then cp -p "$saved_hosts" "$hosts"; else rm -f "$hosts"; fi
}
at_exit put_hosts_back

start_xvfb 1280x1024
at_exit stop_wine

# The browser Wine starts for web addresses: a script that writes down the
# address it was given.
pages=$work/opened-pages.txt
: >"$pages"
cat >"$work/browser.sh" <<BROWSER
#!/bin/sh
printf '%s\n' "\$1" >>"$pages"
BROWSER
chmod +x "$work/browser.sh"

set_registry() {
  local dpi=$1
  cat >"$work/settings.reg" <<REG
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\\Software\\Wine\\WineBrowser]
"Browsers"="$work/browser.sh"

[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]
"Default"="1280x1024"

[HKEY_CURRENT_USER\\Control Panel\\Desktop]
"LogPixels"=dword:$(printf '%08x' "$dpi")
REG
  "$wine" regedit /S "$(winepath_of "$work/settings.reg")" >/dev/null 2>&1
}

status=0
# The committed icon must be what its script draws.
python3 "$repo/src/res/make_icon.py" "$work/Quietreel.ico"
if ! cmp -s "$work/Quietreel.ico" "$repo/src/res/Quietreel.ico"; then
  echo "src/res/Quietreel.ico differs from what src/res/make_icon.py draws" >&2
  status=1
fi

for dpi in ${QUIETREEL_E2E_DPIS:-96 144}; do
  echo "-- at $dpi DPI"
  shots=$work/shots-$dpi
  rm -rf "$shots"
  mkdir -p "$shots"
  set_registry "$dpi"
  # Every Wine process reads the DPI when it starts.
  "$wineserver" -k 2>/dev/null || true
  "$wineserver" -w 2>/dev/null || true
  QUIETREEL_E2E_EXE=$(winepath_of "$bin/Quietreel.exe") \
  QUIETREEL_E2E_RELEASE_EXE=$(winepath_of "$build_root/win32/bin/Quietreel.exe") \
  QUIETREEL_E2E_BLOCKLIST=$(winepath_of "$repo/data/blocklist.txt") \
  QUIETREEL_E2E_URL_LOG=$(winepath_of "$pages") \
  QUIETREEL_E2E_SHOTS=$(winepath_of "$shots") \
    gtest_timeout=900 run_gtest "$bin/quietreel_e2e.exe" "$@" || status=1
  for bmp in "$shots"/*.bmp; do
    [[ -f "$bmp" ]] || continue
    convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
  done
  echo "screenshots at $dpi DPI: $shots"
done
exit $status
