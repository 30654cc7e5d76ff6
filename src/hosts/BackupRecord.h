#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quietreel {

// A file's size and SHA-256 digest: enough to know it again.
struct FileDigest {
  std::uint64_t size = 0;
  std::string sha256;
};

FileDigest DigestOf(std::string_view bytes);
bool Matches(const FileDigest& digest, std::string_view bytes);

// What Block keeps beside the hosts file, where only administrators can
// write: `backup` as it saved it, whether it put a line break before its
// section, and the hosts file as its append left it. Together they say
// when `backup` may come back whole: only in place of that very hosts
// file, or of none.
struct BackupRecord {
  FileDigest backup;
  bool lineBreakAdded = false;
  FileDigest hostsAfterBlock;
};

std::string RecordText(const BackupRecord& record);
std::optional<BackupRecord> ParseRecord(std::string_view text);

}  // namespace quietreel
