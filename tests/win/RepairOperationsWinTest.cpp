// The two repairs on the profile's real application-data and Internet-cache
// folders, as the shell names them, with attrib run through the command
// interpreter.
#include <gtest/gtest.h>

#include "RepairWinSupport.h"
#include "platform/win32/Win32Platform.h"
#include "repair/RepairOperations.h"

namespace quietreel {
namespace {

using namespace repairtest;

const std::wstring kRepaired = L"恭喜您，黑屏问题解决成功，请重新打开浏览器观看，祝您愉快！";
const std::wstring kCleaning = L"临时文件清理中，请您耐心等候...";

bool FolderIsEmpty(const std::wstring& path) {
  WIN32_FIND_DATAW data{};
  HANDLE find = ::FindFirstFileW((path + L"\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return true;
  bool empty = true;
  do {
    std::wstring name = data.cFileName;
    if (name != L"." && name != L"..") empty = false;
  } while (empty && ::FindNextFileW(find, &data));
  ::FindClose(find);
  return empty;
}

// Works only on a profile without Flash data or cached pages of its own
// (a fresh Wine prefix), and leaves it as it found it.
class RepairOnProfile : public ::testing::Test {
 protected:
  void SetUp() override {
    win32::ShellFolders shell;
    appData_ = shell.Path(KnownFolder::kAppData).value_or(L"");
    cache_ = shell.Path(KnownFolder::kInternetCache).value_or(L"");
    ASSERT_FALSE(appData_.empty());
    ASSERT_FALSE(cache_.empty());
    macromedia_ = appData_ + L"\\Macromedia";
    sharedObjects_ = macromedia_ + L"\\Flash Player\\#SharedObjects";
    storage_ = sharedObjects_ + L"\\K7Q2M4XA\\static.youku.com";
    if (Exists(macromedia_) || !FolderIsEmpty(cache_)) GTEST_SKIP() << "the profile holds data of its own";
    cacheExisted_ = IsDirectory(cache_);
    owned_ = true;
  }
  void TearDown() override {
    if (!owned_) return;
    RemoveTree(macromedia_);
    RemoveTree(cache_ + L"\\Content.IE5");
    if (cacheExisted_) MakeDirectories(cache_);
  }

  win32::Win32Platform platform_;
  RecordingWindow dialog_;
  std::wstring appData_, cache_, macromedia_, sharedObjects_, storage_;
  bool cacheExisted_ = false;
  bool owned_ = false;
};

// attrib leaves the file hidden, read-only and system.
void ExpectLockedEmptyFile(const std::wstring& path) {
  ASSERT_TRUE(IsFile(path));
  EXPECT_EQ(SizeOf(path), 0u);
  EXPECT_EQ(ProtectionOf(path), kProtection);
}

TEST_F(RepairOnProfile, StorageFolderBecomesLockedEmptyFileAndStaysSoOnSecondRun) {
  WriteFileAt(storage_ + L"\\player.sol", "TCSO", FILE_ATTRIBUTE_READONLY);
  WriteFileAt(storage_ + L"\\ads\\count.sol", "TCSO", FILE_ATTRIBUTE_HIDDEN);
  WriteFileAt(sharedObjects_ + L"\\K7Q2M4XA\\localhost\\keep.sol", "TCSO");

  RepairSharedObject(platform_.MakeServices(), dialog_);
  ExpectLockedEmptyFile(storage_);

  RepairSharedObject(platform_.MakeServices(), dialog_);
  ExpectLockedEmptyFile(storage_);

  EXPECT_TRUE(IsFile(sharedObjects_ + L"\\K7Q2M4XA\\localhost\\keep.sol"));
  EXPECT_EQ(dialog_.notices, (std::vector<std::wstring>{kRepaired, kRepaired}));
  EXPECT_TRUE(dialog_.warnings.empty());
}

TEST_F(RepairOnProfile, NoStorageEntryCreatesNothing) {
  WriteFileAt(sharedObjects_ + L"\\K7Q2M4XA\\localhost\\keep.sol", "TCSO");

  RepairSharedObject(platform_.MakeServices(), dialog_);

  EXPECT_FALSE(Exists(storage_));
  EXPECT_TRUE(IsFile(sharedObjects_ + L"\\K7Q2M4XA\\localhost\\keep.sol"));
  EXPECT_EQ(dialog_.notices, std::vector<std::wstring>{L"未出现过优酷黑屏问题！"});
}

// The player still holds a file open, so the folder stays and no file can
// take its place: the user is told it failed.
TEST_F(RepairOnProfile, StorageFolderHeldOpenIsReportedAsFailure) {
  WriteFileAt(storage_ + L"\\player.sol", "TCSO");
  WriteFileAt(storage_ + L"\\other.sol", "TCSO");
  {
    HeldOpen player(storage_ + L"\\player.sol");
    ASSERT_TRUE(player.Valid());

    RepairSharedObject(platform_.MakeServices(), dialog_);
  }

  EXPECT_TRUE(IsDirectory(storage_));
  EXPECT_FALSE(Exists(storage_ + L"\\other.sol"));
  EXPECT_TRUE(dialog_.notices.empty());
  EXPECT_EQ(dialog_.warnings, std::vector<std::wstring>{L"黑屏问题解决失败，请关闭浏览器及正在观看的视频后重试！"});
}

TEST_F(RepairOnProfile, CleanupPaintsStatusThenPurgesCacheAndSharedObjects) {
  const std::wstring cached = cache_ + L"\\Content.IE5\\Q1W2E3R4\\ad[1].swf";
  WriteFileAt(cached, "FWS", FILE_ATTRIBUTE_READONLY);
  WriteFileAt(cache_ + L"\\Content.IE5\\index.dat", "idx", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  WriteFileAt(storage_ + L"\\player.sol", "TCSO");
  WriteFileAt(macromedia_ + L"\\Flash Player\\macromedia.com\\support\\settings.sol", "TCSO");
  std::vector<bool> cachedAtStatus;
  dialog_.onStatus = [&] { cachedAtStatus.push_back(Exists(cached)); };

  CleanTemporaryFiles(platform_.MakeServices(), dialog_);

  EXPECT_EQ(cachedAtStatus, (std::vector<bool>{true, false}));
  EXPECT_FALSE(Exists(cache_ + L"\\Content.IE5"));
  EXPECT_FALSE(Exists(sharedObjects_));
  EXPECT_TRUE(IsFile(macromedia_ + L"\\Flash Player\\macromedia.com\\support\\settings.sol"));
  EXPECT_EQ(dialog_.statuses, (std::vector<std::wstring>{kCleaning, L""}));
  ASSERT_EQ(dialog_.questions.size(), 1u);
  EXPECT_EQ(dialog_.questions[0].second, L"提示");
  EXPECT_EQ(dialog_.notices, std::vector<std::wstring>{L"删除临时文件成功！"});
}

TEST_F(RepairOnProfile, CleanupAnsweredCancelDeletesNothing) {
  WriteFileAt(cache_ + L"\\Content.IE5\\Q1W2E3R4\\page[1].htm", "<p>");
  WriteFileAt(storage_ + L"\\player.sol", "TCSO");
  dialog_.answerOk = false;

  CleanTemporaryFiles(platform_.MakeServices(), dialog_);

  EXPECT_TRUE(IsFile(cache_ + L"\\Content.IE5\\Q1W2E3R4\\page[1].htm"));
  EXPECT_TRUE(IsFile(storage_ + L"\\player.sol"));
  EXPECT_TRUE(dialog_.statuses.empty());
  EXPECT_TRUE(dialog_.notices.empty());
}

}  // namespace
}  // namespace quietreel
