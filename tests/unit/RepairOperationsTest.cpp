// The two storage repairs, one row a case: what the user is told, what
// becomes of the video site's storage, and that nothing outside the folders
// the repair may empty was touched.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "Expected.h"
#include "fake/FakeWindows.h"
#include "repair/RepairOperations.h"

namespace quietreel {
namespace {

using fake::FakeWindow;
using fake::FakeWindows;
using Kind = FakeWindow::BoxKind;
namespace text = expected;

const std::wstring kProfile = L"C:\\Users\\user";
const std::wstring kAppData = kProfile + L"\\AppData\\Roaming";
const std::wstring kCache = kProfile + L"\\AppData\\Local\\Microsoft\\Windows\\INetCache";
const std::wstring kFlashPlayer = kAppData + L"\\Macromedia\\Flash Player";
const std::wstring kSharedObjects = kFlashPlayer + L"\\#SharedObjects";
const std::wstring kStorage = kSharedObjects + L"\\7KXQ2M4A\\static.youku.com";
const std::wstring kDocuments = kProfile + L"\\Documents";
const std::wstring kThesis = kDocuments + L"\\thesis.doc";
const std::wstring kPublic = L"C:\\Users\\Public\\Documents";
constexpr std::uint32_t kLockedNew = expected::kHiddenReadOnlySystem | expected::kArchive;

enum class Operation { kRepair, kCleanup };

struct Row {
  const char* name;
  std::function<void(FakeWindows&)> arrange;
  Operation operation;
  Kind kind;
  const wchar_t* message;
  // Folders the operation may empty; everything else must stay as it was.
  std::vector<std::wstring> mayChange;
  // Paths that must be gone afterwards.
  std::vector<std::wstring> gone = {};
  // The storage entry ends as the repair's empty locked file.
  bool storageLocked = false;
};

std::ostream& operator<<(std::ostream& out, const Row& row) { return out << row.name; }

void Storage(FakeWindows& m) {
  m.AddFile(kStorage + L"\\player.sol", "settings", kAttributeReadOnly);
  m.AddFile(kStorage + L"\\ads\\count.sol", "3");
  m.AddFile(kSharedObjects + L"\\7KXQ2M4A\\other.site\\keep.sol", "keep");
}

void Caches(FakeWindows& m) {
  m.AddFile(kCache + L"\\Content.IE5\\Q1\\ad[1].swf", "swf", kAttributeReadOnly);
  m.AddFile(kCache + L"\\Content.IE5\\index.dat", "idx", kAttributeHidden | kAttributeSystem);
  m.AddFile(kStorage + L"\\player.sol", "sol");
  m.AddFile(kFlashPlayer + L"\\macromedia.com\\settings.sol", "keep");
}

void UserDocuments(FakeWindows& m) {
  m.AddFile(kThesis, "years of work", kAttributeReadOnly);
  m.AddFile(kDocuments + L"\\static.youku.com\\notes.txt", "mine");
  m.AddFile(kPublic + L"\\shared.doc", "everyone's");
}

// The cache setting names `folder`, which holds a file of the user's.
void NotACache(FakeWindows& m, const std::wstring& folder) {
  Caches(m), UserDocuments(m), m.AddFile(folder + L"\\sub\\precious.txt", "precious");
  m.SetKnownFolder(KnownFolder::kInternetCache, folder);
}

// The cache where a Windows keeps it, or where the user moved it.
const std::wstring kVistaCache = kProfile + L"\\AppData\\Local\\Microsoft\\Windows\\Temporary Internet Files";
const std::wstring kXpCache = kProfile + L"\\Local Settings\\Temporary Internet Files";
const std::wstring kMovedCache = kProfile + L"\\Browser\\inetcache";
void MovedCache(FakeWindows& m, const std::wstring& folder) {
  Caches(m), m.AddFile(folder + L"\\Content.IE5\\ad[1].swf", "swf"),
      m.SetKnownFolder(KnownFolder::kInternetCache, folder);
}

// A folder the walk has listed as a real one is made a link to the user's
// documents before the walk enters it, as a program racing it could.
std::function<void()> SwapForLink(FakeWindows& m, std::wstring folder, std::wstring file) {
  return [&m, folder, file] {
    m.Remove(file);
    m.Remove(folder);
    m.AddLink(folder, kDocuments);
  };
}

// One row a case reads better than the formatter's columns.
// clang-format off
const Row kRows[] = {
    // --- The black-screen repair ---------------------------------------------------
    {"StorageFolderBecomesAnEmptyLockedFile", Storage, Operation::kRepair, Kind::kNotice, text::kRepaired, {kStorage}, {}, true},
    {"EarlierRepairsFileIsMadeAgain", [](FakeWindows& m) { m.AddFile(kStorage, "", expected::kHiddenReadOnlySystem); },
     Operation::kRepair, Kind::kNotice, text::kRepaired, {kStorage}, {}, true},
    {"EarlierRepairsFileGoesEvenWhenUnhidingFails",
     [](FakeWindows& m) { m.AddFile(kStorage, "stale", expected::kHiddenReadOnlySystem), m.FailNext("SetAttributes"); },
     Operation::kRepair, Kind::kNotice, text::kRepaired, {kStorage}, {}, true},
    {"NoStorageEntry",
     [](FakeWindows& m) {
       m.AddFile(kSharedObjects + L"\\7KXQ2M4A\\static.youku.com.bak\\x.sol", "x");
       m.AddFile(kAppData + L"\\static.youku.com", "outside the Flash folder");
     },
     Operation::kRepair, Kind::kNotice, text::kNothingToRepair, {}},
    {"FolderThatWillNotGoIsAFailure",
     [](FakeWindows& m) { m.AddFile(kStorage + L"\\in-use.sol", "x"), m.Lock(kStorage + L"\\in-use.sol"); },
     Operation::kRepair, Kind::kWarning, text::kRepairFailed, {kStorage}},
    {"AppDataUnnamed_Repair",
     [](FakeWindows& m) { Storage(m), m.SetKnownFolder(KnownFolder::kAppData, std::wstring()); },
     Operation::kRepair, Kind::kNotice, text::kNothingToRepair, {}},
    {"AppDataMissingOnDisk_Repair",
     [](FakeWindows& m) { m.SetKnownFolder(KnownFolder::kAppData, kProfile + L"\\NoSuchRoaming"); },
     Operation::kRepair, Kind::kNotice, text::kNothingToRepair, {}},
    {"SharedObjectsIsAFile_Repair", [](FakeWindows& m) { m.AddFile(kSharedObjects, "not a folder"); },
     Operation::kRepair, Kind::kNotice, text::kNothingToRepair, {}},
    {"StorageEntryIsALink",
     [](FakeWindows& m) { UserDocuments(m), m.AddDirectory(kSharedObjects + L"\\X"),
                          m.AddLink(kSharedObjects + L"\\X\\static.youku.com", kDocuments); },
     Operation::kRepair, Kind::kWarning, text::kFoldersUnsafe, {}},
    {"AppDataOutsideTheProfile_Repair",
     [](FakeWindows& m) {
       m.AddFile(kPublic + L"\\Macromedia\\Flash Player\\#SharedObjects\\X\\static.youku.com\\a.sol", "a");
       m.SetKnownFolder(KnownFolder::kAppData, kPublic);
     },
     Operation::kRepair, Kind::kWarning, text::kFoldersUnsafe, {}},
    {"FlashFolderIsALink_Repair",
     [](FakeWindows& m) { UserDocuments(m), m.AddLink(kFlashPlayer, kDocuments); },
     Operation::kRepair, Kind::kWarning, text::kFoldersUnsafe, {}},
    {"NoUserRights_Repair", [](FakeWindows& m) { Storage(m), m.DenyUserRights(); },
     Operation::kRepair, Kind::kWarning, text::kRepairNoUserRights, {}},
    {"StorageReplacedByALinkBeforeTheNewFile",
     [](FakeWindows& m) {
       Storage(m), UserDocuments(m);
       m.BeforeCall("CreateNew", [&m] { m.AddLink(kStorage, kThesis); });
     },
     Operation::kRepair, Kind::kWarning, text::kRepairFailed, {kStorage}},

    // --- The cleanup ---------------------------------------------------------------------
    {"CleansBothFoldersAndNothingElse", Caches, Operation::kCleanup, Kind::kNotice, text::kCleaned,
     {kCache, kSharedObjects}, {kCache, kSharedObjects}},
    {"MissingFlashFolderStillCleansTheCache",
     [](FakeWindows& m) { Caches(m), m.SetKnownFolder(KnownFolder::kAppData, kProfile + L"\\NoSuchRoaming"); },
     Operation::kCleanup, Kind::kNotice, text::kCleaned, {kCache}, {kCache}},
    {"UnnamedCacheIsLeftOut", [](FakeWindows& m) { Caches(m), m.SetKnownFolder(KnownFolder::kInternetCache, {}); },
     Operation::kCleanup, Kind::kNotice, text::kCleaned, {kSharedObjects}, {kSharedObjects}},
    {"UnnamedAppDataIsLeftOut",
     [](FakeWindows& m) {
       Caches(m), m.AddFile(L"C:\\Macromedia\\Flash Player\\#SharedObjects\\x.sol", "root-relative");
       m.SetKnownFolder(KnownFolder::kAppData, std::wstring());
     },
     Operation::kCleanup, Kind::kNotice, text::kCleaned, {kCache}, {kCache}},
    {"SharedObjectsIsAFile_Cleanup", [](FakeWindows& m) { m.AddFile(kSharedObjects, "not a folder"); },
     Operation::kCleanup, Kind::kNotice, text::kCleaned, {kCache}, {kCache}},
    {"LinkInsideTheCacheIsNotFollowed",
     [](FakeWindows& m) { UserDocuments(m), m.AddFile(kCache + L"\\Low\\ad.js", "js"),
                          m.AddLink(kCache + L"\\Low\\documents", kDocuments); },
     Operation::kCleanup, Kind::kNotice, text::kCleaned, {kCache, kSharedObjects}, {kCache + L"\\Low\\ad.js"}},
    {"CacheFolderSettingPointsOutsideTheProfile",
     [](FakeWindows& m) { Caches(m), UserDocuments(m), m.SetKnownFolder(KnownFolder::kInternetCache, kPublic); },
     Operation::kCleanup, Kind::kWarning, text::kFoldersUnsafe, {}},
    {"CacheFolderSettingClimbsOutOfTheProfile",
     [](FakeWindows& m) {
       Caches(m), UserDocuments(m);
       m.SetKnownFolder(KnownFolder::kInternetCache, kProfile + L"\\..\\Public\\Documents");
     },
     Operation::kCleanup, Kind::kWarning, text::kFoldersUnsafe, {}},
    {"FlashFolderIsALink_Cleanup", [](FakeWindows& m) { Caches(m), UserDocuments(m), m.AddLink(kFlashPlayer, kDocuments); },
     Operation::kCleanup, Kind::kWarning, text::kFoldersUnsafe, {}},
    {"ProfileUnknown_Cleanup", [](FakeWindows& m) { Caches(m), m.SetKnownFolder(KnownFolder::kProfile, {}); },
     Operation::kCleanup, Kind::kWarning, text::kFoldersUnsafe, {}},
    // The cache folder's setting pointed at the user's own data.
    {"CacheSettingIsTheDocumentsFolder",
     [](FakeWindows& m) { Caches(m), UserDocuments(m), m.SetKnownFolder(KnownFolder::kInternetCache, kDocuments); },
     Operation::kCleanup, Kind::kWarning, text::kHoldsUserData, {}},
    {"CacheSettingIsTheProfile",
     [](FakeWindows& m) { Caches(m), UserDocuments(m), m.SetKnownFolder(KnownFolder::kInternetCache, kProfile); },
     Operation::kCleanup, Kind::kWarning, text::kHoldsUserData, {}},
    {"CacheNamedFolderInsideTheDocuments",
     [](FakeWindows& m) { Caches(m), UserDocuments(m), m.AddFile(kDocuments + L"\\INetCache\\mine.txt", "mine");
                          m.SetKnownFolder(KnownFolder::kInternetCache, kDocuments + L"\\INetCache"); },
     Operation::kCleanup, Kind::kWarning, text::kHoldsUserData, {}},
    {"CacheNamedFolderHoldsTheDocuments",
     [](FakeWindows& m) {
       Caches(m), m.AddFile(kProfile + L"\\INetCache\\Mine\\a.doc", "mine");
       m.SetKnownFolder(KnownFolder::kDocuments, kProfile + L"\\INetCache\\Mine");
       m.SetKnownFolder(KnownFolder::kInternetCache, kProfile + L"\\INetCache");
     },
     Operation::kCleanup, Kind::kWarning, text::kHoldsUserData, {}},
    {"CacheSettingIsTheAppDataRoot",
     [](FakeWindows& m) { Caches(m), m.SetKnownFolder(KnownFolder::kInternetCache, kProfile + L"\\AppData"); },
     Operation::kCleanup, Kind::kWarning, text::kHoldsUserData, {}},
    {"DocumentsSettingMovedAwayStillGuardsTheUsualPlace",
     [](FakeWindows& m) {
       Caches(m), UserDocuments(m), m.SetKnownFolder(KnownFolder::kDocuments, L"D:\\Elsewhere");
       m.SetKnownFolder(KnownFolder::kInternetCache, kDocuments + L"\\Temporary Internet Files");
     },
     Operation::kCleanup, Kind::kWarning, text::kHoldsUserData, {}},
    {"MovedDocumentsFolderIsGuardedWhereItIs",
     [](FakeWindows& m) {
       Caches(m), m.AddFile(kProfile + L"\\Data\\Mine\\INetCache\\a.doc", "mine"), m.SetKnownFolder(KnownFolder::kDocuments, kProfile + L"\\Data\\Mine");
       m.SetKnownFolder(KnownFolder::kInternetCache, kProfile + L"\\Data\\Mine\\INetCache");
     },
     Operation::kCleanup, Kind::kWarning, text::kHoldsUserData, {}},
    {"NoUserRights_Cleanup", [](FakeWindows& m) { Caches(m), m.DenyUserRights(); },
     Operation::kCleanup, Kind::kWarning, text::kRepairNoUserRights, {}},
    // Only the browser's cache is emptied: a folder of the cache's name, at
    // its place or where Internet Options moved it, named by its own long
    // names. Any other folder the setting names is refused.
    {"CacheSettingIsOneDrive", [](FakeWindows& m) { NotACache(m, kProfile + L"\\OneDrive"); },
     Operation::kCleanup, Kind::kWarning, text::kHoldsUserData, {}},
    {"CacheSettingIsTheSshKeys", [](FakeWindows& m) { NotACache(m, kProfile + L"\\.ssh"); },
     Operation::kCleanup, Kind::kWarning, text::kHoldsUserData, {}},
    {"CacheSettingIsTheDpapiKeys", [](FakeWindows& m) { NotACache(m, kAppData + L"\\Microsoft\\Protect"); },
     Operation::kCleanup, Kind::kWarning, text::kHoldsUserData, {}},
    {"CacheSettingIsTemp", [](FakeWindows& m) { NotACache(m, kProfile + L"\\AppData\\Local\\Temp"); },
     Operation::kCleanup, Kind::kWarning, text::kHoldsUserData, {}},
    {"CacheSettingOnlyStartsLikeTheCache", [](FakeWindows& m) { NotACache(m, kCache + L"Backup"); },
     Operation::kCleanup, Kind::kWarning, text::kHoldsUserData, {}},
    {"CacheOfVistaAndSeven", [](FakeWindows& m) { MovedCache(m, kVistaCache); },
     Operation::kCleanup, Kind::kNotice, text::kCleaned, {kVistaCache, kSharedObjects}, {kVistaCache}},
    {"CacheOfXp", [](FakeWindows& m) { MovedCache(m, kXpCache); },
     Operation::kCleanup, Kind::kNotice, text::kCleaned, {kXpCache, kSharedObjects}, {kXpCache}},
    {"CacheMovedByInternetOptions", [](FakeWindows& m) { MovedCache(m, kMovedCache); },
     Operation::kCleanup, Kind::kNotice, text::kCleaned, {kMovedCache, kSharedObjects}, {kMovedCache}},
    {"CacheSpelledWithATrailingDot", [](FakeWindows& m) { NotACache(m, kDocuments + L".\\INetCache"); },
     Operation::kCleanup, Kind::kWarning, text::kFoldersUnsafe, {}},
    {"CacheSpelledWithATrailingSpace", [](FakeWindows& m) { NotACache(m, kDocuments + L" \\INetCache"); },
     Operation::kCleanup, Kind::kWarning, text::kFoldersUnsafe, {}},
    {"CacheSpelledThroughAStream", [](FakeWindows& m) { NotACache(m, kDocuments + L"::$INDEX_ALLOCATION\\INetCache"); },
     Operation::kCleanup, Kind::kWarning, text::kFoldersUnsafe, {}},
    {"CacheSpelledByAShortName", [](FakeWindows& m) { NotACache(m, kProfile + L"\\DOCUME~1\\INetCache"); },
     Operation::kCleanup, Kind::kWarning, text::kFoldersUnsafe, {}},
    {"AppDataSpelledByAShortName",
     [](FakeWindows& m) { Caches(m), m.SetKnownFolder(KnownFolder::kAppData, kProfile + L"\\AppData\\ROAMIN~1"); },
     Operation::kCleanup, Kind::kWarning, text::kFoldersUnsafe, {}},
    {"SubfolderSwappedForALinkWhileThePurgeRuns",
     [](FakeWindows& m) {
       UserDocuments(m), m.AddFile(kCache + L"\\Low\\ad.js", "js");
       m.BeforeCall("Enumerate", SwapForLink(m, kCache + L"\\Low", kCache + L"\\Low\\ad.js"), 2);
     },
     Operation::kCleanup, Kind::kNotice, text::kCleaned, {kCache, kSharedObjects}},
};
// clang-format on

// The fake's keys are its paths upcased, as Windows folds names.
std::wstring Upper(std::wstring text) {
  for (auto& c : text)
    if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
  return text;
}

// Every node outside the folders the row allows to change.
std::map<std::wstring, std::string> Outside(const FakeWindows& machine, const std::vector<std::wstring>& roots) {
  std::map<std::wstring, std::string> rest;
  for (const auto& [key, value] : machine.Snapshot()) {
    bool inside = false;
    for (const std::wstring& root : roots) {
      const std::wstring prefix = Upper(root);
      inside = inside || key == prefix || key.rfind(prefix + L"\\", 0) == 0;
    }
    if (!inside) rest[key] = value;
  }
  return rest;
}

class RepairOperations : public ::testing::TestWithParam<Row> {};

TEST_P(RepairOperations, TellTheOutcomeAndTouchNothingElse) {
  const Row& row = GetParam();
  FakeWindows machine;
  FakeWindow dialog;
  row.arrange(machine);
  const auto outside = Outside(machine, row.mayChange);

  if (row.operation == Operation::kRepair) {
    RepairSharedObject(machine.MakeServices(), dialog);
  } else {
    CleanTemporaryFiles(machine.MakeServices(), dialog);
  }

  std::vector<FakeWindow::Box> told = dialog.Boxes();
  const bool refusedFirst = row.message == text::kRepairNoUserRights;
  if (row.operation == Operation::kCleanup && !refusedFirst) {
    ASSERT_FALSE(told.empty());
    EXPECT_EQ(told.front().kind, Kind::kQuestion);
    EXPECT_EQ(fake::Narrow(told.front().text), fake::Narrow(text::kCleanupQuestion));
    EXPECT_EQ(fake::Narrow(told.front().caption), fake::Narrow(text::kCleanupCaption));
    told.erase(told.begin());
  }
  ASSERT_EQ(told.size(), 1u);
  EXPECT_EQ(told[0].kind, row.kind);
  EXPECT_EQ(fake::Narrow(told[0].text), fake::Narrow(row.message));
  EXPECT_EQ(Outside(machine, row.mayChange), outside);
  if (row.storageLocked) {
    EXPECT_TRUE(machine.IsFile(kStorage));
    EXPECT_EQ(machine.BytesOf(kStorage), "");
    EXPECT_EQ(machine.AttributesOf(kStorage), kLockedNew);
  }
  for (const std::wstring& path : row.gone) EXPECT_FALSE(machine.Exists(path)) << fake::Narrow(path);
  // Everything the repairs do to files, they do with the desktop user's rights.
  for (const std::string& call : machine.CallLog())
    EXPECT_TRUE(call.rfind("Path ", 0) == 0 || call.find(" as user") != std::string::npos) << call;
}

INSTANTIATE_TEST_SUITE_P(Rows, RepairOperations, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row>& info) { return std::string(info.param.name); });

// The status line shows while the purges run: it is set before the first
// file goes, counts the files every 64, and is cleared after the last;
// Cancel shows nothing at all.
class StatusWindow : public FakeWindow {
 public:
  explicit StatusWindow(const FakeWindows& machine) : machine_(machine) {}
  void ShowStatus(const std::wstring& text) override {
    FakeWindow::ShowStatus(text);
    cacheThere.push_back(machine_.IsDirectory(kCache));
  }
  std::vector<bool> cacheThere;

 private:
  const FakeWindows& machine_;
};

TEST(CleanupStatus, ShownWhileThePurgesRunAndNotAfterCancel) {
  FakeWindows machine;
  Caches(machine);
  for (int i = 0; i < 128; ++i) machine.AddFile(kCache + L"\\Low\\f" + std::to_wstring(i), "");
  StatusWindow window(machine);
  CleanTemporaryFiles(machine.MakeServices(), window);
  const std::wstring cleaning = text::kCleaning;
  EXPECT_EQ(window.StatusLog(), (std::vector<std::wstring>{cleaning, L"临时文件清理中，已删除 64 个文件...",
                                                           L"临时文件清理中，已删除 128 个文件...", L""}));
  EXPECT_EQ(window.cacheThere, (std::vector<bool>{true, true, true, false}));

  FakeWindows untouched;
  Caches(untouched);
  const auto before = untouched.Snapshot();
  FakeWindow declined;
  declined.AnswerOk(false);
  CleanTemporaryFiles(untouched.MakeServices(), declined);
  EXPECT_EQ(untouched.Snapshot(), before);
  EXPECT_TRUE(declined.StatusLog().empty());
  EXPECT_EQ(declined.Boxes().size(), 1u);
}

}  // namespace
}  // namespace quietreel
