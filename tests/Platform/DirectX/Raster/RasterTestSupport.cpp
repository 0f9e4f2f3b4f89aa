#include "RasterTestSupport.h"

#include <cstring>

namespace raster::test {
namespace {

constexpr int kPadPixels = 5;
constexpr int kPadRows = 2;
constexpr unsigned char kSentinel = 0xA5;
constexpr std::uint16_t kDepthSentinel = 0xA5A5;

}  // namespace

Canvas::Canvas(int width, int height, PixelFormat format, const std::uint8_t* colorToIndex) {
    target_.width = width;
    target_.height = height;
    target_.format = format;
    target_.colorToIndex = colorToIndex;
    target_.colorPitch = (width + kPadPixels) * bytesPerPixel();
    target_.depthPitch = (width + kPadPixels) * 2;
    const int rows = height + 2 * kPadRows;
    color_.assign(static_cast<std::size_t>(rows) * target_.colorPitch, kSentinel);
    depth_.assign(static_cast<std::size_t>(rows) * (width + kPadPixels), kDepthSentinel);
    target_.color = color_.data() + kPadRows * target_.colorPitch;
    target_.depth = depth_.data() + kPadRows * (width + kPadPixels);
    Reset();
}

int Canvas::bytesPerPixel() const {
    switch (target_.format) {
        case PixelFormat::XRGB8888:
            return 4;
        case PixelFormat::RGB565:
            return 2;
        case PixelFormat::Indexed8:
            break;
    }
    return 1;
}

std::uint32_t Canvas::Pixel(int x, int y) const {
    const auto* row = static_cast<const unsigned char*>(target_.color) + y * target_.colorPitch;
    std::uint32_t value = 0;
    std::memcpy(&value, row + x * bytesPerPixel(), bytesPerPixel());
    return value;
}

std::uint16_t Canvas::Depth(int x, int y) const {
    return target_.depth[y * (target_.depthPitch / 2) + x];
}

void Canvas::Reset() {
    for (int y = 0; y < target_.height; ++y) {
        std::memset(static_cast<unsigned char*>(target_.color) + y * target_.colorPitch, 0,
                    static_cast<std::size_t>(target_.width) * bytesPerPixel());
        for (int x = 0; x < target_.width; ++x) target_.depth[y * (target_.depthPitch / 2) + x] = 0xFFFF;
    }
}

bool Canvas::PaddingIntact() const {
    const int pitchPixels = target_.width + kPadPixels;
    for (std::size_t i = 0; i < depth_.size(); ++i) {
        const int row = static_cast<int>(i) / pitchPixels - kPadRows;
        const int column = static_cast<int>(i) % pitchPixels;
        if (row >= 0 && row < target_.height && column < target_.width) continue;
        if (depth_[i] != kDepthSentinel) return false;
        for (int b = 0; b < bytesPerPixel(); ++b) {
            if (color_[i * bytesPerPixel() + b] != kSentinel) return false;
        }
    }
    return true;
}

Vertex V(float x, float y, float z, float u, float v, float rhw) {
    return Vertex{x, y, z, rhw, u, v, 1.0f, 1.0f, 1.0f};
}

Vertex Lit(Vertex v, float r, float g, float b) {
    v.r = r;
    v.g = g;
    v.b = b;
    return v;
}

std::vector<RasterizerCase> SimdRasterizers() {
    return {
        {"Sse2", [] { return SimdRasterizerFor(SimdPath::Sse2); }},
        {"Avx2", [] { return SimdRasterizerFor(SimdPath::Avx2); }},
        {"Avx2Loads", [] { return SimdRasterizerFor(SimdPath::Avx2Loads); }},
        {"Avx512", [] { return SimdRasterizerFor(SimdPath::Avx512); }},
    };
}

std::vector<RasterizerCase> AllRasterizers() {
    std::vector<RasterizerCase> all = {{"Scalar", [] { return &ScalarRasterizer(); }}};
    for (const RasterizerCase& c : SimdRasterizers()) all.push_back(c);
    return all;
}

std::string RasterizerName(const testing::TestParamInfo<RasterizerCase>& info) {
    return info.param.name;
}

void RasterTest::SetUp() {
    rasterizer_ = GetParam().get();
    if (rasterizer_ == nullptr) GTEST_SKIP() << GetParam().name << " is not available here";
}

void RasterTest::Draw(const Canvas& canvas, const std::vector<Vertex>& vertices, const Texture* texture,
                      Shading shading, Filter filter) const {
    const State state{texture, shading, filter};
    rasterizer_->DrawTriangles(canvas.target(), state, vertices.data(),
                               static_cast<int>(vertices.size() / 3));
}

}  // namespace raster::test
