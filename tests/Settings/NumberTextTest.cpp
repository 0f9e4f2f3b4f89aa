#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "Settings/NumberText.h"

namespace {

using vantel_settings::ReadInteger16;
using vantel_settings::ReadInteger32;
using vantel_settings::ReadLeadingNumber;

struct IntegerCase {
    std::string text;
    std::optional<std::int16_t> as16;  // empty: does not fit 16 bits
    std::optional<std::int32_t> as32;
};

void PrintTo(const IntegerCase& example, std::ostream* out) {
    *out << testing::PrintToString(example.text);
}

class ReadIntegerTest : public testing::TestWithParam<IntegerCase> {};

TEST_P(ReadIntegerTest, GivesTheRoundedLeadingNumberWhenItFits) {
    const IntegerCase& example = GetParam();
    const std::optional<std::int16_t> value16 = ReadInteger16(example.text);
    const std::optional<std::int32_t> value32 = ReadInteger32(example.text);
    EXPECT_EQ(value16, example.as16);
    EXPECT_EQ(value32, example.as32);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, ReadIntegerTest,
    testing::Values(
        // Halves go to the even neighbour, other fractions to the nearest.
        IntegerCase{" 7.5", 8, 8}, IntegerCase{"6.5", 6, 6}, IntegerCase{"2.5", 2, 2},
        IntegerCase{"3.5", 4, 4}, IntegerCase{"-2.5", -2, -2}, IntegerCase{"0.5", 0, 0},
        IntegerCase{"1.5", 2, 2}, IntegerCase{"2.51", 3, 3}, IntegerCase{".7", 1, 1}, IntegerCase{"5.", 5, 5},
        // Exponents with E or D.
        IntegerCase{"1E1", 10, 10}, IntegerCase{"1D2", 100, 100}, IntegerCase{"25e-1", 2, 2},
        IntegerCase{"1e+2", 100, 100}, IntegerCase{"1E", 1, 1}, IntegerCase{"1E-400", 0, 0},
        IntegerCase{"1E400", std::nullopt, std::nullopt},
        IntegerCase{"1E99999999999", std::nullopt, std::nullopt},
        // Hexadecimal and octal.
        IntegerCase{"&H10", 16, 16}, IntegerCase{"&h1f", 31, 31}, IntegerCase{"&O17", 15, 15},
        IntegerCase{"&o8", 0, 0}, IntegerCase{"&HFFFF", -1, -1}, IntegerCase{"&H8000", -32768, -32768},
        IntegerCase{"&H10000", std::nullopt, 65536}, IntegerCase{"&HFFFFFFFF", -1, -1},
        IntegerCase{"&HFF0000", std::nullopt, 16711680},
        IntegerCase{"&H100000000", std::nullopt, std::nullopt}, IntegerCase{"&X1", 0, 0},
        IntegerCase{"&", 0, 0},
        // Signs, stops and text that is no number.
        IntegerCase{"-3", -3, -3}, IntegerCase{"+4", 4, 4}, IntegerCase{"12abc", 12, 12},
        IntegerCase{"1.2.3", 1, 1}, IntegerCase{"abc", 0, 0}, IntegerCase{"", 0, 0}, IntegerCase{"-", 0, 0},
        IntegerCase{"--1", 0, 0}, IntegerCase{"\r5", 0, 0},
        // Blanks, tabs and line feeds are skipped anywhere; the text ends at a zero.
        IntegerCase{"  1 2", 12, 12}, IntegerCase{"\t-\n3", -3, -3}, IntegerCase{"1 E 2", 100, 100},
        IntegerCase{std::string("12\0"
                                "34",
                                5),
                    12, 12},
        // Range limits of SPEED (16 bits) and COLOR (32 bits).
        IntegerCase{"32767", 32767, 32767}, IntegerCase{"32768", std::nullopt, 32768},
        IntegerCase{"-32768", -32768, -32768}, IntegerCase{"-32769", std::nullopt, -32769},
        IntegerCase{"32767.5", std::nullopt, 32768}, IntegerCase{"-32768.5", -32768, -32768},
        IntegerCase{"16711680", std::nullopt, 16711680}, IntegerCase{"2147483647", std::nullopt, 2147483647},
        IntegerCase{"2147483648", std::nullopt, std::nullopt},
        IntegerCase{"-2147483648", std::nullopt, INT32_MIN}));

TEST(ReadLeadingNumberTest, KeepsTheFractionAndReportsOverflow) {
    EXPECT_EQ(ReadLeadingNumber("7.25"), 7.25);
    EXPECT_EQ(ReadLeadingNumber("-1.5D1"), -15.0);
    EXPECT_EQ(ReadLeadingNumber("0.000001"), 0.000001);
    EXPECT_EQ(ReadLeadingNumber(std::string(400, '9')), std::nullopt);
    EXPECT_EQ(ReadLeadingNumber("0." + std::string(400, '0') + "1"), 0.0);
}

}  // namespace
