# Shared settings for the scripts; sourced, not run. Every script starts
# with `set -Eeuo pipefail` and sources this file.
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_root=${QUIETREEL_BUILD_ROOT:-$repo/build}

# A command that fails says where and which, in a function too (set -E), so
# no run ends without a word.
trap 'echo "${BASH_SOURCE[0]##*/}: line $LINENO failed (status $?): $BASH_COMMAND" >&2' ERR

# Wine names Unix files in the locale's character set: without UTF-8, a
# Windows name with Chinese in it cannot be created at all. A fixed locale
# also keeps Wine's ANSI code page the same on every machine.
export LC_ALL=C.UTF-8

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# 32-bit Wine runs the release and the 32-bit test programs, in a 32-bit
# prefix and, through WoW64, in a 64-bit one; wine64 runs the 64-bit
# Windows-side tests. One 64-bit server serves both. Which prefix a Wine
# program runs in is each script's own choice: it sets WINEPREFIX itself.
wine32=/usr/lib/wine/wine
wine64=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver64

# The release as users get it: the zip's Quietreel.exe and core.dat.
release_version=$(sed -n 's/^project(Quietreel VERSION \([0-9.]*\).*/\1/p' "$repo/CMakeLists.txt")
release_zip=$build_root/win32/Quietreel-$release_version.zip

