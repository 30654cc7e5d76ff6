#!/usr/bin/env bash
# Times the program's directory purge and its worst-case named-entry search
# (no match) on a tree of 20,000 small files (200 folders of 100), side by
# side in one run with the platform's own tools under wine64
# (cmd /c rmdir /s /q, cmd /c dir /s /b) in a 64-bit prefix of its own and with the Linux floor (rm -rf,
# find -iname). Each tool works on its own identical copy of the tree.
# Prints the median of BENCH_RUNS runs (default 5) and the ratios.
#   bench/win/run.sh [label=path/to/quietreel_bench_purge.exe ...]
# times the purge of other builds of the same program beside this one's,
# each on its own copy of the tree, in the same runs.
# A benchmark, not a test: nothing here passes or fails on time.
set -Eeuo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/common.sh"

runs=${BENCH_RUNS:-5}
folders=200
files_per_folder=100
name=static.youku.com
bench_exe="$build_root/win64/bin/quietreel_bench_purge.exe"
work="$build_root/bench-purge"

if [[ ! -f "$build_root/win64/build.ninja" ]]; then
  "$repo/scripts/build.sh"
fi
cmake --build "$build_root/win64" --target quietreel_bench_purge >/dev/null

export WINEPREFIX=$build_root/wineprefix-bench
make_prefix "$WINEPREFIX" win64 win7
wine=$wine64
# One server for the whole run, so no process pays for starting it.
stop_wine "$WINEPREFIX"
"$wineserver" -p
at_exit rm -rf "$work"
at_exit stop_wine "$WINEPREFIX"

make_template() {
  rm -rf "$work"
  mkdir -p "$work/template"
  local d f
  for ((d = 1; d <= folders; d++)); do
    mkdir "$work/template/cache$d"
    for ((f = 1; f <= files_per_folder; f++)); do
      printf 'cached page %d of folder %d\n' "$f" "$d" >"$work/template/cache$d/page$f.htm"
    done
  done
}

# Wall time of one command in milliseconds; output discarded. A command
# that fails stops the script (through set -e at the assignment), so a
# broken run is never counted.
elapsed_ms() {
  local start end
  start=$(date +%s%N)
  if ! "$@" >/dev/null 2>&1; then
    echo "failed: $*" >&2
    return 1
  fi
  end=$(date +%s%N)
  echo $(((end - start) / 1000000))
}

fresh_tree() {
  rm -rf "$work/$1"
  cp -a "$work/template" "$work/$1"
}

must_be_gone() {
  if [[ -e "$work/$1" ]]; then
    echo "$2 left $work/$1 behind" >&2
    exit 1
  fi
}

median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf (b > 0) ? "%.3f" : "-", a / b }'; }

other_ratios=()
declare -a t_ours_start t_cmd_start t_ours_purge t_rmdir t_rm t_ours_search t_dir t_find
others=("$@")
for ((o = 0; o < ${#others[@]}; o++)); do declare -a "t_other_$o"; done

make_template
count=$(find "$work/template" -type f | wc -l)
win_template=$(winepath_of "$work/template")
if [[ -n $("$wine" "$bench_exe" search "$win_template" "$name" 2>/dev/null) ]]; then
  echo "the tree must not hold $name" >&2
  exit 1
fi

for ((run = 1; run <= runs; run++)); do
  t_ours_start+=("$(elapsed_ms "$wine" "$bench_exe" noop)")
  t_cmd_start+=("$(elapsed_ms "$wine" cmd /c rem)")

  fresh_tree ours
  t_ours_purge+=("$(elapsed_ms "$wine" "$bench_exe" purge "$(winepath_of "$work/ours")")")
  must_be_gone ours PurgeDirectory
  for ((o = 0; o < ${#others[@]}; o++)); do
    fresh_tree other
    declare -n times="t_other_$o"
    times+=("$(elapsed_ms "$wine" "${others[o]#*=}" purge "$(winepath_of "$work/other")")")
    must_be_gone other "${others[o]%%=*}"
  done
  fresh_tree rmdir
  t_rmdir+=("$(elapsed_ms "$wine" cmd /c rmdir /s /q "$(winepath_of "$work/rmdir")")")
  must_be_gone rmdir "rmdir /s /q"
  fresh_tree rm
  t_rm+=("$(elapsed_ms rm -rf "$work/rm")")
  must_be_gone rm "rm -rf"

  t_ours_search+=("$(elapsed_ms "$wine" "$bench_exe" search "$win_template" "$name")")
  t_dir+=("$(elapsed_ms "$wine" cmd /c dir /s /b "$win_template")")
  t_find+=("$(elapsed_ms find "$work/template" -iname "$name")")
  echo "run $run of $runs done" >&2
done

m_ours_start=$(median "${t_ours_start[@]}")
m_cmd_start=$(median "${t_cmd_start[@]}")
m_ours_purge=$(median "${t_ours_purge[@]}")
m_rmdir=$(median "${t_rmdir[@]}")
m_rm=$(median "${t_rm[@]}")
m_ours_search=$(median "${t_ours_search[@]}")
m_dir=$(median "${t_dir[@]}")
m_find=$(median "${t_find[@]}")

echo
echo "Tree: $folders folders of $files_per_folder files ($count files); $runs runs; medians in ms."
echo "Start-up alone: quietreel_bench_purge $m_ours_start, cmd $m_cmd_start."
echo
printf '%-30s %10s %12s\n' "task" "median" "net of start"
printf '%-30s %10s %12s\n' "purge: PurgeDirectory (wine)" "$m_ours_purge" "$((m_ours_purge - m_ours_start))"
for ((o = 0; o < ${#others[@]}; o++)); do
  declare -n times="t_other_$o"
  m_other=$(median "${times[@]}")
  printf '%-30s %10s %12s\n' "purge: ${others[o]%%=*} (wine)" "$m_other" "$((m_other - m_ours_start))"
  other_ratios+=("purge: ${others[o]%%=*} / rm -rf: $(ratio "$m_other" "$m_rm"); this build / ${others[o]%%=*}: $(ratio "$m_ours_purge" "$m_other")")
done
printf '%-30s %10s %12s\n' "purge: rmdir /s /q (wine)" "$m_rmdir" "$((m_rmdir - m_cmd_start))"
printf '%-30s %10s %12s\n' "purge: rm -rf (Linux)" "$m_rm" "$m_rm"
printf '%-30s %10s %12s\n' "search: FindNamedEntry (wine)" "$m_ours_search" "$((m_ours_search - m_ours_start))"
printf '%-30s %10s %12s\n' "search: dir /s /b (wine)" "$m_dir" "$((m_dir - m_cmd_start))"
printf '%-30s %10s %12s\n' "search: find -iname (Linux)" "$m_find" "$m_find"
echo
echo "purge  / rmdir: $(ratio "$m_ours_purge" "$m_rmdir") (net $(ratio $((m_ours_purge - m_ours_start)) $((m_rmdir - m_cmd_start))); goal <= 0.25)"
echo "purge  / rm -rf: $(ratio "$m_ours_purge" "$m_rm")"
for line in "${other_ratios[@]}"; do echo "$line"; done
echo "search / dir: $(ratio "$m_ours_search" "$m_dir") (net $(ratio $((m_ours_search - m_ours_start)) $((m_dir - m_cmd_start))); goal <= 0.6)"
echo "search / find: $(ratio "$m_ours_search" "$m_find")"
