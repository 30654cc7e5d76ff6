// The purge and the search on real folders, through the Win32 file system.
#include <gtest/gtest.h>

#include "RepairWinSupport.h"
#include "platform/win32/Win32FileSystem.h"
#include "repair/DirectoryPurge.h"
#include "repair/NamedEntrySearch.h"

namespace quietreel {
namespace {

using namespace repairtest;

class RepairTreeOnDisk : public ::testing::Test {
 protected:
  win32::Win32FileSystem files_;
  ScratchFolder scratch_;
};

TEST_F(RepairTreeOnDisk, PurgeRemovesDeepTreeWithReadOnlyHiddenAndSystemFiles) {
  const std::wstring tree = scratch_ / L"Content.IE5";
  WriteFileAt(tree + L"\\A1\\B2\\C3\\deep.gif", "GIF89a", FILE_ATTRIBUTE_READONLY);
  WriteFileAt(tree + L"\\A1\\B2\\C3\\D4\\E5\\deeper.js", "js", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
  WriteFileAt(tree + L"\\index.dat", "idx", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  WriteFileAt(tree + L"\\desktop.ini", "ini", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY);
  for (int i = 0; i < 30; ++i) WriteFileAt(tree + L"\\A1\\file" + std::to_wstring(i) + L".htm", "<p>");
  MakeDirectories(tree + L"\\empty\\also-empty");
  ASSERT_EQ(Attributes(tree + L"\\A1\\B2\\C3\\deep.gif") & FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_READONLY);

  PurgeDirectory(files_, tree);

  EXPECT_FALSE(Exists(tree));
  EXPECT_TRUE(testsupport::IsDirectory(scratch_.Path()));
}

TEST_F(RepairTreeOnDisk, PurgeKeepsAFileHeldOpenWithItsParentsButNotItsSiblings) {
  const std::wstring tree = scratch_ / L"cache";
  WriteFileAt(tree + L"\\a\\b\\playing.flv", "flv");
  WriteFileAt(tree + L"\\a\\b\\sibling.flv", "flv");
  WriteFileAt(tree + L"\\a\\aunt.txt", "x");
  WriteFileAt(tree + L"\\z\\cousin.txt", "x");
  HeldOpen player(tree + L"\\a\\b\\playing.flv");
  ASSERT_TRUE(player.Valid());

  PurgeDirectory(files_, tree);

  EXPECT_TRUE(IsFile(tree + L"\\a\\b\\playing.flv"));
  EXPECT_FALSE(Exists(tree + L"\\a\\b\\sibling.flv"));
  EXPECT_FALSE(Exists(tree + L"\\a\\aunt.txt"));
  EXPECT_FALSE(Exists(tree + L"\\z"));
}

// A link in the tree is neither entered nor removed: Wine removes the
// target of a link it is told to remove. The folder holding it stays.
TEST_F(RepairTreeOnDisk, PurgeLeavesALinkAndWhatItPointsAt) {
  const std::wstring documents = scratch_ / L"Documents";
  const std::wstring tree = scratch_ / L"cache";
  WriteFileAt(documents + L"\\thesis.doc", "years of work", FILE_ATTRIBUTE_READONLY);
  WriteFileAt(tree + L"\\ad.swf", "swf");
  if (!MakeLink(tree + L"\\docs", documents)) GTEST_SKIP() << "this system makes no directory links";

  PurgeDirectory(files_, tree);

  EXPECT_EQ(SizeOf(documents + L"\\thesis.doc"), 13u);
  EXPECT_TRUE(Attributes(documents + L"\\thesis.doc") & FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(Exists(tree + L"\\ad.swf"));
  EXPECT_TRUE(Attributes(tree + L"\\docs") & FILE_ATTRIBUTE_REPARSE_POINT);
}

TEST_F(RepairTreeOnDisk, SearchFindsEntryAtDepthIgnoringCase) {
  const std::wstring shared = scratch_ / L"#SharedObjects";
  WriteFileAt(shared + L"\\K7Q2\\localhost\\settings.sol", "sol");
  WriteFileAt(shared + L"\\K7Q2\\static.youku.com.old\\x.sol", "sol");
  WriteFileAt(shared + L"\\M3X9\\deep\\er\\Static.YouKu.com\\player\\x.sol", "sol");

  EXPECT_EQ(FindNamedEntry(files_, shared + L"\\", L"static.youku.com"),
            shared + L"\\M3X9\\deep\\er\\Static.YouKu.com");
  EXPECT_EQ(FindNamedEntry(files_, shared, L"settings.SOL"), shared + L"\\K7Q2\\localhost\\settings.sol");
  EXPECT_EQ(FindNamedEntry(files_, shared, L"nowhere.example"), L"");
  EXPECT_EQ(FindNamedEntry(files_, scratch_ / L"missing", L"static.youku.com"), L"");
}

}  // namespace
}  // namespace quietreel
