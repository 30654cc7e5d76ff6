#pragma once

#include <string>

#include "platform/DnsCache.h"
#include "platform/FileSystem.h"
#include "platform/KnownFolders.h"

namespace quietreel {

// What the operations need from the machine, handed to each call.
struct Services {
  // With the program's own rights: the hosts file, the user's caches (the
  // repairs wear the user's rights themselves).
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
};

}  // namespace quietreel
