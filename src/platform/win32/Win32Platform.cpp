#include "platform/win32/Win32Platform.h"

#include <shlobj.h>
#include <windows.h>

#include <cstdlib>
#include <vector>

namespace quietreel::win32 {

int SystemCommandRunner::Run(const std::string& ansiCommand) { return std::system(ansiCommand.c_str()); }

std::string AnsiCodePage::ToAnsi(const std::wstring& text) {
  if (text.empty()) return std::string();
  int size = ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                   nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
  if (size > 0)
    ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &out[0], size, nullptr,
                          nullptr);
  return out;
}

// Exact means the bytes read back as the same text: no best-fit look-alikes
// and no default characters.
std::optional<std::string> AnsiCodePage::ToAnsiExact(const std::wstring& text) {
  std::string out = ToAnsi(text);
  if (text.empty()) return out;
  int size = ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, out.data(), static_cast<int>(out.size()),
                                   nullptr, 0);
  if (size <= 0) return std::nullopt;
  std::wstring back(static_cast<std::size_t>(size), L'\0');
  ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, out.data(), static_cast<int>(out.size()), &back[0], size);
  if (back != text) return std::nullopt;
  return out;
}

std::optional<std::wstring> ShellFolders::Path(KnownFolder folder) {
  wchar_t buffer[MAX_PATH] = {};
  int csidl = folder == KnownFolder::kAppData ? CSIDL_APPDATA : CSIDL_INTERNET_CACHE;
  if (!::SHGetSpecialFolderPathW(nullptr, buffer, csidl, FALSE) || buffer[0] == L'\0') return std::nullopt;
  std::wstring path = buffer;
  while (path.size() > 3 && path.back() == L'\\') path.pop_back();
  return path;
}

// Asks with a buffer that grows until the name fits: a name cut short would
// point at another file.
std::wstring ModuleFileName() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::wstring();
    if (length < buffer.size()) return std::wstring(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

std::wstring ProgramDirectory() {
  std::wstring path = ModuleFileName();
  return path.substr(0, path.rfind(L'\\') + 1);
}

}  // namespace quietreel::win32
