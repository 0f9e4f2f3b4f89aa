// The SIMD rasterizer against the scalar reference on seeded random scenes:
// every width must draw the very same pixels and depths.
#include <algorithm>
#include <random>
#include <vector>

#include "RasterTestSupport.h"

namespace raster::test {
namespace {

struct Scene {
    int width, height;
    PixelFormat format;
    int textureWidth, textureHeight;  // 0: untextured
    std::vector<std::uint32_t> texels;
    State state;
    std::vector<Vertex> vertices;
};

Scene RandomScene(unsigned seed) {
    std::mt19937 random(seed);
    const auto uniform = [&](float lo, float hi) {
        return std::uniform_real_distribution<float>(lo, hi)(random);
    };
    const auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    Scene scene;
    scene.width = 1 + pick(70);
    scene.height = 1 + pick(40);
    const PixelFormat formats[] = {PixelFormat::XRGB8888, PixelFormat::XRGB8888, PixelFormat::RGB565,
                                   PixelFormat::Indexed8};
    scene.format = formats[pick(4)];
    const int sizes[][2] = {{0, 0}, {1, 1}, {2, 2}, {16, 16}, {13, 7}, {64, 32}};
    scene.textureWidth = sizes[pick(6)][0];
    scene.textureHeight = sizes[pick(6)][1];
    if (scene.textureWidth == 0 || scene.textureHeight == 0) scene.textureWidth = scene.textureHeight = 0;
    for (int i = 0; i < scene.textureWidth * scene.textureHeight; ++i) {
        scene.texels.push_back(static_cast<std::uint32_t>(random()) & 0xFFFFFF);
    }
    scene.state.shading = pick(2) == 0 ? Shading::Flat : Shading::Gouraud;
    scene.state.filter = pick(2) == 0 ? Filter::Nearest : Filter::Bilinear;
    const bool affine = pick(8) == 0;
    for (int i = 0; i < 3 * 30; ++i) {
        Vertex v{};
        const bool far = pick(12) == 0;
        v.x = far ? uniform(-1e6f, 1e6f) : uniform(-20.0f, scene.width + 20.0f);
        v.y = far ? uniform(-1e6f, 1e6f) : uniform(-20.0f, scene.height + 20.0f);
        v.z = uniform(-0.1f, 1.1f);
        v.rhw = affine ? uniform(-1.0f, 0.0f) : uniform(0.05f, 1.0f);
        v.u = uniform(-3.0f, 3.0f);
        v.v = uniform(-3.0f, 3.0f);
        v.r = uniform(0.0f, 1.2f);
        v.g = uniform(0.0f, 1.2f);
        v.b = uniform(0.0f, 1.2f);
        scene.vertices.push_back(v);
    }
    return scene;
}

// A 6-6-6 colour cube, every entry usable.
std::vector<std::uint8_t> CubeLookup() {
    std::uint32_t palette[256] = {};
    bool usable[256] = {};
    for (int i = 0; i < 216; ++i) {
        palette[i] = static_cast<std::uint32_t>(i / 36 * 51) << 16 |
                     static_cast<std::uint32_t>(i / 6 % 6 * 51) << 8 | static_cast<std::uint32_t>(i % 6 * 51);
        usable[i] = true;
    }
    std::vector<std::uint8_t> lookup(32768);
    BuildColorToIndex(palette, usable, lookup.data());
    return lookup;
}

class DifferentialTest : public RasterTest {};

TEST_P(DifferentialTest, AgreesWithTheScalarRasterizerOnRandomScenes) {
    const Rasterizer* simd = &rasterizer();
    const std::vector<std::uint8_t> lookup = CubeLookup();
    int compared = 0;
    for (unsigned seed = 1; seed <= 300; ++seed) {
        SCOPED_TRACE(seed);
        Scene scene = RandomScene(seed);
        const Texture texture{scene.texels.data(), scene.textureWidth, scene.textureHeight};
        scene.state.texture = scene.textureWidth > 0 ? &texture : nullptr;
        Canvas reference(scene.width, scene.height, scene.format, lookup.data());
        Canvas tested(scene.width, scene.height, scene.format, lookup.data());
        const int count = static_cast<int>(scene.vertices.size() / 3);
        ScalarRasterizer().DrawTriangles(reference.target(), scene.state, scene.vertices.data(), count);
        simd->DrawTriangles(tested.target(), scene.state, scene.vertices.data(), count);
        ASSERT_TRUE(tested.PaddingIntact());
        // Bit for bit: the same stored colour value and depth everywhere.
        int mismatches = 0;
        for (int y = 0; y < scene.height; ++y) {
            for (int x = 0; x < scene.width; ++x) {
                const bool same = reference.Pixel(x, y) == tested.Pixel(x, y) &&
                                  reference.Depth(x, y) == tested.Depth(x, y);
                if (!same && ++mismatches <= 3) {
                    ADD_FAILURE() << "pixel (" << x << ", " << y << "): scalar " << std::hex
                                  << reference.Pixel(x, y) << " depth " << reference.Depth(x, y) << ", "
                                  << simd->Name() << " " << tested.Pixel(x, y) << " depth "
                                  << tested.Depth(x, y);
                }
                compared += reference.Pixel(x, y) != 0;
            }
        }
        EXPECT_EQ(mismatches, 0);
    }
    // The scenes must actually draw something to compare.
    EXPECT_GT(compared, 100000);
}

TEST(SimdChoiceTest, TheSoftwareDeviceDrawsWithAPathThisCpuRuns) {
    const std::vector<const Rasterizer*> runnable = RunnableSimdRasterizers();
    if (runnable.empty()) {
        EXPECT_EQ(SimdRasterizer(), nullptr);
    } else {
        EXPECT_NE(std::find(runnable.begin(), runnable.end(), SimdRasterizer()), runnable.end());
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, DifferentialTest, testing::ValuesIn(SimdRasterizers()), RasterizerName);

}  // namespace
}  // namespace raster::test
