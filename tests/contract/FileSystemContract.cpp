// What the core relies on from its file system, written once and run against
// the fake (tests/unit) and against Win32FileSystem on real files
// (tests/win). The fake does what Windows on NTFS does. Where Wine differs,
// the row says so and expects what Wine does beside what Windows does.
#include "FileSystemContract.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include "Expected.h"

namespace quietreel::contract {
namespace {

constexpr std::uint32_t kShareAll = kShareRead | kShareWrite | kShareDelete;

std::vector<std::wstring> Listed(FileSystem& files, const std::wstring& directory) {
  std::vector<std::wstring> names;
  FileEntry entry;
  for (auto listing = files.Enumerate(directory); listing->Next(entry);) names.push_back(entry.name);
  return names;
}

// Which of `names` one listing of `directory` removed, as the listing
// produced them.
std::vector<std::wstring> RemovedByListing(FileSystem& files, const std::wstring& directory,
                                           const std::vector<std::wstring>& names) {
  std::vector<std::wstring> removed;
  FileEntry entry;
  for (auto listing = files.Enumerate(directory); listing->Next(entry);)
    if (std::find(names.begin(), names.end(), entry.name) != names.end() && listing->Remove(entry))
      removed.push_back(entry.name);
  return removed;
}

// One call on a file `target` that another program holds open or that has
// attributes, with a plain file `other` beside it.
struct Call {
  const char* name;
  bool (*run)(FileSystem& files, const std::wstring& target, const std::wstring& other);
  // The target's bytes once the call is done; nothing when it is gone.
  std::optional<std::string> after;
};

const Call kCalls[] = {
    {"ReadWhole",
     [](FileSystem& f, const std::wstring& t, const std::wstring&) {
       ReadResult read = f.ReadWhole(t, 100, Names::kOneOnly);
       return read.status == ReadStatus::kOk && read.bytes == "target";
     },
     "target"},
    {"Append",
     [](FileSystem& f, const std::wstring& t, const std::wstring&) {
       return f.Append(t, "+", false) == AppendStatus::kOk;
     },
     "target+"},
    {"CreateNew",
     [](FileSystem& f, const std::wstring& t, const std::wstring&) { return f.CreateNew(t, "created", 0); }, "created"},
    {"ReplaceIt", [](FileSystem& f, const std::wstring& t, const std::wstring& o) { return f.Replace(o, t); }, "other"},
    {"Remove", [](FileSystem& f, const std::wstring& t, const std::wstring&) { return f.Remove(t); }, std::nullopt},
    {"HoldAndRemove",
     [](FileSystem& f, const std::wstring& t, const std::wstring&) {
       const std::unique_ptr<HeldFile> held = f.HoldForRemoval(t);
       return held && held->Remove();
     },
     std::nullopt},
};

// One letter per call of kCalls, in order: 'y' done, '-' refused, '?' either
// (only in the Wine column, where the outcome is the Unix user's).
struct Row {
  const char* name;
  bool held;  // held open for reading by another program, sharing `share`
  std::uint32_t share;
  std::uint32_t attributes;
  const char* windows;
  const char* wine;  // where Wine differs
};

const Row kRows[] = {
    {"HeldWithoutSharing", true, kShareNone, 0, "------", nullptr},
    {"HeldSharingRead", true, kShareRead, 0, "y-----", nullptr},
    {"HeldSharingReadWrite", true, kShareRead | kShareWrite, 0, "yy----", nullptr},
    // NTFS replaces no file that is open, whatever its sharing; Wine's
    // ReplaceFileW does. The delete is done but pending: see
    // FileDeletedWhileOpenKeepsItsNameUntilClosed.
    {"HeldSharingAll", true, kShareAll, 0, "yy--y-", "yy-yy-"},
    // A removal clears the read-only bit through the handle it deletes
    // with. Wine leaves writes to the Unix permissions, which root passes
    // and others do not.
    {"ReadOnly", false, 0, kAttributeReadOnly, "y---y-", "y?--y-"},
    {"Hidden", false, 0, kAttributeHidden, "yy-yyy", nullptr},
    {"System", false, 0, kAttributeSystem, "yy-yyy", nullptr},
};

TEST_P(FileSystemContract, SharingAndAttributesAllowOnlyTheirCalls) {
  Subject& s = *subject_;
  int cell = 0;
  for (const Row& row : kRows) {
    const char* expected = s.IsWine() && row.wine ? row.wine : row.windows;
    for (std::size_t c = 0; c < std::size(kCalls); ++c, ++cell) {
      const Call& call = kCalls[c];
      const std::wstring target = s.Folder() + L"\\target" + std::to_wstring(cell);
      const std::wstring other = s.Folder() + L"\\other" + std::to_wstring(cell);
      s.MakeFile(target, "target", row.attributes);
      s.MakeFile(other, "other", 0);
      if (row.held) {
        ASSERT_TRUE(s.Hold(target, row.share)) << row.name;
      }

      const bool done = call.run(s.Files(), target, other);
      s.ReleaseAll();

      if (expected[c] != '?') {
        EXPECT_EQ(done, expected[c] == 'y') << row.name << ", " << call.name;
      }
      EXPECT_EQ(s.Bytes(target), done ? call.after : std::optional<std::string>("target"))
          << row.name << ", " << call.name;
    }
  }
}

// A file held for removal keeps every other program out until it goes or
// is let go, and is then as it was.
TEST_P(FileSystemContract, FileHeldForRemovalOpensForNoOneElse) {
  Subject& s = *subject_;
  const std::wstring file = s.Folder() + L"\\record.txt";
  s.MakeFile(file, "record", 0);
  {
    const std::unique_ptr<HeldFile> held = s.Files().HoldForRemoval(file);
    ASSERT_TRUE(held);
    EXPECT_FALSE(s.Hold(file, kShareAll));
    EXPECT_FALSE(s.Files().HoldForRemoval(file));
  }
  EXPECT_EQ(s.Bytes(file), std::optional<std::string>("record"));
  EXPECT_FALSE(s.Files().HoldForRemoval(s.Folder()));
  EXPECT_FALSE(s.Files().HoldForRemoval(s.Folder() + L"\\missing.txt"));
}

// A file deleted while another program holds it open, sharing delete: the
// name stays, listed and taken, until the last handle closes. So it is on the
// systems the help names (XP, 7); Windows 10 from 1903 on unlinks the name at
// once on NTFS. Windows opens a file pending deletion for nobody, not even for
// its attributes, so what it is stays unknown; Wine still gives them.
TEST_P(FileSystemContract, FileDeletedWhileOpenKeepsItsNameUntilClosed) {
  Subject& s = *subject_;
  FileSystem& files = s.Files();
  const std::wstring folder = s.Folder() + L"\\storage";
  const std::wstring file = folder + L"\\player.sol";
  s.MakeDirectory(folder);
  s.MakeFile(file, "sol", 0);
  ASSERT_TRUE(s.Hold(file, kShareAll));

  ASSERT_TRUE(files.Remove(file));
  EXPECT_EQ(Listed(files, folder), std::vector<std::wstring>{L"player.sol"});
  EXPECT_EQ(files.Look(file).kind, s.IsWine() ? FileKind::kFile : FileKind::kUnknown);
  EXPECT_FALSE(files.CreateNew(file, "new", 0));
  EXPECT_FALSE(files.Remove(folder));

  s.ReleaseAll();
  EXPECT_TRUE(Listed(files, folder).empty());
  EXPECT_EQ(files.Look(file).kind, FileKind::kMissing);
  EXPECT_TRUE(files.Remove(folder));
}

TEST_P(FileSystemContract, CreateNewTakesOnlyAFreeNameAndReplaceReplaces) {
  Subject& s = *subject_;
  FileSystem& files = s.Files();
  const std::wstring to = s.Folder() + L"\\to", moved = s.Folder() + L"\\moved", missing = s.Folder() + L"\\missing";
  s.MakeFile(to, "older and longer", 0);
  s.MakeFile(moved, "moved", 0);

  EXPECT_FALSE(files.CreateNew(to, "new", 0));
  EXPECT_EQ(s.Bytes(to), "older and longer");
  EXPECT_TRUE(files.Replace(moved, to));
  EXPECT_EQ(s.Bytes(to), "moved");
  EXPECT_EQ(files.Look(moved).kind, FileKind::kMissing);
  EXPECT_FALSE(files.Replace(missing, to));
  EXPECT_EQ(s.Bytes(to), "moved");
  s.MakeFile(moved, "named", 0);
  EXPECT_TRUE(files.Replace(moved, missing));
  EXPECT_EQ(s.Bytes(missing), "named");
}

// Links (junctions, symbolic links; Unix links under Wine, which marks only
// those to folders) and second names of a file lead out of the folder the
// program works in. Nothing reads, writes, lists, changes or removes
// through them.
TEST_P(FileSystemContract, LinksAndSecondNamesAreNeverFollowed) {
  Subject& s = *subject_;
  FileSystem& files = s.Files();
  const std::wstring folder = s.Folder();
  s.MakeFile(folder + L"\\secret", "secret", 0);
  s.MakeDirectory(folder + L"\\real");
  s.MakeFile(folder + L"\\real\\inside", "inside", 0);
  s.MakeDirectory(folder + L"\\empty");
  ASSERT_TRUE(s.MakeLink(folder + L"\\file-link", folder + L"\\secret"));
  ASSERT_TRUE(s.MakeLink(folder + L"\\folder-link", folder + L"\\real"));
  ASSERT_TRUE(s.MakeLink(folder + L"\\empty-link", folder + L"\\empty"));
  s.MakeFile(folder + L"\\twice", "twice", 0);
  ASSERT_TRUE(s.MakeSecondName(folder + L"\\twice-too", folder + L"\\twice"));

  EXPECT_EQ(files.Look(folder + L"\\secret").kind, FileKind::kFile);
  EXPECT_EQ(files.Look(folder + L"\\real").kind, FileKind::kDirectory);
  EXPECT_EQ(files.Look(folder + L"\\missing").kind, FileKind::kMissing);
  for (const wchar_t* plain : {L"\\secret", L"\\real", L"\\missing"}) EXPECT_TRUE(files.Look(folder + plain).plain);
  for (const wchar_t* odd : {L"\\file-link", L"\\folder-link", L"\\twice", L"\\twice-too"}) {
    EXPECT_NE(files.Look(folder + odd).kind, FileKind::kMissing) << odd[1];
    EXPECT_FALSE(files.Look(folder + odd).plain) << odd[1];
  }
  EXPECT_EQ(files.ReadWhole(folder + L"\\missing", 100, Names::kAny).status, ReadStatus::kMissing);
  EXPECT_EQ(files.ReadWhole(folder + L"\\secret", 100, Names::kOneOnly).status, ReadStatus::kOk);
  EXPECT_EQ(files.ReadWhole(folder + L"\\file-link", 100, Names::kAny).status, ReadStatus::kNotPlain);
  EXPECT_EQ(files.ReadWhole(folder + L"\\twice", 100, Names::kOneOnly).status, ReadStatus::kNotPlain);
  EXPECT_EQ(files.ReadWhole(folder + L"\\twice", 100, Names::kAny).status, ReadStatus::kOk);
  EXPECT_FALSE(files.CreateNew(folder + L"\\file-link", "through", 0));
  EXPECT_EQ(Listed(files, folder + L"\\folder-link"), std::vector<std::wstring>{});
  EXPECT_EQ(Listed(files, folder + L"\\real"), std::vector<std::wstring>{L"inside"});
  EXPECT_FALSE(files.Remove(folder + L"\\empty-link"));
  const std::uint32_t secretAttributes = files.Look(folder + L"\\secret").attributes;
  EXPECT_FALSE(files.SetAttributes(folder + L"\\file-link", kAttributeHidden));
  EXPECT_FALSE(files.Remove(folder + L"\\file-link"));
  EXPECT_FALSE(files.HoldForRemoval(folder + L"\\file-link"));
  EXPECT_EQ(RemovedByListing(files, folder, {L"file-link", L"folder-link", L"empty-link"}),
            std::vector<std::wstring>{});
  EXPECT_EQ(files.Look(folder + L"\\secret").attributes, secretAttributes);

  EXPECT_EQ(s.Bytes(folder + L"\\secret"), "secret");
  EXPECT_EQ(Listed(files, folder + L"\\real"), std::vector<std::wstring>{L"inside"});
  EXPECT_EQ(files.Look(folder + L"\\empty").kind, FileKind::kDirectory);
}

// A listing removes its own entries: files of any attributes and empty
// folders go, a folder with something in it stays.
TEST_P(FileSystemContract, ListingRemovesItsFilesAndEmptyFolders) {
  Subject& s = *subject_;
  FileSystem& files = s.Files();
  const std::wstring folder = s.Folder();
  s.MakeFile(folder + L"\\locked", "", expected::kHiddenReadOnlySystem);
  s.MakeDirectory(folder + L"\\empty");
  s.MakeDirectory(folder + L"\\full");
  s.MakeFile(folder + L"\\full\\inside", "inside", 0);

  EXPECT_EQ(RemovedByListing(files, folder, {L"locked", L"empty", L"full"}),
            (std::vector<std::wstring>{L"empty", L"locked"}));

  EXPECT_EQ(Listed(files, folder), std::vector<std::wstring>{L"full"});
  EXPECT_EQ(s.Bytes(folder + L"\\full\\inside"), "inside");
}

// NTFS lists a folder in the order of its names upcased, compared as
// numbers: "[" and "_" come after the letters, and folders are not listed
// first.
TEST_P(FileSystemContract, ListingIsInNameOrderByUpcasedNames) {
  Subject& s = *subject_;
  for (const wchar_t* name : {L"zeta", L"_under", L"[1]", L"alpha"}) s.MakeFile(s.Folder() + L"\\" + name, "", 0);
  s.MakeDirectory(s.Folder() + L"\\Beta");

  const std::vector<std::wstring> windows{L"alpha", L"Beta", L"zeta", L"[1]", L"_under"};
  EXPECT_EQ(Listed(s.Files(), s.Folder()), windows);
}

// A new file has the attributes it was made with, and the file system adds
// the archive bit to every file it creates or writes.
TEST_P(FileSystemContract, NewAndWrittenFilesHaveTheArchiveBit) {
  Subject& s = *subject_;
  FileSystem& files = s.Files();
  const std::wstring created = s.Folder() + L"\\created", locked = s.Folder() + L"\\locked";
  const std::wstring appended = s.Folder() + L"\\appended";
  s.MakeFile(appended, "a", 0);

  ASSERT_TRUE(files.CreateNew(created, "c", 0));
  ASSERT_TRUE(files.CreateNew(locked, "", expected::kHiddenReadOnlySystem));
  ASSERT_EQ(files.Append(appended, "b", false), AppendStatus::kOk);

  EXPECT_EQ(files.Look(created).attributes, kAttributeArchive);
  EXPECT_EQ(files.Look(locked).attributes, expected::kHiddenReadOnlySystem | kAttributeArchive);
  EXPECT_EQ(files.Look(appended).attributes, kAttributeArchive);
}

TEST_P(FileSystemContract, DirectoryWhereAFileIsExpectedIsRefusedUnchanged) {
  Subject& s = *subject_;
  FileSystem& files = s.Files();
  const std::wstring directory = s.Folder() + L"\\hosts", file = s.Folder() + L"\\file";
  s.MakeDirectory(directory);
  s.MakeFile(file, "file", 0);

  EXPECT_EQ(files.ReadWhole(directory, 100, Names::kAny).status, ReadStatus::kOpenFailed);
  EXPECT_FALSE(files.ReadTail(directory, 10));
  EXPECT_EQ(files.Append(directory, "x", true), AppendStatus::kOpenFailed);
  EXPECT_FALSE(files.CreateNew(directory, "x", 0));
  EXPECT_FALSE(files.Replace(file, directory));

  EXPECT_EQ(s.Bytes(file), "file");
  EXPECT_EQ(Listed(files, directory), std::vector<std::wstring>{});
  const FileFacts facts = files.Look(directory);
  EXPECT_EQ(facts.kind, FileKind::kDirectory);
  EXPECT_TRUE(facts.attributes & kAttributeDirectory);
}

}  // namespace
}  // namespace quietreel::contract
