// The profile functions over an arbitrary settings file: every key both
// programs read, then one write as the tool makes it, whose result must read
// back the written value and keep every other line of the file.
//
// Input: one byte whose low two bits pick the key written and whose upper six
// give the value's length, that many bytes of value (up to its first zero
// byte, as it is a C string), then the settings file's bytes.
#include <dirent.h>
#include <sys/stat.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "Platform/Win32/Win32Extensions.h"
#include "Settings/FixedText.h"
#include "Settings/NumberText.h"
#include "Settings/Settings.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/ScratchFile.h"

namespace {

namespace settings = vantel_settings;

struct Key {
    const char* section;
    const char* name;
    const char* toolDefault;
};

// The keys in the tool's write order.
constexpr Key kKeys[] = {
    {settings::kSettingSection, settings::kFileNameKey, settings::kToolDefaultFileName},
    {settings::kSettingSection, settings::kDirKey, settings::kToolDefaultDir},
    {settings::kSaverSection, settings::kSpeedKey, settings::kToolDefaultSpeed},
    {settings::kSettingSection, settings::kColorKey, settings::kToolDefaultColor},
};
constexpr std::size_t kKeyCount = std::size(kKeys);

// A read as the profile functions answer it, checked for what every caller
// relies on: the result ends at the zero the count says.
std::string ReadString(const char* section, const char* key, const char* fallback, std::size_t bufferSize) {
    std::vector<char> buffer(bufferSize, '\x7F');
    const DWORD length = GetPrivateProfileStringA(section, key, fallback, buffer.data(),
                                                  static_cast<DWORD>(bufferSize), settings::kIniFileName);
    FUZZ_CHECK(length < bufferSize);
    FUZZ_CHECK(buffer[length] == '\0');
    FUZZ_CHECK(std::strlen(buffer.data()) == length);
    return std::string(buffer.data(), length);
}

// Every read the two programs make at start-up; the tool's values by key.
std::array<std::string, kKeyCount> ReadLikeThePrograms() {
    GetPrivateProfileIntA(settings::kSaverSection, settings::kSpeedKey, settings::kSaverDefaultSpeed,
                          settings::kIniFileName);
    const std::string saverFileName =
        ReadString(settings::kSettingSection, settings::kFileNameKey, settings::kSaverDefaultFileName,
                   settings::kSaverFileNameBufferSize);
    std::array<std::string, kKeyCount> tool;
    for (std::size_t i = 0; i < kKeyCount; ++i)
        tool[i] = ReadString(kKeys[i].section, kKeys[i].name, kKeys[i].toolDefault, settings::kToolReadBytes);
    settings::FixedTextValue(tool[0]);
    settings::ReadInteger16(tool[2]);
    settings::ReadInteger32(tool[3]);
    // The saver's shorter buffer holds the start of the same value.
    if (tool[0].size() < settings::kToolReadBytes - 1 && tool[0] != settings::kToolDefaultFileName)
        FUZZ_CHECK(std::string_view(tool[0]).starts_with(saverFileName));
    return tool;
}

struct Line {
    std::string_view content;
    std::string_view ending;
};

std::vector<Line> Lines(std::string_view text) {
    std::vector<Line> lines;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find_first_of("\r\n"), text.size());
        std::size_t next = end;
        if (next < text.size()) next += text.substr(next, 2) == "\r\n" ? 2 : 1;
        lines.push_back({text.substr(0, end), text.substr(end, next - end)});
        text.remove_prefix(next);
    }
    return lines;
}

