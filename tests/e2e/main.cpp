#include <gtest/gtest.h>

#include <cstdio>

#include "Disk.h"

// Settings come from the environment (scripts/test-e2e.sh sets them):
// QUIETREEL_E2E_EXE        the release Quietreel.exe, with core.dat beside it
// QUIETREEL_E2E_BLOCKLIST  the plain block list core.dat was made from
// QUIETREEL_E2E_URL_LOG    where the stand-in browser writes each address and its opener
// QUIETREEL_E2E_SHOTS      a folder for screenshots; none are taken without
int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (e2e::Environment(L"QUIETREEL_E2E_EXE").empty()) {
    std::fprintf(stderr, "QUIETREEL_E2E_EXE is not set\n");
    return 2;
  }
  return RUN_ALL_TESTS();
}
