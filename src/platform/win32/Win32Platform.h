#pragma once

#include <string>

#include "platform/Services.h"
#include "platform/win32/ProgramFolder.h"
#include "platform/win32/UserRightsFileSystem.h"
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
// The hosts file of the Windows that runs the program.
std::wstring HostsPath();

// The real machine, as the operations see it. The program's folder is the
// one fixed when this is made; when it could not be fixed the operations
// get no folder (an empty name), never a name worked out later.
class Win32Platform {
 public:
  Win32Platform() = default;
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  // The core names files in the folder by appending the bare name.
  // `shippedListSha256`: the digest of the core.dat the build shipped.
  Services MakeServices(const std::string& shippedListSha256) {
    return Services{files_,      folders_, dns_, folder_.Path(), ProgramFiles(), HostsPath(), folder_.UserCanWrite(),
                    shippedListSha256};
  }
  const ProgramFolder& Folder() const { return folder_; }

 private:
  // A folder the user cannot write (Program Files) holds nothing a program
  // of theirs planted: its files are handled with the program's own
  // rights, as decided on the folder fixed at start.
  FileSystem* ProgramFiles() {
    if (!folder_.UserCanWrite()) return &files_;
    return userFiles_.Ready() ? &userFiles_ : nullptr;
  }

  Win32FileSystem files_;
  UserRightsFileSystem userFiles_{files_};
  ShellFolders folders_;
  SystemDnsCache dns_;
  ProgramFolder folder_;
};

}  // namespace quietreel::win32
