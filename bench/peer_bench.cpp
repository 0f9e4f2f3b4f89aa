// Our rasterizers against Mesa's llvmpipe (through EGL and GLES2, software
// only) drawing the same textured, lit box, repetition by repetition in one
// process, llvmpipe once with one rasterizer thread and once with one per
// core. llvmpipe is timed two ways, since a finish costs it a fixed time
// that a single draw makes look large: one draw per finish, and many draws
// per finish. Prints per frame size and filter the milliseconds of the draw,
// the nanoseconds per covered pixel, our time over llvmpipe's in its faster
// way, and whether the pictures agree. Usage: peer_bench [rounds]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "Platform/DirectX/Raster/Rasterizer.h"
#include "Platform/DirectX/Raster/SimdPathChoice.h"
#include "bench/BoxScene.h"
#include "bench/LlvmpipePeer.h"
#include "bench/Rounds.h"

namespace {

constexpr int kDefaultRounds = 15;

struct Sizes {
    int width, height;
};
constexpr Sizes kSizes[] = {{1920, 1080}, {3840, 2160}};

std::string CpuModel() {
    std::ifstream cpuinfo("/proc/cpuinfo");
    std::string line;
    while (std::getline(cpuinfo, line)) {
        if (line.rfind("model name", 0) == 0) return line.substr(line.find(':') + 2);
    }
    return "unknown CPU";
}

// llvmpipe's draws per finish when it is timed the second way: enough that
// its fixed cost per finish is about 1% of a draw.
int DrawsPerFinish(const Sizes& size) {
    return std::max(
        8, static_cast<int>(64LL * 1920 * 1080 / (static_cast<long long>(size.width) * size.height)));
}

// One contestant's milliseconds per draw, round by round.
struct Row {
    std::string name;
    std::vector<double> ms;
};

// A peer's rows: one draw per finish, and many.
struct PeerRows {
    Row single, batched;
    double Fastest() const { return std::min(bench::Median(single.ms), bench::Median(batched.ms)); }
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
    std::printf("%-9s %-16s %8s %6s %9s", "filter", "rasterizer", "ms", "+-", "ns/pixel");
    for (const Peer& peer : peers) std::printf(" %11s", peer.name.c_str());
    std::printf("\n");
}

void PrintRow(const char* filter, const Row& row, long covered, const std::vector<PeerRows>& peers) {
    const double ms = bench::Median(row.ms);
    std::printf("%-9s %-16s %8.3f %5.0f%% %9.2f", filter, row.name.c_str(), ms, 100.0 * bench::Spread(row.ms),
                1e6 * ms / static_cast<double>(covered));
    for (const PeerRows& peer : peers) std::printf(" %11.2f", ms / peer.Fastest());
    std::printf("\n");
}

// The contestants of one filter's rounds, in the order Interleave times
// them: a clear alone, each of ours after a clear, then for each peer a
// frame, a frame that only clears, and a batch of many draws.
struct Contestants {
    std::size_t ours, peers;

    static constexpr std::size_t kClear = 0;
    std::size_t Ours(std::size_t i) const { return kClear + 1 + i; }
    std::size_t PeerFrame(std::size_t i) const { return 1 + ours + 3 * i; }
    std::size_t PeerClear(std::size_t i) const { return PeerFrame(i) + 1; }
    std::size_t PeerBatch(std::size_t i) const { return PeerFrame(i) + 2; }
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
    for (const raster::Rasterizer* r : raster::RunnableSimdRasterizers()) ours.push_back(r);
    return ours;
}

void PrintIntroduction(int rounds, int cores, const std::vector<Peer>& peers) {
    std::printf(
        "Our rasterizers and Mesa's llvmpipe drawing the same box (12 triangles, no culling,\n"
        "16-bit depth, 256x256 texture); medians of %d rounds, interleaved repetition by repetition.\n",
        rounds);
    std::printf("CPU: %s, %d cores.\nThe software device draws with %s.\n", CpuModel().c_str(), cores,
                raster::DescribeSimdChoice(raster::CurrentSimdChoice()).c_str());
    std::printf("%s as %s (LP_NUM_THREADS=0: it draws in the calling thread) and %s.\n",
                peers[0].llvmpipe->Renderer().c_str(), peers[0].name.c_str(), peers[1].name.c_str());
    std::printf(
        "ms: the triangles alone, +-: half the interquartile range of the rounds. llvmpipe xN: N draws\n"
        "per finish; x1 is its frame less a frame that only clears, round by round; with N > 1 each\n"
        "draw lies nearer than the one before (its depth range moved), so that every draw passes the\n"
        "depth test where the first did, and a clear and a finish are shared by the N draws.\n"
        "Under each llvmpipe's name: time over that llvmpipe's in its faster way.\n");
}

// One filter's rows: every contestant timed in interleaved rounds.
void TimeFilter(const std::vector<const raster::Rasterizer*>& ours, std::vector<Peer>& peers,
                bench::Frame& frame, const std::vector<raster::Vertex>& box, const raster::State& state,
                int drawsPerFinish, int rounds, std::vector<Row>* ourRows, std::vector<PeerRows>* peerRows) {
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
        contestants.push_back(
            {warm, [p, filter, drawsPerFinish] { p->DrawRepeated(filter, drawsPerFinish); }});
    }
    const auto times = bench::Interleave(contestants, rounds);
    const Contestants at{ours.size(), peers.size()};
    for (std::size_t i = 0; i < ours.size(); ++i) ourRows->push_back({ours[i]->Name(), times[at.Ours(i)]});
    for (std::size_t i = 0; i < peers.size(); ++i) {
        std::vector<double> batched = times[at.PeerBatch(i)];
        for (double& ms : batched) ms /= drawsPerFinish;
        peerRows->push_back({{peers[i].name + " x1",
                              bench::RoundByRound(times[at.PeerFrame(i)], -1.0, times[at.PeerClear(i)])},
                             {peers[i].name + " x" + std::to_string(drawsPerFinish), batched}});
    }
}

