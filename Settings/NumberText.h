// How the settings tool turns the text of SPEED and COLOR into numbers.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace vantel_settings {

// The leading number of a text, read the way the tool's forms runtime reads
// one:
// - the text ends at its first zero character;
// - blanks, tabs and line feeds anywhere in it are skipped;
// - an optional sign, digits, at most one decimal point and an optional
//   exponent ("E" or "D", either case, an optional sign and digits) are read
//   up to the first other character;
// - "&H" and "&O" (either case) read hexadecimal and octal digits instead.
//   Their value is a 16-bit two's complement number when it fits 16 bits and a
//   32-bit one when it fits 32 bits, as the runtime gives it: "&HFFFF" is -1,
//   "&H10000" is 65536, "&HFFFFFFFF" is -1;
// - a text that does not start with a number gives 0.
// Empty when the number is too large for a double or, after "&H" or "&O",
// for 32 bits.
std::optional<double> ReadLeadingNumber(std::string_view text);

// The leading number rounded to the nearest integer, halves going to the
// even neighbour (2.5 gives 2, 3.5 gives 4). Empty when it does not fit the
// type: SPEED must fit 16 bits, COLOR 32 bits.
std::optional<std::int16_t> ReadInteger16(std::string_view text);
std::optional<std::int32_t> ReadInteger32(std::string_view text);

}  // namespace vantel_settings
