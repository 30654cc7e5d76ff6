// The program's folder, fixed at start: the real folder of the exe's file
// whatever link it was started through, only where that file is the image
// Windows mapped, held so that it cannot be renamed, named without the
// long-path prefix, and whether the user could write it.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>

#include "TestSupport.h"
#include "platform/win32/ProgramFolder.h"
#include "platform/win32/RunningImage.h"
#include "platform/win32/ScopedWin.h"
#include "platform/win32/SystemLibrary.h"
#include "platform/win32/UserRights.h"

namespace quietreel::win32 {
namespace {

std::optional<FileId> IdOfFile(const std::wstring& path) {
  ScopedHandle file(::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
  return file.Valid() ? IdOf(file.Get()) : std::nullopt;
}

// The desktop user's token, made once for the tests here.
HANDLE UserToken() {
  static ScopedHandle token(DesktopUserToken(0));
  return token.Get();
}

// The test program is a running image too: its folder is found from the
// mapping, whatever name it was started by.
TEST(ProgramFolder, OfTheRunningProgramIsTheFolderOfTheImageWindowsMapped) {
  const std::wstring exe = RunningImageName();
  const std::optional<FileId> image = RunningImageId();
  ASSERT_TRUE(image.has_value());
  EXPECT_TRUE(image == IdOfFile(exe));
  ProgramFolder folder(UserToken());
  ASSERT_TRUE(folder.Fixed());
  EXPECT_TRUE(IdOfFile(folder.Path() + L"\\" + exe.substr(exe.rfind(L'\\') + 1)) == image);
}

TEST(ProgramFolder, IsTheRealFolderOfTheFileNotTheLinkItWasReachedThrough) {
  testsupport::ScratchFolder real, links;
  ASSERT_TRUE(testsupport::MakeFile(real / L"Quietreel.exe", "exe"));
  ASSERT_TRUE(testsupport::MakeLink(links / L"folder", real.Path()));
  ProgramFolder folder(links / L"folder\\Quietreel.exe", IdOfFile(real / L"Quietreel.exe"), UserToken());
  ASSERT_TRUE(folder.Fixed());
  EXPECT_EQ(folder.Path(), real.Path());
  EXPECT_TRUE(folder.UserCanWrite());
}

TEST(ProgramFolder, CannotBeRenamedWhileItIsHeld) {
  testsupport::ScratchFolder scratch;
  const std::wstring inside = scratch / L"held", moved = scratch / L"moved";
  ASSERT_TRUE(testsupport::MakeFile(inside + L"\\Quietreel.exe", "exe"));
  {
    ProgramFolder folder(inside + L"\\Quietreel.exe", IdOfFile(inside + L"\\Quietreel.exe"), UserToken());
    ASSERT_TRUE(folder.Fixed());
    EXPECT_FALSE(::MoveFileW(inside.c_str(), moved.c_str()));
    EXPECT_TRUE(testsupport::IsFile(inside + L"\\Quietreel.exe"));
  }
  EXPECT_TRUE(::MoveFileW(inside.c_str(), moved.c_str()));
}

// A link retargeted since start at a folder holding another file of the
// exe's name leads to a file that is not the image.
TEST(ProgramFolder, IsLeftUnfixedWithNoPathWhereTheNameDoesNotLeadToTheImage) {
  testsupport::ScratchFolder image, other, links;
  ASSERT_TRUE(testsupport::MakeFile(image / L"Quietreel.exe", "exe"));
  ASSERT_TRUE(testsupport::MakeFile(other / L"Quietreel.exe", "exe"));
  ASSERT_TRUE(testsupport::MakeLink(links / L"retargeted", other.Path()));
  const struct {
    std::wstring name;
    std::optional<FileId> image;
  } rows[] = {
      {links / L"retargeted\\Quietreel.exe", IdOfFile(image / L"Quietreel.exe")},
      {other / L"Quietreel.exe", IdOfFile(image / L"Quietreel.exe")},
      {image / L"missing.exe", IdOfFile(image / L"Quietreel.exe")},
      {image / L"Quietreel.exe", std::nullopt},
  };
  for (const auto& row : rows) {
    ProgramFolder folder(row.name, row.image, UserToken());
    EXPECT_FALSE(folder.Fixed()) << testing::PrintToString(row.name);
    EXPECT_EQ(folder.Path(), L"");
  }
}

// The system folder is the administrators' alone on Windows; Wine has no
// ACLs and grants the user everything.
TEST(ProgramFolder, UserCanWriteIsAskedOfTheFoldersPermissions) {
  const std::wstring kernel32 = SystemDirectory() + L"\\kernel32.dll";
  ProgramFolder system(kernel32, IdOfFile(kernel32), UserToken());
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
