// Times Clear and the drawing of a textured, lit box at three frame sizes,
// for every rasterizer the machine has, next to a plain memset of a frame's
// colour and depth. Prints median milliseconds.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "Platform/DirectX/Raster/Rasterizer.h"

namespace {

constexpr int kRuns = 41;

struct Frame {
    int width, height;
    std::vector<std::uint32_t> color;
    std::vector<std::uint16_t> depth;
    raster::Target target;

    Frame(int w, int h)
        : width(w),
          height(h),
          color(static_cast<std::size_t>(w) * h),
          depth(static_cast<std::size_t>(w) * h),
          target{color.data(), w * 4, depth.data(), w * 2, w, h, raster::PixelFormat::XRGB8888, nullptr} {}
};

template <typename Work>
double MedianMs(Work&& work, void (*before)(Frame&), Frame& frame) {
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) {
        before(frame);
        const auto start = std::chrono::steady_clock::now();
        work();
        const auto end = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    std::nth_element(times.begin(), times.begin() + kRuns / 2, times.end());
    return times[kRuns / 2];
}

void Nothing(Frame&) {}
void ClearFrame(Frame& frame) {
    raster::ScalarRasterizer().Clear(frame.target, 0, 0xFFFF);
}

// A unit box turned about two axes, seen in perspective with its size set
// so that it covers about a tenth of the frame, each face textured 0..1
// and lit by a directional light.
std::vector<raster::Vertex> Box(int width, int height) {
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

}  // namespace

int main() {
    std::vector<std::uint32_t> texels(256 * 256);
    for (int i = 0; i < 256 * 256; ++i) {
        texels[i] = static_cast<std::uint32_t>(i * 2654435761u) & 0xFFFFFF;
    }
    const raster::Texture texture{texels.data(), 256, 256};
    std::vector<const raster::Rasterizer*> rasterizers = {&raster::ScalarRasterizer()};
    for (const int lanes : {4, 8}) {
        if (const raster::Rasterizer* r = raster::SimdRasterizerOfWidth(lanes)) rasterizers.push_back(r);
    }

    std::printf("median of %d runs, ms\n", kRuns);
    std::printf("%-10s %-8s %8s %8s %10s %10s\n", "frame", "raster", "clear", "memset", "draw-near",
                "draw-bilin");
    for (const auto& size : {std::pair{640, 480}, std::pair{1280, 720}, std::pair{1920, 1080}}) {
        Frame frame(size.first, size.second);
        const std::vector<raster::Vertex> box = Box(frame.width, frame.height);
        const int triangles = static_cast<int>(box.size() / 3);

        ClearFrame(frame);
        raster::ScalarRasterizer().DrawTriangles(
            frame.target, {&texture, raster::Shading::Gouraud, raster::Filter::Nearest}, box.data(),
            triangles);
        const auto covered =
            std::count_if(frame.depth.begin(), frame.depth.end(), [](auto d) { return d != 0xFFFF; });

        const double memsetMs = MedianMs(
            [&] {
                std::memset(frame.color.data(), 0, frame.color.size() * 4);
                std::memset(frame.depth.data(), 0xFF, frame.depth.size() * 2);
            },
            Nothing, frame);
        for (const raster::Rasterizer* r : rasterizers) {
            const double clearMs = MedianMs([&] { r->Clear(frame.target, 0, 0xFFFF); }, Nothing, frame);
            const auto draw = [&](raster::Filter filter) {
                const raster::State state{&texture, raster::Shading::Gouraud, filter};
                return MedianMs([&] { r->DrawTriangles(frame.target, state, box.data(), triangles); },
                                ClearFrame, frame);
            };
            const double nearMs = draw(raster::Filter::Nearest);
            const double bilinearMs = draw(raster::Filter::Bilinear);
            char label[32];
            std::snprintf(label, sizeof label, "%dx%d", frame.width, frame.height);
            std::printf("%-10s %-8s %8.3f %8.3f %10.3f %10.3f\n", label, r->Name(), clearMs, memsetMs, nearMs,
                        bilinearMs);
        }
        std::printf("%-10s box covers %.1f%% of the frame\n", "",
                    100.0 * static_cast<double>(covered) / static_cast<double>(frame.color.size()));
    }
    return 0;
}
