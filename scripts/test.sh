#!/usr/bin/env bash
# Installs what is missing, builds every tree and runs every test: native
# unit tests, then the Windows-side tests under wine64.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

"$repo/scripts/install-deps.sh"
"$repo/scripts/build.sh"

echo "== native unit tests"
ctest --test-dir "$build_root/native" --output-on-failure

echo "== Windows-side tests (wine64)"
ensure_wine_prefix
"$wine" "$build_root/win64/bin/quietreel_win_tests.exe"

"$wineserver" -k 2>/dev/null || true
echo "== all tests passed"
