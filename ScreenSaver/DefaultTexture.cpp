// The built-in texture: a dusk gradient framed in gold, with soft rings and
// a "V" across the middle, so a first run without settings looks finished.
#include "ScreenSaver/DefaultTexture.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

constexpr int kSize = 256;

struct Colour {
    double r, g, b;
};

Colour Mix(Colour a, Colour b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

std::uint32_t Pack(Colour c) {
    const auto channel = [](double v) { return static_cast<std::uint32_t>(std::clamp(v, 0.0, 255.0)); };
    return channel(c.r) << 16 | channel(c.g) << 8 | channel(c.b);
}

// Distance from p to the segment a-b.
double SegmentDistance(double px, double py, double ax, double ay, double bx, double by) {
    const double dx = bx - ax, dy = by - ay;
    const double t = std::clamp(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    return std::hypot(px - (ax + t * dx), py - (ay + t * dy));
}

Colour PixelAt(int x, int y) {
    constexpr Colour kTop{28, 30, 92};
    constexpr Colour kBottom{24, 132, 140};
    constexpr Colour kRing{250, 170, 90};
    constexpr Colour kGold{236, 196, 84};
    constexpr Colour kInk{248, 244, 232};

    const double cx = x + 0.5, cy = y + 0.5;
    Colour c = Mix(kTop, kBottom, cy / kSize);

    const double radius = std::hypot(cx - kSize / 2.0, cy - kSize / 2.0);
    const double ring = 0.5 + 0.5 * std::cos(radius * 0.28);
    c = Mix(c, kRing, 0.22 * ring * std::max(0.0, 1.0 - radius / 180.0));

    const double v =
        std::min(SegmentDistance(cx, cy, 70, 68, 128, 196), SegmentDistance(cx, cy, 186, 68, 128, 196));
    c = Mix(c, kInk, std::clamp(13.0 - v, 0.0, 1.0));

    const int edge = std::min({x, y, kSize - 1 - x, kSize - 1 - y});
    if (edge < 10) c = Mix(kGold, c, edge < 7 ? 0.0 : (edge - 6) / 4.0);
    return c;
}

}  // namespace

D3DRMIMAGE* DefaultTextureImage() {
    static std::uint32_t texels[kSize * kSize];
    static D3DRMIMAGE image = [] {
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) texels[y * kSize + x] = Pack(PixelAt(x, y));
        D3DRMIMAGE made{};
        made.width = kSize;
        made.height = kSize;
        made.aspectx = 1;
        made.aspecty = 1;
        made.depth = 32;
        made.rgb = TRUE;
        made.bytes_per_line = kSize * 4;
        made.buffer1 = texels;
        made.red_mask = 0xFF0000;
        made.green_mask = 0x00FF00;
        made.blue_mask = 0x0000FF;
        return made;
    }();
    return &image;
}
