#include "repair/RepairPath.h"

#include <cstdint>

namespace quietreel {
namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

wchar_t FoldAscii(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

std::wstring WithoutTrailingSeparators(std::wstring path) {
  while (!path.empty() && IsSeparator(path.back())) path.pop_back();
  return path;
}

// "\\server\share" and "\\?\C:" name the top of a volume as much as "C:" does.
bool IsNetworkOrDeviceRoot(const std::wstring& trimmed) {
  if (trimmed.size() < 2 || !IsSeparator(trimmed[0]) || !IsSeparator(trimmed[1])) return false;
  std::size_t parts = 0;
  bool inPart = false;
  for (std::size_t i = 2; i < trimmed.size(); ++i) {
    bool separator = IsSeparator(trimmed[i]);
    if (!separator && !inPart) ++parts;
    inPart = !separator;
  }
  return parts <= 2;
}

}  // namespace

// One separator between the parts, whether or not the directory ends with one.
std::wstring JoinPath(const std::wstring& directory, const std::wstring& name) {
  if (!directory.empty() && IsSeparator(directory.back())) return directory + name;
  return directory + L'\\' + name;
}

// A longer path would be cut short by the platform, and a cut path names
// another file: such paths are skipped, never used.
bool FitsPlatform(const FileSystem& files, const std::wstring& path) {
  return Utf16Length(path) <= files.MaxPathLength();
}

// The comparison the C runtime makes in the "C" locale the program runs in:
// only the letters A-Z have a second case.
bool SameNameIgnoringCase(const std::wstring& left, const std::wstring& right) {
  if (left.size() != right.size()) return false;
  for (std::size_t i = 0; i < left.size(); ++i)
    if (FoldAscii(left[i]) != FoldAscii(right[i])) return false;
  return true;
}

// An empty path means the current drive's root to the file system, so it
// counts as a root too.
bool IsVolumeRoot(const std::wstring& path) {
  const std::wstring trimmed = WithoutTrailingSeparators(path);
  if (trimmed.empty()) return true;
  if (trimmed.size() == 2 && trimmed[1] == L':') return true;
  return IsNetworkOrDeviceRoot(trimmed);
}

}  // namespace quietreel
