#include "Platform/Win32/Profile/ProfileEdit.h"

#include "Platform/Win32/Profile/ProfileText.h"

namespace win32_profile {
namespace {

bool EndsWithLineBreak(std::string_view text) {
    return !text.empty() && (text.back() == '\n' || text.back() == '\r');
}

bool HoldsNoLines(std::string_view text) {
    std::size_t position = 0;
    ProfileLine line;
    return !NextProfileLine(text, position, line);
}

std::string KeyLine(std::string_view key, std::string_view value, std::string_view ending) {
    std::string line;
    line.reserve(key.size() + value.size() + ending.size() + 1);
    line.append(key).append("=").append(value).append(ending);
    return line;
}

}  // namespace

std::string EditProfile(std::string_view text, std::string_view section, std::string_view key,
                        std::string_view value) {
    const std::string_view ending = ProfileLineEnding(text);
    const ProfileKeyPlace place = LocateProfileKey(text, section, key);
    std::string edited;
    if (place.key) {
        edited.reserve(text.size() + value.size());
        edited.append(text.substr(0, place.key->valueBegin));
        edited.append(value);
        edited.append(text.substr(place.key->contentEnd));
        return edited;
    }
    if (place.sectionEnd) {
        const ProfileLine& last = *place.sectionEnd;
        const bool lastHasEnding = last.end > last.contentEnd;
        edited.reserve(text.size() + key.size() + value.size() + 2 * ending.size() + 1);
        edited.append(text.substr(0, last.end));
        if (!lastHasEnding) edited.append(ending);
        edited.append(KeyLine(key, value, ending));
        edited.append(text.substr(last.end));
        return edited;
    }
    edited.reserve(text.size() + section.size() + key.size() + value.size() + 3 * ending.size() + 3);
    edited.append(text);
    if (!HoldsNoLines(text) && !EndsWithLineBreak(text)) edited.append(ending);
    edited.append("[").append(section).append("]").append(ending);
    edited.append(KeyLine(key, value, ending));
    return edited;
}

}  // namespace win32_profile
