// The profile file on disk: permissions, unreadable and oversized files,
// atomic replacement and concurrent writers.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <csignal>
#include <random>
#include <string>

#include "Platform/Win32/Win32Extensions.h"
#include "tests/Support/KernelTestSupport.h"

namespace fs = std::filesystem;
using kernel_test::KillAfter;
using kernel_test::ListDirectory;
using kernel_test::ReadFile;
using kernel_test::RunAsOrdinaryUser;
using kernel_test::StartChild;
using kernel_test::TempDir;
using kernel_test::WaitForChild;
using kernel_test::WriteFile;

namespace {

std::string ReadValue(const std::string& file, const char* section, const char* key) {
    char buffer[1024];
    const DWORD length =
        GetPrivateProfileStringA(section, key, "<default>", buffer, sizeof buffer, file.c_str());
    return std::string(buffer, length);
}

struct ProtectionCase {
    const char* what;
    bool fileExists;
    mode_t fileMode;
    mode_t directoryMode;
};

void PrintTo(const ProtectionCase& example, std::ostream* out) {
    *out << example.what;
}

class ProfileProtectionTest : public testing::TestWithParam<ProtectionCase> {};

// Runs as an ordinary user: root would write through any mode bits.
TEST_P(ProfileProtectionTest, WriteFailsAndChangesNothingOnDisk) {
    const ProtectionCase& example = GetParam();
    TempDir temp;
    const fs::path directory = temp.path() / "settings";
    fs::create_directories(directory);
    const std::string file = (directory / "Vantel.ini").string();
    const int result = RunAsOrdinaryUser(temp.path(), [&] {
        const std::string original = "[SETTING]\nDIR=/old\n";
        if (example.fileExists) {
            WriteFile(file, original);
            if (chmod(file.c_str(), example.fileMode) != 0) return 1;
        }
        const auto before = ListDirectory(directory);
        if (chmod(directory.c_str(), example.directoryMode) != 0) return 2;
        if (WritePrivateProfileStringA("SETTING", "DIR", "/new", file.c_str())) return 3;
        if (WritePrivateProfileStringA("SS_SECTION", "SPEED", "7", file.c_str())) return 4;
        chmod(directory.c_str(), 0700);
        chmod(file.c_str(), 0600);
        if (ListDirectory(directory) != before) return 5;
        if (example.fileExists && ReadFile(file) != original) return 6;
        return 0;
    });
    EXPECT_EQ(result, 0) << "1, 2: set-up; 3, 4: write succeeded; 5: files appeared; 6: content changed";
}

INSTANTIATE_TEST_SUITE_P(Cases, ProfileProtectionTest,
                         testing::Values(ProtectionCase{"read-only file", true, 0444, 0700},
                                         ProtectionCase{"read-only directory", true, 0600, 0500},
                                         ProtectionCase{"read-only directory without file", false, 0, 0500},
                                         // Replacing a file that could not be read would lose its other keys.
                                         ProtectionCase{"file without read permission", true, 0200, 0700}));

TEST(ProfileUnreadableTest, FileWithoutReadPermissionGivesDefaults) {
    TempDir temp;
    const std::string file = (temp.path() / "Vantel.ini").string();
    WriteFile(file, "[SETTING]\nDIR=/secret\n");
    ASSERT_EQ(chmod(file.c_str(), 0200), 0);
    EXPECT_EQ(RunAsOrdinaryUser(temp.path(),
                                [&] { return ReadValue(file, "SETTING", "DIR") == "<default>" ? 0 : 1; }),
              0);
}

TEST(ProfileUnreadableTest, OversizedFileIsNeitherReadNorReplaced) {
    TempDir temp;
    const std::string file = (temp.path() / "Vantel.ini").string();
    WriteFile(file, "[SETTING]\nDIR=/big\n");
    ASSERT_EQ(truncate(file.c_str(), off_t{64} << 20), 0);  // sparse: costs no disk
    EXPECT_EQ(ReadValue(file, "SETTING", "DIR"), "<default>");
    EXPECT_FALSE(WritePrivateProfileStringA("SETTING", "DIR", "/small", file.c_str()));
    EXPECT_EQ(fs::file_size(file), std::uintmax_t{64} << 20);
}

TEST(ProfileUnreadableTest, NonRegularFilesAreNotRead) {
    TempDir temp;
    const std::string fifo = (temp.path() / "fifo.ini").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(ReadValue(fifo, "SETTING", "DIR"), "<default>");
    EXPECT_EQ(ReadValue(temp.path().string() + "/", "SETTING", "DIR"), "<default>");
    EXPECT_EQ(ReadValue("/dev/zero", "SETTING", "DIR"), "<default>");
}

TEST(ProfileAtomicityTest, ReaderNeverSeesAPartialFile) {
    TempDir temp;
    const std::string file = (temp.path() / "Vantel.ini").string();
    const std::string shortValue = "/short.bmp";
    const std::string longValue = std::string("/").append(6000, 'L').append(".bmp");
    ASSERT_TRUE(WritePrivateProfileStringA("SETTING", "FILENAME", longValue.c_str(), file.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringA("SETTING", "DIR", "/dir", file.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringA("SS_SECTION", "SPEED", "5", file.c_str()));
    const std::string withLong = ReadFile(file);
    ASSERT_TRUE(WritePrivateProfileStringA("SETTING", "FILENAME", shortValue.c_str(), file.c_str()));
    const std::string withShort = ReadFile(file);
    ASSERT_TRUE(WritePrivateProfileStringA("SETTING", "FILENAME", "/end", file.c_str()));
    const std::string atEnd = ReadFile(file);
    ASSERT_TRUE(WritePrivateProfileStringA("SETTING", "FILENAME", shortValue.c_str(), file.c_str()));

    const pid_t reader = fork();
    ASSERT_GE(reader, 0);
    if (reader == 0) {
        // Reads until the writer's last state shows; any other content is a tear.
        for (;;) {
            const std::string seen = ReadFile(file);
            if (seen == atEnd) _exit(0);
            if (seen != withShort && seen != withLong) _exit(1);
            char buffer[16];
            GetPrivateProfileStringA("SS_SECTION", "SPEED", "", buffer, sizeof buffer, file.c_str());
            if (std::string(buffer) != "5") _exit(2);
        }
    }
    for (int i = 0; i < 1000; ++i) {
        const std::string& value = i % 2 == 0 ? longValue : shortValue;
        ASSERT_TRUE(WritePrivateProfileStringA("SETTING", "FILENAME", value.c_str(), file.c_str()));
    }
    ASSERT_TRUE(WritePrivateProfileStringA("SETTING", "FILENAME", "/end", file.c_str()));
    int status = 0;
    ASSERT_EQ(waitpid(reader, &status, 0), reader);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "reader saw a partial file, status " << status;
    EXPECT_EQ(ListDirectory(temp.path()), (std::vector<std::string>{".Vantel.ini.lock", "Vantel.ini"}));
}

TEST(ProfileConcurrencyTest, TwoWritersLoseNoKeys) {
    TempDir temp;
    const std::string file = (temp.path() / "Vantel.ini").string();
    constexpr int kKeys = 150;
    auto writer = [&](char name) {
        return [&file, name] {
            for (int i = 0; i < kKeys; ++i) {
                const std::string key = name + std::to_string(i);
                const std::string section = i % 2 == 0 ? "SETTING" : "SS_SECTION";
                if (!WritePrivateProfileStringA(section.c_str(), key.c_str(), key.c_str(), file.c_str()))
                    return 1;
            }
            return 0;
        };
    };
    const pid_t first = StartChild(writer('A'));
    const pid_t second = StartChild(writer('B'));
    ASSERT_GT(first, 0);
    ASSERT_GT(second, 0);
    EXPECT_EQ(WaitForChild(first), 0);
    EXPECT_EQ(WaitForChild(second), 0);
    for (const char name : {'A', 'B'}) {
        for (int i = 0; i < kKeys; ++i) {
            const std::string key = name + std::to_string(i);
            EXPECT_EQ(ReadValue(file, i % 2 == 0 ? "SETTING" : "SS_SECTION", key.c_str()), key);
        }
    }
}

using SettingSet = std::array<const char*, 4>;

// FILENAME, DIR, SPEED and COLOR, as the tool writes them: in one update.
bool WriteSet(const std::string& file, const SettingSet& set) {
    Win32BeginProfileUpdate(file.c_str());
    WritePrivateProfileStringA("SETTING", "FILENAME", set[0], file.c_str());
    WritePrivateProfileStringA("SETTING", "DIR", set[1], file.c_str());
    WritePrivateProfileStringA("SS_SECTION", "SPEED", set[2], file.c_str());
    WritePrivateProfileStringA("SETTING", "COLOR", set[3], file.c_str());
    return Win32EndProfileUpdate() == TRUE;
}

TEST(ProfileKillTest, AWriterKilledAnywhereLeavesOneWholeSetAndNoLitter) {
    TempDir temp;
    const std::string file = (temp.path() / "Vantel.ini").string();
    const std::string longName = "/srv/pictures/" + std::string(3000, 'p') + ".bmp";
    const SettingSet sets[2] = {{"/home/a/123.bmp", "/home/a", "3", "255"},
                                {longName.c_str(), "/srv/pictures", "10", "16711680"}};
    std::string texts[2];
    // Also measures how long one set takes, so that the kills spread over
    // whole writes on a fast disk and a slow one alike.
    const auto started = std::chrono::steady_clock::now();
    for (int i = 0; i < 8; ++i) {
        ASSERT_TRUE(WriteSet(file, sets[i % 2]));
        texts[i % 2] = ReadFile(file);
    }
    const auto setTime = (std::chrono::steady_clock::now() - started) / 8;
    const std::vector<std::string> clean = ListDirectory(temp.path());

    const unsigned seed = testing::UnitTest::GetInstance()->random_seed();
    SCOPED_TRACE("seed " + std::to_string(seed) + " (--gtest_random_seed=" + std::to_string(seed) + ")");
    std::mt19937 random(seed);
    std::uniform_int_distribution<long> moment(
        0, 3 * std::chrono::duration_cast<std::chrono::microseconds>(setTime).count());
    int holding = 1;
    int seen[2] = {0, 0};
    int litter = 0;
    for (int kill = 0; kill < 200; ++kill) {
        const int ended = KillAfter(
            [&] {
                for (int next = 1 - holding;; next = 1 - next)
                    if (!WriteSet(file, sets[next])) return 2;
            },
            std::chrono::microseconds(moment(random)));
        ASSERT_EQ(ended, 128 + SIGKILL) << "the writer failed before it was killed";

        const std::string text = ReadFile(file);
        ASSERT_TRUE(text == texts[0] || text == texts[1]) << "kill " << kill << " left:\n"
                                                          << text.substr(0, 200);
        holding = text == texts[0] ? 0 : 1;
        ++seen[holding];
        // The killed writer's temporary file at most: the next write sweeps it away.
        const std::size_t files = ListDirectory(temp.path()).size();
        ASSERT_LE(files, clean.size() + 1) << "kill " << kill << ": temporary files pile up";
        litter += files > clean.size();
    }
    // Kills landed inside writes and between them, or the test proved nothing.
    EXPECT_GT(litter, 0);
    EXPECT_GT(seen[0], 0);
    EXPECT_GT(seen[1], 0);
    ASSERT_TRUE(WriteSet(file, sets[0]));
    EXPECT_EQ(ListDirectory(temp.path()), clean);
}

}  // namespace
