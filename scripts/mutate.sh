#!/usr/bin/env bash
# Mutation run over the portable core: for each one-line bug in
# scripts/mutants.txt, builds a copy of the sources with that bug in it and
# runs the native tests (what ctest runs in the native tree). A bug the tests
# miss "survived". Not part of the test command: it shows what the fast
# tests catch, so that a change to the tests can be checked against it.
#
#   scripts/mutate.sh [--only ID[,ID...]] [--out FILE] [--table FILE] [--timeout SECONDS]
#
# The real sources are never edited: the mutants go into a copy of the
# tree under build/mutate/tree, built in build/mutate/build, which is kept
# between runs so each mutant recompiles only the file it changes.
set -Eeuo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

usage() {
  cat <<EOF
usage: $(basename "$0") [--only ID[,ID...]] [--out FILE] [--table FILE] [--timeout SECONDS]
  --only     run only these mutants (ids from the table, comma-separated)
  --out      where the result table goes (default build/mutate/results.txt)
  --table    the mutant table (default scripts/mutants.txt)
  --timeout  seconds each test program may take (default 60; unmutated, they take about 1)
EOF
}

work=$build_root/mutate
tree=$work/tree
build=$work/build
out=$work/results.txt
table=$repo/scripts/mutants.txt
only=
test_timeout=60
while (($#)); do
  case $1 in
    --only) only=${2:?--only needs ids}; shift 2 ;;
    --out) out=${2:?--out needs a file}; shift 2 ;;
    --table) table=${2:?--table needs a file}; shift 2 ;;
    --timeout) test_timeout=${2:?--timeout needs seconds}; shift 2 ;;
    -h | --help) usage; exit 0 ;;
    *) usage >&2; exit 2 ;;
  esac
done
mkdir -p "$work/logs" "$(dirname "$out")"

# --- the table ---------------------------------------------------------------

if [[ ! -r $table ]]; then
  echo "cannot read the mutant table $table" >&2
  exit 2
