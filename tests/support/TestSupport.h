#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace testsupport {

// The attributes that Block and the black-screen repair set with attrib.
inline constexpr DWORD kProtection = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

std::optional<std::string> ReadBytes(const std::wstring& path);
// Clears the file's attributes first, so a read-only file is rewritten.
bool WriteBytes(const std::wstring& path, const std::string& bytes);
DWORD Attributes(const std::wstring& path);
// The read-only, hidden and system bits of an existing file; all ones when
// it is missing.
DWORD ProtectionOf(const std::wstring& path);
// SetFileAttributesW, made to hold under Wine for a user other than root:
// there read-only takes the write bits away before hidden and system are
// written, which then fails in silence, so those go first.
bool SetAttributes(const std::wstring& path, DWORD attributes);
bool Exists(const std::wstring& path);
bool IsFile(const std::wstring& path);
bool IsDirectory(const std::wstring& path);
void MakeDirectories(const std::wstring& path);
// Creates the folders on the way to `path`, then the file.
bool MakeFile(const std::wstring& path, const std::string& bytes);
// Removes a tree whatever its attributes, without following links. Missing
// is fine.
void RemoveTree(const std::wstring& path);
// A link to a folder (a junction) or a file (a symbolic link); a Unix link
// under Wine. False when the system cannot make one.
bool MakeLink(const std::wstring& link, const std::wstring& target);

std::wstring Environment(const wchar_t* name);
bool RunningUnderWine();
// Set by scripts/test-unprivileged.sh where the hosts file and its folder
// belong to another user, as they do for a user without administrator
// rights on Windows.
bool HostsRefused();

// A fresh folder under the temporary folder, removed with all it holds.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::wstring& name = L"quietreel-test");
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  // Without a trailing backslash, as the program names folders.
  const std::wstring& Path() const { return path_; }
  std::wstring operator/(const std::wstring& relative) const { return path_ + L"\\" + relative; }

 private:
  std::wstring path_;
};

}  // namespace testsupport
