#include "platform/win32/SystemLibrary.h"

#include "platform/win32/GrowingBuffer.h"

namespace quietreel::win32 {

std::wstring SystemDirectory() {
  return GrowingBuffer([](wchar_t* buffer, DWORD size) { return ::GetSystemDirectoryW(buffer, size); })
      .value_or(std::wstring());
}

// The exe imports only DLLs Windows takes from the system folder whatever
// the search (scripts/test-release.sh holds the list); everything else is
// loaded later by Windows' own DLLs, often by bare name, and this decides
// where those names are looked for.
// - SetDefaultDllDirectories (Windows 8 on; Vista and 7 with KB2533623):
//   every later load by name, the system's own included, looks in System32
//   only, so nothing beside the program or in the current directory loads.
// - SetDllDirectoryW(L"") (XP SP1 on): the current directory leaves the
//   search. On XP and an unpatched Vista or 7 that is all there is: a name
//   that is not a KnownDLL can still be found in the program's folder, which
//   is why the program's own late loads go by full path (LoadSystemLibrary).
// The first is looked up by name, since XP's kernel32 lacks it and a static
// import would stop the program from starting there.
void SearchSystemFolderForDlls() {
  using SetDefaultDllDirectoriesFunction = BOOL WINAPI(DWORD);
  auto* setDefault = FunctionOfLoaded<SetDefaultDllDirectoriesFunction>(L"kernel32.dll", "SetDefaultDllDirectories");
  if (setDefault) setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
  ::SetDllDirectoryW(L"");
}

// LOAD_WITH_ALTERED_SEARCH_PATH makes the DLL's own imports come from its
// folder too, the system folder, rather than the program's. Without a
// system folder nothing is loaded: a bare name would be searched for.
HMODULE LoadSystemLibrary(const wchar_t* name) {
  const std::wstring directory = SystemDirectory();
  if (directory.empty()) return nullptr;
  return ::LoadLibraryExW((directory + L"\\" + name).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace quietreel::win32
