#include <gtest/gtest.h>

#include "fake/FakeWindows.h"
#include "hosts/AttribRunner.h"

namespace quietreel {
namespace {

using fake::FakeWindows;

TEST(HostsAttrib, BuildsTheExactCommandForEachMode) {
  FakeWindows machine;
  RunHostsAttrib(machine, kAttribHide);
  RunHostsAttrib(machine, kAttribUnhide);
  EXPECT_EQ(machine.Commands(), (std::vector<std::string>{
                                    "attrib +h +r +s \"C:\\WINDOWS\\system32\\drivers\\etc\\hosts\"",
                                    "attrib -h -r -s \"C:\\WINDOWS\\system32\\drivers\\etc\\hosts\""}));
}

TEST(HostsAttrib, OtherModesRunNothing) {
  FakeWindows machine;
  RunHostsAttrib(machine, 2);
  RunHostsAttrib(machine, -1);
  RunPathAttrib(machine, machine, L"C:\\x", 2);
  EXPECT_TRUE(machine.Commands().empty());
}

TEST(PathAttrib, QuotesThePathSoSpacesStayOneArgument) {
  FakeWindows machine;
  const std::wstring path = L"C:\\Users\\user\\AppData\\Roaming\\Macromedia\\Flash Player\\static.youku.com";
  RunPathAttrib(machine, machine, path, kAttribHide);
  RunPathAttrib(machine, machine, path, kAttribUnhide);
  EXPECT_EQ(machine.Commands(),
            (std::vector<std::string>{
                "attrib +h +r +s \"C:\\Users\\user\\AppData\\Roaming\\Macromedia\\Flash Player\\static.youku.com\"",
                "attrib -h -r -s \"C:\\Users\\user\\AppData\\Roaming\\Macromedia\\Flash Player\\static.youku.com\""}));
}

TEST(PathAttrib, MissingPathStillRunsTheCommand) {
  FakeWindows machine;
  RunPathAttrib(machine, machine, L"C:\\nowhere\\file", kAttribHide);
  EXPECT_EQ(machine.Commands().size(), 1u);
}

// "attrib +h +r +s \"" and the closing quote take 18 of the 259 characters.
TEST(PathAttrib, RunsUpToTheFullBufferAndNothingLonger) {
  FakeWindows machine;
  const std::wstring fits = L"C:\\" + std::wstring(259 - 18 - 3, L'a');
  RunPathAttrib(machine, machine, fits, kAttribHide);
  ASSERT_EQ(machine.Commands().size(), 1u);
  EXPECT_EQ(machine.Commands()[0].size(), 259u);

  RunPathAttrib(machine, machine, fits + L"a", kAttribHide);
  EXPECT_EQ(machine.Commands().size(), 1u) << "a command cut short names another file";
}

TEST(PathAttrib, AnsiFormThatOutgrowsTheBufferIsNotRun) {
  FakeWindows machine;
  machine.SetCodePageKind(FakeWindows::CodePageKind::kDoubleByte);
  // 200 wide characters fit; their 340 bytes in a double-byte code page don't.
  const std::wstring path = L"C:\\" + std::wstring(140, L'\u4E2D') + std::wstring(57, L'a');
  RunPathAttrib(machine, machine, path, kAttribHide);
  EXPECT_TRUE(machine.Commands().empty());

  RunPathAttrib(machine, machine, L"C:\\\u4E2D\u6587", kAttribHide);
  EXPECT_EQ(machine.Commands().size(), 1u);
}

TEST(PathAttrib, PathsTheCodePageCannotHoldOrWithPercentAreNotRun) {
  FakeWindows machine;
  RunPathAttrib(machine, machine, L"C:\\Users\\\u4E2D\\file", kAttribHide);  // Latin-1 has no 中
  RunPathAttrib(machine, machine, L"C:\\Users\\%USERNAME%\\file", kAttribHide);
  RunPathAttrib(machine, machine, L"C:\\100%\\file", kAttribUnhide);
  EXPECT_TRUE(machine.Commands().empty());
}

}  // namespace
}  // namespace quietreel
