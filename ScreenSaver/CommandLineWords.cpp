#include "ScreenSaver/CommandLineWords.h"

#include <string_view>

std::string JoinArguments(int count, const char* const* arguments) {
    std::string line;
    for (int i = 0; i < count; ++i) {
        if (i > 0) line += ' ';
        const std::string_view argument = arguments[i];
        if (!argument.empty() && argument.find_first_of(" \"") == std::string_view::npos) {
            line += argument;
            continue;
        }
        line += '"';
        for (const char c : argument) {
            if (c == '"') line += '"';
            line += c;
        }
        line += '"';
    }
    return line;
}

std::vector<std::string> CommandLineWords(const char* commandLine) {
    std::vector<std::string> words;
    if (commandLine == nullptr) return words;
    const char* cursor = commandLine;
    for (;;) {
        while (*cursor == ' ') ++cursor;
        if (*cursor == '\0') return words;
        std::string word;
        bool quoted = false;
        for (; *cursor != '\0' && (quoted || *cursor != ' '); ++cursor) {
            if (*cursor != '"') {
                word += *cursor;
            } else if (quoted && cursor[1] == '"') {
                word += '"';
                ++cursor;
            } else {
                quoted = !quoted;
            }
        }
        words.push_back(std::move(word));
    }
}
