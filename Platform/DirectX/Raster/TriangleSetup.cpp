#include "Platform/DirectX/Raster/TriangleSetup.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cmath>
#include <iterator>
#include <utility>

namespace raster {
namespace {

// A vertex in the form the setup interpolates: every attribute linear in
// screen space (u, v premultiplied by rhw), in double for the clipper.
constexpr int kAttributes = 7;

struct ScreenVertex {
    double x, y;
    double attributes[kAttributes];  // in the order of kPlanes
};

constexpr Plane TriangleSetup::*kPlanes[kAttributes] = {
    &TriangleSetup::depth, &TriangleSetup::rhw,   &TriangleSetup::u,    &TriangleSetup::v,
    &TriangleSetup::red,   &TriangleSetup::green, &TriangleSetup::blue,
};

bool Finite(const Vertex& v) {
    const float fields[] = {v.x, v.y, v.z, v.rhw, v.u, v.v, v.r, v.g, v.b};
    return std::all_of(std::begin(fields), std::end(fields), [](float f) { return std::isfinite(f); });
}

double Unit(float value) {
    return std::clamp(static_cast<double>(value), 0.0, 1.0);
}

// Turns the three input vertices into screen vertices: depth and colour
// scaled to their output ranges, rhw normalised, u and v moved by a whole
// number of wraps so that they start at 1 (keeping texel coordinates small
// and positive) and premultiplied by rhw.
void ToScreen(const Vertex* in, const Sampler& sampler, Shading shading, ScreenVertex out[3]) {
    const bool perspective = in[0].rhw > 0 && in[1].rhw > 0 && in[2].rhw > 0;
    const double maxRhw = perspective ? std::max({in[0].rhw, in[1].rhw, in[2].rhw}) : 1.0;
    const double uShift = std::floor(std::min({in[0].u, in[1].u, in[2].u})) - 1.0;
    const double vShift = std::floor(std::min({in[0].v, in[1].v, in[2].v})) - 1.0;
    for (int i = 0; i < 3; ++i) {
        const Vertex& colour = shading == Shading::Flat ? in[0] : in[i];
        const double rhw = perspective ? in[i].rhw / maxRhw : 1.0;
        out[i] = ScreenVertex{in[i].x,
                              in[i].y,
                              {
                                  Unit(in[i].z) * 65535.0 + 0.5,
                                  rhw,
                                  (in[i].u - uShift) * sampler.u.size * rhw,
                                  (in[i].v - vShift) * sampler.v.size * rhw,
                                  Unit(colour.r) * 255.0 + 0.5,
                                  Unit(colour.g) * 255.0 + 0.5,
                                  Unit(colour.b) * 255.0 + 0.5,
                              }};
    }
}

bool InsideGuardBand(const ScreenVertex& v) {
    return std::abs(v.x) <= kGuardBand && std::abs(v.y) <= kGuardBand;
}

// The point where the segment a-b crosses the line `axis` = `bound`. The
// endpoints are put in one fixed order first, so that two triangles sharing
// the edge get the very same point and stay watertight after clipping.
ScreenVertex Crossing(ScreenVertex a, ScreenVertex b, int axis, double bound) {
    if (b.x < a.x || (b.x == a.x && b.y < a.y)) std::swap(a, b);
    const double ca = axis == 0 ? a.x : a.y;
    const double cb = axis == 0 ? b.x : b.y;
    const double t = (bound - ca) / (cb - ca);
    ScreenVertex out;
    out.x = a.x + t * (b.x - a.x);
    out.y = a.y + t * (b.y - a.y);
    for (int i = 0; i < kAttributes; ++i) {
        out.attributes[i] = a.attributes[i] + t * (b.attributes[i] - a.attributes[i]);
    }
    (axis == 0 ? out.x : out.y) = bound;
    return out;
}

// Sutherland-Hodgman against the four sides of the guard band.
int ClipToGuardBand(const ScreenVertex triangle[3], ScreenVertex polygon[kMaxClipVertices]) {
    ScreenVertex buffer[kMaxClipVertices];
    std::copy(triangle, triangle + 3, polygon);
    int count = 3;
    for (int side = 0; side < 4 && count > 0; ++side) {
        const int axis = side / 2;
        const double bound = side % 2 == 0 ? -kGuardBand : kGuardBand;
        const auto inside = [&](const ScreenVertex& v) {
            const double c = axis == 0 ? v.x : v.y;
            return side % 2 == 0 ? c >= bound : c <= bound;
        };
        std::copy(polygon, polygon + count, buffer);
        const int inCount = count;
        count = 0;
        for (int i = 0; i < inCount; ++i) {
            const ScreenVertex& current = buffer[i];
            const ScreenVertex& next = buffer[(i + 1) % inCount];
            if (inside(current)) polygon[count++] = current;
            if (inside(current) != inside(next)) polygon[count++] = Crossing(current, next, axis, bound);
        }
        assert(count <= kMaxClipVertices);
    }
    return count;
}

std::int64_t Snap(double coordinate) {
    const std::int64_t snapped = std::llrint(coordinate * static_cast<double>(kSubPixels));
    assert(snapped >= -kMaxSnapped && snapped <= kMaxSnapped);
    return snapped;
}

// Edge from a to b, with the interior on its positive side. In a y-down
// frame with that orientation, a top edge runs exactly horizontally to the
// right and a left edge runs upwards; pixel centres exactly on any other
// edge belong to the neighbouring triangle.
Edge MakeEdge(std::int64_t ax, std::int64_t ay, std::int64_t bx, std::int64_t by, std::int64_t px,
              std::int64_t py) {
    const std::int64_t dx = bx - ax;
    const std::int64_t dy = by - ay;
    assert(std::abs(px - ax) <= bounds::kCentreOffset && std::abs(py - ay) <= bounds::kCentreOffset);
    const bool topLeft = dy < 0 || (dy == 0 && dx > 0);
    return Edge{dx * (py - ay) - dy * (px - ax) - (topLeft ? 0 : 1), -dy * kSubPixels, dx * kSubPixels};
}

// Planes beyond this are absurd (and would not fit a float); such triangles
// are dropped rather than drawn with infinities.
constexpr double kLargestPlaneValue = 1e30;

bool Representable(double value) {
    return std::abs(value) <= kLargestPlaneValue;
}

// Sets up one triangle whose vertices all lie inside the guard band.
bool SetUp(const ScreenVertex& a, ScreenVertex b, ScreenVertex c, const Target& target, TriangleSetup& out) {
    std::int64_t x0 = Snap(a.x), y0 = Snap(a.y);
    std::int64_t x1 = Snap(b.x), y1 = Snap(b.y);
    std::int64_t x2 = Snap(c.x), y2 = Snap(c.y);
    std::int64_t area = (x1 - x0) * (y2 - y0) - (x2 - x0) * (y1 - y0);
    if (area == 0) return false;
    // Either winding draws: turn clockwise ones around, keeping the first
    // vertex first.
    if (area < 0) {
        std::swap(b, c);
        std::swap(x1, x2);
        std::swap(y1, y2);
        area = -area;
    }

    // The pixels whose centres (i + 0.5, j + 0.5) can lie inside.
    const int width = std::min(target.width, kMaxTargetSize);
    const int height = std::min(target.height, kMaxTargetSize);
    const std::int64_t half = kSubPixels / 2;
    const auto firstCentre = [&](std::int64_t lo) { return (lo - half + kSubPixels - 1) >> kSubPixelBits; };
    const auto lastCentre = [&](std::int64_t hi) { return (hi - half) >> kSubPixelBits; };
    out.minX = static_cast<int>(std::max<std::int64_t>(firstCentre(std::min({x0, x1, x2})), 0));
    out.minY = static_cast<int>(std::max<std::int64_t>(firstCentre(std::min({y0, y1, y2})), 0));
    out.maxX = static_cast<int>(std::min<std::int64_t>(lastCentre(std::max({x0, x1, x2})), width - 1));
    out.maxY = static_cast<int>(std::min<std::int64_t>(lastCentre(std::max({y0, y1, y2})), height - 1));
    if (out.minX > out.maxX || out.minY > out.maxY) return false;

    const std::int64_t px = out.minX * kSubPixels + half;
    const std::int64_t py = out.minY * kSubPixels + half;
    out.edges[0] = MakeEdge(x1, y1, x2, y2, px, py);
    out.edges[1] = MakeEdge(x2, y2, x0, y0, px, py);
    out.edges[2] = MakeEdge(x0, y0, x1, y1, px, py);

    // Attribute gradients from the snapped positions, with 1/area once.
    const double scale = 1.0 / static_cast<double>(kSubPixels);
    const double ex1 = (x1 - x0) * scale, ey1 = (y1 - y0) * scale;
    const double ex2 = (x2 - x0) * scale, ey2 = (y2 - y0) * scale;
    const double inverseArea = 1.0 / (static_cast<double>(area) * scale * scale);
    const double ox = (px - x0) * scale, oy = (py - y0) * scale;
    for (int i = 0; i < kAttributes; ++i) {
        const double a0 = a.attributes[i];
        const double d1 = b.attributes[i] - a0;
        const double d2 = c.attributes[i] - a0;
        const double dx = (d1 * ey2 - d2 * ey1) * inverseArea;
        const double dy = (d2 * ex1 - d1 * ex2) * inverseArea;
        const double origin = a0 + dx * ox + dy * oy;
        if (!Representable(origin) || !Representable(dx) || !Representable(dy)) return false;
        out.*kPlanes[i] = Plane{static_cast<float>(origin), static_cast<float>(dx), static_cast<float>(dy)};
    }
    out.steadyLight = out.red.dx == 0.0f && out.red.dy == 0.0f && out.green.dx == 0.0f &&
                      out.green.dy == 0.0f && out.blue.dx == 0.0f && out.blue.dy == 0.0f;
    return true;
}

}  // namespace

Sampler MakeSampler(const State& state) {
    const Texture* t = state.texture;
    const bool usable = t != nullptr && t->texels != nullptr && t->width > 0 && t->height > 0 &&
                        t->width <= kMaxTextureSize && t->height <= kMaxTextureSize;
    const TexMode mode = !usable                            ? TexMode::None
                         : state.filter == Filter::Bilinear ? TexMode::Bilinear
                                                            : TexMode::Nearest;
    const auto axis = [](int size) {
        return TextureAxis{size, static_cast<float>(size), 1.0f / static_cast<float>(size), size - 1,
                           std::countr_zero(static_cast<unsigned>(size))};
    };
    const TextureAxis u = axis(usable ? t->width : 1), v = axis(usable ? t->height : 1);
    return Sampler{mode, usable ? t->texels : nullptr, u, v,
                   std::has_single_bit(static_cast<unsigned>(u.size)) &&
                       std::has_single_bit(static_cast<unsigned>(v.size))};
}

RowStart RowStartAt(const TriangleSetup& t, int y) {
    const float row = static_cast<float>(y - t.minY);
    return RowStart{t.depth.origin + t.depth.dy * row, t.rhw.origin + t.rhw.dy * row,
                    t.u.origin + t.u.dy * row,         t.v.origin + t.v.dy * row,
                    t.red.origin + t.red.dy * row,     t.green.origin + t.green.dy * row,
                    t.blue.origin + t.blue.dy * row};
}

bool UsableTarget(const Target& target) {
    return target.color != nullptr && target.depth != nullptr && target.width > 0 && target.height > 0 &&
           target.width <= kMaxTargetSize && target.height <= kMaxTargetSize &&
           (target.format != PixelFormat::Indexed8 || target.colorToIndex != nullptr);
}

int SetUpTriangle(const Vertex* vertices, const Sampler& sampler, Shading shading, const Target& target,
                  TriangleSetup out[kMaxFanTriangles]) {
    if (!Finite(vertices[0]) || !Finite(vertices[1]) || !Finite(vertices[2])) return 0;
    ScreenVertex screen[3];
    ToScreen(vertices, sampler, shading, screen);
    ScreenVertex polygon[kMaxClipVertices];
    int count = 3;
    if (std::all_of(screen, screen + 3, InsideGuardBand)) {
        std::copy(screen, screen + 3, polygon);
    } else {
        count = ClipToGuardBand(screen, polygon);
    }
    int drawn = 0;
    for (int i = 1; i + 1 < count; ++i) {
        if (SetUp(polygon[0], polygon[i], polygon[i + 1], target, out[drawn])) ++drawn;
    }
    return drawn;
}

}  // namespace raster