// The edit touched at most one line and added at most two (a key, or a
// section with its key); every other line kept its text and its ending,
// except that a last line without one may have gained one.
void CheckOtherLinesKept(std::string_view before, std::string_view after) {
    const std::vector<Line> old = Lines(before);
    const std::vector<Line> now = Lines(after);
    std::size_t prefix = 0;
    while (prefix < old.size() && prefix < now.size() && old[prefix].content == now[prefix].content) ++prefix;
    std::size_t suffix = 0;
    while (suffix < old.size() - prefix && suffix < now.size() - prefix &&
           old[old.size() - 1 - suffix].content == now[now.size() - 1 - suffix].content)
        ++suffix;
    const std::size_t oldChanged = old.size() - prefix - suffix;
    const std::size_t newChanged = now.size() - prefix - suffix;
    FUZZ_CHECK(oldChanged <= 1 && newChanged <= 2 && newChanged >= oldChanged);
    const auto endingKept = [&](std::size_t oldIndex, std::size_t newIndex) {
        const bool lastGainedOne = oldIndex + 1 == old.size() && old[oldIndex].ending.empty();
        FUZZ_CHECK(old[oldIndex].ending == now[newIndex].ending || lastGainedOne);
    };
    for (std::size_t i = 0; i < prefix; ++i) endingKept(i, i);
    for (std::size_t i = 0; i < suffix; ++i) endingKept(old.size() - 1 - i, now.size() - 1 - i);
}

// What a read gives back for a written value: blanks around it dropped, and
// one pair of matching outer quotes.
std::string_view AsRead(std::string_view value) {
    const std::size_t first = value.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    value = value.substr(first, value.find_last_not_of(" \t") - first + 1);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return value;
}

std::string ReadWholeFile(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "rb");
    FUZZ_CHECK(file != nullptr);
    std::string bytes;
    char chunk[4096];
    for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, file)) > 0;) bytes.append(chunk, got);
    std::fclose(file);
    return bytes;
}

// The file and the writers' lock file, and no temporary file left beside them.
std::size_t EntriesIn(const std::string& directory) {
    DIR* listing = opendir(directory.c_str());
    FUZZ_CHECK(listing != nullptr);
    std::size_t count = 0;
    while (const dirent* entry = readdir(listing))
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) ++count;
    closedir(listing);
    return count;
}

const std::string& ProfileDirectory() {
    static const std::string directory = vantel_fuzz::ScratchDirectory() + "/" + settings::kProfileFolder;
    return directory;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("XDG_CONFIG_HOME", vantel_fuzz::ScratchDirectory().c_str(), 1);
    Win32SetProfileFolder(settings::kProfileFolder);
    FUZZ_CHECK(mkdir(ProfileDirectory().c_str(), 0700) == 0);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const Key& key = kKeys[data[0] & 3];
    const std::size_t valueLength = std::min<std::size_t>(data[0] >> 2, size - 1);
    const std::string value(reinterpret_cast<const char*>(data + 1), valueLength);
    const std::string written = value.substr(0, value.find('\0'));
    const std::string path =
        vantel_fuzz::WriteScratchFile(std::string(settings::kProfileFolder) + "/" + settings::kIniFileName,
                                      data + 1 + valueLength, size - 1 - valueLength);
    const std::string before = ReadWholeFile(path);

    const std::array<std::string, kKeyCount> readBefore = ReadLikeThePrograms();
    const BOOL stored =
        WritePrivateProfileStringA(key.section, key.name, written.c_str(), settings::kIniFileName);
    const std::string after = ReadWholeFile(path);
    FUZZ_CHECK(EntriesIn(ProfileDirectory()) <= 2);
    if (written.find_first_of("\r\n") != std::string::npos) {
        // A line break would smuggle in lines of its own: refused, file untouched.
        FUZZ_CHECK(!stored);
        FUZZ_CHECK(after == before);
        return 0;
    }
    FUZZ_CHECK(stored);
    CheckOtherLinesKept(before, after);
    const std::array<std::string, kKeyCount> readAfter = ReadLikeThePrograms();
    for (std::size_t i = 0; i < kKeyCount; ++i) {
        if (&kKeys[i] == &key) continue;
        FUZZ_CHECK(readAfter[i] == readBefore[i]);
    }
    FUZZ_CHECK(ReadString(key.section, key.name, "\x01", settings::kToolBufferSize) == AsRead(written));
    return 0;
}
