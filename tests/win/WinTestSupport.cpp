#include "WinTestSupport.h"

#include <cstdio>

#include "platform/win32/ScopedHandle.h"

namespace quietreel::wintest {

ScratchFolder::ScratchFolder(const std::wstring& name) {
  wchar_t temp[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, temp);
  path_ = std::wstring(temp) + name + L"-" + std::to_wstring(::GetCurrentProcessId()) + L"\\";
  RemoveTree(path_.substr(0, path_.size() - 1));
  ::CreateDirectoryW(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() { RemoveTree(path_.substr(0, path_.size() - 1)); }

std::optional<std::string> ReadBytes(const std::wstring& path) {
  FILE* file = ::_wfopen(path.c_str(), L"rb");
  if (!file) return std::nullopt;
  win32::ScopedStream owner(file);
  std::string bytes;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) bytes.append(buffer, n);
  return bytes;
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
  ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  FILE* file = ::_wfopen(path.c_str(), L"wb");
  if (!file) return false;
  win32::ScopedStream owner(file);
  return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

void RemoveTree(const std::wstring& path) {
  WIN32_FIND_DATAW data;
  win32::ScopedFind find(::FindFirstFileW((path + L"\\*").c_str(), &data));
  if (find.Valid()) {
    do {
      std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring child = path + L"\\" + name;
      ::SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
      if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        RemoveTree(child);
      else if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        ::RemoveDirectoryW(child.c_str());
      else
        ::DeleteFileW(child.c_str());
    } while (::FindNextFileW(find.Get(), &data));
  }
  ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  ::RemoveDirectoryW(path.c_str());
}

std::wstring ExeDirectory() {
  wchar_t buffer[MAX_PATH * 4] = {};
  ::GetModuleFileNameW(nullptr, buffer, MAX_PATH * 4);
  std::wstring path = buffer;
  return path.substr(0, path.rfind(L'\\') + 1);
}

std::wstring SourceFile(const char* relative) {
  std::wstring path = L"Z:";
  for (const char* c = QUIETREEL_SOURCE_DIR "/"; *c; ++c) path += *c == '/' ? L'\\' : static_cast<wchar_t>(*c);
  for (const char* c = relative; *c; ++c) path += *c == '/' ? L'\\' : static_cast<wchar_t>(*c);
  return path;
}

}  // namespace quietreel::wintest
