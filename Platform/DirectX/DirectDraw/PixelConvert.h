// Copies blocks of surface pixels onto the screen (the screen image or a
// window's image), converting the format on the way.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "Platform/DirectX/DirectDraw/PixelFormat.h"

namespace dx {

struct SourcePixels {
    const std::uint8_t* bits;  // the block's first pixel
    int pitch;
    Format format;                 // a colour format
    const std::uint32_t* palette;  // Indexed8: 256 colours 0x00RRGGBB
};

struct ScreenPixels {
    std::uint8_t* bits;  // the block's first pixel
    int pitch;
};

// How the screen keeps a pixel: `bytesPerPixel` (1 to 4) bytes in the
// machine's order, each colour channel's top bits in its mask's bits, and
// `opaqueBits` set in every pixel. Without masks the screen is palettized:
// the pixel of each colour is the display's to give.
struct ScreenLayout {
    int bytesPerPixel;
    std::uint32_t redMask;
    std::uint32_t greenMask;
    std::uint32_t blueMask;
    std::uint32_t opaqueBits;

    bool Palettized() const { return (redMask | greenMask | blueMask) == 0; }
    bool operator==(const ScreenLayout&) const = default;
};

// The screen image's layout: 0x00RRGGBB.
inline constexpr ScreenLayout kXrgbLayout{4, 0x00FF0000, 0x0000FF00, 0x000000FF, 0};

// The pixel that shows `xrgb` (0x00RRGGBB) on a screen with masks: each
// channel's top bits, or all 8 of them widened by repeating their top bits
// where a mask is wider, with the opaque bits set.
std::uint32_t ComposePixel(const ScreenLayout& screen, std::uint32_t xrgb);

// How the pixels of one source format become those of one screen layout,
// worked out once (lookup tables, or a plain copy where the two agree).
class PixelMap {
public:
    // `colours` are 256 colours 0x00RRGGBB: an Indexed8 source's palette,
    // or the colours a palettized screen offers the other formats.
    // `pixels` gives the screen pixel of each of them; it is only read for a
    // palettized screen (ComposePixel gives them otherwise). Allocates the
    // 32768-entry table a palettized screen needs for colour sources.
    void Build(Format source, const ScreenLayout& screen, const std::uint32_t colours[256],
               const std::uint32_t pixels[256]);

    Format source() const { return source_; }

    // Copies `width` x `height` pixels of `source`, whose format must be the
    // one the map was built for. Allocates nothing.
    void Convert(const SourcePixels& source, const ScreenPixels& screen, int width, int height) const;

private:
    enum class Kind {
        Copy,      // the layouts agree: rows are copied
        SetBits,   // 0x00RRGGBB with the opaque bits set
        Channels,  // a lookup per colour channel
        Indexed,   // a lookup per palette index
        Nearest,   // colours to the nearest colour the palettized screen offers
    };

    template <int kBytes>
    void ConvertRows(const SourcePixels& source, const ScreenPixels& screen, int width, int height) const;

    Kind kind_ = Kind::Copy;
    Format source_ = Format::XRGB8888;
    int bytes_ = 4;
    std::uint32_t opaque_ = 0;
    // Channels: the screen bits of each value of red (opaque bits included),
    // green and blue. Indexed: the screen pixel of each index, in red_.
    std::array<std::uint32_t, 256> red_{}, green_{}, blue_{};
    // Nearest: the screen pixel of each 15-bit colour (r5 << 10 | g5 << 5 | b5).
    std::unique_ptr<std::uint32_t[]> nearest_;
};

}  // namespace dx
