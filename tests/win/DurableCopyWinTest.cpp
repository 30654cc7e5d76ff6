// Copy flushes the copy before it reports it made. The flush needs the file
// open for writing, which a read-only copy refuses until its bit is off.
#include <gtest/gtest.h>

#include "WinTestSupport.h"
#include "platform/win32/Win32FileSystem.h"

namespace quietreel {
namespace {

TEST(DurableCopy, AReadOnlyFileIsCopiedWithItsBytesAndAttributes) {
  wintest::ScratchFolder folder{L"quietreel-copy"};
  const std::wstring from = folder.Path() + L"from";
  const std::wstring to = folder.Path() + L"to";
  const DWORD kept = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
  ASSERT_TRUE(wintest::WriteBytes(from, "127.0.0.1 localhost\r\n"));
  ASSERT_TRUE(::SetFileAttributesW(from.c_str(), kept));

  win32::Win32FileSystem files;
  EXPECT_TRUE(files.Copy(from, to));
  EXPECT_EQ(wintest::ReadBytes(to), "127.0.0.1 localhost\r\n");
  EXPECT_EQ(::GetFileAttributesW(to.c_str()) & kept, kept);
  EXPECT_FALSE(files.Copy(folder.Path() + L"missing", to));
}

}  // namespace
}  // namespace quietreel
