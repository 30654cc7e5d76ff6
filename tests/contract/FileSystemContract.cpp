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
    {"MoveOnto", [](FileSystem& f, const std::wstring& t, const std::wstring& o) { return f.MoveReplacing(o, t); },
     "other"},
    {"Remove", [](FileSystem& f, const std::wstring& t, const std::wstring&) { return f.Remove(t); }, std::nullopt},
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
    {"HeldWithoutSharing", true, kShareNone, 0, "-----", nullptr},
    {"HeldSharingRead", true, kShareRead, 0, "y----", nullptr},
    {"HeldSharingReadWrite", true, kShareRead | kShareWrite, 0, "yy---", nullptr},
    // NTFS replaces no file that is open, whatever its sharing. The delete
    // is done but pending: see FileDeletedWhileOpenKeepsItsNameUntilClosed.
    {"HeldSharingAll", true, kShareAll, 0, "yy--y", nullptr},
    // Wine refuses the delete itself but leaves writes to the Unix
    // permissions, which root passes and others do not; a Unix rename
    // replaces a read-only file.
    {"ReadOnly", false, 0, kAttributeReadOnly, "y----", "y?-y-"},
    {"Hidden", false, 0, kAttributeHidden, "yy-yy", nullptr},
    {"System", false, 0, kAttributeSystem, "yy-yy", nullptr},
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

// A file deleted while another program holds it open, sharing delete: the
// name stays, listed and taken, until the last handle closes. So it is on the
// systems the help names (XP, 7); Windows 10 from 1903 on unlinks the name at
// once on NTFS. Windows opens a file pending deletion for nobody, not even for
// its attributes; Wine still gives them.
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
  EXPECT_EQ(files.Exists(file), s.IsWine());
  EXPECT_FALSE(files.CreateNew(file, "new", 0));
  EXPECT_FALSE(files.RemoveEmptyDirectory(folder));

  s.ReleaseAll();
  EXPECT_TRUE(Listed(files, folder).empty());
  EXPECT_FALSE(files.Exists(file));
  EXPECT_TRUE(files.RemoveEmptyDirectory(folder));
}

TEST_P(FileSystemContract, CreateNewTakesOnlyAFreeNameAndMoveReplaces) {
  Subject& s = *subject_;
  FileSystem& files = s.Files();
  const std::wstring to = s.Folder() + L"\\to", moved = s.Folder() + L"\\moved", missing = s.Folder() + L"\\missing";
  s.MakeFile(to, "older and longer", 0);
  s.MakeFile(moved, "moved", 0);

  EXPECT_FALSE(files.CreateNew(to, "new", 0));
  EXPECT_EQ(s.Bytes(to), "older and longer");
  EXPECT_TRUE(files.MoveReplacing(moved, to));
  EXPECT_EQ(s.Bytes(to), "moved");
  EXPECT_FALSE(files.Exists(moved));
  EXPECT_FALSE(files.MoveReplacing(missing, to));
  EXPECT_EQ(s.Bytes(to), "moved");
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

  EXPECT_EQ(files.Kind(folder + L"\\secret"), FileKind::kFile);
  EXPECT_EQ(files.Kind(folder + L"\\real"), FileKind::kDirectory);
  EXPECT_EQ(files.Kind(folder + L"\\missing"), FileKind::kMissing);
  for (const wchar_t* odd : {L"\\file-link", L"\\folder-link", L"\\twice", L"\\twice-too"})
    EXPECT_EQ(files.Kind(folder + odd), FileKind::kOther) << odd[1];
  EXPECT_EQ(files.ReadWhole(folder + L"\\secret", 100, Names::kOneOnly).status, ReadStatus::kOk);
  EXPECT_EQ(files.ReadWhole(folder + L"\\file-link", 100, Names::kAny).status, ReadStatus::kNotPlain);
  EXPECT_EQ(files.ReadWhole(folder + L"\\twice", 100, Names::kOneOnly).status, ReadStatus::kNotPlain);
  EXPECT_EQ(files.ReadWhole(folder + L"\\twice", 100, Names::kAny).status, ReadStatus::kOk);
  EXPECT_FALSE(files.CreateNew(folder + L"\\file-link", "through", 0));
  EXPECT_EQ(Listed(files, folder + L"\\folder-link"), std::vector<std::wstring>{});
  EXPECT_EQ(Listed(files, folder + L"\\real"), std::vector<std::wstring>{L"inside"});
  EXPECT_FALSE(files.RemoveEmptyDirectory(folder + L"\\empty-link"));
  const std::optional<std::uint32_t> secretAttributes = files.Attributes(folder + L"\\secret");
  EXPECT_FALSE(files.SetAttributes(folder + L"\\file-link", kAttributeHidden));
  EXPECT_FALSE(files.Remove(folder + L"\\file-link"));
  EXPECT_EQ(files.Attributes(folder + L"\\secret"), secretAttributes);

  EXPECT_EQ(s.Bytes(folder + L"\\secret"), "secret");
  EXPECT_TRUE(files.Exists(folder + L"\\empty"));
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

  EXPECT_EQ(files.Attributes(created), kAttributeArchive);
  EXPECT_EQ(files.Attributes(locked), expected::kHiddenReadOnlySystem | kAttributeArchive);
  EXPECT_EQ(files.Attributes(appended), kAttributeArchive);
}

TEST_P(FileSystemContract, DirectoryWhereAFileIsExpectedIsRefusedUnchanged) {
  Subject& s = *subject_;
  FileSystem& files = s.Files();
  const std::wstring directory = s.Folder() + L"\\hosts", file = s.Folder() + L"\\file";
  s.MakeDirectory(directory);
  s.MakeFile(file, "file", 0);

  EXPECT_TRUE(files.Exists(directory));
  EXPECT_FALSE(files.OpensAsFile(directory));
  EXPECT_EQ(files.ReadWhole(directory, 100, Names::kAny).status, ReadStatus::kOpenFailed);
  EXPECT_FALSE(files.ReadTail(directory, 10));
  EXPECT_EQ(files.Append(directory, "x", true), AppendStatus::kOpenFailed);
  EXPECT_FALSE(files.CreateNew(directory, "x", 0));
  EXPECT_FALSE(files.MoveReplacing(file, directory));
  EXPECT_FALSE(files.Remove(directory));

  EXPECT_EQ(s.Bytes(file), "file");
  EXPECT_EQ(Listed(files, directory), std::vector<std::wstring>{});
  std::optional<std::uint32_t> attributes = files.Attributes(directory);
  ASSERT_TRUE(attributes);
  EXPECT_TRUE(*attributes & kAttributeDirectory);
}

}  // namespace
}  // namespace quietreel::contract
