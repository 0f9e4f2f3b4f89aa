// Times Clear and the drawing of a textured, lit box at three frame sizes,
// for every rasterizer the machine has, next to a plain memset of a frame's
// colour and depth. All of them take turns repetition by repetition (see
// Rounds.h); prints median milliseconds. Usage: raster_bench [rounds]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "Platform/DirectX/Raster/Rasterizer.h"
#include "Platform/DirectX/Raster/SimdPathChoice.h"
#include "bench/BoxScene.h"
#include "bench/Rounds.h"

namespace {

constexpr int kDefaultRounds = 41;

}  // namespace

int main(int argc, char** argv) {
    const int rounds = bench::RoundsFromArguments(argc, argv, kDefaultRounds);
    if (rounds == 0) return 2;
    const std::vector<std::uint32_t> texels = bench::BoxTexels();
    const raster::Texture texture{texels.data(), bench::kBoxTextureSize, bench::kBoxTextureSize};
    std::vector<const raster::Rasterizer*> rasterizers = {&raster::ScalarRasterizer()};
    for (const raster::Rasterizer* r : raster::RunnableSimdRasterizers()) rasterizers.push_back(r);

    std::printf("median of %d interleaved rounds, ms\n", rounds);
    std::printf("%-10s %-10s %8s %8s %10s %10s\n", "frame", "raster", "clear", "memset", "draw-near",
                "draw-bilin");
    for (const auto& size : {std::pair{640, 480}, std::pair{1280, 720}, std::pair{1920, 1080}}) {
        bench::Frame frame(size.first, size.second);
        const std::vector<raster::Vertex> box = bench::Box(frame.width, frame.height);
        const int triangles = static_cast<int>(box.size() / 3);
        const auto clear = [&] { raster::ScalarRasterizer().Clear(frame.target, 0, 0xFFFF); };
        const auto nothing = [] {};

        std::vector<bench::Contestant> contestants = {{nothing, [&] {
                                                           std::memset(frame.color, 0, frame.pixels * 4);
                                                           std::memset(frame.depth, 0xFF, frame.pixels * 2);
                                                       }}};
        for (const raster::Rasterizer* r : rasterizers) {
            contestants.push_back({nothing, [&, r] { r->Clear(frame.target, 0, 0xFFFF); }});
            for (const raster::Filter filter : {raster::Filter::Nearest, raster::Filter::Bilinear}) {
                const raster::State state{&texture, raster::Shading::Gouraud, filter};
                contestants.push_back(
                    {clear, [&, r, state] { r->DrawTriangles(frame.target, state, box.data(), triangles); }});
            }
        }
        const auto times = bench::Interleave(contestants, rounds);

        clear();
        raster::ScalarRasterizer().DrawTriangles(
            frame.target, {&texture, raster::Shading::Gouraud, raster::Filter::Nearest}, box.data(),
            triangles);
        long covered = 0;
        for (std::size_t i = 0; i < frame.pixels; ++i) covered += frame.Covered(i);

        char label[32];
        std::snprintf(label, sizeof label, "%dx%d", frame.width, frame.height);
        for (std::size_t i = 0; i < rasterizers.size(); ++i) {
            std::printf("%-10s %-10s %8.3f %8.3f %10.3f %10.3f\n", label, rasterizers[i]->Name(),
                        bench::Median(times[1 + 3 * i]), bench::Median(times[0]),
                        bench::Median(times[2 + 3 * i]), bench::Median(times[3 + 3 * i]));
        }
        std::printf("%-10s box covers %.1f%% of the frame\n", "",
                    100.0 * static_cast<double>(covered) / static_cast<double>(frame.pixels));
    }
    return 0;
}
