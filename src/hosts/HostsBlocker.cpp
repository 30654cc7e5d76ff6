#include "hosts/HostsBlocker.h"

#include <string>

#include "base/Brand.h"
#include "base/Path.h"
#include "hosts/BlockListFile.h"
#include "hosts/HostsMessages.h"
#include "hosts/HostsPaths.h"
#include "hosts/LockedFile.h"

namespace quietreel {
namespace {

// A hosts file larger than this is not one the program can save and put
// back in one piece.
constexpr std::size_t kHostsSizeLimit = 64u << 20;

// Stands in `backup` for a hosts file that did not exist before blocking.
std::string BackupMarker() {
  std::string marker = std::string("Brassfen\r\n") + kMakerHostName + "\r\nAny problem contact us!";
  marker += '\0';
  return marker;
}

std::wstring BackupPath(const Services& services) { return JoinPath(services.programDirectory, kBackupFileName); }

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
// name since is left alone.
void RemoveOurBackup(const Services& services) {
  const std::wstring backup = BackupPath(services);
  const FileFacts facts = services.files.Look(backup);
  if (facts.kind == FileKind::kFile && facts.plain) services.files.Remove(backup);
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
BlockOutcome ExtendHosts(const Services& services, const std::string& list) {
  FileSystem& files = services.files;
  UnhideFile(files, services.hostsPath);
  ReadResult original = files.ReadWhole(services.hostsPath, kHostsSizeLimit, Names::kAny);
  if (original.status != ReadStatus::kOk || !files.CreateNew(BackupPath(services), original.bytes, 0)) {
    RemoveOurBackup(services);
    HideFile(files, services.hostsPath);
    return BlockOutcome::kInterrupted;
  }
  std::string bytes = HostsBytes(list);
  if (!list.empty() && !EndsWithLineBreakOrEmpty(original.bytes)) bytes.insert(0, "\r\n");
  return AppendList(services, list, bytes, false, [&] {
    const bool putBack = ReplaceHosts(services, original.bytes);
    HideFile(files, services.hostsPath);
    return putBack;
  });
}

// From a state without a hosts file: the marker goes to `backup` first, so a
// hosts file is only ever created with its way back already on disk.
BlockOutcome CreateHosts(const Services& services, const std::string& list) {
  FileSystem& files = services.files;
  if (!files.CreateNew(BackupPath(services), BackupMarker(), 0)) {
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

}  // namespace

// The files beside the program are in a folder the user can write. A link
// or a second name there could make the program read or write someone
// else's file with administrator rights, so it refuses and touches nothing;
// core.dat's own read makes the same check.
void Block(const Services& services, Window& owner) {
  FileSystem& files = services.files;
  const FileFacts backup = files.Look(BackupPath(services));
  const FileFacts hosts = files.Look(services.hostsPath);
  if (!backup.plain) {
    owner.ShowWarning(kNotPlainFile);
    return;
  }
  if (hosts.kind == FileKind::kMissing) {
    if (backup.kind == FileKind::kFile) files.Remove(BackupPath(services));
  } else if (backup.kind != FileKind::kMissing) {
    owner.ShowWarning(kAlreadyBlocked);
    return;
  }
  std::optional<std::string> list = LoadBlockList(services, owner);
  if (!list) return;
  if (hosts.kind == FileKind::kUnknown) {
    owner.ShowWarning(kInterrupted);
    return;
  }
  Tell(services, owner, hosts.kind == FileKind::kMissing ? CreateHosts(services, *list) : ExtendHosts(services, *list));
}

// `backup` is read through a handle checked to be a plain file with one
// name, and goes only once its bytes are the hosts file.
void Restore(const Services& services, Window& owner) {
  const std::wstring backup = BackupPath(services);
  const FileFacts facts = services.files.Look(backup);
  if (facts.kind == FileKind::kMissing) {
    owner.ShowNotice(kAlreadyRestored);
    return;
  }
  ReadResult saved = facts.plain ? services.files.ReadWhole(backup, kHostsSizeLimit, Names::kOneOnly)
                                 : ReadResult{ReadStatus::kNotPlain, {}};
  if (saved.status == ReadStatus::kNotPlain) {
    owner.ShowWarning(kNotPlainFile);
    return;
  }
  UnhideFile(services.files, services.hostsPath);
  const bool restored = saved.status == ReadStatus::kOk && ReplaceHosts(services, saved.bytes);
  HideFile(services.files, services.hostsPath);
  if (restored) services.dns.Flush();
  if (!restored || !services.files.Remove(backup)) {
    owner.ShowWarning(kRestoreFailed);
    return;
  }
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
