// Each hosts button once on the release, as a table of rows: how the hosts
// file, `backup` and the exe's folder are found, what is pressed, the box the
// user reads, and the bytes and attributes left on disk. Rows "WithRights"
// run where the hosts file can be changed; rows "WithoutRights" where it and
// its folder belong to another user (scripts/test-unprivileged.sh), where
// each button must refuse and keep every byte.
#include <gtest/gtest.h>

#include <cstring>

#include "Disk.h"
#include "Expect.h"
#include "Program.h"
#include "res/resource.h"

namespace e2e {
namespace {

using namespace expected;

// A file as a row finds or leaves it.
enum class Content {
  Missing,
  Hosts,    // kHosts
  Blocked,  // kHosts with the block list after it
  AsFound,  // whatever was there, untouched: the hosts file of a run without rights
};
constexpr int kEnter = 0;  // the key, where a row names no button
constexpr DWORD kAsFoundAttributes = ~0u;
const std::string kHosts = "127.0.0.1 localhost\r\n::1 localhost\r\n";

struct HostsRow {
  const char* name;
  const wchar_t* exeName;  // captions the boxes
  Content hosts, backup;   // before
  Arrange arrange;         // the exe's folder before the program starts
  int press;               // a button, or kEnter
  const wchar_t* text;
  bool warning;
  Content hostsAfter;
  DWORD hostsProtectionAfter;
  Content backupAfter;
};
void PrintTo(const HostsRow& row, std::ostream* out) { *out << row.name; }

void RemoveCoreDat(const std::wstring& folder) { ::DeleteFileW((folder + kCoreDatName).c_str()); }
// A `backup` Restore would put back: the hosts file itself, whose record
// scripts/test-unprivileged.sh writes as an administrator's Block would.
void BackupOfTheHostsFile(const std::wstring& folder) {
  ASSERT_TRUE(WriteBytes(folder + kBackupName, ReadBytes(kHostsPath).value_or("")));
}

const HostsRow kWithRights[] = {
    // Enter is the default button, "屏蔽广告".
    {"BlockByEnter", L"Quietreel.exe", Content::Hosts, Content::Missing, nullptr, kEnter, kBlocked, false,
     Content::Blocked, testsupport::kProtection, Content::Hosts},
    {"Restore", L"Quietreel.exe", Content::Blocked, Content::Hosts, nullptr, IDC_RESTORE, kRestored, false,
     Content::Hosts, testsupport::kProtection, Content::Missing},
    {"ResetUnderAnotherName", L"广告屏蔽.v2.exe", Content::Blocked, Content::Hosts, nullptr, IDC_RESET, kReset, false,
     Content::Missing, 0, Content::Hosts},
    {"BlockWithoutCoreDat", L"Quietreel.exe", Content::Hosts, Content::Missing, RemoveCoreDat, IDOK, kNoBlockList, true,
     Content::Hosts, 0, Content::Missing},
};
const HostsRow kWithoutRights[] = {
    {"Block", L"Quietreel.exe", Content::AsFound, Content::Missing, nullptr, IDOK, kInterrupted, true, Content::AsFound,
     kAsFoundAttributes, Content::Missing},
    {"Restore", L"Quietreel.exe", Content::AsFound, Content::Missing, BackupOfTheHostsFile, IDC_RESTORE, kRestoreFailed,
     true, Content::AsFound, kAsFoundAttributes, Content::AsFound},
    {"ResetUnderAnotherName", L"广告屏蔽.v2.exe", Content::AsFound, Content::Hosts, nullptr, IDC_RESET, kResetFailed,
     true, Content::AsFound, kAsFoundAttributes, Content::Hosts},
};

// The list as the hosts file gets it: each LF written as CR LF.
std::string ListBytes() {
  std::optional<std::string> plain = ReadBytes(Environment(L"QUIETREEL_E2E_BLOCKLIST"));
  EXPECT_TRUE(plain.has_value()) << "QUIETREEL_E2E_BLOCKLIST";
  std::string bytes;
  for (char c : plain.value_or("")) {
    if (c == '\n') bytes += '\r';
    bytes += c;
  }
  return bytes;
}

// The main window's line on where things stand, as the user reads it for a
// hosts file with these bytes: Block's section with how many names its list
// blocks, or none.
std::wstring StateLine(const std::optional<std::string>& hosts) {
  if (!hosts) return L"当前状态：没有 hosts 文件";
  if (hosts->find("# BEGIN Quietreel block list") == std::string::npos) return L"当前状态：未屏蔽广告";
  std::size_t names = 0;
  for (std::size_t at = hosts->find("\n0.0.0.0 "); at != std::string::npos; at = hosts->find("\n0.0.0.0 ", at + 1))
    ++names;
  return L"当前状态：已屏蔽广告，共屏蔽 " + std::to_wstring(names) + L" 个主机";
}

std::optional<std::string> BytesOf(Content content, const std::optional<std::string>& found) {
  switch (content) {
    case Content::Missing:
      return std::nullopt;
    case Content::Hosts:
      return kHosts;
    case Content::Blocked:
      return kHosts + ListBytes();
    case Content::AsFound:
      return found;
  }
  return std::nullopt;
}

// Compares file contents, naming the first byte that differs rather than
// printing both files.
::testing::AssertionResult HasBytes(const std::wstring& path, const std::optional<std::string>& expected) {
  std::optional<std::string> actual = ReadBytes(path);
  if (actual == expected) return ::testing::AssertionSuccess();
  if (!actual || !expected)
    return ::testing::AssertionFailure() << ::testing::PrintToString(path) << (actual ? " exists" : " is missing");
  std::size_t at = 0;
  while (at < actual->size() && at < expected->size() && (*actual)[at] == (*expected)[at]) ++at;
  return ::testing::AssertionFailure() << ::testing::PrintToString(path) << " has " << actual->size()
                                       << " bytes, expected " << expected->size() << "; they differ from byte " << at
                                       << ": " << ::testing::PrintToString(actual->substr(at, 40));
}

void Prepare(const std::wstring& path, Content content, DWORD attributes) {
  if (content == Content::AsFound) return;
  ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (content == Content::Missing) {
    ::DeleteFileW(path.c_str());
    return;
  }
  ASSERT_TRUE(WriteBytes(path, *BytesOf(content, std::nullopt)));
  testsupport::SetAttributes(path, attributes);
}

class HostsButtons : public ::testing::TestWithParam<HostsRow> {};

TEST_P(HostsButtons, LeaveTheFilesAsTheBoxSays) {
  const HostsRow& row = GetParam();
  const bool withoutRights = row.hosts == Content::AsFound;
  ASSERT_EQ(testsupport::HostsRefused(), withoutRights)
      << "rows WithoutRights run where the hosts file cannot be changed (QUIETREEL_TEST_UNPRIVILEGED=1), the others "
         "where it can";
  HostsGuard guard;
  Prepare(kHostsPath, row.hosts, row.hosts == Content::Blocked ? testsupport::kProtection : 0);
  const std::optional<std::string> hostsFound = ReadBytes(kHostsPath);
  const DWORD hostsAttributesFound = Attributes(kHostsPath);

  Program program(row.exeName, [&](const std::wstring& folder) {
    Prepare(folder + kBackupName, row.backup, 0);
    if (row.arrange) row.arrange(folder);
  });
  ASSERT_NE(program.Main(), nullptr);
  HWND stateLine = ::GetDlgItem(program.Main(), IDC_HOSTS_STATE);
  EXPECT_EQ(Text(stateLine), StateLine(hostsFound));
  if (row.press == kEnter) {
    Key(program.Main(), VK_RETURN);
  } else {
    Command(program.Main(), row.press);
  }
  MessageBoxView box = WaitForMessageBox(program.Id(), program.Main());
  Shoot(box.hwnd, L"box-" + std::wstring(row.name, row.name + std::strlen(row.name)));
  std::wstring caption = row.exeName;
  ExpectBox(box, caption.substr(0, caption.size() - 4), row.text, row.warning);
  Answer(box, IDOK);

  // Block sets the attributes after its notice, and a refused Block takes
  // its `backup` away after its warning: the files are awaited.
  const std::wstring backup = program.Folder() + kBackupName;
  const std::optional<std::string> hostsAfter = BytesOf(row.hostsAfter, hostsFound);
  const std::optional<std::string> backupAfter = BytesOf(row.backupAfter, hostsFound);
  const DWORD protectionAfter = row.hostsProtectionAfter == kAsFoundAttributes
                                    ? hostsAttributesFound & testsupport::kProtection
                                    : row.hostsProtectionAfter;
  WaitUntil([&] {
    return ReadBytes(kHostsPath) == hostsAfter && ReadBytes(backup) == backupAfter &&
           (!hostsAfter || ProtectionOf(kHostsPath) == protectionAfter);
  });
  EXPECT_TRUE(HasBytes(kHostsPath, hostsAfter));
  if (hostsAfter) {
    EXPECT_EQ(ProtectionOf(kHostsPath), protectionAfter);
  }
  if (row.hostsProtectionAfter == kAsFoundAttributes) {
    EXPECT_EQ(Attributes(kHostsPath), hostsAttributesFound);
  }
  EXPECT_TRUE(HasBytes(backup, backupAfter));
  if (backupAfter) {
    EXPECT_EQ(ProtectionOf(backup), 0u);
  }
  // The line is read again after the button, and fits its place.
  EXPECT_TRUE(WaitUntil([&] { return Text(stateLine) == StateLine(hostsAfter); })) << "state line: " << ::testing::PrintToString(Text(stateLine));
  ExpectTextsFit(program.Main());
  Shoot(program.Main(), L"main-" + std::wstring(row.name, row.name + std::strlen(row.name)));
  EXPECT_FALSE(program.EndsWithin(0ms)) << "no button ends the window";
}

auto RowName = [](const ::testing::TestParamInfo<HostsRow>& info) { return std::string(info.param.name); };
INSTANTIATE_TEST_SUITE_P(WithRights, HostsButtons, ::testing::ValuesIn(kWithRights), RowName);
INSTANTIATE_TEST_SUITE_P(WithoutRights, HostsButtons, ::testing::ValuesIn(kWithoutRights), RowName);

}  // namespace
}  // namespace e2e
