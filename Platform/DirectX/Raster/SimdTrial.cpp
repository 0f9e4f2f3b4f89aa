#include "Platform/DirectX/Raster/SimdTrial.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <limits>

namespace raster {
namespace {

constexpr int kWidth = 256, kHeight = 160;
constexpr int kTextureSize = 256;  // texels: more than a first-level cache holds, as usual
constexpr int kRounds = 5;

// A face turned away to the right, as of a box in perspective: texels
// about one to a pixel, one lit colour.
Vertex Corner(float x, float y, float z, float rhw, float u, float v) {
    return Vertex{x, y, z, rhw, u, v, 0.9f, 0.8f, 0.7f};
}

}  // namespace

TrialResult RunTrial(const std::vector<const Rasterizer*>& candidates) {
    std::vector<std::uint32_t> color(kWidth * kHeight);
    std::vector<std::uint16_t> depth(kWidth * kHeight);
    const Target target{color.data(), kWidth * 4, depth.data(),          kWidth * 2,
                        kWidth,       kHeight,    PixelFormat::XRGB8888, nullptr};
    std::vector<std::uint32_t> texels(kTextureSize * kTextureSize);
    for (std::size_t i = 0; i < texels.size(); ++i) {
        texels[i] = static_cast<std::uint32_t>(i * 2654435761u) >> 8;  // no pattern a cache could use
    }
    const Texture texture{texels.data(), kTextureSize, kTextureSize};
    const Vertex tl = Corner(0, 0, 0.3f, 1.0f, 0, 0), tr = Corner(kWidth, 16, 0.6f, 0.5f, 1, 0);
    const Vertex br = Corner(kWidth, kHeight - 16, 0.6f, 0.5f, 1, 1),
                 bl = Corner(0, kHeight, 0.3f, 1.0f, 0, 1);
    const Vertex face[6] = {tl, tr, br, tl, br, bl};

    const Filter filters[] = {Filter::Nearest, Filter::Bilinear};
    TrialResult result{candidates[0], {}};
    for (const Rasterizer* r : candidates) {
        result.times.push_back(
            {r, std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity()});
    }
    // Round 0 warms caches and code up and is not counted.
    for (int round = 0; round <= kRounds; ++round) {
        for (TrialTime& candidate : result.times) {
            for (const Filter filter : filters) {
                candidate.rasterizer->Clear(target, 0, 0xFFFF);
                const auto start = std::chrono::steady_clock::now();
                candidate.rasterizer->DrawTriangles(target, State{&texture, Shading::Gouraud, filter}, face,
                                                    2);
                const std::chrono::duration<double, std::milli> took =
                    std::chrono::steady_clock::now() - start;
                double& fastest = filter == Filter::Nearest ? candidate.nearestMs : candidate.bilinearMs;
                if (round > 0) fastest = std::min(fastest, took.count());
            }
        }
    }
    const auto sum = [](const TrialTime& t) { return t.nearestMs + t.bilinearMs; };
    result.fastest = std::min_element(result.times.begin(), result.times.end(),
                                      [&](const TrialTime& a, const TrialTime& b) { return sum(a) < sum(b); })
                         ->rasterizer;
    return result;
}

}  // namespace raster