fi
ids=() files=() finds=() replaces=() bugs=()
read_table() {
  local line number=0 rest field fields
  while IFS= read -r line || [[ -n $line ]]; do
    number=$((number + 1))
    [[ -z ${line//[[:space:]]/} || $line == \#* ]] && continue
    fields=()
    rest=$line
    while [[ $rest == *$'\t'* ]]; do
      field=${rest%%$'\t'*}
      fields+=("$field")
      rest=${rest#*$'\t'}
    done
    fields+=("$rest")
    if ((${#fields[@]} != 5)) || [[ -z ${fields[0]} || -z ${fields[1]} || -z ${fields[2]} ]]; then
      echo "$table:$number: expected id, file, substring, replacement, bug separated by tabs" >&2
      exit 2
    fi
    ids+=("${fields[0]}") files+=("${fields[1]}") finds+=("${fields[2]}")
    replaces+=("${fields[3]}") bugs+=("${fields[4]}")
  done <"$table"
}
read_table

selected=()
if [[ -n $only ]]; then
  IFS=, read -ra wanted <<<"$only"
  for id in "${wanted[@]}"; do
    found=
    for i in "${!ids[@]}"; do
      if [[ ${ids[i]} == "$id" ]]; then found=$i; fi
    done
    if [[ -z $found ]]; then
      echo "no mutant with id '$id' in $table" >&2
      exit 2
    fi
    selected+=("$found")
  done
else
  selected=("${!ids[@]}")
fi

# --- the scratch tree ----------------------------------------------------------

# The copy gets every file git would commit from the worktree as it is now,
# edits not yet committed included. Files are copied only when they differ,
# so the build tree keeps what it already compiled.
sync_tree() {
  local file
  declare -A wanted_files=()
  while IFS= read -r -d '' file; do
    [[ -f $repo/$file ]] || continue
    wanted_files[$file]=1
    if ! cmp -s "$repo/$file" "$tree/$file"; then
      mkdir -p "$(dirname "$tree/$file")"
      cp "$repo/$file" "$tree/$file"
    fi
  done < <(git -C "$repo" ls-files -z --cached --others --exclude-standard)
  while IFS= read -r -d '' file; do
    file=${file#"$tree/"}
    [[ -n ${wanted_files[$file]:-} ]] || rm -f "$tree/$file"
  done < <(find "$tree" -type f -print0)
}

# The file a mutant changed goes back as it was, also when the run is
# interrupted; a plain copy gives it a new time, so it is compiled again.
mutated=
restore_mutated() {
  if [[ -n $mutated ]]; then
    cp "$repo/$mutated" "$tree/$mutated"
    mutated=
  fi
}
at_exit restore_mutated

# A row's substring is found whatever the whitespace, line breaks
# included, so a reformat of the sources does not break the table: every
# run of blanks in it may be none or any, and any may sit between two of
# its characters.
match_mutant() {
  python3 - "$@" <<'PY'
import re, sys
mode, source, find = sys.argv[1], sys.argv[2], sys.argv[3]
text = open(source, encoding="utf-8", newline="").read()
needle = "".join(find.split())
pattern = re.compile(r"\s*".join(re.escape(c) for c in needle))
found = list(pattern.finditer(text))
if mode == "count":
    print(len(found))
else:
    m = found[0]
    sys.stdout.write(text[: m.start()] + sys.argv[4] + text[m.end() :])
PY
}

occurrences() { match_mutant count "$repo/$1" "$2"; }

apply_mutant() {
  mutated=$1
  match_mutant apply "$repo/$1" "$2" "$3" >"$tree/$1"
}

build_tree() {
  cmake --build "$build" -j2 >"$1" 2>&1
}

# Runs the native tests; prints the names of the ctest tests that failed,
# each with its number of failed GoogleTest cases when it has any. A test
# that runs out of time (a mutant can make a loop endless) counts as failed.
run_tests() {
  local log=$1 status=0 name outcome count
  # ctest ends each test program at its time limit; the outer limit only
  # guards against ctest itself hanging.
  timeout --kill-after=10 "$((test_timeout * 10))" \
    ctest --test-dir "$build" --no-tests=error --timeout "$test_timeout" --output-on-failure \
    >"$log" 2>&1 || status=$?
  ((status == 0)) && return 0
  local failed=()
  while read -r name outcome; do
    count=$(awk -v t="$name" '
      /^[0-9]+\/[0-9]+ Test +#[0-9]+: / { current = $4 }
      current == t && /^\[  FAILED  \] [A-Za-z_0-9\/.]+(, where| \(|$)/ { seen[$4] = 1 }
      END { n = 0; for (k in seen) n++; print n }' "$log")
    if [[ $outcome == Timeout ]]; then
      failed+=("$name(timeout)")
    elif ((count > 0)); then
      failed+=("$name($count)")
    else
      failed+=("$name")
    fi
  done < <(sed -En 's/^[[:space:]]*[0-9]+ - ([^ ]+) \((.*)\)$/\1 \2/p' "$log")
  ((${#failed[@]})) || failed=("ctest(exit $status)")
  echo "${failed[*]}"
  return 1
}

echo "== preparing the scratch tree and its build (build/mutate)"
sync_tree
cmake -S "$tree" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$work/logs/configure.log" 2>&1
if ! build_tree "$work/logs/unmutated-build.log"; then
  echo "the unmutated tree does not build: see $work/logs/unmutated-build.log" >&2
  exit 1
fi
if ! failures=$(run_tests "$work/logs/unmutated.log"); then
  echo "the unmutated tree fails its tests ($failures): see $work/logs/unmutated.log" >&2
  exit 1
fi

# --- the mutants ---------------------------------------------------------------

results=()
caught=0 survived=0 not_found=0 build_failed=0
started=$SECONDS
for i in "${selected[@]}"; do
  id=${ids[i]} file=${files[i]} find=${finds[i]} replace=${replaces[i]}
  mutant_started=$SECONDS
  by=
  if [[ ! -f $repo/$file ]]; then
    result="n/a: no such file"
    not_found=$((not_found + 1))
  elif n=$(occurrences "$file" "$find") && ((n != 1)); then
    result="n/a: found $n times"
    not_found=$((not_found + 1))
  else
    apply_mutant "$file" "$find" "$replace"
    if ! build_tree "$work/logs/$id.build.log"; then
      result="n/a: build failed"
      build_failed=$((build_failed + 1))
    elif by=$(run_tests "$work/logs/$id.log"); then
      result=survived
      survived=$((survived + 1))
    else
      result=caught
      caught=$((caught + 1))
    fi
    restore_mutated
  fi
  printf '%-30s %-20s %4ss  %s\n' "$id" "$result" "$((SECONDS - mutant_started))" "$by"
  results+=("$id"$'\t'"$result"$'\t'"${by:--}"$'\t'"$file"$'\t'"${bugs[i]}")
done

summary="${#selected[@]} mutants: $caught caught, $survived survived, $not_found not applicable (substring not found once), $build_failed not applicable (build failed); $((SECONDS - started)) s"
{
  printf '# mutate.sh on %s (%s)\n' "$(git -C "$repo" rev-parse --short HEAD)" "$([[ -n $(git -C "$repo" status --porcelain -- src) ]] && echo 'with uncommitted edits in src' || echo clean)"
  printf '%-30s %-20s %-40s %-34s %s\n' id result "failed tests" file bug
  for row in "${results[@]}"; do
    IFS=$'\t' read -r id result by file bug <<<"$row"
    printf '%-30s %-20s %-40s %-34s %s\n' "$id" "$result" "$by" "$file" "$bug"
  done
  echo "$summary"
} >"$out"
echo
cat "$out"
echo "results written to $out"
