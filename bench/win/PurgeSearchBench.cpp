// quietreel_bench_purge purge <folder>          purges the folder
// quietreel_bench_purge search <folder> <name>  prints the first match, if any
// quietreel_bench_purge noop                    starts and ends (start-up cost)
//
// One operation per process, so the script can time it from outside in the
// same way as the platform's own tools.
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/win32/Win32FileSystem.h"
#include "repair/DirectoryPurge.h"
#include "repair/NamedEntrySearch.h"

int wmain(int argc, wchar_t** argv) {
  const std::wstring mode = argc > 1 ? argv[1] : L"";
  quietreel::win32::Win32FileSystem files;
  if (mode == L"noop") return 0;
  if (mode == L"purge" && argc == 3) {
    quietreel::PurgeDirectory(files, argv[2]);
    return ::GetFileAttributesW(argv[2]) == INVALID_FILE_ATTRIBUTES ? 0 : 1;
  }
  if (mode == L"search" && argc == 4) {
    const std::wstring found = quietreel::FindNamedEntry(files, argv[2], argv[3]);
    if (!found.empty()) std::wprintf(L"%ls\n", found.c_str());
    return 0;
  }
  std::fwprintf(stderr, L"usage: quietreel_bench_purge purge <folder> | search <folder> <name> | noop\n");
  return 2;
}
