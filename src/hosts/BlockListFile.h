#pragma once

#include <cstddef>

#include "hosts/HostsPlan.h"
#include "platform/Services.h"

namespace quietreel {

// Two characters of core.dat make one of the list, and the list is at most
// 1 MiB; a larger file is damaged and is not read.
inline constexpr std::size_t kBlockListSizeLimit = 4u << 20;

// Reads, decodes and checks core.dat: the list up to its first zero
// character, which must be the marked list and can only block names; in a
// folder the desktop user can write, core.dat must be the very file the
// build shipped. Otherwise the warning that says why.
ListRead ReadBlockList(const Services& services);

}  // namespace quietreel
