// The bad inputs whose outcome the real Win32 layer decides (sharing locks,
// attributes, file sizes, odd and long folder names), on the real hosts file
// of this Windows (under Wine, the prefix's), which each test gives back.
// The rows the core decides alone are in tests/unit/BadInputTest.cpp.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>

#include "WinTestSupport.h"
#include "hosts/BlockListFile.h"
#include "hosts/HostsBlocker.h"
#include "hosts/HostsPaths.h"
#include "platform/win32/ScopedHandle.h"
#include "platform/win32/Win32Platform.h"

namespace quietreel {
namespace {

using wintest::ReadBytes;
using wintest::WriteBytes;

constexpr char kUser[] = "127.0.0.1 localhost\r\n10.0.0.5 nas.home\r\n";
constexpr wchar_t kBlocked[] = L"恭喜您，屏蔽广告成功，请重启浏览器查看效果！！";
constexpr wchar_t kRestored[] = L"解除广告屏蔽成功，请重启浏览器查看效果！";
constexpr wchar_t kOpenFailed[] = L"源文件打开失败，未找到需要解密的文件！";
constexpr wchar_t kInterrupted[] = L"操作过当中被中断，请检查是否有权限创建文件！";
constexpr wchar_t kRestoreFailed[] = L"恢复失败，请检查是否有权限修改文件！";

// Held open by "another program" that shares nothing.
win32::ScopedHandle HoldExclusively(const std::wstring& path) {
  return win32::ScopedHandle(::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                           FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

class BadInputOnDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    if (testsupport::HostsRefused()) GTEST_SKIP() << "the hosts file cannot be written here";
    savedHosts_ = ReadBytes(kHostsPath);
    Ship(program_.Path());
    ::SetFileAttributesW(kHostsPath, FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(WriteBytes(kHostsPath, kUser));
  }

  void TearDown() override {
    if (testsupport::HostsRefused()) return;
    ::SetFileAttributesW(kHostsPath, FILE_ATTRIBUTE_NORMAL);
    ::RemoveDirectoryW(kHostsPath);
    if (savedHosts_) {
      WriteBytes(kHostsPath, *savedHosts_);
    } else {
      ::DeleteFileW(kHostsPath);
    }
  }

  void Ship(const std::wstring& folder) {
    ASSERT_TRUE(::CopyFileW((wintest::ExeDirectory() + L"core.dat").c_str(), (folder + L"core.dat").c_str(), FALSE));
  }

  std::string List() {
    const std::string plain = ReadBytes(wintest::SourceFile("data/blocklist.txt")).value_or("");
    std::string out;
    for (char c : plain) {
      if (c == '\n') out += '\r';
      out += c;
    }
    return out;
  }

  void ExpectOnly(bool warning, const std::wstring& text) {
    EXPECT_TRUE(wintest::ToldOnly(window_, warning, text));
    window_.Clear();
  }

  wintest::ScratchFolder program_{L"quietreel-bad-input"};
  std::wstring backup_ = program_.Path() + L"backup";
  win32::Win32Platform platform_{program_.Path()};
  Services services_ = platform_.MakeServices();
  wintest::RecordingWindow window_;
  std::optional<std::string> savedHosts_;
};

TEST_F(BadInputOnDisk, CoreDatLockedByAnotherProgram_RefusesAndKeepsTheHostsFile) {
  win32::ScopedHandle lock = HoldExclusively(program_.Path() + L"core.dat");
  ASSERT_TRUE(lock.Valid());
  Block(services_, window_);
  ExpectOnly(true, kOpenFailed);
  EXPECT_EQ(ReadBytes(kHostsPath), kUser);
  EXPECT_FALSE(ReadBytes(backup_));
}

// The size is asked before a byte is read, so a sparse file serves.
TEST_F(BadInputOnDisk, CoreDatOverTheSizeLimit_RefusedWithoutReadingIt) {
  {
    win32::ScopedHandle file(::CreateFileW((program_.Path() + L"core.dat").c_str(), GENERIC_WRITE, 0, nullptr,
                                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    size.QuadPart = static_cast<LONGLONG>(kBlockListSizeLimit) + 1;
    ASSERT_TRUE(::SetFilePointerEx(file.Get(), size, nullptr, FILE_BEGIN) && ::SetEndOfFile(file.Get()));
  }
  Block(services_, window_);
  ExpectOnly(true, kOpenFailed);
  EXPECT_EQ(ReadBytes(kHostsPath), kUser);
  EXPECT_FALSE(ReadBytes(backup_));
}

TEST_F(BadInputOnDisk, HostsLockedByAnotherProgram_NotExtendedWithoutASavedCopy) {
  {
    win32::ScopedHandle lock = HoldExclusively(kHostsPath);
    ASSERT_TRUE(lock.Valid());
    Block(services_, window_);
  }
  ExpectOnly(true, kInterrupted);
  EXPECT_EQ(ReadBytes(kHostsPath), kUser);
  EXPECT_FALSE(ReadBytes(backup_));
}

TEST_F(BadInputOnDisk, HostsIsADirectory_CannotBeSavedSoNothingIsWritten) {
  ::DeleteFileW(kHostsPath);
  ASSERT_TRUE(::CreateDirectoryW(kHostsPath, nullptr));
  Block(services_, window_);
  ExpectOnly(true, kInterrupted);
  EXPECT_TRUE(::GetFileAttributesW(kHostsPath) & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_FALSE(ReadBytes(backup_));
}

// attrib takes the read-only bit off before each write and puts it back
// after. A process running as root writes a read-only file all the same;
// the second run of scripts/test-unprivileged.sh, as an ordinary user who
// owns the hosts file, is where a write that skipped attrib would fail.
TEST_F(BadInputOnDisk, HostsReadOnlyHiddenSystem_IsSavedAndExtended) {
  ASSERT_TRUE(testsupport::SetAttributes(kHostsPath, testsupport::kProtection));
  Block(services_, window_);
  ExpectOnly(false, kBlocked);
  EXPECT_EQ(ReadBytes(kHostsPath), kUser + List());
  EXPECT_EQ(ReadBytes(backup_), kUser);
  EXPECT_EQ(testsupport::ProtectionOf(kHostsPath), testsupport::kProtection);
  EXPECT_EQ(testsupport::ProtectionOf(backup_), 0u);

  Restore(services_, window_);
  ExpectOnly(false, kRestored);
  EXPECT_EQ(ReadBytes(kHostsPath), kUser);
  EXPECT_EQ(testsupport::ProtectionOf(kHostsPath), testsupport::kProtection);
}

TEST_F(BadInputOnDisk, BackupIsADirectory_BlockSaysBlockedAndRestoreFails) {
  ASSERT_TRUE(::CreateDirectoryW(backup_.c_str(), nullptr));
  Block(services_, window_);
  ExpectOnly(true, L"广告已经屏蔽！");
  Restore(services_, window_);
  ExpectOnly(true, kRestoreFailed);
  EXPECT_EQ(ReadBytes(kHostsPath), kUser);
  EXPECT_FALSE(ReadBytes(kRestoreScratchPath));
}

TEST_F(BadInputOnDisk, BackupLockedByAnotherProgram_RestoreFailsAndKeepsBoth) {
  Block(services_, window_);
  ExpectOnly(false, kBlocked);
  {
    win32::ScopedHandle lock = HoldExclusively(backup_);
    ASSERT_TRUE(lock.Valid());
    Restore(services_, window_);
  }
  ExpectOnly(true, kRestoreFailed);
  EXPECT_EQ(ReadBytes(kHostsPath), kUser + List());
  EXPECT_EQ(ReadBytes(backup_), kUser);
}

// The program folder's name is only ever used by the wide file calls: spaces,
// Chinese, `%` and a length near MAX_PATH change nothing.
TEST_F(BadInputOnDisk, OddProgramFolders_BlockAndRestoreGiveTheFileBack) {
  wintest::ScratchFolder odd(L"Quietreel 广告屏蔽 100% %PATH%");
  std::wstring deep = program_.Path() + L"deep";
  ASSERT_TRUE(::CreateDirectoryW(deep.c_str(), nullptr));
  // CreateDirectoryW takes at most MAX_PATH - 12 characters; go to the end.
  const std::size_t longest = MAX_PATH - 13;
  while (deep.size() + 2 <= longest) {
    std::wstring next = deep + L"\\" + std::wstring(std::min<std::size_t>(40, longest - deep.size() - 1), L'd');
    ASSERT_TRUE(::CreateDirectoryW(next.c_str(), nullptr)) << next.size();
    deep = next;
  }
  for (const std::wstring& folder : {odd.Path(), deep + L"\\"}) {
    Ship(folder);
    win32::Win32Platform platform(folder);
    const Services services = platform.MakeServices();
    ASSERT_TRUE(WriteBytes(kHostsPath, kUser));
    Block(services, window_);
    ExpectOnly(false, kBlocked);
    EXPECT_EQ(ReadBytes(folder + L"backup"), kUser) << folder.size();
    Restore(services, window_);
    ExpectOnly(false, kRestored);
    EXPECT_EQ(ReadBytes(kHostsPath), kUser);
    EXPECT_FALSE(ReadBytes(folder + L"backup"));
  }
}

}  // namespace
}  // namespace quietreel
