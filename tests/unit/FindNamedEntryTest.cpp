#include <gtest/gtest.h>

#include <string>

#include "fake/FakeWindows.h"
#include "repair/NamedEntrySearch.h"

namespace quietreel {
namespace {

const std::wstring kRoot = L"C:\\Users\\user\\AppData\\Roaming\\Macromedia\\Flash Player\\#SharedObjects";
const std::wstring kName = L"static.youku.com";

class FindNamedEntryTest : public ::testing::Test {
 protected:
  std::wstring Find(const std::wstring& start = kRoot) { return FindNamedEntry(machine_, start, kName); }
  fake::FakeWindows machine_;
};

// The fake lists entries in name order, as NTFS does, so each test names
// the tempting wrong answer to come first.
TEST_F(FindNamedEntryTest, DirectEntryWinsOverOneListedEarlierInASubdirectory) {
  machine_.AddDirectory(kRoot + L"\\AB12\\static.youku.com");
  machine_.AddDirectory(kRoot + L"\\static.youku.com");

  EXPECT_EQ(Find(), kRoot + L"\\static.youku.com");
}

TEST_F(FindNamedEntryTest, FirstListedSubdirectoryWinsOverAShallowerMatchInALaterOne) {
  machine_.AddDirectory(kRoot + L"\\zz\\static.youku.com");
  machine_.AddDirectory(kRoot + L"\\aa\\deeper\\static.youku.com");

  EXPECT_EQ(Find(), kRoot + L"\\aa\\deeper\\static.youku.com");
}

TEST_F(FindNamedEntryTest, MatchIgnoresCaseAndKeepsTheEntrysSpelling) {
  machine_.AddFile(kRoot + L"\\AB12\\Static.YOUKU.com", "");

  EXPECT_EQ(Find(), kRoot + L"\\AB12\\Static.YOUKU.com");
  EXPECT_EQ(FindNamedEntry(machine_, kRoot, L"STATIC.YOUKU.COM"), kRoot + L"\\AB12\\Static.YOUKU.com");
  EXPECT_EQ(FindNamedEntry(machine_, kRoot, L"static.youku.co"), L"");
}

TEST_F(FindNamedEntryTest, FileIsReturnedLikeADirectory) {
  machine_.AddFile(kRoot + L"\\AB12\\static.youku.com", "", kAttributeHidden | kAttributeSystem);

  EXPECT_EQ(Find(), kRoot + L"\\AB12\\static.youku.com");
}

TEST_F(FindNamedEntryTest, MissingOrEmptyStartFindsNothingAndReadsNothingElse) {
  machine_.AddDirectory(L"C:\\static.youku.com");
  machine_.ResetCounters();

  EXPECT_EQ(Find(), L"");
  EXPECT_EQ(Find(L""), L"");
  EXPECT_EQ(machine_.CallLog(), std::vector<std::string>{"Enumerate " + fake::Narrow(kRoot)});
}

TEST_F(FindNamedEntryTest, LinksAreMatchedByNameButNotEntered) {
  machine_.SetListsThroughLinks(true);  // the search's own guard, not the file system's
  machine_.AddDirectory(L"C:\\Users\\user\\Documents\\static.youku.com");
  machine_.AddLink(kRoot + L"\\docs", L"C:\\Users\\user\\Documents");

  EXPECT_EQ(Find(), L"");

  machine_.AddLink(kRoot + L"\\static.youku.com", L"C:\\elsewhere");
  EXPECT_EQ(Find(), kRoot + L"\\static.youku.com");
}

TEST_F(FindNamedEntryTest, MatchWhosePathIsTooLongIsPassedOver) {
  const std::wstring longDir = kRoot + L"\\" + std::wstring(30, L'a');
  machine_.AddDirectory(longDir + L"\\static.youku.com");
  machine_.AddDirectory(kRoot + L"\\b\\static.youku.com");
  machine_.SetMaxPathLength(longDir.size() + 5);

  EXPECT_EQ(Find(), kRoot + L"\\b\\static.youku.com");
}

}  // namespace
}  // namespace quietreel
