// Values kept in the tool's fixed-length text buffers.
#pragma once

#include <string_view>

namespace vantel_settings {

// The text before the first zero character (the whole text when it has none).
std::string_view TextBeforeZero(std::string_view buffer);

// The text without the blanks (spaces) at its end.
std::string_view WithoutTrailingBlanks(std::string_view text);

// What a buffer read from the settings file holds as a path or setting: the
// text before its first zero character, without trailing blanks.
std::string_view FixedTextValue(std::string_view buffer);

}  // namespace vantel_settings
