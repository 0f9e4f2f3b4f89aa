// Reading the lines of a profile (INI) text.
//
// A line is a section line ("[name]"), a key line ("name=value"), or any other
// line (blank, a ';' comment, or text that is neither), which is kept but
// never matched. Lines end at CR, LF or CRLF; a UTF-8 byte order mark at the
// start is skipped. Blanks (spaces and tabs) around names, '=' and values are
// not part of them. Nothing here allocates: every result points into the text.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace win32_profile {

struct ProfileLine {
    enum class Kind { Other, Section, Key };
    Kind kind = Kind::Other;
    std::size_t begin = 0;       // offset of the line's first byte
    std::size_t contentEnd = 0;  // offset of its line ending (or of the text's end)
    std::size_t end = 0;         // offset just past its line ending
    std::string_view name;       // section or key name
    std::size_t valueBegin = 0;  // key line: offset of the value's first non-blank byte
};

// Steps to the line that starts at `position` (0 for the first line) and
// moves `position` past it. False when the text has no more lines.
bool NextProfileLine(std::string_view text, std::size_t& position, ProfileLine& line);

// The value of a key line as readers get it: cut at a NUL byte, blanks
// around it dropped, and one matching pair of outer quotes (' or ") removed.
std::string_view ProfileValue(std::string_view text, const ProfileLine& line);

// Section and key names match without regard to ASCII letter case.
bool ProfileNamesMatch(std::string_view a, std::string_view b);

std::string_view TrimProfileBlanks(std::string_view text);

// Where a key is, or would go. Duplicate sections count as one, in file
// order: the first key line of that name in any of them is the key that is
// read and replaced, and a new key goes to the end of the first of them.
struct ProfileKeyPlace {
    std::optional<ProfileLine> key;
    // The first matching section's last key line, or its section line when it
    // has no keys; empty when the section is missing.
    std::optional<ProfileLine> sectionEnd;
};
ProfileKeyPlace LocateProfileKey(std::string_view text, std::string_view section, std::string_view key);

// The line ending new lines get: the text's first one, else LF.
std::string_view ProfileLineEnding(std::string_view text);

}  // namespace win32_profile
