// What the core relies on from its file system, written once and run against
// the fake (tests/unit) and against Win32FileSystem on real files
// (tests/win). The fake does what Windows on NTFS does. Where Wine differs,
// the row says so and expects what Wine does beside what Windows does.
#include "FileSystemContract.h"

#include <algorithm>
#include <iterator>
#include <vector>

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
       ReadResult read = f.ReadWhole(t, 100);
       return read.status == ReadStatus::kOk && read.bytes == "target";
     },
     "target"},
    {"Append", [](FileSystem& f, const std::wstring& t, const std::wstring&) {
       return f.Append(t, "+", false) == AppendStatus::kOk;
     }, "target+"},
    {"CreateWithBytes", [](FileSystem& f, const std::wstring& t, const std::wstring&) {
       return f.CreateWithBytes(t, "created");
     }, "created"},
    {"CopyOver", [](FileSystem& f, const std::wstring& t, const std::wstring& o) { return f.Copy(o, t); }, "other"},
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
    {"HeldWithoutSharing", true, kShareNone, 0, "------", nullptr},
    {"HeldSharingRead", true, kShareRead, 0, "y-----", nullptr},
    {"HeldSharingReadWrite", true, kShareRead | kShareWrite, 0, "yy-y--", nullptr},
    // NTFS replaces no file that is open, whatever its sharing. The delete
    // is done but pending: see FileDeletedWhileOpenKeepsItsNameUntilClosed.
    {"HeldSharingAll", true, kShareAll, 0, "yy-y-y", nullptr},
    // Wine refuses the delete itself but leaves writes to the Unix
    // permissions, which root passes and others do not; a Unix rename
    // replaces a read-only file.
    {"ReadOnly", false, 0, kAttributeReadOnly, "y-----", "y???y-"},
    // CreateFileW with CREATE_ALWAYS refuses to overwrite a hidden or system
    // file unless asked for the same attributes, and CopyFileW overwrites
    // through it. Wine 8 has no such check.
    {"Hidden", false, 0, kAttributeHidden, "yy--yy", "yyyyyy"},
    {"System", false, 0, kAttributeSystem, "yy--yy", "yyyyyy"},
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
  EXPECT_FALSE(files.CreateWithBytes(file, "new"));
  EXPECT_FALSE(files.RemoveEmptyDirectory(folder));

  s.ReleaseAll();
  EXPECT_TRUE(Listed(files, folder).empty());
  EXPECT_FALSE(files.Exists(file));
  EXPECT_TRUE(files.RemoveEmptyDirectory(folder));
}

