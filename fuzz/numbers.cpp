// The number-text conversions: the tool's reading of SPEED and COLOR (and
// the text clean-up of every value it reads), whose results must agree with
// one another and with the texts the tool itself writes.
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "Settings/FixedText.h"
#include "Settings/NumberText.h"
#include "fuzz/FuzzCheck.h"

namespace {

namespace settings = vantel_settings;

template <typename Integer>
void CheckInteger(const std::optional<double>& number, const std::optional<Integer>& integer) {
    const bool fits = number && std::nearbyint(*number) >= std::numeric_limits<Integer>::min() &&
                      std::nearbyint(*number) <= std::numeric_limits<Integer>::max();
    FUZZ_CHECK(integer.has_value() == fits);
    if (!integer) return;
    FUZZ_CHECK(*integer == std::nearbyint(*number));
    // What the tool writes as a number's text it reads back as that number.
    FUZZ_CHECK(settings::ReadInteger32(std::to_string(*integer)) == *integer);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::optional<double> number = settings::ReadLeadingNumber(text);
    if (number) FUZZ_CHECK(std::isfinite(*number));
    CheckInteger(number, settings::ReadInteger16(text));
    CheckInteger(number, settings::ReadInteger32(text));

    // Blanks anywhere are skipped, and the text ends at its first zero.
    std::string spaced(text);
    spaced.insert(spaced.size() / 2, " \t\n");
    FUZZ_CHECK(settings::ReadLeadingNumber(spaced) == number);
    FUZZ_CHECK(settings::ReadLeadingNumber(std::string(text) + '\0' + "9") == number);
    // A minus before a number's first digit negates it.
    if (!text.empty() && text[0] >= '0' && text[0] <= '9') {
        const std::optional<double> negated = settings::ReadLeadingNumber("-" + std::string(text));
        FUZZ_CHECK(negated.has_value() == number.has_value());
        if (number) FUZZ_CHECK(*negated == -*number);
    }

    const std::string_view value = settings::FixedTextValue(text);
    FUZZ_CHECK(value.find('\0') == std::string_view::npos);
    FUZZ_CHECK(value.empty() || value.back() != ' ');
    FUZZ_CHECK(text.starts_with(value));
    return 0;
}
