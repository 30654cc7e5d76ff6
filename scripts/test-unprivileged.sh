#!/usr/bin/env bash
# The Windows-side tests and the hosts end-to-end tests once more as an
# ordinary Linux user (QUIETREEL_TEST_USER, default quietreel-user, created
# when missing), in a Wine prefix of that user's own, so that the read-only
# bit and the file owners count as they do on Windows for a user without
# administrator rights. Needs root, and the trees of scripts/build.sh.
#   1. The user owns the hosts file: everything passes as with rights, and a
#      write to a read-only file that skipped attrib would fail.
#   2. The hosts file (made read-only) and its folder belong to root:
#      QUIETREEL_TEST_UNPRIVILEGED=1 tells the tests to expect each button's
#      refusal, and the script checks that the hosts file kept every byte.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

user=${QUIETREEL_TEST_USER:-quietreel-user}
# Making the user and handing files to root needs root. This run is part of
# the test command, so without root it fails rather than pass untried.
if [[ $(id -u) -ne 0 ]]; then
  if sudo -n true 2>/dev/null; then
    exec sudo -n env QUIETREEL_BUILD_ROOT="$build_root" QUIETREEL_TEST_USER="$user" "$0" "$@"
  fi
  echo "the run as $user needs root (or sudo without a password)" >&2
  exit 1
fi
id -u "$user" >/dev/null 2>&1 || useradd --system --no-create-home --shell /usr/sbin/nologin "$user"

# Everything the user needs is copied into a folder it owns: the build
# folders may sit where it cannot reach.
work=$(mktemp -d "${TMPDIR:-/tmp}/quietreel-unprivileged.XXXXXX")
prefix=$work/prefix
export WINEPREFIX=$prefix
etc=$prefix/drive_c/windows/system32/drivers/etc
mkdir -p "$work/bin" "$work/data" "$work/home"
cp "$build_root"/win64/bin/{quietreel_win_tests.exe,planted.dll,quietreel_e2e.exe,quietreel_e2e_probe.dll,Quietreel.exe,core.dat,attrib.exe} \
  "$work/bin/"
cp "$repo/data/blocklist.txt" "$work/data/"
chown -R "$user:" "$work"

at_exit "rm -rf '$work'"

as_user() {
  setpriv --reuid="$user" --regid="$(id -g "$user")" --init-groups \
    env HOME="$work/home" WINEPREFIX="$prefix" "$@"
}
# Every Wine program below, run_gtest's included, runs as the user, through
# a wrapper kept where the user cannot change what root runs.
runner=$(mktemp -d)
at_exit "rm -rf '$runner'"
cat >"$runner/wine" <<WINE
#!/bin/sh
exec setpriv --reuid="$user" --regid="$(id -g "$user")" --init-groups \\
  env HOME="$work/home" WINEPREFIX="$prefix" $wine "\$@"
WINE
chmod 755 "$runner/wine"
wine=$runner/wine
at_exit 'as_user "$wineserver" -k 2>/dev/null'

"$wine" wineboot -i >/dev/null 2>&1
install_test_attrib
chown "$user:" "$prefix/drive_c/windows/system32/attrib.exe"
# The end-to-end driver finds message boxes inside a Wine desktop.
cat >"$work/settings.reg" <<'REG'
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1280x1024"
REG
"$wine" regedit /S "$(winepath_of "$work/settings.reg")" >/dev/null 2>&1
export QUIETREEL_TEST_SOURCE_DIR
QUIETREEL_TEST_SOURCE_DIR=$(winepath_of "$work")

status=0
echo "-- as $user, owning the hosts file"
# Wine's CopyFileW, for a user other than root, drops the hidden bit of a
# read-only file (Windows keeps it), so the copy's attribute check is for
# root's run alone.
run_gtest "$work/bin/quietreel_win_tests.exe" \
  --gtest_filter=-DurableCopy.AReadOnlyFileIsCopiedWithItsBytesAndAttributes || status=1

echo "-- as $user, with the hosts file and its folder belonging to root"
as_user "$wineserver" -k 2>/dev/null || true
printf '127.0.0.1 localhost\r\n10.0.0.5 nas.home\r\n' >"$etc/hosts"
chown root:root "$etc" "$etc/hosts"
chmod 755 "$etc"
chmod 444 "$etc/hosts"
before=$(stat -c '%U %a %s' "$etc/hosts"; sha256sum <"$etc/hosts")

export QUIETREEL_TEST_UNPRIVILEGED=1
run_gtest "$work/bin/quietreel_win_tests.exe" --gtest_filter='*HostsRights*' || status=1

# The Wine desktop is made by the first program after the server starts,
# so it starts afresh on the display.
as_user "$wineserver" -k 2>/dev/null || true
as_user "$wineserver" -w 2>/dev/null || true
start_xvfb 1280x1024
QUIETREEL_E2E_EXE=$(winepath_of "$work/bin/Quietreel.exe") \
QUIETREEL_E2E_BLOCKLIST=$(winepath_of "$work/data/blocklist.txt") \
  gtest_timeout=600 run_gtest "$work/bin/quietreel_e2e.exe" --gtest_filter='HostsRights.*:HostsCaption.*' || status=1

after=$(stat -c '%U %a %s' "$etc/hosts"; sha256sum <"$etc/hosts")
if [[ "$before" != "$after" ]]; then
  echo "the hosts file changed: $before -> $after" >&2
  status=1
fi
if [[ -e "$etc/hosts.quietreel" ]]; then
  echo "a copy was left beside the hosts file" >&2
  status=1
fi
exit $status
