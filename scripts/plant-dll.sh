#!/usr/bin/env bash
# DLL planting, tried under 32-bit Wine: a DLL that records when its code
# runs (tests/plant/PlantedDll.cpp) is put under each given name (default
# shcore.dll, which Wine's shell32 asks for) beside a copy of the 32-bit
# release Quietreel.exe and in the folder it is started from. The program
# is started in a prefix of its own, About and Help are opened and closed and
# the update page is asked for (tests/plant/Poke.cpp), then it is ended.
# Prints, for each name and place, whether the planted code ran, and the web
# address the program handed the shell. Exit status: 0 when no planted DLL
# ran, 1 when one did, 2 when the program could not be used.
# QUIETREEL_PLANT_EXE names another exe to try (e.g. an older build).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

exe=${QUIETREEL_PLANT_EXE:-$build_root/win32/bin/Quietreel.exe}
names=("${@:-shcore.dll}")
compiler=i686-w64-mingw32-g++-win32

# The Wine loader is itself a 32-bit program: if it starts, so can the test.
if ! "$wine32" --version >/dev/null 2>&1; then
  echo "32-bit Wine does not run here ($wine32): install wine32:i386, on a kernel that runs 32-bit programs" >&2
  exit 2
fi

# The prefix's desktop is made on the display there is, so the display
# comes first.
start_xvfb 800x600
use_prefix "$build_root/wineprefix-plant32" win32 winxp
at_exit stop_wine

work=$(mktemp -d)
at_exit rm -rf "$work"
mkdir "$work/tools"
"$compiler" -O2 -shared -static -o "$work/tools/planted.dll" "$repo/tests/plant/PlantedDll.cpp"
"$compiler" -O2 -static -municode -I "$repo/src" -o "$work/tools/poke.exe" "$repo/tests/plant/Poke.cpp"

# The shell's web pages go to a script that writes the address down.
printf '#!/bin/sh\necho "$1" >>"%s"\n' "$work/opened" >"$work/browser"
chmod +x "$work/browser"
"$wine" reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /d "$work/browser" /f >/dev/null 2>&1

# One run with the DLLs in one place: "app", the program's folder, or
# "cwd", the folder it is started from (the program's folder would win).
ran=0
status=0
try_planted_in() {
  local place=$1 where name marker program_pid
  where=$([[ $place == app ]] && echo "the program's folder" || echo "the current directory")
  rm -rf "$work/app" "$work/cwd"
  mkdir "$work/app" "$work/cwd"
  cp "$exe" "$work/app/Quietreel.exe"
  cp "$(dirname "$exe")/core.dat" "$work/app/core.dat"
  for name in "${names[@]}"; do cp "$work/tools/planted.dll" "$work/$place/$name"; done
  (cd "$work/cwd" && exec "$wine" "$(winepath_of "$work/app/Quietreel.exe")") >"$work/program.log" 2>&1 &
  program_pid=$!
  if ! "$wine" "$(winepath_of "$work/tools/poke.exe")"; then
    status=2
    sed 's/^/  program: /' "$work/program.log" | tail -n 20
  fi
  stop_wine
  wait "$program_pid" || true
  for name in "${names[@]}"; do
    marker=$work/$place/$name.ran
    if [[ -s "$marker" ]]; then
      ran=1
      echo "RAN      $name in $where: $(head -n 1 "$marker")"
    else
      echo "not run  $name in $where"
    fi
  done
}

try_planted_in app
try_planted_in cwd
opened=none
[[ -s "$work/opened" ]] && opened=$(tr '\n' ' ' <"$work/opened")
echo "web pages opened: $opened"
[[ $status -ne 0 ]] && exit $status
exit $ran
