#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake/FakeWindows.h"
#include "repair/RepairOperations.h"

namespace quietreel {
namespace {

using fake::FakeWindow;
using fake::FakeWindows;
using BoxKind = FakeWindow::BoxKind;

const std::wstring kAppData = L"C:\\Users\\user\\AppData\\Roaming";
const std::wstring kCache = L"C:\\Users\\user\\AppData\\Local\\Microsoft\\Windows\\INetCache";
const std::wstring kSharedObjects = kAppData + L"\\Macromedia\\Flash Player\\#SharedObjects";
const std::wstring kStorage = kSharedObjects + L"\\7KXQ2M4A\\static.youku.com";
constexpr std::uint32_t kLocked = kAttributeHidden | kAttributeReadOnly | kAttributeSystem;
// The repair's new file also has the archive bit, as every new file does.
constexpr std::uint32_t kLockedNew = kLocked | kAttributeArchive;

const std::wstring kNothingToRepair = L"未出现过优酷黑屏问题！";
const std::wstring kRepaired = L"恭喜您，黑屏问题解决成功，请重新打开浏览器观看，祝您愉快！";
const std::wstring kRepairFailed = L"黑屏问题解决失败，请关闭浏览器及正在观看的视频后重试！";
const std::wstring kCleaning = L"临时文件清理中，请您耐心等候...";
const std::wstring kCleaned = L"删除临时文件成功！";

std::string Quoted(const std::string& verb, const std::wstring& path) {
  return "attrib " + verb + " \"" + fake::Narrow(path) + "\"";
}

std::size_t CountCalls(const std::vector<std::string>& log, const std::string& prefix) {
  std::size_t count = 0;
  for (const std::string& call : log) count += call.compare(0, prefix.size(), prefix) == 0;
  return count;
}

class RepairSharedObjectTest : public ::testing::Test {
 protected:
  void Repair() { RepairSharedObject(machine_.MakeServices(), dialog_); }
  std::vector<std::wstring> Texts() const {
    std::vector<std::wstring> texts;
    for (const auto& box : dialog_.Boxes()) texts.push_back(box.text);
    return texts;
  }

