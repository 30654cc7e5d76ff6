// The named-entry search and the purge over fuzzed trees on the fake Windows:
// the search returns what a plain two-pass reference finds, and the purge
// removes everything it may below its root and touches nothing outside it,
// whatever links, locks, attributes and over-long paths the tree holds.
//
// Input: one control byte (bit 0 the search start ends with a backslash,
// bit 1 the root is itself a link to a folder outside it, bits 2-7 the number
// of the platform call that fails during the purge, 0 for none), then
// three-byte steps that build the tree: [kind, where, what].
#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "fake/FakeWindows.h"
#include "repair/DirectoryPurge.h"
#include "repair/NamedEntrySearch.h"

namespace {

using quietreel::FileEntry;
using quietreel::fake::FakeWindows;

const wchar_t kTarget[] = L"static.youku.com";
const wchar_t kRoot[] = L"C:\\Users\\user\\AppData\\Roaming\\Macromedia\\Flash Player\\#SharedObjects";
const wchar_t kRootTarget[] = L"C:\\Users\\user\\AppData\\Roaming\\Macromedia\\Flash Player\\Elsewhere";
const wchar_t kOutside[] = L"C:\\Users\\user\\Documents";

const std::vector<std::wstring>& Names() {
  static const std::vector<std::wstring> names = {
      L"a", L"B", L"b", L"static.youku.com", L"STATIC.YOUKU.COM", L"Static.Youku.Com", L"static.youku.co",
      L"x.sol", L"localhost", L"#SharedObjects", std::wstring(90, L'n'), std::wstring(120, L'm')};
  return names;
}

// As the fake folds its keys: upcased.
std::wstring Folded(std::wstring text) {
  for (auto& c : text)
    if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
  return text;
}

std::wstring Join(const std::wstring& directory, const std::wstring& name) {
  return directory.back() == L'\\' ? directory + name : directory + L'\\' + name;
}

// Part of the tree the purge was given (or the root itself)?
bool Inside(const std::wstring& key, const std::wstring& rootKey) {
  return key == rootKey || key == rootKey + L"\\" || key.rfind(rootKey + L"\\", 0) == 0;
}

struct Tree {
  std::wstring home;  // where the steps build: the root, or the root link's target
  std::vector<std::wstring> directories;
  std::vector<std::wstring> nodes;
  std::set<std::wstring> locked;  // keys
};

void Build(FakeWindows& windows, Tree& tree, const std::uint8_t* data, std::size_t size) {
  windows.AddFile(Join(kOutside, L"letter.doc"), "dear user");
  windows.AddFile(Join(kOutside, L"deep\\static.youku.com"), "not in the tree");
  tree.directories.push_back(tree.home);
  const auto& names = Names();
  for (std::size_t at = 0; at + 3 <= size && tree.nodes.size() < 48; at += 3) {
    const std::uint8_t kind = data[at];
    const std::wstring parent = tree.directories[data[at + 1] % tree.directories.size()];
    const std::wstring path = Join(parent, names[data[at + 2] % names.size()]);
    if (kind % 4 == 3) {
      if (tree.nodes.empty()) continue;
      const std::wstring& victim = tree.nodes[data[at + 1] % tree.nodes.size()];
      windows.Lock(victim);
      tree.locked.insert(Folded(victim));
      continue;
    }
    if (windows.Exists(path)) continue;
    switch (kind % 4) {
      case 0:
        windows.AddDirectory(path, (kind >> 2) & 0x7);
        tree.directories.push_back(path);
        break;
      case 1:
        windows.AddFile(path, "lso", (kind >> 2) & 0x7);
        break;
      case 2:
        // A junction out of the tree, or back up to one of its own folders.
        // Not lockable: locking a link would lock what it points at.
        windows.AddLink(path, (kind & 0x80) ? std::wstring(kOutside) : parent);
        continue;
    }
    tree.nodes.push_back(path);
  }
}

// The plain two-pass search: all names of a directory first, then a second
// listing for its subdirectories, in the order listed. Links are not entered
// and over-long paths are passed over, as the product does.
std::wstring ReferenceFind(FakeWindows& windows, const std::wstring& directory, const std::wstring& name) {
  FileEntry entry;
  for (auto listing = windows.Enumerate(directory); listing->Next(entry);) {
    const std::wstring path = Join(directory, entry.name);
    if (path.size() <= windows.MaxPathLength() && Folded(entry.name) == Folded(name)) return path;
  }
  for (auto listing = windows.Enumerate(directory); listing->Next(entry);) {
    const std::wstring path = Join(directory, entry.name);
    const bool link = entry.attributes & quietreel::kAttributeReparsePoint;
    if (path.size() > windows.MaxPathLength() || link || !(entry.attributes & quietreel::kAttributeDirectory))
      continue;
    std::wstring found = ReferenceFind(windows, path, name);
    if (!found.empty()) return found;
  }
  return std::wstring();
}

std::map<std::wstring, std::string> Outside(const FakeWindows& windows, const std::wstring& rootKey) {
  std::map<std::wstring, std::string> rest;
  for (const auto& [key, value] : windows.Snapshot())
    if (!Inside(key, rootKey)) rest[key] = value;
  return rest;
}

// After a purge without faults a node may stay only for a reason: it is
// locked, its path is too long to be used, it is a link (never followed nor
// removed), or it is a folder that kept a child.
void CheckLeftovers(const FakeWindows& windows, const Tree& tree, const std::wstring& rootKey) {
  std::map<std::wstring, bool> left;  // key without trailing separator => directory
  std::set<std::wstring> links;
  for (const auto& [key, value] : windows.Snapshot()) {
    if (!Inside(key, rootKey)) continue;
    const bool directory = key.back() == L'\\';
    const std::wstring own = directory ? key.substr(0, key.size() - 1) : key;
    left[own] = directory;
    if (std::stoul(value.substr(0, value.find(':'))) & quietreel::kAttributeReparsePoint) links.insert(own);
  }
  for (const auto& [key, directory] : left) {
    if (tree.locked.count(key) || key.size() > windows.MaxPathLength() || links.count(key)) continue;
    bool keptChild = false;
    for (auto it = left.upper_bound(key + L"\\"); it != left.end() && it->first.rfind(key + L"\\", 0) == 0; ++it)
      keptChild = true;
    FUZZ_CHECK(directory && keptChild);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const bool trailingSeparator = data[0] & 1;
  const bool rootIsLink = data[0] & 2;
  const std::size_t failingCall = data[0] >> 2;

  FakeWindows windows;
  Tree tree;
  tree.home = rootIsLink ? kRootTarget : kRoot;
  windows.AddDirectory(tree.home);
  if (rootIsLink) windows.AddLink(kRoot, kRootTarget);
  Build(windows, tree, data + 1, size - 1);

  // The search only reads, and finds what the reference finds.
  const std::wstring start = trailingSeparator ? std::wstring(kRoot) + L"\\" : std::wstring(kRoot);
  const auto before = windows.Snapshot();
  const std::wstring expected = ReferenceFind(windows, start, kTarget);
  const std::wstring found = quietreel::FindNamedEntry(windows, start, kTarget);
  FUZZ_CHECK(found == expected);
  FUZZ_CHECK(windows.Snapshot() == before);

  const std::wstring rootKey = Folded(kRoot);
  const auto outside = Outside(windows, rootKey);
  windows.ResetCounters();
  windows.FailCall(failingCall);
  quietreel::PurgeDirectory(windows, kRoot);
  FUZZ_CHECK(Outside(windows, rootKey) == outside);
  if (failingCall == 0 || windows.FallibleCalls() < failingCall) CheckLeftovers(windows, tree, rootKey);
  return 0;
}
