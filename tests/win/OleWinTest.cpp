// COM as the elevated side of a boundary: the program's OLE sets the
// process's COM security before anything is marshaled. Wine accepts every
// setting and keeps none, and has no unmarshaling policy; Windows takes the
// first setting alone and, from Windows 8, the strong policy.
#include <gtest/gtest.h>
#include <windows.h>
// windows.h first: versionhelpers.h builds on it.
#include <versionhelpers.h>

#include "TestSupport.h"
#include "platform/win32/ScopedOle.h"

namespace quietreel::win32 {
namespace {

// The first OLE of this test program, before any marshaling: its setting
// is taken; a second one comes too late for Windows.
TEST(ScopedOle, SetsTheProcesssComSecurityOnceAndTheStrongPolicyWhereWindowsHasIt) {
  const bool wine = testsupport::RunningUnderWine();
  ScopedOle ole;
  EXPECT_TRUE(ole.Security().set);
  EXPECT_EQ(ole.Security().strongUnmarshaling, !wine && ::IsWindows8OrGreater());
  ScopedOle again;
  EXPECT_EQ(again.Security().set, wine);
}

}  // namespace
}  // namespace quietreel::win32
