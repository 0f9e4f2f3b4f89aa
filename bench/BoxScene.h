// The scene raster_bench and peer_bench draw: a unit box turned about two
// axes, seen in perspective and sized to cover about a tenth of the frame,
// each face textured 0..1 with a 256 x 256 noise texture and lit by a
// directional light. 12 triangles, no culling, into an XRGB8888 frame with
// 16-bit depth. Header-only; each benchmark is one program.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

#include "Platform/DirectX/Raster/Rasterizer.h"
#include "Platform/DirectX/Raster/TargetMemory.h"

namespace bench {

inline constexpr int kBoxTextureSize = 256;

struct Frame {
    int width, height;
    std::size_t pixels;
    // As a software device's surfaces are allocated.
    raster::TargetMemory colorMemory, depthMemory;
    std::uint32_t* color;
    std::uint16_t* depth;
    raster::Target target;

    Frame(int w, int h)
        : width(w),
          height(h),
          pixels(static_cast<std::size_t>(w) * h),
          colorMemory(raster::AllocateTargetMemory(pixels * 4)),
          depthMemory(raster::AllocateTargetMemory(pixels * 2)),
          color(reinterpret_cast<std::uint32_t*>(colorMemory.get())),
          depth(reinterpret_cast<std::uint16_t*>(depthMemory.get())),
          target{color, w * 4, depth, w * 2, w, h, raster::PixelFormat::XRGB8888, nullptr} {}

    bool Covered(std::size_t pixel) const { return depth[pixel] != 0xFFFF; }
};

// Texels 0x00RRGGBB without any pattern a cache could take advantage of.
inline std::vector<std::uint32_t> BoxTexels() {
    std::vector<std::uint32_t> texels(kBoxTextureSize * kBoxTextureSize);
    for (std::size_t i = 0; i < texels.size(); ++i) {
        texels[i] = static_cast<std::uint32_t>(i * 2654435761u) & 0xFFFFFF;
    }
    return texels;
}

// The box's 36 vertices (12 triangles) on a width x height target.
inline std::vector<raster::Vertex> Box(int width, int height) {
    const float corners[8][3] = {{-1, -1, -1}, {1, -1, -1}, {1, 1, -1}, {-1, 1, -1},
                                 {-1, -1, 1},  {1, -1, 1},  {1, 1, 1},  {-1, 1, 1}};
    const int faces[6][4] = {{0, 1, 2, 3}, {5, 4, 7, 6}, {4, 0, 3, 7},
                             {1, 5, 6, 2}, {4, 5, 1, 0}, {3, 2, 6, 7}};
    const float a = 0.6f, b = 0.4f;
    const float distance = 6.0f;
    const float focal = 0.95f * static_cast<float>(height);
    std::vector<raster::Vertex> out;
    for (const auto& face : faces) {
        float p[4][3];
        for (int i = 0; i < 4; ++i) {
            const float* c = corners[face[i]];
            const float x1 = c[0] * std::cos(a) + c[2] * std::sin(a),
                        z1 = -c[0] * std::sin(a) + c[2] * std::cos(a);
            const float y2 = c[1] * std::cos(b) - z1 * std::sin(b),
                        z2 = c[1] * std::sin(b) + z1 * std::cos(b);
            p[i][0] = x1;
            p[i][1] = y2;
            p[i][2] = z2 + distance;
        }
        const float ux = p[1][0] - p[0][0], uy = p[1][1] - p[0][1], uz = p[1][2] - p[0][2];
        const float vx = p[3][0] - p[0][0], vy = p[3][1] - p[0][1], vz = p[3][2] - p[0][2];
        const float nz = ux * vy - uy * vx, nx = uy * vz - uz * vy, ny = uz * vx - ux * vz;
        const float light = 0.3f + 0.7f * std::fabs(nx * 0.3f + ny * 0.5f - nz * 0.8f) /
                                       std::sqrt(nx * nx + ny * ny + nz * nz);
        const float uv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
        raster::Vertex v[4];
        for (int i = 0; i < 4; ++i) {
            const float rhw = 1.0f / p[i][2];
            v[i] = raster::Vertex{static_cast<float>(width) / 2 + focal * p[i][0] * rhw,
                                  static_cast<float>(height) / 2 - focal * p[i][1] * rhw,
                                  (p[i][2] - 4.0f) / 4.0f,
                                  rhw,
                                  uv[i][0],
                                  uv[i][1],
                                  light,
                                  light * 0.9f,
                                  light * 0.8f};
        }
        for (const int i : {0, 1, 2, 0, 2, 3}) out.push_back(v[i]);
    }
    return out;
}

}  // namespace bench
