#pragma once

#include <string>

#include "platform/Services.h"
#include "platform/win32/Win32FileSystem.h"

namespace quietreel::win32 {

class ShellFolders : public KnownFolders {
 public:
  std::optional<std::wstring> Path(KnownFolder folder) override;
};

class SystemDnsCache : public DnsCache {
 public:
  void Flush() override;
};

// The running program's full file name.
std::wstring ModuleFileName();
// The folder of the running program.
std::wstring ProgramDirectory();
// The hosts file of the Windows that runs the program.
std::wstring HostsPath();

// The real machine, as the operations see it.
class Win32Platform {
 public:
  Win32Platform() : Win32Platform(ProgramDirectory()) {}
  explicit Win32Platform(std::wstring programDirectory) : programDirectory_(std::move(programDirectory)) {}
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  Services MakeServices() { return Services{files_, folders_, dns_, programDirectory_, HostsPath()}; }

 private:
  Win32FileSystem files_;
  ShellFolders folders_;
  SystemDnsCache dns_;
  std::wstring programDirectory_;
};

}  // namespace quietreel::win32
