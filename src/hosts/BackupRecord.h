#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quietreel {

// What Block keeps of the `backup` it saved, beside the hosts file, where
// only administrators can write: its size and digest, so that a `backup`
// rewritten since is known, and whether Block put a line break before its
// section.
struct BackupRecord {
  std::uint64_t size = 0;
  std::string sha256;
  bool lineBreakAdded = false;
};

std::string RecordText(std::string_view backup, bool lineBreakAdded);
std::optional<BackupRecord> ParseRecord(std::string_view text);
bool RecordsBackup(const BackupRecord& record, std::string_view backup);

}  // namespace quietreel
