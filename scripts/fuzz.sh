#!/usr/bin/env bash
# Fuzzes each target (or those named) for the given number of seconds, one
# process at a time, keeping what it learns in a corpus under the build root.
#   scripts/fuzz.sh <seconds> [section_fuzzer ...]
# A finding is saved under $build_root/fuzz-findings/ and fails the script.
set -Eeuo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
source "$repo/scripts/sanitize-tree.sh"

seconds=${1:?usage: fuzz.sh <seconds> [target ...]}
shift
build_sanitize_tree >/dev/null

findings="$build_root/fuzz-findings"
mkdir -p "$findings"
status=0
for target in $(fuzz_targets); do
  name=$(basename "$target")
  if [[ $# -gt 0 && " $* " != *" $name "* ]]; then continue; fi
  corpus="$build_root/fuzz-corpus/$name"
  mkdir -p "$corpus"
  echo "== $name for ${seconds}s"
  # New inputs go to the first folder only; the committed seeds stay as they are.
  if ! "$target" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$findings/$name-" \
      "$corpus" "$repo/tests/fuzz/corpus/$name" >"$build_root/fuzz-$name.log" 2>&1; then
    status=1
    tail -n 40 "$build_root/fuzz-$name.log"
  fi
  grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb|stat::new_units_added)' \
    "$build_root/fuzz-$name.log" || true
  grep -E '#[0-9]+ +DONE' "$build_root/fuzz-$name.log" | tail -n 1 || true
done
exit $status
