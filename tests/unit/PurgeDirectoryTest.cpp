#include <gtest/gtest.h>

#include <string>

#include "fake/FakeWindows.h"
#include "repair/DirectoryPurge.h"

namespace quietreel {
namespace {

const std::wstring kTemp = L"C:\\Users\\user\\AppData\\Local\\Temp";
const std::wstring kTree = kTemp + L"\\tree";

class PurgeDirectoryTest : public ::testing::Test {
 protected:
  fake::FakeWindows machine_;
};

TEST_F(PurgeDirectoryTest, RemovesTreeWithDeepReadOnlyFileHiddenFolderAndHiddenSystemFile) {
  machine_.AddFile(kTree + L"\\a\\b\\c\\deep.txt", "deep", kAttributeReadOnly);
  machine_.AddDirectory(kTree + L"\\a\\b", kAttributeHidden | kAttributeReadOnly);
  machine_.AddFile(kTree + L"\\a\\b\\hidden.txt", "hidden", kAttributeReadOnly | kAttributeHidden);
  machine_.AddFile(kTree + L"\\a\\plain.txt", "plain");
  machine_.AddFile(kTree + L"\\sys.dat", "sys", kAttributeHidden | kAttributeSystem);
  machine_.AddDirectory(kTree + L"\\empty");

  PurgeDirectory(machine_, kTree);

  EXPECT_FALSE(machine_.Exists(kTree));
  EXPECT_TRUE(machine_.IsDirectory(kTemp));
}

TEST_F(PurgeDirectoryTest, LockedFileKeepsItsParentsButNotItsSiblings) {
  machine_.AddFile(kTree + L"\\a\\b\\locked.txt", "in use");
  machine_.AddFile(kTree + L"\\a\\b\\sibling.txt", "x");
  machine_.AddFile(kTree + L"\\a\\uncle.txt", "x");
  machine_.AddFile(kTree + L"\\z\\cousin.txt", "x");
  machine_.Lock(kTree + L"\\a\\b\\locked.txt");

  PurgeDirectory(machine_, kTree);

  EXPECT_EQ(machine_.BytesOf(kTree + L"\\a\\b\\locked.txt"), "in use");
  EXPECT_FALSE(machine_.Exists(kTree + L"\\a\\b\\sibling.txt"));
  EXPECT_FALSE(machine_.Exists(kTree + L"\\a\\uncle.txt"));
  EXPECT_FALSE(machine_.Exists(kTree + L"\\z"));
  EXPECT_TRUE(machine_.IsDirectory(kTree + L"\\a\\b"));
}

TEST_F(PurgeDirectoryTest, MissingDirectoryOrPlainFileChangesNothing) {
  machine_.AddFile(kTemp + L"\\note.txt", "keep");
  const auto before = machine_.Snapshot();

  PurgeDirectory(machine_, kTree);
  PurgeDirectory(machine_, kTemp + L"\\note.txt");

  EXPECT_EQ(machine_.Snapshot(), before);
}

// A junction in the cache that points at the user's documents must not cost
// the user the documents. The link itself stays too: Wine deletes the target
// of a link it is told to delete.
TEST_F(PurgeDirectoryTest, LinksAndWhatTheyPointAtAreLeftAlone) {
  machine_.SetListsThroughLinks(true);  // the purge's own guard, not the file system's
  const std::wstring documents = L"C:\\Users\\user\\Documents";
  machine_.AddFile(documents + L"\\thesis.doc", "years of work", kAttributeReadOnly);
  machine_.AddFile(kTree + L"\\cache.bin", "x");
  machine_.AddLink(kTree + L"\\docs", documents);
  machine_.AddLink(kTemp + L"\\shortcut", documents);

  PurgeDirectory(machine_, kTree);
  PurgeDirectory(machine_, kTemp + L"\\shortcut");

  EXPECT_FALSE(machine_.Exists(kTree + L"\\cache.bin"));
  EXPECT_EQ(machine_.Look(kTree + L"\\docs").attributes, kAttributeDirectory | kAttributeReparsePoint);
  EXPECT_TRUE(machine_.Exists(kTemp + L"\\shortcut"));
  EXPECT_EQ(machine_.BytesOf(documents + L"\\thesis.doc"), "years of work");
  EXPECT_EQ(machine_.AttributesOf(documents + L"\\thesis.doc"), kAttributeReadOnly);
}

TEST_F(PurgeDirectoryTest, EmptyPathAndRootsAreRefusedUntouched) {
  machine_.AddFile(L"C:\\boot.ini", "boot");
  const auto before = machine_.Snapshot();

  for (const std::wstring root : {L"", L"C:", L"C:\\", L"c:/", L"\\", L"\\\\server\\share\\", L"\\\\?\\C:\\"})
    PurgeDirectory(machine_, root);

  EXPECT_EQ(machine_.Snapshot(), before);
}

// A cut path would name some other file; an entry whose path is too long
// stays, and so do the folders above it.
TEST_F(PurgeDirectoryTest, OverLongEntryIsSkippedNeverCut) {
  const std::wstring deep = kTree + L"\\sub";
  machine_.SetMaxPathLength(deep.size() + 10);
  const std::wstring longName = deep + L"\\" + std::wstring(20, L'n') + L".txt";
  machine_.AddFile(longName, "long");
  machine_.AddFile(deep + L"\\short.txt", "short");
  machine_.ResetCounters();

  PurgeDirectory(machine_, kTree);

  EXPECT_EQ(machine_.BytesOf(longName), "long");
  EXPECT_FALSE(machine_.Exists(deep + L"\\short.txt"));
  EXPECT_TRUE(machine_.IsDirectory(kTree));
  for (const std::string& call : machine_.CallLog())
    EXPECT_LE(call.size() - call.find(' ') - 1, machine_.MaxPathLength()) << call;
}

}  // namespace
}  // namespace quietreel
