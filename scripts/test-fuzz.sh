#!/usr/bin/env bash
# Runs each fuzz target briefly from the committed seeds, so every test run
# also fuzzes a little. Longer campaigns: scripts/fuzz.sh <seconds>.
set -Eeuo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
source "$repo/scripts/sanitize-tree.sh"

seconds=${QUIETREEL_FUZZ_SECONDS:-4}
build_sanitize_tree >/dev/null

scratch=$(mktemp -d)
at_exit rm -rf "$scratch"
findings="$build_root/fuzz-findings"
mkdir -p "$findings"
for target in $(fuzz_targets); do
  name=$(basename "$target")
  mkdir -p "$scratch/$name"
  if ! "$target" -max_total_time="$seconds" -artifact_prefix="$findings/$name-" \
      "$scratch/$name" "$repo/tests/fuzz/corpus/$name" >"$scratch/$name.log" 2>&1; then
    tail -n 40 "$scratch/$name.log"
    echo "$name: finding saved under $findings" >&2
    exit 1
  fi
  echo "$name: $(grep -Eo 'Done [0-9]+ runs in [0-9]+ second\(s\)' "$scratch/$name.log")"
done
