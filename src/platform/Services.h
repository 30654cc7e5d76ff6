#pragma once

#include <string>

#include "platform/DnsCache.h"
#include "platform/FileSystem.h"
#include "platform/KnownFolders.h"

namespace quietreel {

// What the operations need from the machine, handed to each call.
struct Services {
  // With the program's own rights: the hosts file.
  FileSystem& files;
  KnownFolders& folders;
  DnsCache& dns;
  // The running program's folder, fixed at start; empty when it could not
  // be.
  std::wstring programDirectory;
  // core.dat and `backup` in that folder, with the desktop user's own
  // rights where the user could write the folder; null when those rights
  // cannot be had.
  FileSystem* userFiles;
  // The hosts file in the folder Windows runs from.
  std::wstring hostsPath;
  // The desktop user's own folders (the caches the repairs empty), always
  // with that user's own rights; null when those rights cannot be had.
  FileSystem* desktopUserFiles;
  // Whether the desktop user could add or change files in the program's
  // folder, and the SHA-256 of the core.dat the build shipped, which such a
  // folder must hold.
  bool userCanWriteProgramDirectory = true;
  std::string shippedListSha256;
};

}  // namespace quietreel
