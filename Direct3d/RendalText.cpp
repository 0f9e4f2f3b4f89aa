// A line of small text over the picture, drawn into the back surface with a
// built-in 5 x 7 dot font: enough for figures such as a frame rate.
#include <cstdint>
#include <cstring>

#include "Direct3d/Rendal.h"
#include "Direct3d/RendalInternal.h"

namespace {

// Site number of the failure report.
constexpr RZXSite kLockSite = {1230, "writing text into the frame's corner"};

constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 7;
// A glyph's cell: one blank column after it; the box adds one blank unit
// around the whole line.
constexpr int kCellWidth = kGlyphWidth + 1;
constexpr int kBoxHeight = kGlyphHeight + 2;
// Rows of render area per step of glyph size.
constexpr int kRowsPerScale = 720;

struct Glyph {
    char character;
    // One row each, top first; bit 4 is the leftmost column.
    std::uint8_t rows[kGlyphHeight];
};

constexpr Glyph kGlyphs[] = {
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}}, {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}}, {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}}, {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}}, {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}}, {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}}, {'-', {0x00, 0x00, 0x00, 0x0E, 0x00, 0x00, 0x00}},
    {'f', {0x06, 0x09, 0x08, 0x1C, 0x08, 0x08, 0x08}}, {'p', {0x00, 0x00, 0x1E, 0x11, 0x1E, 0x10, 0x10}},
    {'s', {0x00, 0x00, 0x0F, 0x10, 0x0E, 0x01, 0x1E}},
};

const std::uint8_t* GlyphRows(char character) {
    for (const Glyph& glyph : kGlyphs)
        if (glyph.character == character) return glyph.rows;
    return nullptr;
}

// The pixel values of white and black in the back surface's format.
struct Ink {
    std::uint32_t white;
    std::uint32_t black;
    int bytes;
};

// On an 8-bit surface the palette's brightest and darkest entries.
Ink InkFor(const DDPIXELFORMAT& format) {
    if ((format.dwFlags & DDPF_PALETTEINDEXED8) == 0)
        return Ink{format.dwRBitMask | format.dwGBitMask | format.dwBBitMask, 0,
                   static_cast<int>(format.dwRGBBitCount / 8)};
    Ink ink{0, 0, 1};
    int brightest = -1;
    int darkest = 3 * 255 + 1;
    for (std::uint32_t i = 0; i < 256; ++i) {
        const PALETTEENTRY& entry = RZXState.palEntries[i];
        const int level = entry.peRed + entry.peGreen + entry.peBlue;
        if (level > brightest) {
            brightest = level;
            ink.white = i;
        }
        if (level < darkest) {
            darkest = level;
            ink.black = i;
        }
    }
    return ink;
}

void Put(std::uint8_t* pixel, std::uint32_t value, int bytes) {
    if (bytes == 1) {
        *pixel = static_cast<std::uint8_t>(value);
    } else if (bytes == 2) {
        const auto narrow = static_cast<std::uint16_t>(value);
        std::memcpy(pixel, &narrow, sizeof narrow);
    } else {
        std::memcpy(pixel, &value, sizeof value);
    }
}

// Whether the line's pixel (x, y), in units of the glyph size from the box's
// top-left corner, is lit.
bool Lit(const char* text, int length, int x, int y) {
    const int row = y - 1;
    const int cell = (x - 1) / kCellWidth;
    const int column = (x - 1) % kCellWidth;
    if (x < 1 || row < 0 || row >= kGlyphHeight || cell >= length || column >= kGlyphWidth) return false;
    const std::uint8_t* rows = GlyphRows(text[cell]);
    return rows != nullptr && (rows[row] >> (kGlyphWidth - 1 - column) & 1) != 0;
}

}  // namespace

int RZXCornerText(const char* text) {
    if (!RZXState.active || text == nullptr) return 0;
    const int scale = 1 + RZXState.height / kRowsPerScale;
    const int length = static_cast<int>(std::strlen(text));
    const int margin = 2 * scale;
    RECT box{margin, margin, margin + (length * kCellWidth + 1) * scale, margin + kBoxHeight * scale};
    if (box.right > RZXState.width) box.right = RZXState.width;
    if (box.bottom > RZXState.height) box.bottom = RZXState.height;
    if (box.left >= box.right || box.top >= box.bottom) return 1;

    DDSURFACEDESC desc{};
    desc.dwSize = DDSURFACEDESC_SIZE;
    const HRESULT result = RZXState.lpDDSBack->Lock(&box, &desc, DDLOCK_WAIT, nullptr);
    if (FAILED(result)) return Fail(RZXDDError, result, kLockSite);
    const Ink ink = InkFor(desc.ddpfPixelFormat);
    auto* row = static_cast<std::uint8_t*>(desc.lpSurface);
    for (LONG y = 0; y < box.bottom - box.top; ++y, row += desc.lPitch) {
        for (LONG x = 0; x < box.right - box.left; ++x) {
            Put(row + x * ink.bytes, Lit(text, length, x / scale, y / scale) ? ink.white : ink.black,
                ink.bytes);
        }
    }
    RZXState.lpDDSBack->Unlock(nullptr);
    return 1;
}
