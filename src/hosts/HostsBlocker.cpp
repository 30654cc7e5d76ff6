#include "hosts/HostsBlocker.h"

#include <string>

#include "base/Brand.h"
#include "base/Path.h"
#include "hosts/BackupRecord.h"
#include "hosts/BlockListFile.h"
#include "hosts/BlockListRules.h"
#include "hosts/BlockSection.h"
#include "hosts/HostsMessages.h"
#include "hosts/HostsPaths.h"
#include "hosts/LockedFile.h"

namespace quietreel {
namespace {

// A hosts file larger than this is not one the program can save and put
// back in one piece.
constexpr std::size_t kHostsSizeLimit = 64u << 20;
constexpr std::size_t kRecordSizeLimit = 4096;

// Stands in `backup` for a hosts file that did not exist before blocking.
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

// The list as the bytes that go into the hosts file: LF written as CR LF,
// the way a text-mode stream writes it.
std::string HostsBytes(const std::string& list) {
  std::string bytes;
  bytes.reserve(list.size() + list.size() / 8);
  for (char c : list) {
    if (c == '\n') bytes += '\r';
    bytes += c;
  }
  return bytes;
}

// A `backup` the program made is a plain file; anything else that took the
// name since is left alone. The record of it goes with it.
void RemoveOurBackup(const Services& services) {
  const std::wstring backup = BackupPath(services);
  const FileFacts facts = services.userFiles->Look(backup);
  if (facts.kind == FileKind::kFile && facts.plain) services.userFiles->Remove(backup);
  services.files.Remove(RecordPath(services));
}

// The record is made anew, after `backup` is on disk and before the hosts
// file changes, so it never vouches for a copy that is not there.
bool KeepRecord(const Services& services, const std::string& backup, bool lineBreakAdded) {
  services.files.Remove(RecordPath(services));  // left by a run the power cut short
  return services.files.CreateNew(RecordPath(services), RecordText(backup, lineBreakAdded), 0);
}

std::optional<BackupRecord> ReadRecord(const Services& services) {
  const ReadResult read = services.files.ReadWhole(RecordPath(services), kRecordSizeLimit, Names::kOneOnly);
  return read.status == ReadStatus::kOk ? ParseRecord(read.bytes) : std::nullopt;
}

// Any program of the user's may rewrite `backup`, so its bytes reach the
// hosts file only as far as they can be vouched for: the hosts file begins
// with them and nothing follows that could do more than block (what Block
// appended before its section was marked), they are the marker Block
// writes when there was no hosts file, or the record Block kept where only
// administrators write says they are what Block saved.
bool IsOurBackup(const Services& services, const std::optional<std::string>& hosts, const std::string& saved) {
  if (hosts && hosts->size() >= saved.size() && hosts->compare(0, saved.size(), saved) == 0 &&
      IsBlockOnlyList(std::string_view(*hosts).substr(saved.size())))
    return true;
  if (saved == BackupMarker()) return true;
  const std::optional<BackupRecord> record = ReadRecord(services);
  return record && RecordsBackup(*record, saved);
}

// The hosts file becomes `bytes` in one step: they are written beside it,
// on disk, and put in its place, so it is whole at every moment and keeps
// its own security settings.
bool ReplaceHosts(const Services& services, const std::string& bytes) {
  const std::wstring scratch = services.hostsPath + kScratchSuffix;
  services.files.Remove(scratch);  // left by a run the power cut short
  const bool replaced =
      services.files.CreateNew(scratch, bytes, 0) && services.files.Replace(scratch, services.hostsPath);
  if (!replaced) services.files.Remove(scratch);
  return replaced;
}

// Security software may block or undo a write it was told had worked: only
// bytes read back from the end of the file count as written.
AppendStatus AppendChecked(const Services& services, const std::string& bytes, bool createIfMissing) {
  AppendStatus status = services.files.Append(services.hostsPath, bytes, createIfMissing);
  if (status == AppendStatus::kOk && services.files.ReadTail(services.hostsPath, bytes.size()) != bytes)
    return AppendStatus::kWriteFailed;
  return status;
}

// kNothingWritten: the list was empty, so Block says nothing.
enum class BlockOutcome { kBlocked, kNothingWritten, kInterrupted };

// Appends the list and says what came of it. A write that broke off is
// undone by `putBack`, and `backup` goes only when that worked; a hosts
// file that cannot be opened keeps the attributes it had then.
template <typename PutBack>
BlockOutcome AppendList(const Services& services, const std::string& list, const std::string& bytes,
                        bool createIfMissing, PutBack putBack) {
  switch (AppendChecked(services, bytes, createIfMissing)) {
    case AppendStatus::kOk:
      HideFile(services.files, services.hostsPath);
      return list.empty() ? BlockOutcome::kNothingWritten : BlockOutcome::kBlocked;
    case AppendStatus::kOpenFailed:
      RemoveOurBackup(services);
      return BlockOutcome::kInterrupted;
    case AppendStatus::kWriteFailed:
      break;
  }
  if (putBack()) RemoveOurBackup(services);
  return BlockOutcome::kInterrupted;
}

// The list must start on a line of its own, not at the end of the user's
// last entry.
bool EndsWithLineBreakOrEmpty(const std::string& text) { return text.empty() || text.back() == '\n'; }

// From a state with a hosts file: save it to `backup`, then extend it. The
// saved copy is on disk before the hosts file is touched, and is made as a
// new file, never written through a name that appeared since the checks.
BlockOutcome ExtendHosts(const Services& services, const std::string& list, const std::string& original) {
  FileSystem& files = services.files;
  const bool lineBreakAdded = !list.empty() && !EndsWithLineBreakOrEmpty(original);
  UnhideFile(files, services.hostsPath);
  if (!services.userFiles->CreateNew(BackupPath(services), original, 0) ||
      !KeepRecord(services, original, lineBreakAdded)) {
    RemoveOurBackup(services);
    HideFile(files, services.hostsPath);
    return BlockOutcome::kInterrupted;
  }
  const std::string bytes = (lineBreakAdded ? "\r\n" : "") + HostsBytes(list);
  return AppendList(services, list, bytes, false, [&] {
    const bool putBack = ReplaceHosts(services, original);
    HideFile(files, services.hostsPath);
    return putBack;
  });
}

// From a state without a hosts file: the marker goes to `backup` first, so a
// hosts file is only ever created with its way back already on disk.
BlockOutcome CreateHosts(const Services& services, const std::string& list) {
  FileSystem& files = services.files;
  if (!services.userFiles->CreateNew(BackupPath(services), BackupMarker(), 0) ||
      !KeepRecord(services, BackupMarker(), false)) {
    RemoveOurBackup(services);
    return BlockOutcome::kInterrupted;
  }
  return AppendList(services, list, HostsBytes(list), true, [&] {
    return files.Look(services.hostsPath).kind == FileKind::kMissing || files.Remove(services.hostsPath);
  });
}

// A hosts file that changed must not be overruled by the system's cache of
// lookups.
void Tell(const Services& services, Window& owner, BlockOutcome outcome) {
  switch (outcome) {
    case BlockOutcome::kBlocked:
      services.dns.Flush();
      owner.ShowNotice(kBlocked);
      break;
    case BlockOutcome::kNothingWritten:
      break;
    case BlockOutcome::kInterrupted:
      owner.ShowWarning(kInterrupted);
      break;
  }
}

// What Block and Restore both start from: `backup` as it stands (no link,
// no second name) and the hosts file's bytes, or nothing when there is
// none. They use the program's folder as it was fixed at start, with the
// rights that folder needs; without either, with a `backup` that is not
// plain, or a hosts file that is there but cannot be read, they touch
// nothing and say why.
struct Start {
  FileFacts backup;
  std::optional<std::string> hosts;
};

std::optional<Start> Begin(const Services& services, Window& owner, const wchar_t* hostsUnreadable) {
  if (services.programDirectory.empty() || !services.userFiles) {
    owner.ShowWarning(services.programDirectory.empty() ? kNoProgramFolder : kNoUserRights);
    return std::nullopt;
  }
  Start start{services.userFiles->Look(BackupPath(services)), std::nullopt};
  if (!start.backup.plain) {
    owner.ShowWarning(kNotPlainFile);
    return std::nullopt;
  }
  ReadResult read = services.files.ReadWhole(services.hostsPath, kHostsSizeLimit, Names::kAny);
  if (read.status == ReadStatus::kOk) {
    start.hosts = std::move(read.bytes);
  } else if (read.status != ReadStatus::kMissing) {
    owner.ShowWarning(hostsUnreadable);
    return std::nullopt;
  }
  return start;
}

// What an existing `backup` says about a hosts file without Block's
// section: blocked before the section was marked, or a copy no one can
// vouch for. Either way Block adds nothing.
void RefuseOverBackup(const Services& services, Window& owner, const std::optional<std::string>& hosts) {
  const ReadResult saved = services.userFiles->ReadWhole(BackupPath(services), kHostsSizeLimit, Names::kOneOnly);
  if (saved.status == ReadStatus::kNotPlain) {
    owner.ShowWarning(kNotPlainFile);
  } else if (saved.status == ReadStatus::kOk && IsOurBackup(services, hosts, saved.bytes)) {
    owner.ShowWarning(kAlreadyBlocked);
  } else {
    owner.ShowWarning(kBackupUntrusted);
  }
}

}  // namespace

// The files beside the program are in a folder the user can write. A link
// or a second name there could make the program read or write someone
// else's file with administrator rights, so it refuses and touches nothing;
// core.dat's own read makes the same check. A hosts file that holds Block's
// section is blocked already, whatever `backup` says.
void Block(const Services& services, Window& owner) {
  const std::optional<Start> start = Begin(services, owner, kInterrupted);
  if (!start) return;
  const std::optional<std::string>& hosts = start->hosts;
  if (hosts && HasSection(*hosts)) {
    owner.ShowWarning(kAlreadyBlocked);
    return;
  }
  if (!hosts) {
    RemoveOurBackup(services);  // stale, as a Reset leaves it
  } else if (start->backup.kind != FileKind::kMissing) {
    RefuseOverBackup(services, owner, hosts);
    return;
  }
  std::optional<std::string> list = LoadBlockList(services, owner);
  if (!list) return;
  Tell(services, owner, hosts ? ExtendHosts(services, *list, *hosts) : CreateHosts(services, *list));
}

// Restore takes out of the hosts file what Block added and keeps every
// other byte, whatever other programs wrote since. Only where Block's
// section is gone (a Reset, a hosts file replaced since) does `backup` come
// back whole, and then only a `backup` that can be vouched for. It goes,
// with its record, only once the hosts file is what it stood for; a folder
// in its place stays, since taking the section out needs no `backup`.
void Restore(const Services& services, Window& owner) {
  const std::optional<Start> start = Begin(services, owner, kRestoreFailed);
  if (!start) return;
  const std::wstring backup = BackupPath(services);
  const FileFacts& facts = start->backup;
  const std::optional<std::string>& hosts = start->hosts;
  const bool sectionThere = hosts && HasSection(*hosts);
  if (!sectionThere && facts.kind == FileKind::kMissing) {
    owner.ShowNotice(kAlreadyRestored);
    return;
  }
  ReadResult saved = facts.kind == FileKind::kFile
                         ? services.userFiles->ReadWhole(backup, kHostsSizeLimit, Names::kOneOnly)
                         : ReadResult{ReadStatus::kOpenFailed, {}};
  if (saved.status == ReadStatus::kNotPlain) {
    owner.ShowWarning(kNotPlainFile);
    return;
  }
  std::string restored;
  if (sectionThere) {
    const std::optional<BackupRecord> record = ReadRecord(services);
    restored = WithoutSections(*hosts, record && record->lineBreakAdded);
    // A hosts file Block made, with nothing added since, goes back to the
    // marker that stood for its absence, as Restore always gave.
    if (restored.empty() && saved.status == ReadStatus::kOk && saved.bytes == BackupMarker()) restored = saved.bytes;
  } else if (saved.status != ReadStatus::kOk) {
    owner.ShowWarning(kRestoreFailed);
    return;
  } else if (!IsOurBackup(services, hosts, saved.bytes)) {
    owner.ShowWarning(kBackupUntrusted);
    return;
  } else {
    restored = std::move(saved.bytes);
  }
  UnhideFile(services.files, services.hostsPath);
  const bool replaced = ReplaceHosts(services, restored);
  HideFile(services.files, services.hostsPath);
  if (replaced) services.dns.Flush();
  if (!replaced || (facts.kind == FileKind::kFile && !services.userFiles->Remove(backup))) {
    owner.ShowWarning(kRestoreFailed);
    return;
  }
  services.files.Remove(RecordPath(services));
  owner.ShowNotice(kRestored);
}

void Reset(const Services& services, Window& owner) {
  const FileFacts hosts = services.files.Look(services.hostsPath);
  if (hosts.kind != FileKind::kMissing) {
    if (hosts.kind != FileKind::kFile || !services.files.Remove(services.hostsPath)) {
      owner.ShowWarning(kResetFailed);
      return;
    }
    services.dns.Flush();
  }
  owner.ShowNotice(kReset);
}

}  // namespace quietreel
