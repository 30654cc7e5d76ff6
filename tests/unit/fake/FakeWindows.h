#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/Services.h"
#include "platform/Window.h"

namespace quietreel::fake {

// An in-memory Windows: a file tree that folds ASCII case and lists names as
// NTFS does, with attributes, other programs' open handles and their sharing,
// delete-pending files, links and second names; known folders, a DNS cache,
// failure injection by call number and actions run in the middle of a call.
// tests/contract holds what it shares with the real file system.
class FakeWindows : public FileSystem, public KnownFolders, public DnsCache {
 public:
  FakeWindows();
  ~FakeWindows() override;

  // Its `userFiles` and `desktopUserFiles` are this machine too, seen
  // through a view whose calls the call log marks "as user"; null once the
  // user's rights are denied.
  Services MakeServices(const std::wstring& programDirectory = kProgramDirectory);
  void DenyUserRights() { userRightsDenied_ = true; }

  static const std::wstring kProgramDirectory;
  static const std::wstring kHostsPath;

  // --- Building the machine -------------------------------------------
  void AddDirectory(const std::wstring& path, std::uint32_t attributes = 0);
  void AddFile(const std::wstring& path, const std::string& bytes, std::uint32_t attributes = 0);
  // A link at `path` to `target`: to a file when `target` is one, else to
  // the directory `target` (made when missing), as a junction.
  void AddLink(const std::wstring& path, const std::wstring& target);
  // A file that has a second name elsewhere (a hard link).
  void AddHardLinkedFile(const std::wstring& path, const std::string& bytes);
  // Sharing bits, with Windows' values; as access bits they name the same
  // kinds of access.
  static constexpr std::uint32_t kShareRead = 1, kShareWrite = 2, kShareDelete = 4;
  // Held open for reading by another process that shares `share`, until
  // Close(handle); 0 when the open is refused.
  int HoldOpen(const std::wstring& path, std::uint32_t share);
  void Close(int handle);
  // Held open by another process without sharing: no read, write or delete.
  void Lock(const std::wstring& path) { HoldOpen(path, 0); }
  void SetKnownFolder(KnownFolder folder, std::optional<std::wstring> path);
  void SetMaxPathLength(std::size_t length) { maxPathLength_ = length; }
  // Lists a link's target, as FindFirstFileW does on its own: a file system
  // without the check Enumerate promises, so the core's own guard shows.
  void SetListsThroughLinks(bool through) { listsThroughLinks_ = through; }

  // --- Looking at it --------------------------------------------------
  // Whether anything has the name (a link too) that is not pending deletion.
  bool Exists(const std::wstring& path) const;
  bool IsFile(const std::wstring& path) const;
  bool IsDirectory(const std::wstring& path) const;
  std::string BytesOf(const std::wstring& path) const;
  std::uint32_t AttributesOf(const std::wstring& path) const;
  // Every node as its path upcased, as Windows folds names (directories end
  // with a backslash) => attributes and bytes, for before/after comparisons.
  std::map<std::wstring, std::string> Snapshot() const;

  // --- Faults and records ----------------------------------------------
  // Makes the n-th fallible call from now (1-based) fail; 0 turns it off.
  void FailCall(std::size_t n);
  // A Replace made to fail breaks off halfway, as ReplaceFileW does with
  // ERROR_UNABLE_TO_MOVE_REPLACEMENT: the file replaced is gone and the
  // new bytes stay under their own name.
  void SetReplaceBreaksHalfway(bool halfway) { replaceBreaksHalfway_ = halfway; }
  // Makes the next call of the named kind ("Append", "Remove", ...) fail.
  void FailNext(const std::string& call) { failNext_ = call; }
  // How many fallible calls were made since the last reset.
  std::size_t FallibleCalls() const { return fallibleCalls_; }
  void ResetCounters();
  const std::vector<std::string>& CallLog() const { return callLog_; }
  // Runs `action` once, when the nth call of the named kind is made,
  // before that call acts: another program changing the disk meanwhile.
  void BeforeCall(const std::string& call, std::function<void()> action, int nth = 1);
  int DnsFlushes() const { return dnsFlushes_; }

  // --- Power cuts (FakeCrash.cpp) ----------------------------------------
  // What a cut does to bytes written without a flush: gone (the file keeps
  // its last flushed bytes) or zeroed (the new size survives, the new bytes
  // read back as zeros).
  enum class UnflushedData { kLost, kZeroed };
  // What it does to the metadata operations (creation, truncation, rename,
  // delete, attributes) made since the last flush or write-through rename,
  // which commit the journal: all kept, or all rolled back. Each operation
  // is atomic either way.
  enum class Journal { kKept, kRolledBack };
  // The power goes out once the n-th fallible call from now has returned;
  // what the run does after that happens in memory only.
  void CrashAfterCall(std::size_t n);
  // Starts again from what the disk held at the cut (or holds now, when the
  // run made fewer calls); the crash is disarmed.
  void Reboot(UnflushedData data, Journal journal);

