#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace e2e {

inline constexpr wchar_t kHostsPath[] = L"C:\\windows\\system32\\drivers\\etc\\hosts";

std::optional<std::string> ReadBytes(const std::wstring& path);
bool WriteBytes(const std::wstring& path, const std::string& bytes);
bool IsFile(const std::wstring& path);
bool IsDirectory(const std::wstring& path);
DWORD Attributes(const std::wstring& path);
// Creates the folders on the way to `path`, then the file.
bool MakeFile(const std::wstring& path, const std::string& bytes);
// Removes a tree, read-only files included. Missing is fine.
void RemoveTree(const std::wstring& path);
std::wstring Environment(const wchar_t* name);
std::wstring KnownFolder(int csidl);

// Puts the prefix's hosts file back as it was, attributes included, and
// leaves no `backup` behind.
class HostsGuard {
 public:
  HostsGuard();
  ~HostsGuard();
  HostsGuard(const HostsGuard&) = delete;
  HostsGuard& operator=(const HostsGuard&) = delete;
  const std::optional<std::string>& Original() const { return original_; }

 private:
  std::optional<std::string> original_;
  DWORD attributes_;
};

}  // namespace e2e
