#include "hosts/BackupRecord.h"

#include "base/Lines.h"
#include "base/Sha256.h"

namespace quietreel {
namespace {

constexpr std::string_view kHeading = "Quietreel backup";
constexpr std::string_view kSize = "size=";
constexpr std::string_view kDigest = "sha256=";
constexpr std::string_view kLineBreak = "line-break-added=";
constexpr std::string_view kHostsSize = "hosts-size=";
constexpr std::string_view kHostsDigest = "hosts-sha256=";

bool IsMadeOf(std::string_view text, std::string_view allowed) {
  if (text.empty()) return false;
  for (char c : text)
    if (allowed.find(c) == std::string_view::npos) return false;
  return true;
}

// The record is read line by line, each line as written: `key` and its
// value, then CR LF. `text` moves past the line taken.
class Lines {
 public:
  explicit Lines(std::string_view text) : text_(text) {}
  bool Done() const { return at_ == text_.size(); }

  std::optional<std::string_view> Take(std::string_view key) {
    if (at_ >= text_.size()) return std::nullopt;
    const TextLine line = LineAt(text_, at_, LineBreak::kCrLf);
    if (line.breakSize != 2 || line.text.substr(0, key.size()) != key) return std::nullopt;
    at_ = line.next;
    return line.text.substr(key.size());
  }

  std::optional<FileDigest> TakeDigest(std::string_view sizeKey, std::string_view digestKey) {
    const auto size = Take(sizeKey);
    const auto digest = Take(digestKey);
    // Written as Block writes it, so that one record has one text: no
    // leading zero.
    if (!size || !digest || size->size() > 19 || !IsMadeOf(*size, "0123456789") ||
        (size->size() > 1 && size->front() == '0') || digest->size() != 64 ||
        !IsMadeOf(*digest, "0123456789abcdef"))
      return std::nullopt;
    return FileDigest{std::stoull(std::string(*size)), std::string(*digest)};
  }

 private:
  std::string_view text_;
  std::size_t at_ = 0;
};

std::string DigestLines(std::string_view sizeKey, std::string_view digestKey, const FileDigest& digest) {
  return std::string(sizeKey) + std::to_string(digest.size) + "\r\n" + std::string(digestKey) + digest.sha256 + "\r\n";
}

}  // namespace

FileDigest DigestOf(std::string_view bytes) { return {bytes.size(), Sha256Hex(bytes)}; }

bool Matches(const FileDigest& digest, std::string_view bytes) {
  return digest.size == bytes.size() && digest.sha256 == Sha256Hex(bytes);
}

std::string RecordText(const BackupRecord& record) {
  return std::string(kHeading) + "\r\n" + DigestLines(kSize, kDigest, record.backup) + std::string(kLineBreak) +
         (record.lineBreakAdded ? "1" : "0") + "\r\n" + DigestLines(kHostsSize, kHostsDigest, record.hostsAfterBlock);
}

// A record as an earlier version wrote it, without the hosts file's
// digest, is no record: it cannot say which hosts file `backup` belongs
// in.
std::optional<BackupRecord> ParseRecord(std::string_view text) {
  Lines lines(text);
  const auto heading = lines.Take(kHeading);
  const auto backup = lines.TakeDigest(kSize, kDigest);
  const auto lineBreak = lines.Take(kLineBreak);
  const auto hosts = lines.TakeDigest(kHostsSize, kHostsDigest);
  if (!heading || !heading->empty() || !backup || !lineBreak || (*lineBreak != "0" && *lineBreak != "1") || !hosts ||
      !lines.Done())
    return std::nullopt;
  return BackupRecord{*backup, *lineBreak == "1", *hosts};
}

}  // namespace quietreel
