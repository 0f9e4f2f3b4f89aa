// Our rasterizers against Mesa's llvmpipe (through EGL and GLES2, software
// only) drawing the same textured, lit box, repetition by repetition in one
// process, llvmpipe once with one rasterizer thread and once with one per
// core. Prints per frame size and filter the milliseconds of the draw, the
// nanoseconds per covered pixel, our time over llvmpipe's, and whether the
// two pictures agree. Usage: peer_bench [rounds]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "Platform/DirectX/Raster/Rasterizer.h"
#include "bench/BoxScene.h"
#include "bench/LlvmpipePeer.h"
#include "bench/Rounds.h"

namespace {

constexpr int kDefaultRounds = 19;

struct Sizes {
    int width, height;
};
constexpr Sizes kSizes[] = {{640, 480}, {1280, 720}, {1920, 1080}, {3840, 2160}};

std::string CpuModel() {
    std::ifstream cpuinfo("/proc/cpuinfo");
    std::string line;
    while (std::getline(cpuinfo, line)) {
        if (line.rfind("model name", 0) == 0) return line.substr(line.find(':') + 2);
    }
    return "unknown CPU";
}

// One contestant's milliseconds, round by round: the draw and, for the
// frame columns, clear and draw.
struct Row {
    std::string name;
    std::vector<double> draw, frame;
};

struct Peer {
    std::string name;
    std::unique_ptr<bench::LlvmpipePeer> llvmpipe;
};

// The pixels covered in exactly one of the two pictures, and the mean
// difference of a colour channel over the pixels covered in both.
struct Agreement {
    long coverageDiffers = 0;
    double meanChannelDifference = 0;
};

Agreement Compare(const bench::Frame& ours, const std::vector<std::uint32_t>& theirs) {
    Agreement out;
    long both = 0;
    double sum = 0;
    for (std::size_t i = 0; i < theirs.size(); ++i) {
        const bool covered = theirs[i] != 0xFF000000u;
        if (covered != ours.Covered(i)) ++out.coverageDiffers;
        if (!covered || !ours.Covered(i)) continue;
        ++both;
        for (int shift = 0; shift <= 16; shift += 8) {
            sum += std::abs(static_cast<int>(ours.color[i] >> shift & 255) -
                            static_cast<int>(theirs[i] >> shift & 255));
        }
    }
    out.meanChannelDifference = both > 0 ? sum / (3.0 * static_cast<double>(both)) : 0.0;
    return out;
}

void PrintHeader(const std::vector<Peer>& peers) {
    const char* one = peers[0].name.c_str();
    const char* all = peers[1].name.c_str();
    std::printf("%-22s %-49s %s\n", "", "draw", "frame");
    std::printf("%-9s %-12s %8s %6s %9s %11s %11s %9s %11s %11s\n", "filter", "rasterizer", "ms", "+-",
                "ns/pixel", one, all, "ms", one, all);
}

// The last two rows are llvmpipe's, with one thread and with all.
void PrintRows(const char* filter, const std::vector<Row>& rows, long covered) {
    const Row& one = rows[rows.size() - 2];
    const Row& all = rows[rows.size() - 1];
    for (const Row& r : rows) {
        const double draw = bench::Median(r.draw), frame = bench::Median(r.frame);
        std::printf("%-9s %-12s %8.3f %5.0f%% %9.2f %11.2f %11.2f %9.3f %11.2f %11.2f\n", filter,
                    r.name.c_str(), draw, 100.0 * bench::Spread(r.draw),
                    1e6 * draw / static_cast<double>(covered), draw / bench::Median(one.draw),
                    draw / bench::Median(all.draw), frame, frame / bench::Median(one.frame),
                    frame / bench::Median(all.frame));
    }
}

// The contestants of one filter's rounds, in the order Interleave times
// them: a clear alone, each of ours after a clear, then for each peer a
// frame and a frame that only clears.
struct Contestants {
    std::size_t ours, peers;

