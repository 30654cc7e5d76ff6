#!/usr/bin/env bash
# Runs the native benchmarks (decoder, Block on the fake, plain copy) with
# repetitions and prints the medians. Not part of the test command.
#   bench/native/run.sh [extra Google Benchmark flags]
set -Eeuo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/common.sh"

cmake -S "$repo" -B "$build_root/native" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build_root/native" --target quietreel_bench >/dev/null
"$build_root/native/bin/quietreel_bench" --benchmark_repetitions=9 --benchmark_report_aggregates_only=true \
  --benchmark_min_time=0.2 "$@" | grep -E '^(Run on|Load Average|Benchmark|-+$|BM_.*_median)'
