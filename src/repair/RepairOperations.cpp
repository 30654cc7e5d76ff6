#include "repair/RepairOperations.h"

#include <optional>
#include <string>

#include "base/Path.h"
#include "repair/DirectoryPurge.h"
#include "repair/NamedEntrySearch.h"
#include "repair/UserDataFolders.h"

namespace quietreel {
namespace {

constexpr wchar_t kNothingToRepair[] = L"未出现过优酷黑屏问题！";
constexpr wchar_t kRepaired[] = L"恭喜您，黑屏问题解决成功，请重新打开浏览器观看，祝您愉快！";
constexpr wchar_t kRepairFailed[] = L"黑屏问题解决失败，请关闭浏览器及正在观看的视频后重试！";
constexpr wchar_t kFoldersUnsafe[] =
    L"浏览器数据文件夹不在当前用户的目录中，或其路径中有链接，为安全起见未删除任何文件！";
constexpr wchar_t kNoUserRights[] = L"无法以当前用户的权限运行，为安全起见未删除任何文件！";
constexpr wchar_t kHoldsUserData[] = L"浏览器缓存文件夹的设置指向了您的个人文件夹，为安全起见未删除任何文件！";
constexpr wchar_t kCleanupQuestion[] = L"删除临时文件需要一段时间，确定继续?";
constexpr wchar_t kCleanupCaption[] = L"提示";
constexpr wchar_t kCleaning[] = L"临时文件清理中，请您耐心等候...";
constexpr wchar_t kCleaned[] = L"删除临时文件成功！";
// Short enough for the status line with a count of six digits.
std::wstring CleaningProgress(std::size_t removed) {
  return L"临时文件清理中，已删除 " + std::to_wstring(removed) + L" 个文件...";
}
// The status line tells how far the cleanup has got every so many files;
// each update also lets the window take its messages.
constexpr std::size_t kFilesPerProgressUpdate = 64;

// kUnnamed: the system cannot name the folder, so there is nothing to do
// there. kUnsafe: it lies outside the user's profile, is not named by its
// own long names, or a link on its way leads elsewhere; deleting in it
// could reach files that are not the user's. kUserData: it is not the
// browser's cache, or it is, holds or lies in the user's own data.
enum class FolderState { kSafe, kUnnamed, kUnsafe, kUserData };

struct UserFolder {
  FolderState state;
  std::wstring path;
};

// The shell's folders come from settings the user can change. They are used
// only inside the profile the system records for the user, named by their
// own long names, only when no folder on the way down is a link, and never
// where the user keeps data; the cache only where it is the cache.
UserFolder CheckUserFolder(const Services& services, const std::wstring& path, bool cache) {
  FileSystem& files = *services.desktopUserFiles;
  std::optional<std::wstring> profile = services.folders.Path(KnownFolder::kProfile);
  if (!profile || !IsInsideFolder(*profile, path) || !IsOwnLongForm(path) || !FitsPlatform(files, path))
    return {FolderState::kUnsafe, path};
  for (const std::wstring& folder : FoldersAlong(path))
    if (!files.Look(folder).plain) return {FolderState::kUnsafe, path};
  if ((cache && !IsBrowserCacheFolder(path)) || ReachesUserData(services.folders, *profile, path))
    return {FolderState::kUserData, path};
  return {FolderState::kSafe, path};
}

UserFolder KnownUserFolder(const Services& services, KnownFolder folder, const wchar_t* below = nullptr) {
  std::optional<std::wstring> path = services.folders.Path(folder);
  if (!path || path->empty()) return {FolderState::kUnnamed, {}};
  return CheckUserFolder(services, below ? JoinPath(*path, below) : *path, folder == KnownFolder::kInternetCache);
}

UserFolder FlashSharedObjects(const Services& services) {
  return KnownUserFolder(services, KnownFolder::kAppData, kFlashSharedObjectsSubpath);
}

const wchar_t* Refusal(FolderState state) { return state == FolderState::kUserData ? kHoldsUserData : kFoldersUnsafe; }

bool Refused(FolderState state) { return state == FolderState::kUnsafe || state == FolderState::kUserData; }

// The player keeps its storage in a folder; a file there is the locked one
// an earlier repair left. False when it is neither, a link say.
bool RemoveVideoSiteStorage(FileSystem& files, const std::wstring& target) {
  const FileFacts facts = files.Look(target);
  if (!facts.plain) return false;
  if (facts.kind == FileKind::kDirectory) {
    PurgeDirectory(files, target);
  } else {
    files.Remove(target);
  }
  return true;
}

// The repairs delete inside the user's folders, which the user can change
// while they run. They act with the desktop user's own rights, so that
// whatever the folders lead to, nothing goes that the user could not
// delete. Without those rights (which the systems the program runs on do
// not refuse short of running out of memory) nothing runs: going on with
// an administrator's rights would drop that guard silently, on the very
// machine where something is already amiss.
bool HaveUserRights(const Services& services, Window& owner) {
  if (services.desktopUserFiles) return true;
  owner.ShowWarning(kNoUserRights);
  return false;
}

}  // namespace

// Puts an empty hidden, read-only, system file where the video site's Flash
// storage was, so the player cannot store anything for that host again.
// The file is made new with its attributes, so nothing that appeared at
// the name meanwhile is written through; success is told only when the
// file is really there.
void RepairSharedObject(const Services& services, Window& owner) {
  if (!HaveUserRights(services, owner)) return;
  FileSystem& files = *services.desktopUserFiles;
  const UserFolder sharedObjects = FlashSharedObjects(services);
  if (Refused(sharedObjects.state)) {
    owner.ShowWarning(Refusal(sharedObjects.state));
    return;
  }
  const std::wstring target = sharedObjects.state == FolderState::kSafe
                                  ? FindNamedEntry(files, sharedObjects.path, kVideoSiteStaticHost)
                                  : std::wstring();
  if (target.empty()) {
    owner.ShowNotice(kNothingToRepair);
    return;
  }
  if (!RemoveVideoSiteStorage(files, target)) {
    owner.ShowWarning(kFoldersUnsafe);
    return;
  }
  if (!files.CreateNew(target, std::string(), kHiddenReadOnlySystem)) {
    owner.ShowWarning(kRepairFailed);
    return;
  }
  owner.ShowNotice(kRepaired);
}

// Both folders are checked before anything goes: an unsafe one stops the
// whole cleanup. A folder the system cannot name is left out; the rest is
// still cleaned. The status line says how many files are gone so far.
void CleanTemporaryFiles(const Services& services, Window& owner) {
  if (!HaveUserRights(services, owner) || !owner.AskOkCancel(kCleanupQuestion, kCleanupCaption)) return;
  const UserFolder cache = KnownUserFolder(services, KnownFolder::kInternetCache);
  const UserFolder sharedObjects = FlashSharedObjects(services);
  for (const UserFolder* folder : {&cache, &sharedObjects}) {
    if (Refused(folder->state)) {
      owner.ShowWarning(Refusal(folder->state));
      return;
    }
  }
  owner.ShowStatus(kCleaning);
  std::size_t removed = 0;
  const PurgeProgress progress = [&owner, &removed] {
    if (++removed % kFilesPerProgressUpdate == 0) owner.ShowStatus(CleaningProgress(removed));
  };
  for (const UserFolder* folder : {&cache, &sharedObjects})
    if (folder->state == FolderState::kSafe) PurgeDirectory(*services.desktopUserFiles, folder->path, progress);
  owner.ShowNotice(kCleaned);
  owner.ShowStatus(std::wstring());
}

}  // namespace quietreel
