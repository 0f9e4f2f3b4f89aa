#include "Platform/Win32/Profile/ProfileText.h"

namespace win32_profile {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Sorts the content of a line into its kind and name.
void ClassifyLine(std::string_view text, ProfileLine& line) {
    std::size_t first = line.begin;
    while (first < line.contentEnd && IsBlank(text[first])) ++first;
    const std::string_view content = text.substr(first, line.contentEnd - first);
    if (content.empty() || content.front() == ';') return;
    if (content.front() == '[') {
        const std::size_t close = content.find(']');
        if (close == std::string_view::npos) return;
        line.kind = ProfileLine::Kind::Section;
        line.name = TrimProfileBlanks(content.substr(1, close - 1));
        return;
    }
    const std::size_t equals = content.find('=');
    if (equals == std::string_view::npos) return;
    line.kind = ProfileLine::Kind::Key;
    line.name = TrimProfileBlanks(content.substr(0, equals));
    std::size_t value = first + equals + 1;
    while (value < line.contentEnd && IsBlank(text[value])) ++value;
    line.valueBegin = value;
}

}  // namespace

std::string_view TrimProfileBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool ProfileNamesMatch(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    return true;
}

bool NextProfileLine(std::string_view text, std::size_t& position, ProfileLine& line) {
    if (position == 0 && text.starts_with(kByteOrderMark)) position = kByteOrderMark.size();
    if (position >= text.size()) return false;
    line = ProfileLine{};
    line.begin = position;
    std::size_t end = text.find_first_of("\r\n", position);
    if (end == std::string_view::npos) end = text.size();
    line.contentEnd = end;
    if (end < text.size())
        end += (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1;
    line.end = end;
    position = end;
    ClassifyLine(text, line);
    return true;
}

std::string_view ProfileValue(std::string_view text, const ProfileLine& line) {
    std::string_view value = text.substr(line.valueBegin, line.contentEnd - line.valueBegin);
    value = TrimProfileBlanks(value.substr(0, value.find('\0')));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return value;
}

ProfileKeyPlace LocateProfileKey(std::string_view text, std::string_view section, std::string_view key) {
    ProfileKeyPlace place;
    bool inMatchingSection = false;
    bool inFirstMatchingSection = false;
    std::size_t position = 0;
    ProfileLine line;
    while (NextProfileLine(text, position, line)) {
        if (line.kind == ProfileLine::Kind::Section) {
            inMatchingSection = ProfileNamesMatch(line.name, section);
            inFirstMatchingSection = inMatchingSection && !place.sectionEnd;
            if (inFirstMatchingSection) place.sectionEnd = line;
        } else if (line.kind == ProfileLine::Kind::Key && inMatchingSection) {
            if (inFirstMatchingSection) place.sectionEnd = line;
            if (ProfileNamesMatch(line.name, key)) {
                place.key = line;
                break;
            }
        }
    }
    return place;
}

std::string_view ProfileLineEnding(std::string_view text) {
    const std::size_t end = text.find_first_of("\r\n");
    if (end == std::string_view::npos) return "\n";
    if (text[end] == '\n') return "\n";
    return end + 1 < text.size() && text[end + 1] == '\n' ? "\r\n" : "\r";
}

}  // namespace win32_profile
