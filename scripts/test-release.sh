#!/usr/bin/env bash
# The release zip as a user gets it, checked without running it (no 32-bit
# code runs here): its Quietreel.exe must start on Windows XP SP3 and 7.
# Every import must be one that XP's system DLLs export
# (tests/release/xp-sp3-exports.txt), from a system DLL, never a mingw one,
# and only from the DLLs below;
# the exe is 32-bit x86, a GUI program of subsystem version 4.0 or 5.01,
# stripped, with its manifest embedded. The e2e suite reads the same exe's
# resources. Needs the trees of scripts/build.sh; an argument checks another
# zip.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

zip=${1:-$release_zip}
exports=$repo/tests/release/xp-sp3-exports.txt
objdump=i686-w64-mingw32-objdump

work=$(mktemp -d)
at_exit rm -rf "$work"
(cd "$work" && cmake -E tar xf "$zip")
exe=$work/Quietreel.exe
dump=$("$objdump" -f -h -p "$exe")
# "dll function" for each import, the DLL as the list names it; an import by
# ordinal shows as "dll #".
"$objdump" -p "$exe" | awk '
  /DLL Name:/ { dll = tolower($3); sub(/\.dll$/, "", dll) }
  /^\t[0-9a-f]+\t +[0-9]+/ { print dll, ($3 == "" ? "#" $2 : $3) }' >"$work/imports"

# The only DLLs the exe may import. Whatever an exe imports is loaded before
# its first line runs, searched for in the program's folder first unless
# Windows takes the name from elsewhere whatever the search; so each one here
# is one it does, on XP SP3 to 11 (everything else is loaded late, by full
# path: src/platform/win32/SystemLibrary.h).
allowed_dlls=(
  kernel32 # KnownDLLs on every version
  user32   # KnownDLLs on every version
  gdi32    # KnownDLLs on every version
  advapi32 # KnownDLLs on every version
  msvcrt   # KnownDLLs from Vista on; on XP a known DLL too, as an import of the listed ones (ole32,
           # shell32), which the session manager maps with them
  comctl32 # no KnownDLL: the embedded manifest binds version 6 from the side-by-side store, which
           # the loader looks in before any folder (an external manifest wins on XP only)
)

field() { awk -v name="$1" '$1 == name { print $2; exit }' <<<"$dump"; }

zip_holds_the_built_exe_and_core_dat() {
  [[ -f "$work/core.dat" ]] && cmp -s "$exe" "$build_root/win32/bin/Quietreel.exe"
}
is_32_bit_x86() { grep -q '^architecture: i386,' <<<"$dump" && [[ $(field Magic) == 010b ]]; }
is_gui_of_subsystem_4_0_or_5_01() {
  local subsystem_version="$(field MajorSubsystemVersion).$(field MinorSubsystemVersion)"
  [[ $(field Subsystem) == 00000002 && ($subsystem_version == 4.0 || $subsystem_version == 5.1) ]] ||
    { echo "subsystem $(field Subsystem), version $subsystem_version"; return 1; }
}
is_stripped() {
  ! grep -E '^ *[0-9]+ \.debug|HAS_SYMS|HAS_DEBUG' <<<"$dump"
}
# RT_MANIFEST (24) with id 1, in the resource tree objdump prints indented
# by level: type, name, language.
embeds_manifest_1() {
  awk '/^[0-9a-f]+   Entry: ID:/ { type = $4 }
       /^[0-9a-f]+     Entry: ID:/ && type == "0x000018," && $4 == "0x000001," { found = 1 }
       END { exit !found }' <<<"$dump"
}
imports_from_no_mingw_dll() { ! grep -iE '^(lib[a-z0-9_+-]*|mingwm?[0-9]*) ' "$work/imports"; }
imports_only_from_allowed_dlls() {
  ! grep -v -E "^($(IFS='|'; echo "${allowed_dlls[*]}")) " "$work/imports" | cut -d' ' -f1 | sort -u | grep .
}
imports_only_what_xp_sp3_exports() {
  [[ -s "$work/imports" ]] && ! grep -vxFf <(grep -v '^#' "$exports") "$work/imports"
}

passed=0
failed=0
for check in zip_holds_the_built_exe_and_core_dat is_32_bit_x86 is_gui_of_subsystem_4_0_or_5_01 is_stripped \
  embeds_manifest_1 imports_from_no_mingw_dll imports_only_from_allowed_dlls imports_only_what_xp_sp3_exports; do
  if output=$($check 2>&1); then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED ${check//_/ }${output:+:}" >&2
    [[ -n "$output" ]] && sed 's/^/  /' <<<"$output" >&2
  fi
done
echo "release: $passed passed, $failed failed ($(wc -l <"$work/imports") imports checked)"
[[ $failed -eq 0 ]]
