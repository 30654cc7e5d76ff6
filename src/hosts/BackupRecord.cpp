#include "hosts/BackupRecord.h"

#include "base/Sha256.h"

namespace quietreel {
namespace {

constexpr std::string_view kHeading = "Quietreel backup\r\n";
constexpr std::string_view kSize = "size=";
constexpr std::string_view kDigest = "sha256=";
constexpr std::string_view kLineBreak = "line-break-added=";

// The value of the line that starts with `key`, read from the front of
// `text`, which moves past it; nothing when the line is not there.
std::optional<std::string_view> Take(std::string_view& text, std::string_view key) {
  const std::size_t end = text.find("\r\n");
  if (end == std::string_view::npos || text.substr(0, key.size()) != key) return std::nullopt;
  std::string_view value = text.substr(key.size(), end - key.size());
  text.remove_prefix(end + 2);
  return value;
}

bool IsDigits(std::string_view text, std::string_view allowed) {
  if (text.empty()) return false;
  for (char c : text)
    if (allowed.find(c) == std::string_view::npos) return false;
  return true;
}

}  // namespace

std::string RecordText(std::string_view backup, bool lineBreakAdded) {
  return std::string(kHeading) + std::string(kSize) + std::to_string(backup.size()) + "\r\n" + std::string(kDigest) +
         Sha256Hex(backup) + "\r\n" + std::string(kLineBreak) + (lineBreakAdded ? "1" : "0") + "\r\n";
}

std::optional<BackupRecord> ParseRecord(std::string_view text) {
  if (text.substr(0, kHeading.size()) != kHeading) return std::nullopt;
  text.remove_prefix(kHeading.size());
  const auto size = Take(text, kSize);
  const auto digest = Take(text, kDigest);
  const auto lineBreak = Take(text, kLineBreak);
  if (!size || !digest || !lineBreak || !text.empty() || size->size() > 19 || !IsDigits(*size, "0123456789") ||
      digest->size() != 64 || !IsDigits(*digest, "0123456789abcdef") || (*lineBreak != "0" && *lineBreak != "1"))
    return std::nullopt;
  return BackupRecord{std::stoull(std::string(*size)), std::string(*digest), *lineBreak == "1"};
}

bool RecordsBackup(const BackupRecord& record, std::string_view backup) {
  return record.size == backup.size() && record.sha256 == Sha256Hex(backup);
}

}  // namespace quietreel
