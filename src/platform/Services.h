#pragma once

#include <string>

#include "platform/DnsCache.h"
#include "platform/FileSystem.h"
#include "platform/KnownFolders.h"

namespace quietreel {

// What the operations need from the machine, handed to each call.
struct Services {
  FileSystem& files;
  KnownFolders& folders;
  DnsCache& dns;
  // The running program's folder.
  std::wstring programDirectory;
  // The hosts file in the folder Windows runs from.
  std::wstring hostsPath;
};

}  // namespace quietreel
