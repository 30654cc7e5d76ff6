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

# Further suites, each a script of its own.
for suite in test-e2e.sh test-sanitize.sh test-fuzz.sh; do
  if [[ -x "$repo/scripts/$suite" ]]; then
    echo "== $suite"
    "$repo/scripts/$suite"
  fi
done

"$wineserver" -k 2>/dev/null || true
echo "== all tests passed"
