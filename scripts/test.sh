#!/usr/bin/env bash
# Installs what is missing, builds every tree and runs every test suite.
# Every suite is named here: one that is missing or cannot run fails the
# whole run, so nothing is skipped in silence.
set -Eeuo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

suites=(
  test-release.sh   # the 32-bit release read without running it: XP SP3 imports, PE header
  test-windows.sh   # Windows-side tests under wine64, on real files
  test-e2e.sh       # the release used as a person would, under 32-bit Wine: Windows XP, and 7 through WoW64
  test-unprivileged.sh  # as an ordinary user: Windows-side tests, and the release's buttons with and without the right to the hosts file
  test-sanitize.sh  # the unit tests again under ASan and UBSan
  test-fuzz.sh      # each fuzz target for a few seconds
)
for suite in "${suites[@]}"; do
  if [[ ! -x "$repo/scripts/$suite" ]]; then
    echo "test suite scripts/$suite is missing or not executable" >&2
    exit 1
  fi
done

"$repo/scripts/install-deps.sh"
"$repo/scripts/build.sh"

echo "== native unit tests"
ctest --test-dir "$build_root/native" --output-on-failure --no-tests=error

for suite in "${suites[@]}"; do
  echo "== $suite"
  "$repo/scripts/$suite"
done
echo "== all tests passed"
