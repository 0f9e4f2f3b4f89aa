#include <gtest/gtest.h>

#include "ScreenSaver/Deepdr.h"
#include "ScreenSaver/SaverOptions.h"

namespace {

struct ScanCase {
    const char* commandLine;
    RunMode mode;
};

const char* Name(RunMode mode) {
    switch (mode) {
        case RunMode::None:
            return "none";
        case RunMode::Configure:
            return "configure";
        case RunMode::Saver:
            return "saver";
    }
    return "?";
}

TEST(CommandLineTest, ScanChoosesTheMode) {
    const ScanCase cases[] = {
        {"", RunMode::None},
        {"/s", RunMode::Saver},
        {"-S", RunMode::Saver},
        {"/S 1234", RunMode::Saver},
        {"/save", RunMode::Saver},
        {"/c", RunMode::Configure},
        {"-C", RunMode::Configure},
        {"/c:1234", RunMode::Configure},
        {"/p 1234", RunMode::None},
        {"/a", RunMode::None},
        {"x", RunMode::None},
        {"-", RunMode::None},
        {"/", RunMode::None},
        {"-/s", RunMode::Saver},
        {"x/S", RunMode::Saver},
        {"/c /s", RunMode::Configure},
        {"/s -c", RunMode::Configure},
        // Only the first character after a switch sign counts.
        {"/ps", RunMode::None},
        {"/pc", RunMode::None},
        {"save", RunMode::None},
        {"s c", RunMode::None},
        {"//s", RunMode::Saver},
        {"--c", RunMode::Configure},
        {"/ s", RunMode::None},
        {"/s/", RunMode::Saver},
        {"1234 /s", RunMode::Saver},
        {"/p 1234 -S", RunMode::Saver},
        // Bytes above 0x7F are never switch letters, nor do they end the scan.
        {"/\xC3\xA9", RunMode::None},
        {"/\xF3", RunMode::None},
        {"\xE3\x80\x80/c", RunMode::Configure},
    };
    for (const ScanCase& c : cases) {
        EXPECT_EQ(Name(ScanCommandLine(c.commandLine)), Name(c.mode)) << '"' << c.commandLine << '"';
        // None of them holds an option: they reach the scan untouched.
        const SaverOptions options = ReadSaverOptions(c.commandLine, nullptr);
        EXPECT_EQ(Name(options.mode), Name(c.mode)) << '"' << c.commandLine << '"';
        EXPECT_EQ(options.warnings, "") << '"' << c.commandLine << '"';
    }
}

TEST(CommandLineTest, NoTextIsNoMode) {
    EXPECT_EQ(ScanCommandLine(nullptr), RunMode::None);
}

}  // namespace