  FakeWindows machine_;
  FakeWindow dialog_;
};

TEST_F(RepairSharedObjectTest, StorageFolderBecomesAnEmptyLockedFile) {
  machine_.AddFile(kStorage + L"\\player.sol", "settings", kAttributeReadOnly);
  machine_.AddFile(kStorage + L"\\ads\\count.sol", "3");
  machine_.AddFile(kSharedObjects + L"\\7KXQ2M4A\\other.site\\keep.sol", "keep");

  Repair();

  EXPECT_TRUE(machine_.IsFile(kStorage));
  EXPECT_EQ(machine_.BytesOf(kStorage), "");
  EXPECT_EQ(machine_.AttributesOf(kStorage), kLockedNew);
  EXPECT_EQ(machine_.BytesOf(kSharedObjects + L"\\7KXQ2M4A\\other.site\\keep.sol"), "keep");
  EXPECT_EQ(machine_.Commands(), std::vector<std::string>{Quoted("+h +r +s", kStorage)});
  ASSERT_EQ(dialog_.Boxes().size(), 1u);
  EXPECT_EQ(dialog_.Boxes()[0].kind, BoxKind::kNotice);
  EXPECT_EQ(dialog_.Boxes()[0].text, kRepaired);
}

TEST_F(RepairSharedObjectTest, EarlierRepairsFileIsUnlockedAndMadeAgain) {
  machine_.AddFile(kStorage, "", kLocked);

  Repair();

  EXPECT_TRUE(machine_.IsFile(kStorage));
  EXPECT_EQ(machine_.AttributesOf(kStorage), kLockedNew);
  EXPECT_EQ(machine_.Commands(),
            (std::vector<std::string>{Quoted("-h -r -s", kStorage), Quoted("+h +r +s", kStorage)}));
  EXPECT_EQ(Texts(), std::vector<std::wstring>{kRepaired});
}

// The attrib that should unlock the old file fails: its read-only bit is
// taken off directly, and the repair still goes through.
TEST_F(RepairSharedObjectTest, EarlierRepairsFileGoesEvenWhenAttribFails) {
  machine_.AddFile(kStorage, "stale", kLocked);
  machine_.FailNext("Run");

  Repair();

  EXPECT_EQ(machine_.BytesOf(kStorage), "");
  EXPECT_EQ(machine_.AttributesOf(kStorage), kLockedNew);
  EXPECT_EQ(Texts(), std::vector<std::wstring>{kRepaired});
}

TEST_F(RepairSharedObjectTest, NoStorageEntryChangesNothing) {
  machine_.AddFile(kSharedObjects + L"\\7KXQ2M4A\\static.youku.com.bak\\x.sol", "x");
  machine_.AddFile(kAppData + L"\\static.youku.com", "outside the Flash folder");
  const auto before = machine_.Snapshot();

  Repair();

  EXPECT_EQ(machine_.Snapshot(), before);
  EXPECT_TRUE(machine_.Commands().empty());
  EXPECT_EQ(Texts(), std::vector<std::wstring>{kNothingToRepair});
}

// The folder cannot be emptied (the player still has a file open), so no
// file can take its place: that is a failure, not a success.
TEST_F(RepairSharedObjectTest, FolderThatWillNotGoIsReportedAsFailure) {
  machine_.AddFile(kStorage + L"\\in-use.sol", "x");
  machine_.Lock(kStorage + L"\\in-use.sol");

  Repair();

  EXPECT_TRUE(machine_.IsDirectory(kStorage));
  EXPECT_TRUE(machine_.Commands().empty());
  ASSERT_EQ(dialog_.Boxes().size(), 1u);
  EXPECT_EQ(dialog_.Boxes()[0].kind, BoxKind::kWarning);
  EXPECT_EQ(dialog_.Boxes()[0].text, kRepairFailed);
}

TEST_F(RepairSharedObjectTest, UnavailableAppDataIsNeverSearched) {
  machine_.AddDirectory(L"C:\\static.youku.com");
  machine_.AddDirectory(L"C:\\Macromedia\\Flash Player\\#SharedObjects\\static.youku.com");
  for (const std::optional<std::wstring>& appData : {std::optional<std::wstring>(), std::optional<std::wstring>(L"")}) {
    machine_.SetKnownFolder(KnownFolder::kAppData, appData);
    machine_.ResetCounters();
    const auto before = machine_.Snapshot();

    Repair();

    EXPECT_EQ(machine_.Snapshot(), before);
    EXPECT_EQ(CountCalls(machine_.CallLog(), "Enumerate"), 0u);
  }
  EXPECT_EQ(Texts(), (std::vector<std::wstring>{kNothingToRepair, kNothingToRepair}));
}

// Records, each time the status line is set, how many deletions the machine
// had seen by then.
class StatusWindow : public FakeWindow {
 public:
  explicit StatusWindow(const FakeWindows& machine) : machine_(machine) {}
  void ShowStatus(const std::wstring& text) override {
    FakeWindow::ShowStatus(text);
    deletionsSeen.push_back(CountCalls(machine_.CallLog(), "Remove"));
  }
  void ShowNotice(const std::wstring& text) override {
    FakeWindow::ShowNotice(text);
    deletionsAtNotice = CountCalls(machine_.CallLog(), "Remove");
  }
  std::vector<std::size_t> deletionsSeen;
  std::size_t deletionsAtNotice = 0;

 private:
  const FakeWindows& machine_;
};

class CleanTemporaryFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    machine_.AddFile(kCache + L"\\Content.IE5\\Q1\\ad[1].swf", "swf", kAttributeReadOnly);
    machine_.AddFile(kCache + L"\\Content.IE5\\index.dat", "idx", kAttributeHidden | kAttributeSystem);
    machine_.AddFile(kStorage + L"\\player.sol", "sol");
    machine_.AddFile(kAppData + L"\\Macromedia\\Flash Player\\macromedia.com\\settings.sol", "keep");
    machine_.ResetCounters();
  }
  void Clean() { CleanTemporaryFiles(machine_.MakeServices(), window_); }

