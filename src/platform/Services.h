#pragma once

#include <string>

#include "platform/CodePage.h"
#include "platform/CommandRunner.h"
#include "platform/FileSystem.h"
#include "platform/KnownFolders.h"

namespace quietreel {

// What the operations need from the machine, handed to each call.
struct Services {
  FileSystem& files;
  CommandRunner& commands;
  CodePage& codePage;
  KnownFolders& folders;
  // The running program's folder, ending with a backslash.
  std::wstring programDirectory;
};

}  // namespace quietreel
