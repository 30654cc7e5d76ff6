#pragma once

#include <optional>
#include <string>

#include "hosts/BackupRecord.h"
#include "platform/FileSystem.h"

namespace quietreel {

// What Block and Restore read before they decide: the hosts file's bytes
// (none when there is none), `backup` as it stands and its bytes when it
// is a file that could be read, and the record beside the hosts file.
struct HostsOnDisk {
  std::optional<std::string> hosts;
  FileKind backupKind = FileKind::kMissing;
  std::optional<std::string> backup;
  std::optional<BackupRecord> record;
};

// The block list read from core.dat, or the warning that says why not.
struct ListRead {
  std::optional<std::string> list;
  const wchar_t* problem = nullptr;
};

enum class Say { kNothing, kNotice, kWarning };

struct Message {
  Say kind = Say::kNothing;
  const wchar_t* text = nullptr;
};

// What one button does, in the order PlanExecutor.cpp carries it out. A
// plan without steps is a refusal: only `done` is told.
struct HostsPlan {
  Message done;    // every step worked
  Message failed;  // a step failed
  // Block without a hosts file: the `backup` a Reset left goes first.
  bool removeStaleBackup = false;
  // Block: `backup` and its record, made new, then the append, read back;
  // one that breaks off puts back `hostsBefore`, or removes the hosts file
  // it created when there was none.
  std::optional<std::string> saveBackup;
  std::optional<std::string> record;
  std::optional<std::string> append;
  std::optional<std::string> hostsBefore;
  // Restore: the record is taken for removal before the hosts file becomes
  // `replace`, and goes with that change; `backup` goes afterwards when it
  // can, vouched for by nothing once the record is gone.
  bool takeRecord = false;
  std::optional<std::string> replace;
  bool removeBackup = false;
  // Reset.
  bool removeHosts = false;
};

HostsPlan PlanBlock(const HostsOnDisk& disk, const ListRead& list);
HostsPlan PlanRestore(const HostsOnDisk& disk);
HostsPlan PlanReset(FileKind hosts);

}  // namespace quietreel
