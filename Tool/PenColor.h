// Pen colours are kept as the settings file stores them: a signed 32-bit
// number laid out 0x00BBGGRR, red in the lowest byte (255 is pure red).
#pragma once

#include <QColor>
#include <cstdint>

// The opaque colour of a 0x00BBGGRR value; the unused top byte is ignored.
inline QColor PenColorToQColor(std::int32_t penColor) {
    const auto bits = static_cast<std::uint32_t>(penColor);
    return QColor(static_cast<int>(bits & 0xFFu), static_cast<int>((bits >> 8) & 0xFFu),
                  static_cast<int>((bits >> 16) & 0xFFu));
}

// The 0x00BBGGRR value of a colour; its alpha is dropped.
inline std::int32_t QColorToPenColor(const QColor& color) {
    const QColor rgb = color.toRgb();
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(rgb.red()) |
                                     (static_cast<std::uint32_t>(rgb.green()) << 8) |
                                     (static_cast<std::uint32_t>(rgb.blue()) << 16));
}
