// Bad input for the two storage repairs, one row each: what the user is told,
// and that nothing outside the folders the repair may empty was touched.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "fake/FakeWindows.h"
#include "repair/RepairOperations.h"

namespace quietreel {
namespace {

using fake::FakeWindow;
using fake::FakeWindows;

const std::wstring kAppData = L"C:\\Users\\user\\AppData\\Roaming";
const std::wstring kCache = L"C:\\Users\\user\\AppData\\Local\\Microsoft\\Windows\\INetCache";
const std::wstring kSharedObjects = kAppData + L"\\Macromedia\\Flash Player\\#SharedObjects";
const std::wstring kDocuments = L"C:\\Users\\user\\Documents";

const wchar_t kNothingToRepair[] = L"未出现过优酷黑屏问题！";
const wchar_t kRepaired[] = L"恭喜您，黑屏问题解决成功，请重新打开浏览器观看，祝您愉快！";
const wchar_t kCleaned[] = L"删除临时文件成功！";

enum class Operation { kRepair, kCleanup };

struct Row {
  const char* name;
  std::function<void(FakeWindows&)> arrange;
  Operation operation;
  const wchar_t* message;
  // Folders the operation may empty; everything else must stay as it was.
  std::vector<std::wstring> mayChange;
  // Paths that must still be there afterwards, with their bytes.
  std::vector<std::wstring> kept;
};

std::ostream& operator<<(std::ostream& out, const Row& row) { return out << row.name; }

void UserDocuments(FakeWindows& m) {
  m.AddFile(kDocuments + L"\\thesis.doc", "years of work");
  m.AddFile(kDocuments + L"\\static.youku.com\\notes.txt", "mine");
}

const Row kRows[] = {
    {"AppDataUnavailable_Repair",
     [](FakeWindows& m) {
       m.AddFile(kSharedObjects + L"\\X\\static.youku.com\\a.sol", "lso");
       m.SetKnownFolder(KnownFolder::kAppData, std::nullopt);
     },
     Operation::kRepair, kNothingToRepair, {}, {kSharedObjects + L"\\X\\static.youku.com\\a.sol"}},
    {"AppDataUnavailable_Cleanup",
     [](FakeWindows& m) {
       m.AddFile(kSharedObjects + L"\\X\\a.sol", "lso");
       m.AddFile(kCache + L"\\Content.IE5\\ad.js", "js");
       m.SetKnownFolder(KnownFolder::kAppData, std::wstring());
     },
     Operation::kCleanup, kCleaned, {kCache}, {kSharedObjects + L"\\X\\a.sol"}},
    {"CacheUnavailable_Cleanup",
     [](FakeWindows& m) {
       m.AddFile(kSharedObjects + L"\\X\\a.sol", "lso");
       m.AddFile(kCache + L"\\Content.IE5\\ad.js", "js");
       m.SetKnownFolder(KnownFolder::kInternetCache, std::nullopt);
     },
     Operation::kCleanup, kCleaned, {kSharedObjects}, {kCache + L"\\Content.IE5\\ad.js"}},
    {"AppDataFolderMissingOnDisk_Repair",
     [](FakeWindows& m) { m.SetKnownFolder(KnownFolder::kAppData, std::wstring(L"C:\\Users\\gone\\AppData\\Roaming")); },
     Operation::kRepair, kNothingToRepair, {}, {}},
    {"SharedObjectsIsAFile_Repair",
     [](FakeWindows& m) { m.AddFile(kSharedObjects, "not a folder"); },
     Operation::kRepair, kNothingToRepair, {}, {kSharedObjects}},
    {"SharedObjectsIsAFile_Cleanup",
     [](FakeWindows& m) {
       m.AddFile(kSharedObjects, "not a folder");
       m.AddFile(kCache + L"\\ad.js", "js");
     },
     Operation::kCleanup, kCleaned, {kCache}, {kSharedObjects}},
    // The link goes; what it points at stays.
    {"JunctionInsideTheCache_Cleanup",
     [](FakeWindows& m) {
       UserDocuments(m);
       m.AddFile(kCache + L"\\Low\\ad.js", "js");
       m.AddLink(kCache + L"\\Low\\documents", kDocuments);
     },
     Operation::kCleanup, kCleaned, {kCache, kSharedObjects},
     {kDocuments + L"\\thesis.doc", kDocuments + L"\\static.youku.com\\notes.txt"}},
    {"StorageEntryIsAJunction_Repair",
     [](FakeWindows& m) {
       UserDocuments(m);
       m.AddDirectory(kSharedObjects + L"\\X");
       m.AddLink(kSharedObjects + L"\\X\\static.youku.com", kDocuments);
     },
     Operation::kRepair, kRepaired, {kSharedObjects},
     {kDocuments + L"\\thesis.doc", kDocuments + L"\\static.youku.com\\notes.txt"}},
};

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

class BadRepairInput : public ::testing::TestWithParam<Row> {};

TEST_P(BadRepairInput, TellsWhatHappenedAndTouchesNothingElse) {
  const Row& row = GetParam();
  FakeWindows machine;
  FakeWindow dialog;
  row.arrange(machine);
  const auto outside = Outside(machine, row.mayChange);
  std::map<std::wstring, std::string> keptBytes;
  for (const std::wstring& path : row.kept) keptBytes[path] = machine.BytesOf(path);

  if (row.operation == Operation::kRepair) {
    RepairSharedObject(machine.MakeServices(), dialog);
  } else {
    CleanTemporaryFiles(machine.MakeServices(), dialog);
  }

  std::vector<std::string> notices;
  for (const auto& box : dialog.Boxes())
    if (box.kind != FakeWindow::BoxKind::kQuestion) notices.push_back(fake::Narrow(box.text));
  EXPECT_EQ(notices, std::vector<std::string>{fake::Narrow(row.message)});
  EXPECT_EQ(Outside(machine, row.mayChange), outside);
  for (const auto& [path, bytes] : keptBytes) {
    EXPECT_TRUE(machine.IsFile(path)) << fake::Narrow(path);
    EXPECT_EQ(machine.BytesOf(path), bytes) << fake::Narrow(path);
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, BadRepairInput, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quietreel
