#pragma once

#include "hosts/HostsPlan.h"
#include "platform/Services.h"
#include "platform/Window.h"

namespace quietreel {

// Carries a plan out, step by step in a fixed order, each on disk before
// the next relies on it, and tells how it went through `owner`.
void CarryOut(const Services& services, Window& owner, const HostsPlan& plan);

// The hosts file becomes `bytes` in one step, keeping its own security
// settings; it is whole at every moment.
bool ReplaceHosts(const Services& services, const std::string& bytes);
// Puts in place a scratch copy that a replacement cut short left while the
// hosts file is missing; before anything is read.
void FinishCutReplacement(const Services& services);

}  // namespace quietreel
