#include "platform/win32/SystemLibrary.h"

#include <vector>

namespace quietreel::win32 {

std::wstring SystemDirectory() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    UINT length = ::GetSystemDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
    if (length == 0) return std::wstring();
    if (length < buffer.size()) return std::wstring(buffer.data(), length);
    buffer.resize(length);
  }
}

namespace {

// LOAD_WITH_ALTERED_SEARCH_PATH makes the DLL's own imports come from its
// folder too, the system folder, rather than the program's. Without a
// system folder nothing is loaded: a bare name would be searched for.
HMODULE LoadFromSystemDirectory(const wchar_t* name) {
  const std::wstring directory = SystemDirectory();
  if (directory.empty()) return nullptr;
  return ::LoadLibraryExW((directory + L"\\" + name).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace

SystemLibrary::SystemLibrary(const wchar_t* name) : module_(LoadFromSystemDirectory(name)) {}

}  // namespace quietreel::win32
