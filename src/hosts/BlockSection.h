#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quietreel {

// Block's own section in a hosts file: from a line that is kSectionBegin to
// the next line that is kSectionEnd, with its line break, each matched as
// a whole line (a CR before the LF is the line break's).
bool HasSection(std::string_view hosts);
// How many names Block's sections block; nothing when there is no section.
std::optional<std::size_t> SectionHosts(std::string_view hosts);
// The hosts file without Block's sections, every other byte kept; with
// `lineBreakAdded`, also without the CR LF Block put before its section,
// where nothing follows that section (else the line before would run on
// into what others added).
std::string WithoutSections(std::string_view hosts, bool lineBreakAdded);

}  // namespace quietreel
