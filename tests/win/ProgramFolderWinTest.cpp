// The program's folder, fixed at start: the real folder of the exe's file
// whatever link it was started through, held so that it cannot be renamed,
// named without the long-path prefix, and whether the user could write it.
#include <gtest/gtest.h>
#include <windows.h>

#include "TestSupport.h"
#include "platform/win32/ProgramFolder.h"
#include "platform/win32/SystemLibrary.h"
#include "platform/win32/UserRights.h"

namespace quietreel::win32 {
namespace {

std::wstring WithoutSlash(const std::wstring& path) { return path.substr(0, path.size() - 1); }

// The desktop user's token, made once for the tests here.
HANDLE UserToken() {
  static ScopedHandle token(DesktopUserToken(0));
  return token.Get();
}

TEST(ProgramFolder, IsTheRealFolderOfTheFileNotTheLinkItWasReachedThrough) {
  testsupport::ScratchFolder real, links;
  ASSERT_TRUE(testsupport::MakeFile(real / L"Quietreel.exe", "exe"));
  ASSERT_TRUE(testsupport::MakeLink(links / L"folder", WithoutSlash(real.Path())));
  ProgramFolder folder(links / L"folder\\Quietreel.exe", UserToken());
  ASSERT_TRUE(folder.Fixed());
  EXPECT_EQ(folder.Path(), WithoutSlash(real.Path()));
  EXPECT_TRUE(folder.UserCanWrite());
}

TEST(ProgramFolder, CannotBeRenamedWhileItIsHeld) {
  testsupport::ScratchFolder scratch;
  const std::wstring inside = scratch / L"held", moved = scratch / L"moved";
  ASSERT_TRUE(testsupport::MakeFile(inside + L"\\Quietreel.exe", "exe"));
  {
    ProgramFolder folder(inside + L"\\Quietreel.exe", UserToken());
    ASSERT_TRUE(folder.Fixed());
    EXPECT_FALSE(::MoveFileW(inside.c_str(), moved.c_str()));
    EXPECT_TRUE(testsupport::IsFile(inside + L"\\Quietreel.exe"));
  }
  EXPECT_TRUE(::MoveFileW(inside.c_str(), moved.c_str()));
}

TEST(ProgramFolder, MissingFileLeavesItUnfixedWithNoPath) {
  testsupport::ScratchFolder scratch;
  ProgramFolder folder(scratch / L"Quietreel.exe", UserToken());
  EXPECT_FALSE(folder.Fixed());
  EXPECT_EQ(folder.Path(), L"");
}

// The system folder is the administrators' alone on Windows; Wine has no
// ACLs and grants the user everything.
TEST(ProgramFolder, UserCanWriteIsAskedOfTheFoldersPermissions) {
  ProgramFolder system(SystemDirectory() + L"\\kernel32.dll", UserToken());
  ASSERT_TRUE(system.Fixed());
  EXPECT_EQ(system.UserCanWrite(), testsupport::RunningUnderWine());
}

TEST(ProgramFolder, PlainPathDropsTheLongPathPrefixOnlyWhereItNamesADriveOrShare) {
  const struct {
    const wchar_t* final;
    const wchar_t* plain;
  } rows[] = {
      {L"\\\\?\\C:\\Users\\u\\Downloads\\q", L"C:\\Users\\u\\Downloads\\q"},
      {L"\\\\?\\UNC\\server\\share\\q", L"\\\\server\\share\\q"},
      {L"\\\\?\\C:\\", L"C:"},
      {L"\\\\?\\Volume{0b1c2d3e-0000-0000-0000-100000000000}\\q",
       L"\\\\?\\Volume{0b1c2d3e-0000-0000-0000-100000000000}\\q"},
      {L"C:\\q\\", L"C:\\q"},
  };
  for (const auto& row : rows) EXPECT_EQ(PlainPath(row.final), row.plain) << testing::PrintToString(row.final);
}

}  // namespace
}  // namespace quietreel::win32
