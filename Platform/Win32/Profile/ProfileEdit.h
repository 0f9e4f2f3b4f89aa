// Setting one key in a profile (INI) text.
#pragma once

#include <string>
#include <string_view>

namespace win32_profile {

// The text with `key` in `section` set to `value`. An existing key keeps its
// line, with only the value replaced; a new key goes after the last key line
// of its section; a missing section is added, with the key, at the end of the
// text. Every other byte of the text stays as it was. New lines end like the
// text's first line (LF for a text without line ends). Names and value must
// hold no line break.
std::string EditProfile(std::string_view text, std::string_view section, std::string_view key,
                        std::string_view value);

}  // namespace win32_profile