    static constexpr std::size_t kClear = 0;
    std::size_t Ours(std::size_t i) const { return 1 + i; }
    std::size_t PeerFrame(std::size_t i) const { return 1 + ours + 2 * i; }
    std::size_t PeerClear(std::size_t i) const { return PeerFrame(i) + 1; }
};

std::vector<Peer> OpenPeers(int cores) {
    std::vector<Peer> peers;
    // One thread: no rasterizer threads, so that llvmpipe draws in this
    // thread and waits for no other, which on a busy machine can only help
    // it; all threads: one per core.
    for (const int threads : {0, cores}) {
        std::string error;
        // The second peer needs a display of its own (see LlvmpipePeer::Open).
        auto llvmpipe = bench::LlvmpipePeer::Open(threads, !peers.empty(), &error);
        if (llvmpipe == nullptr) {
            std::fprintf(stderr, "peer_bench: llvmpipe with LP_NUM_THREADS=%d: %s\n", threads, error.c_str());
            return {};
        }
        peers.push_back({"llvmpipe-" + std::to_string(std::max(threads, 1)), std::move(llvmpipe)});
    }
    return peers;
}

std::vector<const raster::Rasterizer*> OurRasterizers() {
    std::vector<const raster::Rasterizer*> ours = {&raster::ScalarRasterizer()};
    for (const raster::SimdPath path : raster::kSimdPaths) {
        if (const raster::Rasterizer* r = raster::SimdRasterizerFor(path)) ours.push_back(r);
    }
    return ours;
}

void PrintIntroduction(int rounds, int cores, const std::vector<Peer>& peers) {
    std::printf(
        "Our rasterizers and Mesa's llvmpipe drawing the same box (12 triangles, no culling,\n"
        "16-bit depth, 256x256 texture); medians of %d rounds, interleaved repetition by repetition.\n",
        rounds);
    std::printf("CPU: %s, %d cores; the software device draws with %s.\n", CpuModel().c_str(), cores,
                raster::SimdRasterizer() != nullptr ? raster::SimdRasterizer()->Name() : "the scalar path");
    std::printf("%s as %s (LP_NUM_THREADS=0: it draws in the calling thread) and %s.\n",
                peers[0].llvmpipe->Renderer().c_str(), peers[0].name.c_str(), peers[1].name.c_str());
    std::printf(
        "draw: the triangles alone (llvmpipe: its frame less a frame that only clears, round by\n"
        "round), +-: half the interquartile range of the rounds; frame: clear and draw.\n"
        "Under each llvmpipe's name: time over that llvmpipe's.\n");
}

// One filter's rows: every contestant timed in interleaved rounds.
std::vector<Row> TimeFilter(const std::vector<const raster::Rasterizer*>& ours, std::vector<Peer>& peers,
                            bench::Frame& frame, const std::vector<raster::Vertex>& box,
                            const raster::State& state, int rounds) {
    const int triangles = static_cast<int>(box.size() / 3);
    const auto clear = [&] { raster::ScalarRasterizer().Clear(frame.target, 0, 0xFFFF); };
    std::vector<bench::Contestant> contestants = {{[] {}, clear}};
    for (const raster::Rasterizer* r : ours) {
        contestants.push_back(
            {clear, [&, r] { r->DrawTriangles(frame.target, state, box.data(), triangles); }});
    }
    for (Peer& peer : peers) {
        bench::LlvmpipePeer* p = peer.llvmpipe.get();
        // As ours draw right after a clear of their own, llvmpipe's
        // timed frames follow a frame of its own that only clears.
        const auto warm = [p] { p->ClearOnly(); };
        const raster::Filter filter = state.filter;
        contestants.push_back({warm, [p, filter] { p->Draw(filter); }});
        contestants.push_back({warm, [p] { p->ClearOnly(); }});
    }
    const auto times = bench::Interleave(contestants, rounds);
    const Contestants at{ours.size(), peers.size()};
    std::vector<Row> rows;
    for (std::size_t i = 0; i < ours.size(); ++i) {
        const auto& drawn = times[at.Ours(i)];
        rows.push_back({ours[i]->Name(), drawn, bench::RoundByRound(drawn, 1.0, times[Contestants::kClear])});
    }
    for (std::size_t i = 0; i < peers.size(); ++i) {
        const auto& peerFrame = times[at.PeerFrame(i)];
        rows.push_back(
            {peers[i].name, bench::RoundByRound(peerFrame, -1.0, times[at.PeerClear(i)]), peerFrame});
    }
    return rows;
}

long CoveredPixels(const bench::Frame& frame) {
    long covered = 0;
    for (std::size_t i = 0; i < frame.depth.size(); ++i) covered += frame.Covered(i);
    return covered;
}

void PrintAgreement(long covered, const bench::Frame& frame, const Agreement& nearest,
                    const Agreement& bilinear) {
    std::printf("%ld pixels covered (%.1f%%); ", covered,
                100.0 * static_cast<double>(covered) / static_cast<double>(frame.depth.size()));
    if (nearest.coverageDiffers == 0 && bilinear.coverageDiffers == 0) {
        std::printf("llvmpipe covers the same pixels; ");
    } else {
        std::printf("coverage differs from llvmpipe's at %ld (nearest) and %ld (bilinear) pixels; ",
                    nearest.coverageDiffers, bilinear.coverageDiffers);
    }
    std::printf("mean channel difference %.2f nearest, %.2f bilinear\n", nearest.meanChannelDifference,
                bilinear.meanChannelDifference);
}

// Times one frame size with both filters and prints its tables; false
// when llvmpipe cannot draw it.
bool RunSize(const Sizes& size, const std::vector<const raster::Rasterizer*>& ours, std::vector<Peer>& peers,
             const std::vector<std::uint32_t>& texels, int rounds) {
    const raster::Texture texture{texels.data(), bench::kBoxTextureSize, bench::kBoxTextureSize};
    bench::Frame frame(size.width, size.height);
    const std::vector<raster::Vertex> box = bench::Box(frame.width, frame.height);
    for (Peer& peer : peers) {
        if (!peer.llvmpipe->SetScene(frame.width, frame.height, box, texels, bench::kBoxTextureSize)) {
            std::fprintf(stderr, "peer_bench: %s cannot draw %dx%d\n", peer.name.c_str(), frame.width,
                         frame.height);
            return false;
        }
    }
    std::printf("\n%dx%d\n", frame.width, frame.height);
    PrintHeader(peers);
    long covered = 0;
    Agreement nearest, bilinear;
    for (const raster::Filter filter : {raster::Filter::Nearest, raster::Filter::Bilinear}) {
        const raster::State state{&texture, raster::Shading::Gouraud, filter};
        const std::vector<Row> rows = TimeFilter(ours, peers, frame, box, state, rounds);
        const raster::Rasterizer& reference = raster::ScalarRasterizer();
        reference.Clear(frame.target, 0, 0xFFFF);
        reference.DrawTriangles(frame.target, state, box.data(), static_cast<int>(box.size() / 3));
        covered = CoveredPixels(frame);
        peers[0].llvmpipe->Draw(filter);
        (filter == raster::Filter::Bilinear ? bilinear : nearest) =
            Compare(frame, peers[0].llvmpipe->Picture());
        PrintRows(filter == raster::Filter::Nearest ? "nearest" : "bilinear", rows, covered);
    }
    PrintAgreement(covered, frame, nearest, bilinear);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = bench::RoundsFromArguments(argc, argv, kDefaultRounds);
    if (rounds == 0) return 2;
    const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    std::vector<Peer> peers = OpenPeers(cores);
    if (peers.empty()) return 1;
    const std::vector<const raster::Rasterizer*> ours = OurRasterizers();
    PrintIntroduction(rounds, cores, peers);
    const std::vector<std::uint32_t> texels = bench::BoxTexels();
    for (const Sizes& size : kSizes) {
        if (!RunSize(size, ours, peers, texels, rounds)) return 1;
    }
    return 0;
}
