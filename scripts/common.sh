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

# Z: maps the Linux root in every Wine prefix.
winepath_of() {
  local path
  path=$(readlink -f "$1")
  echo "Z:${path//\//\\}"
}
