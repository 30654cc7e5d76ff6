#include "Disk.h"

#include <shlobj.h>

#include <cstdio>

namespace e2e {
namespace {

class Stream {
 public:
  Stream(const std::wstring& path, const wchar_t* mode) : file_(::_wfopen(path.c_str(), mode)) {}
  ~Stream() {
    if (file_) std::fclose(file_);
  }
  Stream(const Stream&) = delete;
  Stream& operator=(const Stream&) = delete;
  FILE* Get() const { return file_; }

 private:
  FILE* file_;
};

void MakeFolders(const std::wstring& path) {
  for (std::size_t at = path.find(L'\\', 3); at != std::wstring::npos; at = path.find(L'\\', at + 1))
    ::CreateDirectoryW(path.substr(0, at).c_str(), nullptr);
}

}  // namespace

std::optional<std::string> ReadBytes(const std::wstring& path) {
  Stream in(path, L"rb");
  if (!in.Get()) return std::nullopt;
  std::string bytes;
  char buffer[4096];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof(buffer), in.Get())) > 0) bytes.append(buffer, got);
  return bytes;
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
  Stream out(path, L"wb");
  return out.Get() && std::fwrite(bytes.data(), 1, bytes.size(), out.Get()) == bytes.size();
}

DWORD Attributes(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()); }

bool IsFile(const std::wstring& path) {
  DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsDirectory(const std::wstring& path) {
  DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool MakeFile(const std::wstring& path, const std::string& bytes) {
  MakeFolders(path);
  return WriteBytes(path, bytes);
}

void RemoveTree(const std::wstring& path) {
  DWORD attributes = Attributes(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    ::DeleteFileW(path.c_str());
    return;
  }
  WIN32_FIND_DATAW data{};
  HANDLE find = ::FindFirstFileW((path + L"\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = data.cFileName;
      if (name != L"." && name != L"..") RemoveTree(path + L"\\" + name);
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
  }
  ::RemoveDirectoryW(path.c_str());
}

std::wstring Environment(const wchar_t* name) {
  wchar_t buffer[1024] = {};
  DWORD length = ::GetEnvironmentVariableW(name, buffer, 1024);
  return length > 0 && length < 1024 ? std::wstring(buffer, length) : std::wstring();
}

std::wstring KnownFolder(int csidl) {
  wchar_t buffer[MAX_PATH] = {};
  return ::SHGetSpecialFolderPathW(nullptr, buffer, csidl, TRUE) ? buffer : L"";
}

HostsGuard::HostsGuard() : original_(ReadBytes(kHostsPath)), attributes_(Attributes(kHostsPath)) {}

HostsGuard::~HostsGuard() {
  ::SetFileAttributesW(kHostsPath, FILE_ATTRIBUTE_NORMAL);
  if (original_) {
    WriteBytes(kHostsPath, *original_);
    ::SetFileAttributesW(kHostsPath, attributes_);
  } else {
    ::DeleteFileW(kHostsPath);
  }
}

}  // namespace e2e
