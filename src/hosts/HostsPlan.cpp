#include "hosts/HostsPlan.h"

#include "base/Lines.h"
#include "hosts/BlockSection.h"
#include "hosts/HostsMessages.h"
#include "hosts/SavedCopy.h"

namespace quietreel {
namespace {

HostsPlan Tell(Say kind, const wchar_t* text) {
  HostsPlan plan;
  plan.done = {kind, text};
  return plan;
}

bool HasBlocksSection(const HostsOnDisk& disk) { return disk.hosts && HasSection(*disk.hosts); }

// `backup` comes back whole only where the record, which only
// administrators can write, says it is what Block saved, and the hosts
// file is missing (a Reset), exactly as Block left it, or already what
// `backup` holds. Any other hosts file has been changed since by someone,
// and `backup` would undo that.
bool BackupComesBack(const HostsOnDisk& disk) {
  if (disk.backupKind != FileKind::kFile || !disk.backup || !disk.record) return false;
  if (!Matches(disk.record->backup, *disk.backup)) return false;
  return !disk.hosts || Matches(disk.record->hostsAfterBlock, *disk.hosts) || *disk.hosts == *disk.backup;
}

// The list must start on a line of its own, not at the end of the user's
// last entry.
bool EndsWithLineBreakOrEmpty(const std::string& text) { return text.empty() || text.back() == '\n'; }

}  // namespace

// A hosts file that holds Block's section is blocked already, whatever
// `backup` says. An existing `backup` beside a hosts file without it gets
// the answer Restore would give: blocked, where Restore would bring it
// back, else a `backup` no one vouches for.
HostsPlan PlanBlock(const HostsOnDisk& disk, const ListRead& read) {
  const std::optional<std::string>& hosts = disk.hosts;
  if (HasBlocksSection(disk)) return Tell(Say::kWarning, kAlreadyBlocked);
  if (hosts && disk.backupKind != FileKind::kMissing)
    return Tell(Say::kWarning, BackupComesBack(disk) ? kAlreadyBlocked : kBackupUntrusted);
  HostsPlan plan = Tell(Say::kWarning, read.problem);
  plan.removeStaleBackup = !hosts && disk.backupKind != FileKind::kMissing;
  if (!read.list) return plan;
  const bool lineBreakAdded = hosts && !EndsWithLineBreakOrEmpty(*hosts);
  const std::string appended = (lineBreakAdded ? "\r\n" : "") + WithHostsLineBreaks(*read.list);
  const std::string saved = hosts ? *hosts : BackupMarker();
  plan.done = {Say::kNotice, kBlocked};
  plan.failed = {Say::kWarning, kInterrupted};
  plan.saveBackup = saved;
  plan.record = RecordText({DigestOf(saved), lineBreakAdded, DigestOf(hosts.value_or("") + appended)});
  plan.append = appended;
  plan.hostsBefore = hosts;
  return plan;
}

// Restore takes out of the hosts file what Block added and keeps every
// other byte, whatever other programs wrote since; `backup` is not needed
// for that. Only where the section is gone does `backup` come back whole,
// and only as BackupComesBack allows.
HostsPlan PlanRestore(const HostsOnDisk& disk) {
  const bool section = HasBlocksSection(disk);
  if (!section && disk.backupKind == FileKind::kMissing) return Tell(Say::kNotice, kAlreadyRestored);
  if (!section && !disk.backup) return Tell(Say::kWarning, kRestoreFailed);
  if (!section && !BackupComesBack(disk)) return Tell(Say::kWarning, kBackupUntrusted);
  HostsPlan plan = Tell(Say::kNotice, kRestored);
  plan.failed = {Say::kWarning, kRestoreFailed};
  plan.takeRecord = true;
  plan.removeBackup = disk.backupKind == FileKind::kFile;
  if (!section) {
    plan.replace = *disk.backup;
    return plan;
  }
  plan.replace = WithoutSections(*disk.hosts, disk.record && disk.record->lineBreakAdded);
  // A hosts file Block made, with nothing added since, goes back to the
  // marker that stood for its absence.
  if (plan.replace->empty() && disk.backup == BackupMarker() && disk.record &&
      Matches(disk.record->backup, *disk.backup))
    plan.replace = *disk.backup;
  return plan;
}

HostsPlan PlanReset(FileKind hosts) {
  if (hosts == FileKind::kMissing) return Tell(Say::kNotice, kReset);
  if (hosts != FileKind::kFile) return Tell(Say::kWarning, kResetFailed);
  HostsPlan plan = Tell(Say::kNotice, kReset);
  plan.failed = {Say::kWarning, kResetFailed};
  plan.removeHosts = true;
  return plan;
}

}  // namespace quietreel
