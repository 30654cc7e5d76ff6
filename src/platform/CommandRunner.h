#pragma once

#include <string>

namespace quietreel {

// Runs one command line through the system's command interpreter and waits
// for it.
class CommandRunner {
 public:
  virtual ~CommandRunner() = default;
  virtual int Run(const std::string& ansiCommand) = 0;
};

}  // namespace quietreel
