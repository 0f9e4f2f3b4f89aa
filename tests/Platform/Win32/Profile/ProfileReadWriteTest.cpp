// The profile functions as the two programs use them: the bare name
// "Vantel.ini", its layout after the tool's saves, defaults and truncation.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "Platform/Win32/Win32Extensions.h"
#include "tests/Support/KernelTestSupport.h"

namespace fs = std::filesystem;
using kernel_test::ListDirectory;
using kernel_test::PrivateEnvironment;
using kernel_test::ReadFile;
using kernel_test::TempDir;
using kernel_test::WriteFile;

namespace {

constexpr char kIni[] = "Vantel.ini";
constexpr char kFolder[] = "vantel";

class ProfileTest : public testing::Test {
protected:
    void SetUp() override { Win32SetProfileFolder(kFolder); }

    fs::path IniPath() const { return temp_.path() / "config" / kFolder / kIni; }

    std::string Read(const char* section, const char* key, const char* fallback, DWORD size = 1024) {
        std::string buffer(size, '#');
        const DWORD length = GetPrivateProfileStringA(section, key, fallback, buffer.data(), size, kIni);
        EXPECT_EQ(buffer[length], '\0');
        return buffer.substr(0, length);
    }

    // The four writes of either save button, in their order.
    void Save(const std::string& file, const std::string& dir, const std::string& speed,
              const std::string& color) {
        ASSERT_TRUE(WritePrivateProfileStringA("SETTING", "FILENAME", file.c_str(), kIni));
        ASSERT_TRUE(WritePrivateProfileStringA("SETTING", "DIR", dir.c_str(), kIni));
        ASSERT_TRUE(WritePrivateProfileStringA("SS_SECTION", "SPEED", speed.c_str(), kIni));
        ASSERT_TRUE(WritePrivateProfileStringA("SETTING", "COLOR", color.c_str(), kIni));
    }

