#include "hosts/HostsBlocker.h"

#include <algorithm>
#include <string>
#include <utility>

#include "common/Brand.h"
#include "hosts/AttribRunner.h"
#include "hosts/BlockListCodec.h"
#include "hosts/BlockListFile.h"
#include "hosts/HostsPaths.h"

namespace quietreel {
namespace {

constexpr wchar_t kAlreadyBlocked[] = L"广告已经屏蔽！";
constexpr wchar_t kNoBlockList[] = L"数据文件不存存，屏蔽失败！";
constexpr wchar_t kInterrupted[] = L"操作过当中被中断，请检查是否有权限创建文件！";
constexpr wchar_t kBlocked[] = L"恭喜您，屏蔽广告成功，请重启浏览器查看效果！！";
constexpr wchar_t kAlreadyRestored[] = L"广告已经恢复，感谢使用！";
constexpr wchar_t kRestored[] = L"解除广告屏蔽成功，请重启浏览器查看效果！";
constexpr wchar_t kRestoreFailed[] = L"恢复失败，请检查是否有权限修改文件！";
constexpr wchar_t kReset[] = L"重置成功，请按帮助说明里步骤重新屏蔽广告！";
constexpr wchar_t kResetFailed[] = L"重置失败，请检查是否有权限修改文件！";

// Stands in `backup` for a hosts file that did not exist before blocking.
std::string BackupMarker() {
  std::string marker = std::string("Brassfen\r\n") + kMakerHostName + "\r\nAny problem contact us!";
  marker += '\0';
  return marker;
}

std::wstring BackupPath(const Services& services) { return services.programDirectory + kBackupFileName; }

// The decoded list as the bytes that go into the hosts file: up to its first
// zero character, in the ANSI code page, with LF written as CR LF the way a
// text-mode stream writes it. The wide text is cut in place and let go
// before the line ends are expanded, so no step holds two copies of it.
std::string HostsBytes(const Services& services, std::wstring decoded) {
  decoded.resize(std::min(decoded.size(), decoded.find(L'\0')));
  std::string ansi = services.codePage.ToAnsi(decoded);
  decoded = std::wstring();
  std::string bytes;
  bytes.reserve(ansi.size() + ansi.size() / 8);
  for (char c : ansi) {
    if (c == '\n') bytes += '\r';
    bytes += c;
  }
  return bytes;
}

std::optional<std::string> LoadListBytes(const Services& services, Window& owner) {
  std::optional<std::string> scrambled = LoadBlockList(services, owner);
  if (!scrambled) return std::nullopt;
  std::wstring decoded = DecodeBlockList(kBlockListBaseChar, *scrambled, kBlockListSeed);
  scrambled.reset();
  return HostsBytes(services, std::move(decoded));
}

// The list must start on a line of its own, not at the end of the user's
// last entry. When the end cannot be read, a blank line is the safe guess.
bool EndsWithLineBreakOrEmpty(const std::optional<std::string>& tail) {
  return tail && (tail->empty() || tail->back() == '\n');
}

enum class HostsOrigin { kExisting, kCreated };

// Writes `bytes` (the list, maybe after a line break) to the hosts file, with
// `backup` already in place, and tells the outcome. When the write breaks off
// halfway, the hosts file is put back as it was; `backup` stays unless that
// worked, and a copy counts as worked only once it is on disk.
void AppendList(const Services& services, Window& owner, const std::string& list, const std::string& bytes,
                HostsOrigin origin) {
  const std::wstring backup = BackupPath(services);
  const bool existing = origin == HostsOrigin::kExisting;
  switch (services.files.Append(kHostsPath, bytes, !existing)) {
    case AppendStatus::kOk:
      if (!list.empty()) owner.ShowNotice(kBlocked);
      RunHostsAttrib(services.commands, kAttribHide);
      return;
    case AppendStatus::kOpenFailed:
      owner.ShowWarning(kInterrupted);
      services.files.Remove(backup);
      return;
    case AppendStatus::kWriteFailed: {
      bool undone = existing ? services.files.Copy(backup, kHostsPath) : services.files.Remove(kHostsPath);
      if (undone) services.files.Remove(backup);
      if (existing) RunHostsAttrib(services.commands, kAttribHide);
      owner.ShowWarning(kInterrupted);
      return;
    }
  }
}

// From a state with a hosts file: save it to `backup`, then extend it. The
// user's entries are never left without a saved copy: Copy returns once the
// copy is on disk, so a power cut after the append cannot leave an empty
// `backup` for the next Restore to put over the hosts file.
void ExtendHosts(const Services& services, Window& owner, const std::string& list) {
  const std::wstring backup = BackupPath(services);
  RunHostsAttrib(services.commands, kAttribUnhide);
  if (!services.files.Copy(kHostsPath, backup)) {
    services.files.Remove(backup);
    RunHostsAttrib(services.commands, kAttribHide);
    owner.ShowWarning(kInterrupted);
    return;
  }
  // The copy took the hosts file's attributes, and read-only stays on when
  // `attrib` could not take it off: `backup` could then never be deleted,
  // and Block and Restore would fail on it for good. It is our own file.
  services.files.SetAttributes(backup, 0);
  std::string bytes = list;
  if (!list.empty() && !EndsWithLineBreakOrEmpty(services.files.ReadTail(kHostsPath, 1))) bytes.insert(0, "\r\n");
  AppendList(services, owner, list, bytes, HostsOrigin::kExisting);
}

// From a state without a hosts file: the marker goes to `backup` first, so a
// hosts file is only ever created with its way back already on disk.
void CreateHosts(const Services& services, Window& owner, const std::string& list) {
  const std::wstring backup = BackupPath(services);
  if (!services.files.CreateWithBytes(backup, BackupMarker())) {
    services.files.Remove(backup);
    owner.ShowWarning(kInterrupted);
    return;
  }
  AppendList(services, owner, list, list, HostsOrigin::kCreated);
}

}  // namespace

void Block(const Services& services, Window& owner) {
  if (!services.files.Exists(kHostsPath)) {
    services.files.Remove(BackupPath(services));
  } else if (services.files.Exists(BackupPath(services))) {
    owner.ShowWarning(kAlreadyBlocked);
    return;
  }
  if (!services.files.Exists(services.programDirectory + kBlockListFileName)) {
    owner.ShowWarning(kNoBlockList);
    return;
  }
  std::optional<std::string> list = LoadListBytes(services, owner);
  if (!list) return;
  if (services.files.Exists(kHostsPath)) {
    ExtendHosts(services, owner, *list);
  } else {
    CreateHosts(services, owner, *list);
  }
}

// The saved copy is written beside the hosts file and then renamed over it,
// so the hosts file is whole at every moment, and `backup` goes only once
// the copy is in. The copy is on disk before the rename: otherwise a power
// cut could leave the renamed file empty with `backup` already gone.
void Restore(const Services& services, Window& owner) {
  const std::wstring backup = BackupPath(services);
  if (!services.files.Exists(backup)) {
    owner.ShowNotice(kAlreadyRestored);
    return;
  }
  RunHostsAttrib(services.commands, kAttribUnhide);
  bool copied = services.files.Copy(backup, kRestoreScratchPath) &&
                services.files.MoveReplacing(kRestoreScratchPath, kHostsPath);
  if (!copied) services.files.Remove(kRestoreScratchPath);
  RunHostsAttrib(services.commands, kAttribHide);
  if (!copied || !services.files.Remove(backup)) {
    owner.ShowWarning(kRestoreFailed);
    return;
  }
  owner.ShowNotice(kRestored);
}

void Reset(const Services& services, Window& owner) {
  if (services.files.Exists(kHostsPath)) {
    RunHostsAttrib(services.commands, kAttribUnhide);
    if (!services.files.Remove(kHostsPath)) {
      RunHostsAttrib(services.commands, kAttribHide);
      owner.ShowWarning(kResetFailed);
      return;
    }
  }
  owner.ShowNotice(kReset);
}

}  // namespace quietreel
