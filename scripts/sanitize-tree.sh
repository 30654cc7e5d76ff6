# The sanitizer tree: clang with AddressSanitizer and UBSan, the native unit
# tests and the fuzz targets. Sourced after common.sh, not run.
sanitize_tree="$build_root/sanitize"

build_sanitize_tree() {
  cmake -S "$repo" -B "$sanitize_tree" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DQUIETREEL_SANITIZE=ON >/dev/null
  cmake --build "$sanitize_tree"
}

# Any report ends the run with a failure; leaks count too.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:strict_string_checks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

fuzz_targets() {
  local source target
  for source in "$repo"/tests/fuzz/*_fuzzer.cpp; do
    target=$sanitize_tree/bin/$(basename "$source" .cpp)
    [[ -x "$target" ]] && echo "$target"
  done
}
