#!/usr/bin/env bash
# Builds the native unit tests (and the fuzz targets' corpus replays) under
# AddressSanitizer and UBSan in a tree of their own, and runs them.
set -Eeuo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
source "$repo/scripts/sanitize-tree.sh"

build_sanitize_tree
ctest --test-dir "$sanitize_tree" --output-on-failure --no-tests=error
