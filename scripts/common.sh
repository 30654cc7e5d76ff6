# Shared settings for the scripts; sourced, not run.
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_root=${QUIETREEL_BUILD_ROOT:-$repo/build}

# Wine names Unix files in the locale's character set: without UTF-8, a
# Windows name with Chinese in it cannot be created at all. A fixed locale
# also keeps Wine's ANSI code page the same on every machine.
export LC_ALL=C.UTF-8

export WINEPREFIX=${QUIETREEL_WINEPREFIX:-$build_root/wineprefix}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver64

# A Wine prefix of our own, with Chinese dialog text drawn in a font that
# has the characters.
ensure_wine_prefix() {
  if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
    mkdir -p "$WINEPREFIX"
    "$wine" wineboot -i >/dev/null 2>&1
  fi
  "$wine" regedit /S "$(winepath_of "$repo/scripts/wine-fonts.reg")" >/dev/null 2>&1
}

# What a script started is stopped when it ends, however it ends: each
# start registers its stop with at_exit, and they run last first.
exit_actions=()
at_exit() { exit_actions+=("$*"); }
run_exit_actions() {
  local i
  for ((i = ${#exit_actions[@]} - 1; i >= 0; i--)); do
    eval "${exit_actions[i]}" || true
  done
}
trap run_exit_actions EXIT
trap 'exit 130' INT TERM
# A command that fails under set -e says which, so no run ends unexplained.
trap 'echo "$(basename "$0"): line $LINENO failed: $BASH_COMMAND" >&2' ERR

# Stops the wineserver of the current prefix (and every program in it).
stop_wine() { "$wineserver" -k 2>/dev/null || true; }

# A virtual X display of our own, so nothing needs or disturbs a real one.
# Xvfb picks a free display itself and names it through -displayfd once it
# accepts clients; a server that dies or stays silent ends the script.
start_xvfb() {
  local size=$1 answer
  answer=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$answer" >/dev/null 2>&1 &
  xvfb_pid=$!
  at_exit "kill $xvfb_pid 2>/dev/null; rm -f '$answer'"
  for _ in $(seq 100); do
    [[ -s "$answer" ]] && break
    if ! kill -0 "$xvfb_pid" 2>/dev/null; then
      echo "Xvfb failed to start" >&2
      exit 1
    fi
    sleep 0.1
  done
  if [[ ! -s "$answer" ]]; then
    echo "Xvfb did not name a display within 10 s" >&2
    exit 1
  fi
  export DISPLAY=":$(tr -dc 0-9 <"$answer")"
}

# Z: maps the Linux root in every Wine prefix.
winepath_of() {
  local path
  path=$(readlink -f "$1")
  echo "Z:${path//\//\\}"
}

# Runs a GoogleTest program under wine64. A program that ran no test at all
# fails too: its exit code alone would say it passed.
run_gtest() {
  local log status=0
  log=$(mktemp)
  timeout "${gtest_timeout:-1800}" "$wine" "$@" 2>&1 | tee "$log" || status=$?
  if [[ $status -eq 0 ]] && ! grep -Eq '^\[  PASSED  \] [1-9][0-9]* test' "$log"; then
    echo "$(basename "$1"): no test ran" >&2
    status=1
  fi
  rm -f "$log"
  return $status
}

# The test prefixes get our own attrib (tests/support/attrib.cpp) in place of
# Wine's, which applies only the last switch of a command. Wine runs a
# system32 program's builtin even when the file there is a real exe, so the
# prefix is told to load the native one. Never done to the prefix that
# scripts/run.sh uses.
install_test_attrib() {
  cp "$build_root/win64/bin/attrib.exe" "$WINEPREFIX/drive_c/windows/system32/attrib.exe"
  "$wine" reg add 'HKCU\Software\Wine\DllOverrides' /v attrib.exe /d native /f >/dev/null 2>&1
}
