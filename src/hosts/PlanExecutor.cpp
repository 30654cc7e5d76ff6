#include "hosts/PlanExecutor.h"

#include <memory>

#include "hosts/HostsPaths.h"
#include "hosts/LockedFile.h"
#include "hosts/SavedCopy.h"

namespace quietreel {
namespace {

std::wstring ScratchPath(const Services& services) { return services.hostsPath + kScratchSuffix; }

// Security software may block or undo a write it was told had worked: only
// bytes read back from the end of the file count as written.
AppendStatus AppendChecked(const Services& services, const std::string& bytes, bool createIfMissing) {
  const AppendStatus status = services.files.Append(services.hostsPath, bytes, createIfMissing);
  if (status == AppendStatus::kOk && services.files.ReadTail(services.hostsPath, bytes.size()) != bytes)
    return AppendStatus::kWriteFailed;
  return status;
}

// What an append that broke off leaves is taken back: the hosts file as it
// was, or none where there was none.
bool PutBack(const Services& services, const std::optional<std::string>& hostsBefore) {
  if (hostsBefore) return ReplaceHosts(services, *hostsBefore);
  FileSystem& files = services.files;
  return files.Look(services.hostsPath).kind == FileKind::kMissing || files.Remove(services.hostsPath);
}

class Executor {
 public:
  Executor(const Services& services, const HostsPlan& plan) : services_(services), plan_(plan) {}

  // False when a step failed; HostsChanged says whether the hosts file is
  // other than it was.
  bool Run() {
    if (plan_.removeStaleBackup) RemoveSaved(services_);
    if (plan_.append) return Block();
    if (plan_.replace) return Restore();
    if (plan_.removeHosts) return Reset();
    return true;
  }
  bool HostsChanged() const { return hostsChanged_; }

 private:
  // `backup` and its record are on disk before the hosts file is touched.
  // A hosts file that cannot be opened keeps the attributes it had then.
  bool Block() {
    FileSystem& files = services_.files;
    UnhideFile(files, services_.hostsPath);
    if (!Save(services_, *plan_.saveBackup, *plan_.record)) {
      HideFile(files, services_.hostsPath);
      return false;
    }
    const AppendStatus status = AppendChecked(services_, *plan_.append, !plan_.hostsBefore);
    if (status == AppendStatus::kOk) {
      HideFile(files, services_.hostsPath);
      hostsChanged_ = true;
      return true;
    }
    if (status == AppendStatus::kWriteFailed) {
      const bool putBack = PutBack(services_, plan_.hostsBefore);
      HideFile(files, services_.hostsPath);
      if (!putBack) return false;  // `backup` is the way back now
    }
    RemoveSaved(services_);
    return false;
  }

  // The record is taken first, so that no other program holds it when it
  // must go; a Restore that cannot take it changes nothing. Once the hosts
  // file is what Restore decided, only the record must still go.
  bool Restore() {
    FileSystem& files = services_.files;
    std::unique_ptr<HeldFile> record;
    if (plan_.takeRecord && files.Look(RecordPath(services_)).kind != FileKind::kMissing) {
      record = files.HoldForRemoval(RecordPath(services_));
      if (!record) return false;
    }
    UnhideFile(files, services_.hostsPath);
    const bool replaced = ReplaceHosts(services_, *plan_.replace);
    HideFile(files, services_.hostsPath);
    if (!replaced) return false;
    hostsChanged_ = true;
    if (record && !record->Remove()) return false;
    record.reset();
    if (plan_.removeBackup) services_.userFiles->Remove(BackupPath(services_));
    return true;
  }

  // A copy a replacement left behind would otherwise bring the hosts file
  // back at the next start.
  bool Reset() {
    FileSystem& files = services_.files;
    if (!files.Remove(services_.hostsPath)) return false;
    hostsChanged_ = true;
    if (files.Look(ScratchPath(services_)).kind != FileKind::kMissing) files.Remove(ScratchPath(services_));
    return true;
  }

  const Services& services_;
  const HostsPlan& plan_;
  bool hostsChanged_ = false;
};

void Tell(Window& owner, const Message& message) {
  if (message.kind == Say::kNotice) owner.ShowNotice(message.text);
  if (message.kind == Say::kWarning) owner.ShowWarning(message.text);
}

}  // namespace

// Written beside the hosts file and on disk, then put in its place. The
// scratch copy goes when the replacement fails, unless it was written whole
// and the hosts file went with the failure: then it holds the only copy of
// the new bytes, and the next start puts it in place.
bool ReplaceHosts(const Services& services, const std::string& bytes) {
  FileSystem& files = services.files;
  const std::wstring scratch = ScratchPath(services);
  files.Remove(scratch);  // left by a run the power cut short
  const bool written = files.CreateNew(scratch, bytes, 0);
  const bool replaced = written && files.Replace(scratch, services.hostsPath);
  if (!replaced && !(written && files.Look(services.hostsPath).kind == FileKind::kMissing)) files.Remove(scratch);
  return replaced;
}

// A replacement that broke off halfway left the hosts file missing and its
// new bytes in the scratch copy, on disk, where only administrators write.
void FinishCutReplacement(const Services& services) {
  FileSystem& files = services.files;
  const std::wstring scratch = ScratchPath(services);
  if (files.Look(services.hostsPath).kind == FileKind::kMissing && files.Look(scratch).kind == FileKind::kFile)
    files.Replace(scratch, services.hostsPath);
}

// A hosts file that changed must not be overruled by the system's cache of
// lookups.
void CarryOut(const Services& services, Window& owner, const HostsPlan& plan) {
  Executor executor(services, plan);
  const bool worked = executor.Run();
  if (executor.HostsChanged()) services.dns.Flush();
  Tell(owner, worked ? plan.done : plan.failed);
}

}  // namespace quietreel
