#pragma once

#include <optional>
#include <string>

namespace quietreel {

// kProfile is the profile folder the system records for the user the
// process runs as, not what the environment claims.
enum class KnownFolder { kAppData, kInternetCache, kProfile };

class KnownFolders {
 public:
  virtual ~KnownFolders() = default;
  // The folder's path without a trailing separator, or nothing when the
  // system cannot name it.
  virtual std::optional<std::wstring> Path(KnownFolder folder) = 0;
};

}  // namespace quietreel
