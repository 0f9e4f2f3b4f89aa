#include "Settings/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include "Settings/FixedText.h"

namespace vantel_settings {
namespace {

constexpr int kExponentLimit = 100000;  // far beyond any double; keeps the sum below in int

bool IsSkipped(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The text before its first zero character, without the characters reading skips.
std::string Compact(std::string_view text) {
    std::string compact;
    for (const char c : TextBeforeZero(text))
        if (!IsSkipped(c)) compact.push_back(c);
    return compact;
}

int DigitValue(char c, int radix) {
    int value = radix;
    if (IsDigit(c))
        value = c - '0';
    else if (c >= 'a' && c <= 'f')
        value = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        value = c - 'A' + 10;
    return value < radix ? value : -1;
}

std::optional<double> ReadRadixNumber(std::string_view digits, int radix) {
    std::uint64_t value = 0;
    for (const char c : digits) {
        const int digit = DigitValue(c, radix);
        if (digit < 0) break;
        value = value * static_cast<std::uint64_t>(radix) + static_cast<std::uint64_t>(digit);
        if (value > 0xFFFFFFFFu) return std::nullopt;
    }
    if (value <= 0xFFFFu) return static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

struct Digits {
    std::string integer;
    std::string fraction;
};

std::size_t TakeDigits(std::string_view text, std::size_t position, std::string& digits) {
    while (position < text.size() && IsDigit(text[position])) digits.push_back(text[position++]);
    return position;
}

// The exponent after "E" or "D", held within kExponentLimit; 0 when no digits follow.
int ReadExponent(std::string_view text, std::size_t position) {
    if (position >= text.size()) return 0;
    const char marker = text[position];
    if (marker != 'E' && marker != 'e' && marker != 'D' && marker != 'd') return 0;
    ++position;
    const bool negative = position < text.size() && text[position] == '-';
    if (position < text.size() && (text[position] == '-' || text[position] == '+')) ++position;
    int exponent = 0;
    for (; position < text.size() && IsDigit(text[position]); ++position)
        exponent = std::min(exponent * 10 + (text[position] - '0'), kExponentLimit);
    return negative ? -exponent : exponent;
}

std::optional<double> ReadDecimalNumber(std::string_view text) {
    std::size_t position = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) ++position;
    Digits digits;
    position = TakeDigits(text, position, digits.integer);
    if (position < text.size() && text[position] == '.')
        position = TakeDigits(text, position + 1, digits.fraction);
    if (digits.integer.empty() && digits.fraction.empty()) return 0.0;
    const int exponent = ReadExponent(text, position);

    const std::string canonical = (digits.integer.empty() ? "0" : digits.integer) + "." +
                                  (digits.fraction.empty() ? "0" : digits.fraction) + "e" +
                                  std::to_string(exponent);
    double value = 0.0;
    const std::from_chars_result read = std::from_chars(canonical.data(), canonical.data() + canonical.size(),
                                                        value, std::chars_format::general);
    if (read.ec == std::errc::result_out_of_range) {
        // Too large is an overflow; too small is zero. The decimal position of
        // the first significant digit tells which.
        const std::string all = digits.integer + digits.fraction;
        const std::size_t first = all.find_first_not_of('0');
        const long long magnitude =
            static_cast<long long>(digits.integer.size()) - static_cast<long long>(first) + exponent;
        if (magnitude > 0) return std::nullopt;
        value = 0.0;
    }
    return negative ? -value : value;
}

template <typename Integer>
std::optional<Integer> ReadInteger(std::string_view text) {
    const std::optional<double> number = ReadLeadingNumber(text);
    if (!number) return std::nullopt;
    // nearbyint rounds halves to even in the default rounding mode.
    const double rounded = std::nearbyint(*number);
    if (!(rounded >= static_cast<double>(std::numeric_limits<Integer>::min()) &&
          rounded <= static_cast<double>(std::numeric_limits<Integer>::max())))
        return std::nullopt;
    return static_cast<Integer>(rounded);
}

}  // namespace

std::optional<double> ReadLeadingNumber(std::string_view text) {
    const std::string compact = Compact(text);
    if (compact.size() >= 2 && compact[0] == '&') {
        const char radix = compact[1];
        if (radix == 'H' || radix == 'h') return ReadRadixNumber(std::string_view(compact).substr(2), 16);
        if (radix == 'O' || radix == 'o') return ReadRadixNumber(std::string_view(compact).substr(2), 8);
        return 0.0;
    }
    return ReadDecimalNumber(compact);
}

std::optional<std::int16_t> ReadInteger16(std::string_view text) {
    return ReadInteger<std::int16_t>(text);
}

std::optional<std::int32_t> ReadInteger32(std::string_view text) {
    return ReadInteger<std::int32_t>(text);
}

}  // namespace vantel_settings
