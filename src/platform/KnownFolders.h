#pragma once

#include <optional>
#include <string>

namespace quietreel {

// kProfile is the profile folder the system records for the user the
// process runs as, not what the environment claims. The rest are the
// shell's folders, which come from settings the user can change.
enum class KnownFolder {
  kAppData,
  kInternetCache,
  kProfile,
  // The user's own data; only ever asked so that no purge reaches it.
  kLocalAppData,
  kDocuments,
  kDesktop,
  kDownloads,
  kPictures,
  kMusic,
  kVideos,
  kFavorites,
  kContacts,
  kSavedGames,
};

class KnownFolders {
 public:
  virtual ~KnownFolders() = default;
  // The folder's path without a trailing separator, or nothing when the
  // system cannot name it.
  virtual std::optional<std::wstring> Path(KnownFolder folder) = 0;
};

}  // namespace quietreel