  // --- FileSystem --------------------------------------------------------
  FileFacts Look(const std::wstring& path) override;
  ReadResult ReadWhole(const std::wstring& path, std::size_t maxBytes, Names names) override;
  std::optional<std::string> ReadTail(const std::wstring& path, std::size_t count) override;
  AppendStatus Append(const std::wstring& path, const std::string& bytes, bool createIfMissing) override;
  bool CreateNew(const std::wstring& path, const std::string& bytes, std::uint32_t attributes) override;
  bool Replace(const std::wstring& from, const std::wstring& to) override;
  bool Remove(const std::wstring& path) override;
  std::unique_ptr<HeldFile> HoldForRemoval(const std::wstring& path) override;
  bool SetAttributes(const std::wstring& path, std::uint32_t attributes) override;
  std::unique_ptr<DirectoryEnumeration> Enumerate(const std::wstring& directory) override;
  std::size_t MaxPathLength() const override { return maxPathLength_; }

  // --- KnownFolders ------------------------------------------------------
  std::optional<std::wstring> Path(KnownFolder folder) override;

  // --- DnsCache ------------------------------------------------------------
  void Flush() override { ++dnsFlushes_; }

 private:
  class Listing;
  class UserView;
  class Held;
  struct Node {
    std::wstring path;  // as created, for display
    bool directory = false;
    std::string bytes;
    std::string durable;  // what a power cut leaves of `bytes`: the last flushed content
    std::uint32_t attributes = 0;
    std::map<int, std::uint32_t> holds;  // other processes' handles => their sharing
    // Deleted while held open: the name stays, and refuses every open, until
    // the last handle closes.
    bool deletePending = false;
    std::wstring linkTarget;  // key of the target when this is a link
    int names = 1;
    // Keys; their upcase folding makes this NTFS's listing order.
    std::set<std::wstring> children;
  };

  std::wstring Resolve(const std::wstring& path) const;
  Node* Find(const std::wstring& path);
  const Node* Find(const std::wstring& path) const;
  // The node the last component names itself, a link not followed.
  std::wstring OwnKey(const std::wstring& path) const;
  const Node* Own(const std::wstring& path) const;
  Node* ParentOf(const std::wstring& key);
  bool RemoveOwn(const std::wstring& path);
  static bool Admits(const Node& node, std::uint32_t access, std::uint32_t share);
  Node& Insert(const std::wstring& path, bool directory);
  void Erase(const std::wstring& key);
  bool Fails(const std::string& call, const std::wstring& path);
  // Power cuts: a flush puts a file's bytes on disk and commits the journal.
  void Flushed(Node& node);
  void JournalCommitted();
  void CutPowerNow();

  std::unique_ptr<UserView> userView_;
  bool asUser_ = false;
  bool userRightsDenied_ = false;
  std::map<std::wstring, Node> nodes_;
  std::map<int, std::wstring> handles_;  // => key of the node held
  int lastHandle_ = 0;
  std::map<KnownFolder, std::optional<std::wstring>> folders_;
  std::size_t maxPathLength_ = 259;
  bool listsThroughLinks_ = false;
  bool replaceBreaksHalfway_ = false;
  std::size_t failAt_ = 0;
  std::string failNext_;
  std::size_t fallibleCalls_ = 0;
  std::vector<std::string> callLog_;
  struct Pending {
    int callsToGo;
    std::function<void()> action;
  };
  std::map<std::string, Pending> beforeCall_;
  int dnsFlushes_ = 0;
  struct DiskAtCut {
    std::map<std::wstring, Node> nodes;      // every metadata operation until the cut
    std::map<std::wstring, Node> committed;  // those until the last journal commit
  };
  bool crashArmed_ = false;
  std::size_t crashAt_ = 0;
  std::map<std::wstring, Node> committed_;
  std::optional<DiskAtCut> cut_;
};

// A window that records what the core decided to tell the user: the kind
// of each box, its text, and the caption where the core passes one. Which
// window owns a box and the program's caption are the window layer's; the
// end-to-end tests check them on the real boxes.
class FakeWindow : public Window {
 public:
  enum class BoxKind { kNotice, kWarning, kQuestion };
  struct Box {
    BoxKind kind;
    std::wstring text;
    std::wstring caption;  // questions only
  };

  void AnswerOk(bool ok) { answerOk_ = ok; }
  const std::vector<Box>& Boxes() const { return boxes_; }
  // Every text the status line was given, in order.
  const std::vector<std::wstring>& StatusLog() const { return statusLog_; }

  void ShowNotice(const std::wstring& text) override;
  void ShowWarning(const std::wstring& text) override;
  bool AskOkCancel(const std::wstring& text, const std::wstring& caption) override;
  void ShowStatus(const std::wstring& text) override;

 private:
  bool answerOk_ = true;
  std::vector<Box> boxes_;
  std::vector<std::wstring> statusLog_;
};

std::string Narrow(const std::wstring& text);

}  // namespace quietreel::fake
