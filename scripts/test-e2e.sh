#!/usr/bin/env bash
# End-to-end tests on the release as users get it: the zip's 32-bit
# Quietreel.exe, driven by a 32-bit Win32 driver (tests/e2e) under 32-bit
# Wine, inside a Wine desktop on a virtual X display, as a person would use it:
#   - Windows XP: a pure 32-bit prefix, every test, at 96 and 144 DPI; each
#     run also saves a PNG of every window under $build_root/e2e/shots-<dpi>/;
#   - 64-bit Windows 7: a 64-bit prefix that runs the release through WoW64,
#     the hosts buttons.
# Needs the trees of scripts/build.sh. Arguments go to the driver's Windows
# XP runs, e.g. --gtest_filter='Troubleshooting.*'; QUIETREEL_E2E_DPIS=96
# runs one DPI only.
set -Eeuo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

driver=$build_root/win32-tests/bin/quietreel_e2e.exe
work=$build_root/e2e
mkdir -p "$work"

status=0
# The committed icon must be what its script draws.
python3 "$repo/src/res/make_icon.py" "$work/Quietreel.ico"
if ! cmp -s "$work/Quietreel.ico" "$repo/src/res/Quietreel.ico"; then
  echo "src/res/Quietreel.ico differs from what src/res/make_icon.py draws" >&2
  status=1
fi

unpack_release "$work/release"
export QUIETREEL_E2E_EXE QUIETREEL_E2E_BLOCKLIST QUIETREEL_E2E_URL_LOG QUIETREEL_E2E_SHOTS
QUIETREEL_E2E_EXE=$(winepath_of "$work/release/Quietreel.exe")
QUIETREEL_E2E_BLOCKLIST=$(winepath_of "$repo/data/blocklist.txt")

# The browser for web addresses: a program that writes down each address
# and which program started it (tests/e2e/PageRecorder.cpp), registered in
# HKLM, whose http handler Wine uses (it reads no HKCU classes).
pages=$work/opened-pages.txt
: >"$pages"
QUIETREEL_E2E_URL_LOG=$(winepath_of "$pages")
recorder=$(winepath_of "$build_root/win32-tests/bin/quietreel_e2e_browser.exe")

# A prefix's hosts file, as it was, is put back when the script ends.
keep_hosts_file() {
  local hosts=$1/drive_c/windows/system32/drivers/etc/hosts
  local saved=$1/hosts.saved
  rm -f "$saved"
  [[ -f "$hosts" ]] && cp -p "$hosts" "$saved"
  at_exit put_back "$saved" "$hosts"
}
put_back() {
  if [[ -f "$1" ]]; then cp -p "$1" "$2"; else rm -f "$2"; fi
}

# A prefix of the given kind (make_prefix's arguments) with the stand-in
# browser and the hosts file kept.
prepare_prefix() {
  local folder=$1
  make_prefix "$@"
  at_exit stop_wine "$folder"
  WINEPREFIX=$folder "$(loader_of "$folder")" reg add 'HKLM\Software\Classes\http\shell\open\command' /ve \
    /d "\"$recorder\" \"$QUIETREEL_E2E_URL_LOG\" \"%1\"" /f >/dev/null 2>&1
  keep_hosts_file "$folder"
}

start_xvfb 1280x1024

echo "-- Windows XP (32-bit prefix)"
export WINEPREFIX=$build_root/wineprefix-xp
prepare_prefix "$WINEPREFIX" win32 winxp
for dpi in ${QUIETREEL_E2E_DPIS:-96 144}; do
  echo "-- Windows XP at $dpi DPI"
  shots=$work/shots-$dpi
  rm -rf "$shots"
  mkdir -p "$shots"
  set_dpi "$WINEPREFIX" "$dpi"
  QUIETREEL_E2E_SHOTS=$(winepath_of "$shots") gtest_timeout=900 \
    run_gtest "$wine32" "$driver" --gtest_filter='-WithoutRights/*' "$@" || status=1
  for bmp in "$shots"/*.bmp; do
    [[ -f "$bmp" ]] || continue
    convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
  done
  echo "screenshots at $dpi DPI: $shots"
done
stop_wine "$WINEPREFIX"

echo "-- 64-bit Windows 7 (the release through WoW64), the hosts buttons"
export WINEPREFIX=$build_root/wineprefix-7
prepare_prefix "$WINEPREFIX" win64 win7
set_dpi "$WINEPREFIX" 96
QUIETREEL_E2E_SHOTS='' gtest_timeout=600 run_gtest "$wine32" "$driver" --gtest_filter='WithRights/*' || status=1
exit $status
