#!/usr/bin/env bash
# The run without administrator rights, on the release: as an ordinary Linux
# user (QUIETREEL_TEST_USER, default quietreel-user, created when missing),
# in a 64-bit Wine prefix of that user's own set to Windows 7, where the
# zip's 32-bit Quietreel.exe runs through WoW64, so that the read-only bit
# and the file owners count as they do on Windows for a user without
# administrator rights. Needs root, and the trees of scripts/build.sh.
#   1. The user owns the hosts file: the Windows-side tests (wine64) and the
#      release's hosts buttons pass as with rights, and a write to a
#      read-only file that skipped clearing it would fail.
#   2. The hosts file (made read-only) and its folder belong to root:
#      QUIETREEL_TEST_UNPRIVILEGED=1 tells the end-to-end driver to expect
#      each button's refusal on the release, and the script checks that the
#      hosts file kept every byte.
set -Eeuo pipefail
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
at_exit rm -rf "$work"
prefix=$work/prefix
etc=$prefix/drive_c/windows/system32/drivers/etc
mkdir -p "$work/bin" "$work/driver" "$work/data" "$work/home"
cp "$build_root"/win64/bin/{quietreel_win_tests.exe,planted.dll,core.dat} "$work/bin/"
cp "$build_root"/win32-tests/bin/{quietreel_e2e.exe,quietreel_e2e_probe.dll} "$work/driver/"
unpack_release "$work/release"
cp "$repo/data/blocklist.txt" "$work/data/"
chown -R "$user:" "$work"

# Every Wine program below, run_gtest's included, and the Wine server run
# as the user, through a wrapper for each, kept where the user cannot change
# what root runs.
runner=$(mktemp -d)
at_exit rm -rf "$runner"
for loader in "$wine32" "$wine64" "$wineserver"; do
  cat >"$runner/${loader##*/}" <<WINE
#!/bin/sh
exec setpriv --reuid="$user" --regid="$(id -g "$user")" --init-groups \\
  env HOME="$work/home" WINEPREFIX="$prefix" "$loader" "\$@"
WINE
  chmod 755 "$runner/${loader##*/}"
done
wine32=$runner/wine
wine64=$runner/wine64
wineserver=$runner/wineserver64
at_exit stop_wine "$prefix"

# The Wine desktop is made on the display that is there when the prefix's
# server starts.
start_xvfb 1280x1024
# Wine uses a prefix only when it belongs to the user running it.
mkdir -p "$prefix"
chown "$user:" "$prefix"
export WINEPREFIX=$prefix
make_prefix "$prefix" win64 win7
export QUIETREEL_TEST_SOURCE_DIR QUIETREEL_E2E_EXE QUIETREEL_E2E_BLOCKLIST
QUIETREEL_TEST_SOURCE_DIR=$(winepath_of "$work")
QUIETREEL_E2E_EXE=$(winepath_of "$work/release/Quietreel.exe")
QUIETREEL_E2E_BLOCKLIST=$(winepath_of "$work/data/blocklist.txt")

status=0
echo "-- as $user, owning the hosts file"
run_gtest "$wine64" "$work/bin/quietreel_win_tests.exe" || status=1
gtest_timeout=600 run_gtest "$wine32" "$work/driver/quietreel_e2e.exe" --gtest_filter='WithRights/*' || status=1

echo "-- as $user, with the hosts file and its folder belonging to root"
stop_wine_and_wait "$prefix"
printf '127.0.0.1 localhost\r\n10.0.0.5 nas.home\r\n' >"$etc/hosts"
# The record of a Block whose `backup` is this very hosts file, as an
# administrator's Block leaves it: Restore then tries to put that `backup`
# back, and is refused by the file system.
size=$(stat -c %s "$etc/hosts")
digest=$(sha256sum <"$etc/hosts" | cut -d' ' -f1)
printf 'Quietreel backup\r\nsize=%s\r\nsha256=%s\r\nline-break-added=0\r\nhosts-size=%s\r\nhosts-sha256=%s\r\n' \
  "$size" "$digest" "$size" "$digest" >"$etc/quietreel-backup.txt"
chown root:root "$etc" "$etc/hosts" "$etc/quietreel-backup.txt"
chmod 755 "$etc"
chmod 444 "$etc/hosts"
before=$(stat -c '%U %a %s' "$etc/hosts"; sha256sum <"$etc/hosts")

QUIETREEL_TEST_UNPRIVILEGED=1 gtest_timeout=600 \
  run_gtest "$wine32" "$work/driver/quietreel_e2e.exe" --gtest_filter='WithoutRights/*' || status=1

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
