#include "RepairWinSupport.h"

#include <gtest/gtest.h>

namespace quietreel::repairtest {
namespace {

std::wstring ParentOf(const std::wstring& path) {
  std::size_t slash = path.rfind(L'\\');
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

// Wine maps its drives onto the Unix tree; a Unix tool needs the Unix name.
std::string UnixNameOf(const std::wstring& path) {
  using ToUnix = char*(__cdecl*)(const wchar_t*);
  auto toUnix = reinterpret_cast<ToUnix>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (!toUnix) return std::string();
  char* name = toUnix(path.c_str());
  if (!name) return std::string();
  std::string out = name;
  ::HeapFree(::GetProcessHeap(), 0, name);
  return out;
}

bool RunCommand(std::wstring command) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &startup, &process))
    return false;
  ::WaitForSingleObject(process.hProcess, 10000);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return true;
}

std::wstring Widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

// A Unix program started under Wine runs detached: its handle cannot be
// waited on, so the tests wait for what it does.
void AwaitPresence(const std::wstring& path, bool present) {
  for (int wait = 0; wait < 100 && PathExists(path) != present; ++wait) ::Sleep(50);
}

}  // namespace

bool RunningUnderWine() {
  return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

std::uint32_t AttributesOf(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()); }

bool PathExists(const std::wstring& path) { return AttributesOf(path) != INVALID_FILE_ATTRIBUTES; }

bool IsPlainFile(const std::wstring& path) {
  std::uint32_t attributes = AttributesOf(path);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsDirectoryPath(const std::wstring& path) {
  std::uint32_t attributes = AttributesOf(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void MakeDirectories(const std::wstring& path) {
  if (path.empty() || IsDirectoryPath(path)) return;
  MakeDirectories(ParentOf(path));
  ::CreateDirectoryW(path.c_str(), nullptr);
}

void WriteFileAt(const std::wstring& path, const std::string& bytes, DWORD attributes) {
  MakeDirectories(ParentOf(path));
  HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << "cannot create test file";
  DWORD written = 0;
  ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  ::CloseHandle(file);
  ASSERT_EQ(written, bytes.size());
  if (attributes != FILE_ATTRIBUTE_NORMAL) {
    ASSERT_TRUE(::SetFileAttributesW(path.c_str(), attributes));
  }
}

std::uint64_t SizeOf(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return ~0ull;
  return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

void RemoveTree(const std::wstring& path) {
  std::uint32_t attributes = AttributesOf(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  ::SetFileAttributesW(path.c_str(), attributes & FILE_ATTRIBUTE_DIRECTORY ? FILE_ATTRIBUTE_DIRECTORY
                                                                          : FILE_ATTRIBUTE_NORMAL);
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    ::DeleteFileW(path.c_str());
    return;
  }
  if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
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
  if (!::RemoveDirectoryW(path.c_str()) && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) && RunningUnderWine()) {
    // Wine cannot remove a symbolic link to a folder; the Unix tool can, but
    // it runs detached, so its work is awaited.
    RunCommand(L"Z:\\bin\\rm -f " + Widen(UnixNameOf(path)));
    AwaitPresence(path, false);
  }
}

bool MakeDirectoryLink(const std::wstring& link, const std::wstring& target) {
  if (RunningUnderWine()) {
    // Wine 8 has no CreateSymbolicLinkW, but it reports a Unix symbolic link
    // to a folder as a directory with the reparse-point attribute, as
    // Windows reports a junction.
    const std::string unixTarget = UnixNameOf(target);
    const std::string unixLink = UnixNameOf(link);
    if (unixTarget.empty() || unixLink.empty()) return false;
    if (!RunCommand(L"Z:\\bin\\ln -s " + Widen(unixTarget) + L" " + Widen(unixLink))) return false;
    AwaitPresence(link, true);
  } else {
    RunCommand(L"cmd.exe /c mklink /j \"" + link + L"\" \"" + target + L"\"");
  }
  return (AttributesOf(link) & FILE_ATTRIBUTE_REPARSE_POINT) && PathExists(link);
}

ScratchFolder::ScratchFolder() {
  wchar_t temp[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, temp);
  path_ = std::wstring(temp) + L"quietreel-repair-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
          std::to_wstring(::GetTickCount64());
  MakeDirectories(path_);
}

ScratchFolder::~ScratchFolder() { RemoveTree(path_); }

HeldOpen::HeldOpen(const std::wstring& path)
    : handle_(::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {}

HeldOpen::~HeldOpen() {
  if (Valid()) ::CloseHandle(handle_);
}

}  // namespace quietreel::repairtest