    TempDir temp_;
    PrivateEnvironment environment_{temp_.path()};
};

TEST_F(ProfileTest, FirstSaveCreatesTheDirectoryAndTheDocumentedLayout) {
    ASSERT_FALSE(fs::exists(IniPath().parent_path()));
    Save("/opt/vantel/123.bmp", "/home/u/Pictures", "5", "255");
    EXPECT_EQ(ReadFile(IniPath()),
              "[SETTING]\nFILENAME=/opt/vantel/123.bmp\nDIR=/home/u/Pictures\nCOLOR=255\n"
              "[SS_SECTION]\nSPEED=5\n");
}

TEST_F(ProfileTest, ABareNameHasNoPlaceUntilTheProgramNamesItsFolder) {
    Win32SetProfileFolder(nullptr);
    EXPECT_FALSE(WritePrivateProfileStringA("SETTING", "DIR", "/d", kIni));
    EXPECT_EQ(Read("SETTING", "DIR", "C:\\"), "C:\\");
    EXPECT_TRUE(ListDirectory(temp_.path() / "config").empty());
}

TEST_F(ProfileTest, SecondSaveReplacesValuesInPlace) {
    Save("/a/first.bmp", "/a", "5", "255");
    Save("/b/second-and-longer.bmp", "/b/c", "10", "-16777216");
    EXPECT_EQ(ReadFile(IniPath()),
              "[SETTING]\nFILENAME=/b/second-and-longer.bmp\nDIR=/b/c\nCOLOR=-16777216\n"
              "[SS_SECTION]\nSPEED=10\n");
}

TEST_F(ProfileTest, LowerCaseNamesInTheFileAreFoundAndReplaced) {
    fs::create_directories(IniPath().parent_path());
    WriteFile(IniPath(), "[setting]\nfilename=/x.bmp\n[Ss_Section]\nspeed=7\n");
    EXPECT_EQ(Read("SETTING", "FILENAME", "none"), "/x.bmp");
    EXPECT_EQ(GetPrivateProfileIntA("SS_SECTION", "SPEED", 5, kIni), 7u);
    ASSERT_TRUE(WritePrivateProfileStringA("SS_SECTION", "SPEED", "9", kIni));
    EXPECT_EQ(ReadFile(IniPath()), "[setting]\nfilename=/x.bmp\n[Ss_Section]\nspeed=9\n");
}

TEST_F(ProfileTest, MissingFileSectionOrKeyGivesTheDefault) {
    EXPECT_EQ(Read("SETTING", "FILENAME", "123.bmp", 256), "123.bmp");
    EXPECT_EQ(Read("SETTING", "DIR", "C:\\"), "C:\\");
    EXPECT_EQ(Read("SETTING", "FILENAME", nullptr), "");
    EXPECT_EQ(GetPrivateProfileIntA("SS_SECTION", "SPEED", 5, kIni), 5u);
    ASSERT_TRUE(WritePrivateProfileStringA("SETTING", "COLOR", "255", kIni));
    EXPECT_EQ(Read("SETTING", "DIR", "C:\\"), "C:\\");
    EXPECT_EQ(Read("OTHER", "COLOR", "0"), "0");
    EXPECT_EQ(GetPrivateProfileIntA("SS_SECTION", "SPEED", 5, kIni), 5u);
}

struct TruncationCase {
    std::string value;
    DWORD size;
    std::string expected;
};

void PrintTo(const TruncationCase& example, std::ostream* out) {
    *out << example.value.size() << " bytes into " << example.size;
}

class ProfileTruncationTest : public ProfileTest, public testing::WithParamInterface<TruncationCase> {};

TEST_P(ProfileTruncationTest, CutsToSizeLessOneAndEndsWithZero) {
    const TruncationCase& example = GetParam();
    ASSERT_TRUE(WritePrivateProfileStringA("SETTING", "FILENAME", example.value.c_str(), kIni));
    EXPECT_EQ(Read("SETTING", "FILENAME", "", example.size), example.expected);
    // A default is cut the same way.
    EXPECT_EQ(Read("SETTING", "MISSING", example.value.c_str(), example.size), example.expected);
}

const std::string kLong(3000, 'p');
const std::string kJapanese = "a" + [] {
    std::string text;
    for (int i = 0; i < 100; ++i) text += "画";
    return text;
}();

INSTANTIATE_TEST_SUITE_P(
    Sizes, ProfileTruncationTest,
    testing::Values(TruncationCase{kLong, 256, kLong.substr(0, 255)},
                    TruncationCase{kLong, 1024, kLong.substr(0, 1023)},
                    TruncationCase{kLong.substr(0, 255), 256, kLong.substr(0, 255)},
                    TruncationCase{kLong.substr(0, 1023), 1024, kLong.substr(0, 1023)},
                    TruncationCase{"abc", 1, ""}, TruncationCase{"abc", 3, "ab"},
                    // 255 bytes would end inside the 85th character: it is left out whole.
                    TruncationCase{kJapanese, 256, kJapanese.substr(0, 253)}));

TEST_F(ProfileTest, ZeroSizeBufferIsLeftAlone) {
    char buffer[4] = {'x', 'y', 'z', 'w'};
    EXPECT_EQ(GetPrivateProfileStringA("SETTING", "DIR", "C:\\", buffer, 0, kIni), 0u);
    EXPECT_EQ(std::string(buffer, 4), "xyzw");
}

TEST(ProfileJapaneseTest, JapanesePathsRoundTrip) {
    TempDir temp;
    const fs::path root = temp.path() / "設定フォルダ";
    fs::create_directories(root);
    PrivateEnvironment environment(root);
    Win32SetProfileFolder(kFolder);
    const std::string texture = "/home/ユーザー/画像/テクスチャ 1.bmp";
    ASSERT_TRUE(WritePrivateProfileStringA("SETTING", "FILENAME", texture.c_str(), kIni));
    ASSERT_TRUE(WritePrivateProfileStringA("SETTING", "DIR", "/home/ユーザー/画像", kIni));
    char buffer[256];
    ASSERT_EQ(GetPrivateProfileStringA("SETTING", "FILENAME", "", buffer, sizeof buffer, kIni),
              texture.size());
    EXPECT_EQ(std::string(buffer), texture);
    EXPECT_EQ(ReadFile(root / "config" / kFolder / kIni),
              "[SETTING]\nFILENAME=" + texture + "\nDIR=/home/ユーザー/画像\n");
}

struct IntegerCase {
    std::string value;
    int expected;
};

void PrintTo(const IntegerCase& example, std::ostream* out) {
    *out << testing::PrintToString(example.value);
}

class ProfileIntegerTest : public ProfileTest, public testing::WithParamInterface<IntegerCase> {};

TEST_P(ProfileIntegerTest, ReadsTheLeadingDecimalInteger) {
    ASSERT_TRUE(WritePrivateProfileStringA("SS_SECTION", "SPEED", GetParam().value.c_str(), kIni));
    EXPECT_EQ(static_cast<int>(GetPrivateProfileIntA("SS_SECTION", "SPEED", 5, kIni)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Values, ProfileIntegerTest,
                         testing::Values(IntegerCase{"15", 15}, IntegerCase{"-3", -3},
                                         IntegerCase{"12abc", 12}, IntegerCase{"abc", 0}, IntegerCase{"", 0},
                                         IntegerCase{"+8", 8}, IntegerCase{"7.9", 7},
                                         IntegerCase{"  42  ", 42}, IntegerCase{"\"6\"", 6},
                                         IntegerCase{"99999999999", INT_MAX},
                                         IntegerCase{"-99999999999", INT_MIN}));

struct RefusedWrite {
    const char* section;
    const char* key;
    const char* value;
};

void PrintTo(const RefusedWrite& example, std::ostream* out) {
    *out << testing::PrintToString(example.section) << " " << testing::PrintToString(example.key) << " "
         << testing::PrintToString(example.value);
}

class ProfileRefusedWriteTest : public ProfileTest, public testing::WithParamInterface<RefusedWrite> {};

// Names or values that would not read back as the one line written are
// refused and leave the file as it was.
TEST_P(ProfileRefusedWriteTest, LeavesTheFileAsItWas) {
    ASSERT_TRUE(WritePrivateProfileStringA("SETTING", "DIR", "/d", kIni));
    const std::string before = ReadFile(IniPath());
    EXPECT_FALSE(WritePrivateProfileStringA(GetParam().section, GetParam().key, GetParam().value, kIni));
    EXPECT_EQ(ReadFile(IniPath()), before);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, ProfileRefusedWriteTest,
    testing::Values(RefusedWrite{"SETTING", "DIR", "/a\n[SS_SECTION]\nSPEED=99"},
                    RefusedWrite{"SETTING", "DIR", "/a\rb"}, RefusedWrite{"SET]TING", "DIR", "x"},
                    RefusedWrite{"", "DIR", "x"}, RefusedWrite{"SETTING", "A=B", "x"},
                    RefusedWrite{"SETTING", " ", "x"}, RefusedWrite{"SETTING", "[DIR]", "x"},
                    RefusedWrite{"SETTING", ";DIR", "x"}, RefusedWrite{nullptr, "DIR", "x"},
                    RefusedWrite{"SETTING", nullptr, "x"}, RefusedWrite{"SETTING", "DIR", nullptr}));

}  // namespace
