#include "repair/RepairOperations.h"

#include <optional>
#include <string>

#include "hosts/AttribRunner.h"
#include "repair/DirectoryPurge.h"
#include "repair/NamedEntrySearch.h"
#include "repair/RepairPath.h"

namespace quietreel {
namespace {

constexpr wchar_t kNothingToRepair[] = L"未出现过优酷黑屏问题！";
constexpr wchar_t kRepaired[] = L"恭喜您，黑屏问题解决成功，请重新打开浏览器观看，祝您愉快！";
constexpr wchar_t kRepairFailed[] = L"黑屏问题解决失败，请关闭浏览器及正在观看的视频后重试！";
constexpr wchar_t kCleanupQuestion[] = L"删除临时文件需要一段时间，确定继续?";
constexpr wchar_t kCleanupCaption[] = L"提示";
constexpr wchar_t kCleaning[] = L"临时文件清理中，请您耐心等候...";
constexpr wchar_t kCleaned[] = L"删除临时文件成功！";

// Nothing when the shell cannot name the folder: an empty path would stand
// for the root of the current drive.
std::optional<std::wstring> KnownFolderPath(const Services& services, KnownFolder folder) {
  std::optional<std::wstring> path = services.folders.Path(folder);
  if (!path || path->empty() || !FitsPlatform(services.files, *path)) return std::nullopt;
  return path;
}

std::optional<std::wstring> FlashSharedObjectsDir(const Services& services) {
  std::optional<std::wstring> appData = KnownFolderPath(services, KnownFolder::kAppData);
  if (!appData) return std::nullopt;
  std::wstring directory = JoinPath(*appData, kFlashSharedObjectsSubpath);
  if (!FitsPlatform(services.files, directory)) return std::nullopt;
  return directory;
}

std::wstring FindVideoSiteStorage(const Services& services) {
  std::optional<std::wstring> sharedObjects = FlashSharedObjectsDir(services);
  if (!sharedObjects) return std::wstring();
  return FindNamedEntry(services.files, *sharedObjects + L"\\", kVideoSiteStaticHost);
}

// The player keeps its storage in a folder; a file there is the locked one
// an earlier repair left. When the runner could not take the read-only bit
// off (the command was refused, or the interpreter's attrib ignored it), it
// is taken off directly so the old file can still go.
void RemoveVideoSiteStorage(const Services& services, const std::wstring& target) {
  if (!services.files.OpensAsFile(target)) {
    PurgeDirectory(services.files, target);
    return;
  }
  RunPathAttrib(services.commands, services.codePage, target, kAttribUnhide);
  std::optional<std::uint32_t> attributes = services.files.Attributes(target);
  if (attributes && (*attributes & kAttributeReadOnly))
    services.files.SetAttributes(target, *attributes & ~kAttributeReadOnly);
  services.files.Remove(target);
}

}  // namespace

// Puts an empty hidden, read-only, system file where the video site's Flash
// storage was, so the player cannot store anything for that host again.
// Success is told only when the file is really there.
void RepairSharedObject(const Services& services, Window& owner) {
  const std::wstring target = FindVideoSiteStorage(services);
  if (target.empty()) {
    owner.ShowNotice(kNothingToRepair);
    return;
  }
  RemoveVideoSiteStorage(services, target);
  if (!services.files.CreateWithBytes(target, std::string())) {
    owner.ShowWarning(kRepairFailed);
    return;
  }
  RunPathAttrib(services.commands, services.codePage, target, kAttribHide);
  owner.ShowNotice(kRepaired);
}

// The status line is painted before the purges, which keep the thread busy
// and the window unpainted until they end. A folder the shell cannot name is
// left out; the rest is still cleaned.
void CleanTemporaryFiles(const Services& services, Window& owner) {
  if (!owner.AskOkCancel(kCleanupQuestion, kCleanupCaption)) return;
  owner.ShowStatus(kCleaning);
  const std::optional<std::wstring> cache = KnownFolderPath(services, KnownFolder::kInternetCache);
  const std::optional<std::wstring> sharedObjects = FlashSharedObjectsDir(services);
  if (cache) PurgeDirectory(services.files, *cache);
  if (sharedObjects) PurgeDirectory(services.files, *sharedObjects);
  owner.ShowNotice(kCleaned);
  owner.ShowStatus(std::wstring());
}

}  // namespace quietreel
