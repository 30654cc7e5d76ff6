#!/usr/bin/env bash
# Installs what is missing, builds, and starts Quietreel.exe under wine64.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

"$repo/scripts/install-deps.sh"
"$repo/scripts/build.sh"
ensure_wine_prefix
exec "$wine" "$build_root/win64/bin/Quietreel.exe"
