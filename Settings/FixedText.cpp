#include "Settings/FixedText.h"

namespace vantel_settings {

std::string_view TextBeforeZero(std::string_view buffer) {
    return buffer.substr(0, buffer.find('\0'));
}

std::string_view WithoutTrailingBlanks(std::string_view text) {
    const std::size_t last = text.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
}

std::string_view FixedTextValue(std::string_view buffer) {
    return WithoutTrailingBlanks(TextBeforeZero(buffer));
}

}  // namespace vantel_settings