long CoveredPixels(const bench::Frame& frame) {
    long covered = 0;
    for (std::size_t i = 0; i < frame.pixels; ++i) covered += frame.Covered(i);
    return covered;
}

// How our picture of one filter agrees with llvmpipe's, drawn either way.
struct Agreements {
    Agreement single, batched;
};

Agreements CheckPictures(bench::Frame& frame, const std::vector<raster::Vertex>& box,
                         const raster::State& state, bench::LlvmpipePeer& peer, int drawsPerFinish) {
    const raster::Rasterizer& reference = raster::ScalarRasterizer();
    reference.Clear(frame.target, 0, 0xFFFF);
    reference.DrawTriangles(frame.target, state, box.data(), static_cast<int>(box.size() / 3));
    Agreements out;
    peer.Draw(state.filter);
    out.single = Compare(frame, peer.Picture());
    peer.DrawRepeated(state.filter, drawsPerFinish);
    out.batched = Compare(frame, peer.Picture());
    return out;
}

void PrintAgreement(const char* filter, const Agreements& a) {
    const long differ = a.single.coverageDiffers + a.batched.coverageDiffers;
    if (differ == 0) {
        std::printf("%s: llvmpipe covers the same pixels either way; ", filter);
    } else {
        std::printf("%s: coverage differs from llvmpipe's at %ld (x1) and %ld (xN) pixels; ", filter,
                    a.single.coverageDiffers, a.batched.coverageDiffers);
    }
    std::printf("mean channel difference %.2f\n", a.single.meanChannelDifference);
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
    const int drawsPerFinish = DrawsPerFinish(size);
    std::printf("\n%dx%d\n", frame.width, frame.height);
    PrintHeader(peers);
    const raster::Rasterizer* chosen = raster::SimdRasterizer();
    std::string verdict;
    for (const raster::Filter filter : {raster::Filter::Nearest, raster::Filter::Bilinear}) {
        const char* name = filter == raster::Filter::Nearest ? "nearest" : "bilinear";
        const raster::State state{&texture, raster::Shading::Gouraud, filter};
        std::vector<Row> rows;
        std::vector<PeerRows> peerRows;
        TimeFilter(ours, peers, frame, box, state, drawsPerFinish, rounds, &rows, &peerRows);
        const Agreements agreements = CheckPictures(frame, box, state, *peers[0].llvmpipe, drawsPerFinish);
        const long covered = CoveredPixels(frame);
        for (const Row& row : rows) PrintRow(name, row, covered, peerRows);
        for (const PeerRows& peer : peerRows) {
            PrintRow(name, peer.single, covered, peerRows);
            PrintRow(name, peer.batched, covered, peerRows);
        }
        PrintAgreement(name, agreements);
        for (std::size_t i = 0; i < ours.size(); ++i) {
            if (ours[i] != chosen) continue;
            char ratio[96];
            std::snprintf(ratio, sizeof ratio, "%s%.2f %s", verdict.empty() ? "" : ", ",
                          bench::Median(rows[i].ms) / peerRows[0].Fastest(), name);
            verdict += ratio;
        }
    }
    if (chosen != nullptr) {
        std::printf("The software device's %s over %s in its faster way: %s\n", chosen->Name(),
                    peers[0].name.c_str(), verdict.c_str());
    }
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
