// One checked-in file per fault a settings file may have, each with what
// reading it must give, and what it must still give after a write.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "Platform/Win32/Win32.h"
#include "tests/Support/KernelTestSupport.h"

namespace fs = std::filesystem;
using kernel_test::ReadFile;
using kernel_test::TempDir;
using kernel_test::WriteFile;

namespace {

constexpr char kDefault[] = "<default>";

struct Expected {
    const char* section;
    const char* key;
    std::optional<std::string> value;  // empty: the key must not be found
};

struct FixtureCase {
    const char* name;
    std::vector<Expected> expected;
};

void PrintTo(const FixtureCase& example, std::ostream* out) {
    *out << example.name;
}

std::string Fixture(const char* name) {
    return ReadFile(fs::path(VANTEL_SOURCE_DIR) / "tests/Platform/Win32/Profile/fixtures" / name);
}

std::string Read(const Expected& expected, const std::string& file) {
    std::string buffer(1024, '\0');
    const DWORD length =
        GetPrivateProfileStringA(expected.section, expected.key, kDefault, buffer.data(), 1024, file.c_str());
    return buffer.substr(0, length);
}

void ExpectValues(const std::vector<Expected>& table, const std::string& file, const char* skipKey = "") {
    for (const Expected& expected : table) {
        if (std::string(expected.key) == skipKey) continue;
        EXPECT_EQ(Read(expected, file), expected.value.value_or(kDefault))
            << "[" << expected.section << "] " << expected.key;
    }
}

class ProfileFixtureTest : public testing::TestWithParam<FixtureCase> {
protected:
    // A copy, so that writes never touch the checked-in file.
    std::string CopyOfFixture() {
        const fs::path copy = temp_.path() / GetParam().name;
        WriteFile(copy, Fixture(GetParam().name));
        return copy.string();
    }

    TempDir temp_;
};

TEST_P(ProfileFixtureTest, ReadsWhatCanBeReadAndDefaultsTheRest) {
    ExpectValues(GetParam().expected, CopyOfFixture());
}

TEST_P(ProfileFixtureTest, WritesKeepEveryOtherValue) {
    const std::string file = CopyOfFixture();
    const Expected written{"SETTING", "COLOR", "123"};
    const Expected added{"SS_SECTION", "ADDED", "new value"};
    ASSERT_TRUE(
        WritePrivateProfileStringA(written.section, written.key, written.value->c_str(), file.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringA(added.section, added.key, added.value->c_str(), file.c_str()));
    EXPECT_EQ(Read(written, file), *written.value);
    EXPECT_EQ(Read(added, file), *added.value);
    ExpectValues(GetParam().expected, file, "COLOR");
}

const FixtureCase kFixtures[] = {
    {"garbage.ini",
     {{"SETTING", "COLOR", "77"},
      {"SETTING", "DIR", "/after/garbage"},
      {"SS_SECTION", "SPEED", std::nullopt}}},
    {"nul-bytes.ini",
     {{"SETTING", "FILENAME", std::nullopt},
      {"SETTING", "COLOR", "12"},
      {"SETTING", "DIR", "/d"},
      {"SS_SECTION", "SPEED", std::nullopt}}},
    {"bom.ini", {{"SETTING", "COLOR", "255"}, {"SS_SECTION", "SPEED", "4"}}},
    {"crlf.ini",
     {{"SETTING", "FILENAME", "/c/r.bmp"}, {"SETTING", "COLOR", "5"}, {"SS_SECTION", "SPEED", "6"}}},
    {"cr-only.ini",
     {{"SETTING", "FILENAME", "/m/a.bmp"}, {"SETTING", "COLOR", "6"}, {"SS_SECTION", "SPEED", "2"}}},
    {"quotes.ini",
     {{"SETTING", "FILENAME", "/with blank/t.bmp"},
      {"SETTING", "DIR", "/single"},
      {"SETTING", "COLOR", "\"7"},
      {"SETTING", "NAME", "\"mixed'"},
      {"SETTING", "EMPTY", ""},
      {"SETTING", "INNER", "a\"b\"c"}}},
    {"comments.ini", {{"SETTING", "COLOR", "3"}, {"SETTING", "DIR", std::nullopt}}},
    {"duplicates.ini",
     {{"SETTING", "COLOR", "1"}, {"SETTING", "DIR", "/second"}, {"SS_SECTION", "SPEED", "4"}}},
    {"blanks.ini",
     {{"SETTING", "COLOR", "42"},
      {"SETTING", "DIR", "/a b"},
      {"SETTING", "FILENAME", ""},
      {"SS_SECTION", "SPEED", "8"}}},
    {"no-section.ini",
     {{"SETTING", "COLOR", std::nullopt}, {"SETTING", "DIR", std::nullopt}, {"SS_SECTION", "SPEED", "3"}}},
    {"malformed-lines.ini",
     {{"SETTING", "COLOR", std::nullopt},
      {"SETTING", "DIR", "/kept"},
      {"SS_SECTION", "SPEED", std::nullopt}}},
};

INSTANTIATE_TEST_SUITE_P(Fixtures, ProfileFixtureTest, testing::ValuesIn(kFixtures));

TEST(ProfileLongLineTest, MegabyteLinesNeitherHideLaterKeysNorOverrunTheBuffer) {
    TempDir temp;
    const fs::path file = temp.path() / "long.ini";
    const std::string huge(2 << 20, 'x');
    WriteFile(file, "[SETTING]\nJUNK=" + huge + "\nCOLOR=5\n" + huge + "\n[SS_SECTION]\nSPEED=3\n");
    char buffer[1024];
    EXPECT_EQ(GetPrivateProfileStringA("SETTING", "JUNK", "", buffer, sizeof buffer, file.c_str()), 1023u);
    EXPECT_EQ(std::string(buffer), huge.substr(0, 1023));
    EXPECT_EQ(GetPrivateProfileIntA("SETTING", "COLOR", 0, file.c_str()), 5u);
    EXPECT_EQ(GetPrivateProfileIntA("SS_SECTION", "SPEED", 0, file.c_str()), 3u);
}

}  // namespace
