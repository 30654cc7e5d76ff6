#include "TestSupport.h"

#include <cstdio>

namespace testsupport {
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

std::wstring ParentOf(const std::wstring& path) {
  std::size_t slash = path.rfind(L'\\');
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring WithoutTrailingSlash(std::wstring path) {
  while (path.size() > 3 && path.back() == L'\\') path.pop_back();
  return path;
}

// Wine maps its drives onto the Unix tree; a Unix tool needs the Unix name.
std::wstring UnixNameOf(const std::wstring& path) {
  using ToUnix = char*(__cdecl*)(const wchar_t*);
  auto toUnix = reinterpret_cast<ToUnix>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  char* name = toUnix ? toUnix(path.c_str()) : nullptr;
  if (!name) return std::wstring();
  std::string narrow = name;
  ::HeapFree(::GetProcessHeap(), 0, name);
  return std::wstring(narrow.begin(), narrow.end());
}

bool RunCommand(std::wstring command) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                        &process))
    return false;
  ::WaitForSingleObject(process.hProcess, 10000);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return true;
}

// A Unix program started under Wine runs detached: its handle cannot be
// waited on, so the tests wait for what it does.
void AwaitPresence(const std::wstring& path, bool present) {
  for (int wait = 0; wait < 100 && Exists(path) != present; ++wait) ::Sleep(50);
}

}  // namespace

std::optional<std::string> ReadBytes(const std::wstring& path) {
  Stream in(path, L"rb");
  if (!in.Get()) return std::nullopt;
  std::string bytes;
  char buffer[4096];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, in.Get())) > 0;) bytes.append(buffer, got);
  return bytes;
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
  ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  Stream out(path, L"wb");
  return out.Get() && std::fwrite(bytes.data(), 1, bytes.size(), out.Get()) == bytes.size();
}

DWORD Attributes(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()); }

DWORD ProtectionOf(const std::wstring& path) { return Attributes(path) & kProtection; }

bool SetAttributes(const std::wstring& path, DWORD attributes) {
  const DWORD first = attributes & ~FILE_ATTRIBUTE_READONLY;
  return (first == attributes || ::SetFileAttributesW(path.c_str(), first ? first : FILE_ATTRIBUTE_NORMAL)) &&
         ::SetFileAttributesW(path.c_str(), attributes);
}

bool Exists(const std::wstring& path) { return Attributes(path) != INVALID_FILE_ATTRIBUTES; }

bool IsFile(const std::wstring& path) {
  DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsDirectory(const std::wstring& path) {
  DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void MakeDirectories(const std::wstring& path) {
  if (path.empty() || IsDirectory(path)) return;
  MakeDirectories(ParentOf(path));
  ::CreateDirectoryW(path.c_str(), nullptr);
}

bool MakeFile(const std::wstring& path, const std::string& bytes) {
  MakeDirectories(ParentOf(path));
  return WriteBytes(path, bytes);
}

void RemoveTree(const std::wstring& given) {
  const std::wstring path = WithoutTrailingSlash(given);
  DWORD attributes = Attributes(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  if (RunningUnderWine()) {
    // Wine removes the target of a Unix link it is told to remove, and shows
    // a link to a file as the file: the Unix tool, which never follows a
    // link, removes the tree. Wine does not wait for a Unix program, so the
    // tree is awaited gone.
    RunCommand(L"Z:\\bin\\rm -rf \"" + UnixNameOf(path) + L"\"");
    AwaitPresence(path, false);
    return;
  }
  const bool directory = attributes & FILE_ATTRIBUTE_DIRECTORY;
  const bool link = attributes & FILE_ATTRIBUTE_REPARSE_POINT;
  ::SetFileAttributesW(path.c_str(), directory ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL);
  if (!directory) {
    ::DeleteFileW(path.c_str());
    return;
  }
  if (!link) {
    WIN32_FIND_DATAW data{};
    HANDLE find = ::FindFirstFileW((path + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        std::wstring name = data.cFileName;
        if (name != L"." && name != L"..") RemoveTree(path + L"\\" + name);
      } while (::FindNextFileW(find, &data));
      ::FindClose(find);
    }
  }
  ::RemoveDirectoryW(path.c_str());
}

bool MakeLink(const std::wstring& link, const std::wstring& target) {
  if (RunningUnderWine()) {
    // Wine 8 has no CreateSymbolicLinkW, but it reports a Unix symbolic link
    // with the reparse-point attribute, as Windows reports a junction or a
    // symbolic link.
    const std::wstring unixTarget = UnixNameOf(target);
    const std::wstring unixLink = UnixNameOf(link);
    if (unixTarget.empty() || unixLink.empty()) return false;
    if (!RunCommand(L"Z:\\bin\\ln -s \"" + unixTarget + L"\" \"" + unixLink + L"\"")) return false;
    AwaitPresence(link, true);
  } else {
    const bool folder = IsDirectory(target);
    RunCommand(std::wstring(L"cmd.exe /c mklink ") + (folder ? L"/j \"" : L"\"") + link + L"\" \"" + target + L"\"");
  }
  return Exists(link);
}

std::wstring Environment(const wchar_t* name) {
  wchar_t buffer[1024] = {};
  DWORD length = ::GetEnvironmentVariableW(name, buffer, 1024);
  return length > 0 && length < 1024 ? std::wstring(buffer, length) : std::wstring();
}

bool RunningUnderWine() { return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr; }

bool HostsRefused() { return Environment(L"QUIETREEL_TEST_UNPRIVILEGED") == L"1"; }

ScratchFolder::ScratchFolder(const std::wstring& name) {
  static int made = 0;
  wchar_t temp[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, temp);
  path_ = std::wstring(temp) + name + L"-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++made);
  RemoveTree(path_);
  MakeDirectories(path_);
}

ScratchFolder::~ScratchFolder() { RemoveTree(path_); }

}  // namespace testsupport
