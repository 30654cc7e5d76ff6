#include "hosts/SavedCopy.h"

#include "base/Brand.h"
#include "base/Path.h"
#include "hosts/HostsLimits.h"
#include "hosts/HostsPaths.h"

namespace quietreel {

std::string BackupMarker() {
  std::string marker = std::string("Brassfen\r\n") + kMakerHostName + "\r\nAny problem contact us!";
  marker += '\0';
  return marker;
}

std::wstring BackupPath(const Services& services) { return JoinPath(services.programDirectory, kBackupFileName); }

std::wstring RecordPath(const Services& services) {
  const std::wstring& hosts = services.hostsPath;
  return JoinPath(hosts.substr(0, hosts.find_last_of(L'\\')), kRecordFileName);
}

SavedCopy ReadSavedCopy(const Services& services) {
  SavedCopy saved{services.userFiles->Look(BackupPath(services)), std::nullopt};
  if (saved.facts.kind != FileKind::kFile || !saved.facts.plain) return saved;
  ReadResult read = services.userFiles->ReadWhole(BackupPath(services), kHostsSizeLimit, Names::kOneOnly);
  if (read.status == ReadStatus::kOk) saved.bytes = std::move(read.bytes);
  if (read.status == ReadStatus::kNotPlain) saved.facts.plain = false;
  return saved;
}

std::optional<BackupRecord> ReadRecord(const Services& services) {
  const ReadResult read = services.files.ReadWhole(RecordPath(services), kRecordSizeLimit, Names::kOneOnly);
  return read.status == ReadStatus::kOk ? ParseRecord(read.bytes) : std::nullopt;
}

// Both are made as new files, never written through a name that appeared
// since the checks; a record left by a run the power cut short goes first.
bool Save(const Services& services, const std::string& backup, const std::string& record) {
  services.files.Remove(RecordPath(services));
  if (services.userFiles->CreateNew(BackupPath(services), backup, 0) &&
      services.files.CreateNew(RecordPath(services), record, 0))
    return true;
  RemoveSaved(services);
  return false;
}

// Anything else that took the name since is left alone.
void RemoveSaved(const Services& services) {
  const std::wstring backup = BackupPath(services);
  const FileFacts facts = services.userFiles->Look(backup);
  if (facts.kind == FileKind::kFile && facts.plain) services.userFiles->Remove(backup);
  services.files.Remove(RecordPath(services));
}

}  // namespace quietreel
