#include "hosts/HostsBlocker.h"

#include <string>

#include "base/Brand.h"
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

std::wstring BackupPath(const Services& services) { return services.programDirectory + kBackupFileName; }
std::wstring BlockListPath(const Services& services) { return services.programDirectory + kBlockListFileName; }

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

// The files beside the program are in a folder the user can write. A link
// or a second name there could make the program read or write someone
// else's file with administrator rights, so it refuses and touches nothing.
bool BesideProgramArePlain(const Services& services) {
  return services.files.Kind(BackupPath(services)) != FileKind::kOther &&
         services.files.Kind(BlockListPath(services)) != FileKind::kOther;
}

// A `backup` the program made is a plain file; anything else that took the
// name since is left alone.
void RemoveOurBackup(const Services& services) {
  if (services.files.Kind(BackupPath(services)) == FileKind::kFile) services.files.Remove(BackupPath(services));
}

// The hosts file becomes `bytes` in one step: they are written beside it,
// on disk, and renamed over it, so it is whole at every moment.
bool ReplaceHosts(const Services& services, const std::string& bytes) {
  const std::wstring scratch = services.hostsPath + kScratchSuffix;
  RemoveClearingReadOnly(services.files, scratch);  // left by a run the power cut short
  const bool replaced =
      services.files.CreateNew(scratch, bytes, 0) && services.files.MoveReplacing(scratch, services.hostsPath);
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

// Tells the outcome of an append that worked or never began, and says
// whether it broke off instead, leaving the caller to undo it. A hosts file
// that changed must not be overruled by the system's cache of lookups.
bool BrokeOff(const Services& services, Window& owner, const std::string& list, AppendStatus status) {
  switch (status) {
    case AppendStatus::kOk:
      if (!list.empty()) {
        services.dns.Flush();
        owner.ShowNotice(kBlocked);
      }
      HideFile(services.files, services.hostsPath);
      return false;
    case AppendStatus::kOpenFailed:
      owner.ShowWarning(kInterrupted);
      RemoveOurBackup(services);
      return false;
    case AppendStatus::kWriteFailed:
      break;
  }
  return true;
}

// The list must start on a line of its own, not at the end of the user's
// last entry.
bool EndsWithLineBreakOrEmpty(const std::string& text) { return text.empty() || text.back() == '\n'; }

// From a state with a hosts file: save it to `backup`, then extend it. The
// saved copy is on disk before the hosts file is touched, and is made as a
// new file, never written through a name that appeared since the checks.
// A write that breaks off puts the hosts file back; `backup` stays unless
// that worked.
void ExtendHosts(const Services& services, Window& owner, const std::string& list) {
  FileSystem& files = services.files;
  UnhideFile(files, services.hostsPath);
  ReadResult original = files.ReadWhole(services.hostsPath, kHostsSizeLimit, Names::kAny);
  if (original.status != ReadStatus::kOk || !files.CreateNew(BackupPath(services), original.bytes, 0)) {
    RemoveOurBackup(services);
    HideFile(files, services.hostsPath);
    owner.ShowWarning(kInterrupted);
    return;
  }
  std::string bytes = HostsBytes(list);
  if (!list.empty() && !EndsWithLineBreakOrEmpty(original.bytes)) bytes.insert(0, "\r\n");
  if (!BrokeOff(services, owner, list, AppendChecked(services, bytes, false))) return;
  if (ReplaceHosts(services, original.bytes)) RemoveOurBackup(services);
  HideFile(files, services.hostsPath);
  owner.ShowWarning(kInterrupted);
}

// From a state without a hosts file: the marker goes to `backup` first, so a
// hosts file is only ever created with its way back already on disk.
void CreateHosts(const Services& services, Window& owner, const std::string& list) {
  FileSystem& files = services.files;
  if (!files.CreateNew(BackupPath(services), BackupMarker(), 0)) {
    RemoveOurBackup(services);
    owner.ShowWarning(kInterrupted);
    return;
  }
  if (!BrokeOff(services, owner, list, AppendChecked(services, HostsBytes(list), true))) return;
  if (!files.Exists(services.hostsPath) || files.Remove(services.hostsPath)) RemoveOurBackup(services);
  owner.ShowWarning(kInterrupted);
}

}  // namespace

void Block(const Services& services, Window& owner) {
  if (!BesideProgramArePlain(services)) {
    owner.ShowWarning(kNotPlainFile);
    return;
  }
  if (!services.files.Exists(services.hostsPath)) {
    services.files.Remove(BackupPath(services));
  } else if (services.files.Exists(BackupPath(services))) {
    owner.ShowWarning(kAlreadyBlocked);
    return;
  }
  if (!services.files.Exists(BlockListPath(services))) {
    owner.ShowWarning(kNoBlockList);
    return;
  }
  std::optional<std::string> list = LoadBlockList(services, owner);
  if (!list) return;
  if (services.files.Exists(services.hostsPath)) {
    ExtendHosts(services, owner, *list);
  } else {
    CreateHosts(services, owner, *list);
  }
}

// `backup` is read through a handle checked to be a plain file with one
// name, and goes only once its bytes are the hosts file.
void Restore(const Services& services, Window& owner) {
  const std::wstring backup = BackupPath(services);
  if (!services.files.Exists(backup)) {
    owner.ShowNotice(kAlreadyRestored);
    return;
  }
  ReadResult saved = services.files.Kind(backup) == FileKind::kOther
                         ? ReadResult{ReadStatus::kNotPlain, {}}
                         : services.files.ReadWhole(backup, kHostsSizeLimit, Names::kOneOnly);
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
  if (services.files.Exists(services.hostsPath)) {
    UnhideFile(services.files, services.hostsPath);
    if (!services.files.Remove(services.hostsPath)) {
      HideFile(services.files, services.hostsPath);
      owner.ShowWarning(kResetFailed);
      return;
    }
    services.dns.Flush();
  }
  owner.ShowNotice(kReset);
}

}  // namespace quietreel
