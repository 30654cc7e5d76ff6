#include "base/Path.h"

namespace quietreel {
namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

wchar_t FoldAscii(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

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

// Only a plain drive path ("C:\a\b") can be compared name by name: "..",
// ".", doubled or forward separators and device prefixes could make a path
// that starts like the folder lead elsewhere.
bool IsPlainDrivePath(const std::wstring& path) {
  if (path.size() < 3 || path[1] != L':' || path[2] != L'\\') return false;
  std::size_t start = 3;
  while (start < path.size()) {
    std::size_t end = path.find(L'\\', start);
    if (end == std::wstring::npos) end = path.size();
    const std::wstring part = path.substr(start, end - start);
    if (part.empty() || part == L"." || part == L".." || part.find(L'/') != std::wstring::npos) return false;
    start = end + 1;
  }
  return true;
}

}  // namespace

std::wstring JoinPath(const std::wstring& directory, const std::wstring& name) { return directory + L'\\' + name; }

// A drive's root "C:\" becomes "C:", which names the drive's current folder
// to Windows: no walk is ever given one (IsVolumeRoot refuses both).
std::wstring WithoutTrailingSeparators(std::wstring path) {
  while (!path.empty() && IsSeparator(path.back())) path.pop_back();
  return path;
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

// True when `path` is `folder` itself or lies below it, both plain drive
// paths. Anything that cannot be judged name by name is outside.
bool IsInsideFolder(const std::wstring& folder, const std::wstring& path) {
  const std::wstring base = WithoutTrailingSeparators(folder);
  if (!IsPlainDrivePath(base) || !IsPlainDrivePath(path) || path.size() < base.size()) return false;
  if (!SameNameIgnoringCase(base, path.substr(0, base.size()))) return false;
  return path.size() == base.size() || path[base.size()] == L'\\';
}

// "C:\a\b" gives "C:\a" and "C:\a\b": every folder a walk down to the path
// passes through, below the drive's root.
std::vector<std::wstring> FoldersAlong(const std::wstring& path) {
  std::vector<std::wstring> folders;
  for (std::size_t end = path.find(L'\\', 3); end != std::wstring::npos; end = path.find(L'\\', end + 1))
    folders.push_back(path.substr(0, end));
  if (path.size() > 3) folders.push_back(WithoutTrailingSeparators(path));
  return folders;
}

}  // namespace quietreel
