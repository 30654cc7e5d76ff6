#pragma once

#include <optional>
#include <string>

#include "hosts/BackupRecord.h"
#include "platform/FileSystem.h"
#include "platform/Services.h"

namespace quietreel {

// What Block saves so that Restore can go back: `backup` beside the
// program, in a folder the user may write, and its record beside the hosts
// file, where only administrators write.

// Stands in `backup` for a hosts file that did not exist before blocking.
std::string BackupMarker();

std::wstring BackupPath(const Services& services);
std::wstring RecordPath(const Services& services);

// `backup` as it stands: what is there, and its bytes when it is a file
// that could be read whole.
struct SavedCopy {
  FileFacts facts;
  std::optional<std::string> bytes;
};
SavedCopy ReadSavedCopy(const Services& services);
// The record, when there is one as Block writes it.
std::optional<BackupRecord> ReadRecord(const Services& services);

// `backup` as a new file, then its record, each on disk before this
// returns; false, with neither left, when either cannot be made.
bool Save(const Services& services, const std::string& backup, const std::string& record);
// `backup`, when it is a plain file, and its record.
void RemoveSaved(const Services& services);

}  // namespace quietreel