# What a script started is stopped when it ends, however it ends: each
# start registers its stop with at_exit, a command and its arguments as
# separate words (kept quoted, so no word is split or expanded again), and
# they run last first.
exit_actions=()
at_exit() {
  if [[ $# -eq 1 && $1 == *' '* ]]; then
    echo "at_exit: \"$1\" is one word; give the command and its arguments as separate words" >&2
    return 0
  fi
  exit_actions+=("$(printf '%q ' "$@")")
}
run_exit_actions() {
  local i
  for ((i = ${#exit_actions[@]} - 1; i >= 0; i--)); do
    eval "${exit_actions[i]}" || true
  done
}
trap run_exit_actions EXIT
trap 'exit 130' INT TERM

# Stops the wineserver of a prefix (and every program in it).
stop_wine() { WINEPREFIX=${1:?stop_wine needs a prefix} "$wineserver" -k 2>/dev/null || true; }
stop_process() { kill "$1" 2>/dev/null || true; }

# Stops a prefix's server and waits until it is gone, so the next Wine
# program starts one afresh, reading the prefix's settings again.
stop_wine_and_wait() {
  stop_wine "$1"
  WINEPREFIX=$1 "$wineserver" -w 2>/dev/null || true
}

# The loader of a prefix's own architecture, for its own programs
# (wineboot, reg, regedit); a pure 32-bit prefix runs no 64-bit program.
loader_of() {
  if grep -qx '#arch=win32' "$1/system.reg" 2>/dev/null; then echo "$wine32"; else echo "$wine64"; fi
}

# Makes a Wine prefix of our own when missing (or when it has the other
# architecture), as the Windows it stands for, and leaves its server
# stopped:
#   make_prefix <folder> win32|win64 winxp|win7|win10
# win32: a pure 32-bit prefix, like 32-bit XP or 7; win64: a 64-bit prefix
# that runs the 32-bit release through WoW64, like 64-bit Windows 7. Chinese
# dialog text is drawn in a font that has the characters, and the caption
# buttons in Wine's Marlett, inside a Wine desktop (scripts/wine-desktop.reg)
# on the display there is when the prefix's server next starts. The caller
# then runs its programs there with WINEPREFIX set to the folder.
make_prefix() {
  local folder=$1 arch=$2 version=$3 loader font
  font=$(marlett_font)
  if [[ $arch == win32 ]]; then loader=$wine32; else loader=$wine64; fi
  if [[ -f "$folder/system.reg" ]] && ! grep -qx "#arch=$arch" "$folder/system.reg"; then
    stop_wine "$folder"
    rm -rf "$folder"
  fi
  if [[ ! -f "$folder/system.reg" ]]; then
    mkdir -p "$folder"
    WINEPREFIX=$folder WINEARCH=$arch "$loader" wineboot -i >/dev/null 2>&1
  fi
  WINEPREFIX=$folder "$loader" reg add 'HKCU\Software\Wine' /v Version /d "$version" /f >/dev/null 2>&1
  WINEPREFIX=$folder "$loader" regedit /S "$(winepath_of "$repo/scripts/wine-desktop.reg")" >/dev/null 2>&1
  install -m 644 "$font" "$folder/drive_c/windows/Fonts/marlett.ttf"
  # The desktop is made when the server starts: it starts afresh.
  stop_wine_and_wait "$folder"
}

# Wine draws the caption buttons (minimise, maximise, close) as letters of
# the Marlett font; without it they show as "0 1 r". Debian ships Wine's own
# Marlett in fonts-wine, but installed, that package would give every
# prefix on the machine all of Wine's fonts. Only Marlett is taken from it,
# once, and put in each prefix of ours, so nothing else about how the
# windows are drawn changes.
# Called as $(marlett_font), where set -e does not reach: each step is
# checked.
marlett_font() {
  local font=$build_root/wine-fonts/marlett.ttf package status=0
  if [[ ! -s "$font" ]]; then
    package=$(mktemp -d)
    mkdir -p "${font%/*}"
    if ! (cd "$package" && apt-get download fonts-wine) >/dev/null 2>&1; then
      echo "cannot download the package fonts-wine (for Wine's Marlett); is apt-get update needed?" >&2
      status=1
    elif ! dpkg-deb --fsys-tarfile "$package"/fonts-wine_*.deb |
      tar -xO ./usr/share/wine/fonts/marlett.ttf >"$font.part"; then
      echo "the package fonts-wine holds no marlett.ttf" >&2
      status=1
    else
      mv "$font.part" "$font"
    fi
    rm -rf "$package" "$font.part"
  fi
  [[ $status -eq 0 ]] && echo "$font"
}

# Screen DPI as Windows' display settings set it; Wine reads it when its
# server starts, so the prefix's server is stopped and started afresh.
#   set_dpi <folder> <dpi>
set_dpi() {
  WINEPREFIX=$1 "$(loader_of "$1")" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$2" /f \
    >/dev/null 2>&1
  stop_wine_and_wait "$1"
}

# The release zip unpacked into a folder of its own.
unpack_release() {
  rm -rf "$1"
  mkdir -p "$1"
  (cd "$1" && cmake -E tar xf "$release_zip")
  [[ -f "$1/Quietreel.exe" && -f "$1/core.dat" ]] || { echo "$release_zip lacks Quietreel.exe or core.dat" >&2; return 1; }
}

# A virtual X display of our own, so nothing needs or disturbs a real one.
# Xvfb picks a free display itself and names it through -displayfd once it
# accepts clients; a server that dies or stays silent ends the script.
start_xvfb() {
  local size=$1 answer
  answer=$(mktemp)
  at_exit rm -f "$answer"
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$answer" >/dev/null 2>&1 &
  xvfb_pid=$!
  at_exit stop_process "$xvfb_pid"
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

# Runs a GoogleTest program under the given loader, in $WINEPREFIX:
#   run_gtest <loader> <program> [arguments]
# gtest_timeout (seconds, default 1800) bounds it. A program that ran no
# test at all fails too: its exit code alone would say it passed.
run_gtest() {
  local loader=$1 log status=0
  shift
  log=$(mktemp)
  timeout "${gtest_timeout:-1800}" "$loader" "$@" 2>&1 | tee "$log" || status=$?
  if [[ $status -eq 0 ]] && ! grep -Eq '^\[  PASSED  \] [1-9][0-9]* test' "$log"; then
    echo "$(basename "$1"): no test ran" >&2
    status=1
  fi
  rm -f "$log"
  return $status
}
