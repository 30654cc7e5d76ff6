#include "repair/UserDataFolders.h"

#include <optional>
#include <vector>

#include "base/Path.h"

namespace quietreel {
namespace {

// Where the user keeps files of their own: nothing in them is a cache.
constexpr KnownFolder kDocumentFolders[] = {
    KnownFolder::kDocuments, KnownFolder::kDesktop,  KnownFolder::kDownloads,
    KnownFolder::kPictures,  KnownFolder::kMusic,    KnownFolder::kVideos,
    KnownFolder::kFavorites, KnownFolder::kContacts, KnownFolder::kSavedGames,
};
// Their usual places in the profile (Vista on, and XP's), which count even
// when the settings that name them have been pointed elsewhere.
constexpr const wchar_t* kUsualDocumentFolders[] = {
    L"Documents", L"My Documents", L"Desktop",  L"Downloads",   L"Pictures", L"Music",
    L"Videos",    L"Favorites",    L"Contacts", L"Saved Games", L"Links",    L"Searches",
};
// The application-data roots hold the caches, so a folder inside them may
// be purged; the roots themselves, and anything that holds them, may not.
constexpr KnownFolder kDataRoots[] = {KnownFolder::kAppData, KnownFolder::kLocalAppData};
constexpr const wchar_t* kUsualDataRoots[] = {
    L"AppData",
    L"AppData\\Roaming",
    L"AppData\\Local",
    L"AppData\\LocalLow",
    L"Application Data",
    L"Local Settings",
    L"Local Settings\\Application Data",
};

template <typename Known, typename Usual>
std::vector<std::wstring> FoldersOf(KnownFolders& folders, const std::wstring& profile, const Known& known,
                                    const Usual& usual) {
  std::vector<std::wstring> paths;
  for (KnownFolder folder : known) {
    std::optional<std::wstring> path = folders.Path(folder);
    if (path && !path->empty()) paths.push_back(WithoutTrailingSeparators(*path));
  }
  for (const wchar_t* name : usual) paths.push_back(JoinPath(profile, name));
  return paths;
}

}  // namespace

// True when purging `folder` could delete the user's own files: it is,
// holds or lies inside a document folder, or is or holds an
// application-data root. The profile holds them all.
bool ReachesUserData(KnownFolders& folders, const std::wstring& profile, const std::wstring& folder) {
  for (const std::wstring& documents : FoldersOf(folders, profile, kDocumentFolders, kUsualDocumentFolders))
    if (IsInsideFolder(folder, documents) || IsInsideFolder(documents, folder)) return true;
  for (const std::wstring& root : FoldersOf(folders, profile, kDataRoots, kUsualDataRoots))
    if (IsInsideFolder(folder, root)) return true;
  return false;
}

// Windows also finds a folder by names that are not its own: with a
// trailing dot or space (which it drops), with a stream after a colon
// (`::$INDEX_ALLOCATION` names the folder itself) or by its 8.3 short name
// (MYDOCU~1). By their text none of them lies in the folder they name, and
// XP has no final paths to compare instead, so only a path written in its
// own long names is judged at all. A long name may hold "~1" too; a folder
// of such a name is refused all the same.
bool IsOwnLongForm(const std::wstring& path) {
  if (path.find(L':', 2) != std::wstring::npos) return false;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find(L'\\', start);
    if (end == std::wstring::npos) end = path.size();
    const std::wstring name = path.substr(start, end - start);
    if (!name.empty() && (name.back() == L'.' || name.back() == L' ')) return false;
    for (std::size_t i = 0; i + 1 < name.size(); ++i)
      if (name[i] == L'~' && name[i + 1] >= L'0' && name[i + 1] <= L'9') return false;
    start = end + 1;
  }
  return true;
}

// The browser's cache keeps to a place of its own: below the local
// application data, `Microsoft\Windows\Temporary Internet Files` (Vista, 7)
// or `Microsoft\Windows\INetCache` (8 on); XP's is the profile's `Local
// Settings\Temporary Internet Files`; and Internet Options' "Move folder"
// makes one of that name inside the folder chosen. Every one of them ends
// in one of the two names, and a folder of any other name is not the cache,
// whatever the setting says: emptying it loses the user's files.
bool IsBrowserCacheFolder(const std::wstring& folder) {
  const std::wstring path = WithoutTrailingSeparators(folder);
  const std::wstring name = path.substr(path.find_last_of(L"\\/") + 1);
  return SameNameIgnoringCase(name, L"INetCache") || SameNameIgnoringCase(name, L"Temporary Internet Files");
}

}  // namespace quietreel
