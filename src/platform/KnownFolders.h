#pragma once

#include <optional>
#include <string>

namespace quietreel {

enum class KnownFolder { kAppData, kInternetCache };

class KnownFolders {
 public:
  virtual ~KnownFolders() = default;
  // The folder's path without a trailing separator, or nothing when the
  // shell cannot name it.
  virtual std::optional<std::wstring> Path(KnownFolder folder) = 0;
};

}  // namespace quietreel