TEST_P(FileSystemContract, CopyOverwritesAndMoveReplacesTheTarget) {
  Subject& s = *subject_;
  FileSystem& files = s.Files();
  const std::wstring from = s.Folder() + L"\\from", to = s.Folder() + L"\\to";
  const std::wstring moved = s.Folder() + L"\\moved", missing = s.Folder() + L"\\missing";
  s.MakeFile(from, "new", 0);
  s.MakeFile(to, "older and longer", 0);
  s.MakeFile(moved, "moved", 0);

  EXPECT_TRUE(files.Copy(from, to));
  EXPECT_EQ(s.Bytes(to), "new");
  EXPECT_EQ(s.Bytes(from), "new");
  EXPECT_TRUE(files.MoveReplacing(moved, to));
  EXPECT_EQ(s.Bytes(to), "moved");
  EXPECT_FALSE(files.Exists(moved));

  EXPECT_FALSE(files.Copy(missing, to));
  EXPECT_FALSE(files.MoveReplacing(missing, to));
  EXPECT_EQ(s.Bytes(to), "moved");
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

// Names are equal when Windows' upcase table makes them equal; the Kelvin
// sign upcases to itself, not to "K".
TEST_P(FileSystemContract, NamesFoldCaseAsWindowsUpcasesThem) {
  struct Case {
    const wchar_t* made;
    const wchar_t* asked;
    bool same;
  };
  const Case cases[] = {
      {L"Hosts.TXT", L"hOSTS.txt", true},
      {L"\u00C4rger.sol", L"\u00E4RGER.SOL", true},
      {L"\u0414\u043E\u043C", L"\u0434\u041E\u041C", true},
      {L"\u212A.sol", L"k.sol", false},
  };
  Subject& s = *subject_;
  FileSystem& files = s.Files();
  int n = 0;
  for (const Case& c : cases) {
    const std::wstring folder = s.Folder() + L"\\" + std::to_wstring(n++);
    s.MakeDirectory(folder);
    s.MakeFile(folder + L"\\" + c.made, "made", 0);

    EXPECT_EQ(files.Exists(folder + L"\\" + c.asked), c.same) << n;
    EXPECT_TRUE(files.CreateWithBytes(folder + L"\\" + c.asked, "asked")) << n;
    EXPECT_EQ(s.Bytes(folder + L"\\" + c.made), c.same ? "asked" : "made") << n;
    // Overwriting keeps the name as it was first spelled.
    const std::vector<std::wstring> one{c.made}, two{c.made, c.asked};
    std::vector<std::wstring> listed = Listed(files, folder);
    std::sort(listed.begin(), listed.end());
    std::vector<std::wstring> expected = c.same ? one : two;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(listed, expected) << n;
  }
}

// The file system sets the archive bit on every file it creates or writes;
// a copy takes the source's other attributes.
TEST_P(FileSystemContract, WrittenAndCopiedFilesHaveTheArchiveBit) {
  Subject& s = *subject_;
  FileSystem& files = s.Files();
  const std::wstring created = s.Folder() + L"\\created", appended = s.Folder() + L"\\appended";
  const std::wstring source = s.Folder() + L"\\source", copy = s.Folder() + L"\\copy";
  s.MakeFile(appended, "a", 0);
  s.MakeFile(source, "s", kAttributeHidden);

  ASSERT_TRUE(files.CreateWithBytes(created, "c"));
  ASSERT_EQ(files.Append(appended, "b", false), AppendStatus::kOk);
  ASSERT_TRUE(files.Copy(source, copy));

  EXPECT_EQ(files.Attributes(created), kAttributeArchive);
  EXPECT_EQ(files.Attributes(appended), kAttributeArchive);
  EXPECT_EQ(files.Attributes(copy), kAttributeArchive | kAttributeHidden);
}

TEST_P(FileSystemContract, DirectoryWhereAFileIsExpectedIsRefusedUnchanged) {
  Subject& s = *subject_;
  FileSystem& files = s.Files();
  const std::wstring directory = s.Folder() + L"\\hosts", file = s.Folder() + L"\\file";
  s.MakeDirectory(directory);
  s.MakeFile(file, "file", 0);

  EXPECT_TRUE(files.Exists(directory));
  EXPECT_FALSE(files.OpensAsFile(directory));
  EXPECT_EQ(files.ReadWhole(directory, 100).status, ReadStatus::kOpenFailed);
  EXPECT_FALSE(files.ReadTail(directory, 10));
  EXPECT_EQ(files.Append(directory, "x", true), AppendStatus::kOpenFailed);
  EXPECT_FALSE(files.CreateWithBytes(directory, "x"));
  EXPECT_FALSE(files.Copy(file, directory));
  EXPECT_FALSE(files.Copy(directory, s.Folder() + L"\\copy"));
  EXPECT_FALSE(files.MoveReplacing(file, directory));
  EXPECT_FALSE(files.Remove(directory));

  EXPECT_FALSE(files.Exists(s.Folder() + L"\\copy"));
  EXPECT_EQ(s.Bytes(file), "file");
  EXPECT_EQ(Listed(files, directory), std::vector<std::wstring>{});
  std::optional<std::uint32_t> attributes = files.Attributes(directory);
  ASSERT_TRUE(attributes);
  EXPECT_TRUE(*attributes & kAttributeDirectory);
}

}  // namespace
}  // namespace quietreel::contract
