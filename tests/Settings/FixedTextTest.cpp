#include <gtest/gtest.h>

#include <string>

#include "Settings/FixedText.h"

namespace {

struct FixedCase {
    std::string buffer;
    std::string value;
};

void PrintTo(const FixedCase& example, std::ostream* out) {
    *out << testing::PrintToString(example.buffer);
}

class FixedTextValueTest : public testing::TestWithParam<FixedCase> {};

TEST_P(FixedTextValueTest, IsTheTextBeforeTheFirstZeroWithoutTrailingBlanks) {
    EXPECT_EQ(vantel_settings::FixedTextValue(GetParam().buffer), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Buffers, FixedTextValueTest,
                         testing::Values(FixedCase{"C:\\", "C:\\"}, FixedCase{"/home/a   ", "/home/a"},
                                         FixedCase{std::string("/tmp/x\0\0\0", 9), "/tmp/x"},
                                         FixedCase{std::string("/tmp/x  \0old text  ", 19), "/tmp/x"},
                                         FixedCase{std::string(1024, '\0'), ""}, FixedCase{"     ", ""},
                                         FixedCase{"  lead", "  lead"}, FixedCase{"tab\t", "tab\t"},
                                         FixedCase{"/写真/ ", "/写真/"}));

}  // namespace
