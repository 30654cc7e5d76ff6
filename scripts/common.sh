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

# A virtual X display of our own, so nothing needs or disturbs a real one.
# Sets DISPLAY and xvfb_pid; the caller kills xvfb_pid when done.
start_xvfb() {
  local size=$1 display_number=$((90 + RANDOM % 400))
  while [[ -e /tmp/.X11-unix/X$display_number || -e /tmp/.X$display_number-lock ]]; do
    display_number=$((display_number + 1))
  done
  Xvfb ":$display_number" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$display_number"
  for _ in $(seq 50); do
    [[ -e /tmp/.X11-unix/X$display_number ]] && break
    sleep 0.1
  done
}

# Z: maps the Linux root in every Wine prefix.
winepath_of() {
  local path
  path=$(readlink -f "$1")
  echo "Z:${path//\//\\}"
}