  FakeWindows machine_;
  StatusWindow window_{machine_};
};

TEST_F(CleanTemporaryFilesTest, AnsweredOkPaintsStatusThenPurgesBothFolders) {
  Clean();

  EXPECT_FALSE(machine_.Exists(kCache));
  EXPECT_FALSE(machine_.Exists(kSharedObjects));
  EXPECT_EQ(machine_.BytesOf(kAppData + L"\\Macromedia\\Flash Player\\macromedia.com\\settings.sol"), "keep");

  ASSERT_EQ(window_.Boxes().size(), 2u);
  EXPECT_EQ(window_.Boxes()[0].kind, BoxKind::kQuestion);
  EXPECT_EQ(window_.Boxes()[0].caption, L"提示");
  EXPECT_EQ(window_.Boxes()[0].text, L"删除临时文件需要一段时间，确定继续?");
  EXPECT_EQ(window_.Boxes()[1].kind, BoxKind::kNotice);
  EXPECT_EQ(window_.Boxes()[1].text, kCleaned);

  EXPECT_EQ(window_.StatusLog(), (std::vector<std::wstring>{kCleaning, L""}));
  const std::size_t deletions = CountCalls(machine_.CallLog(), "Remove");
  ASSERT_GT(deletions, 0u);
  EXPECT_EQ(window_.deletionsSeen, (std::vector<std::size_t>{0, deletions}));
  EXPECT_EQ(window_.deletionsAtNotice, deletions);
}

TEST_F(CleanTemporaryFilesTest, AnsweredCancelDoesNothing) {
  window_.AnswerOk(false);
  const auto before = machine_.Snapshot();

  Clean();

  EXPECT_EQ(machine_.Snapshot(), before);
  EXPECT_TRUE(window_.StatusLog().empty());
  ASSERT_EQ(window_.Boxes().size(), 1u);
  EXPECT_EQ(window_.Boxes()[0].kind, BoxKind::kQuestion);
}

TEST_F(CleanTemporaryFilesTest, MissingFlashFolderStillCleansTheCache) {
  machine_.AddFile(L"C:\\Users\\user\\other.txt", "x");
  machine_.SetKnownFolder(KnownFolder::kAppData, L"C:\\Users\\user\\NoSuchRoaming");

  Clean();

  EXPECT_FALSE(machine_.Exists(kCache));
  EXPECT_TRUE(machine_.IsDirectory(kSharedObjects));
  EXPECT_EQ(window_.Boxes().back().text, kCleaned);
  EXPECT_EQ(window_.StatusLog().back(), L"");
}

// An unnamed folder would come out as an empty path, the root of the drive.
TEST_F(CleanTemporaryFilesTest, UnavailableFoldersAreLeftOutAndTheRestIsCleaned) {
  machine_.AddFile(L"C:\\boot.ini", "boot");
  machine_.AddFile(L"C:\\Macromedia\\Flash Player\\#SharedObjects\\x.sol", "root-relative");

  machine_.SetKnownFolder(KnownFolder::kInternetCache, std::nullopt);
  Clean();
  EXPECT_TRUE(machine_.IsDirectory(kCache));
  EXPECT_FALSE(machine_.Exists(kSharedObjects));

  machine_.SetKnownFolder(KnownFolder::kInternetCache, kCache);
  machine_.SetKnownFolder(KnownFolder::kAppData, L"");
  Clean();
  EXPECT_FALSE(machine_.Exists(kCache));

  EXPECT_EQ(machine_.BytesOf(L"C:\\boot.ini"), "boot");
  EXPECT_EQ(machine_.BytesOf(L"C:\\Macromedia\\Flash Player\\#SharedObjects\\x.sol"), "root-relative");
  EXPECT_EQ(window_.Boxes().size(), 4u);
  EXPECT_EQ(window_.Boxes().back().text, kCleaned);
  EXPECT_EQ(window_.StatusLog().back(), L"");
}

}  // namespace
}  // namespace quietreel
