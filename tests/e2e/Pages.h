#pragma once

#include <string>
#include <vector>

#include "Program.h"

namespace e2e {

// A page the stand-in browser was asked to open, and the file name of the
// program that started it.
struct OpenedPage {
  std::string address;
  std::string opener;
};

// Does what opens a page, as a user would: clicks each About link, presses
// Enter on the first, chooses "检查更新", and clicks the Help window's
// copyright line; gives what the browser was asked to open, in order.
std::vector<OpenedPage> OpenEveryPage(const Program& program);

}  // namespace e2e
