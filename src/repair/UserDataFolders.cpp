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

}  // namespace quietreel
