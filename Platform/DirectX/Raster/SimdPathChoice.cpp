// Which SIMD paths the CPU can run, and which of them the software device
// draws with.
#include "Platform/DirectX/Raster/SimdPathChoice.h"

#include <cstdio>
#include <cstring>

#include "Platform/DirectX/Raster/SimdPaths.h"

namespace raster {
namespace {

// Every rasterizer a caller may name, whether this CPU runs it or not.
struct Named {
    const char* name;
    const Rasterizer* (*get)();
};
const Named kNamed[] = {
    {"scalar", [] { return &ScalarRasterizer(); }},
    {"sse2", [] { return SimdRasterizerFor(SimdPath::Sse2); }},
    {"avx2-gather", [] { return SimdRasterizerFor(SimdPath::Avx2); }},
    {"avx2-loads", [] { return SimdRasterizerFor(SimdPath::Avx2Loads); }},
    {"avx512", [] { return SimdRasterizerFor(SimdPath::Avx512); }},
};

const Rasterizer* forced = nullptr;

// Measured rather than decided from the CPU's name and features: the paths
// differ mostly in how they fetch texels, and how fast a gather runs
// depends on the vendor, the generation and even the microcode (some CPUs
// slow it down against a side channel), none of which the CPU reports.
const SimdChoice& TrialChoice() {
    static const SimdChoice choice = [] {
        const std::vector<const Rasterizer*> runnable = RunnableSimdRasterizers();
        if (runnable.empty()) return SimdChoice{nullptr, false, {}};
        TrialResult trial = RunTrial(runnable);
        return SimdChoice{trial.fastest, false, std::move(trial.times)};
    }();
    return choice;
}

}  // namespace

const Rasterizer* SimdRasterizerFor(SimdPath path) {
#if defined(VANTEL_RASTER_X86)
    switch (path) {
        case SimdPath::Sse2:
            return &Sse2Rasterizer();
        case SimdPath::Avx2:
            return __builtin_cpu_supports("avx2") ? &Avx2Rasterizer() : nullptr;
        case SimdPath::Avx2Loads:
            return __builtin_cpu_supports("avx2") ? &Avx2LoadsRasterizer() : nullptr;
        case SimdPath::Avx512:
            return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                           __builtin_cpu_supports("avx512dq") && __builtin_cpu_supports("avx512vl")
                       ? &Avx512Rasterizer()
                       : nullptr;
    }
#else
    (void)path;
#endif
    return nullptr;
}

std::vector<const Rasterizer*> RunnableSimdRasterizers() {
    std::vector<const Rasterizer*> runnable;
    for (const SimdPath path : kSimdPaths) {
        if (const Rasterizer* r = SimdRasterizerFor(path)) runnable.push_back(r);
    }
    return runnable;
}

const Rasterizer* SimdRasterizer() {
    return forced != nullptr ? forced : TrialChoice().rasterizer;
}

SimdChoice CurrentSimdChoice() {
    return forced != nullptr ? SimdChoice{forced, true, {}} : TrialChoice();
}

std::string DescribeSimdChoice(const SimdChoice& choice) {
    if (choice.rasterizer == nullptr) return "no SIMD path on this CPU";
    std::string out = choice.rasterizer->Name();
    if (choice.forced) return out + ", forced";
    out += ", the fastest in the start-up trial (ms nearest + bilinear:";
    for (const TrialTime& t : choice.trial) {
        char time[64];
        std::snprintf(time, sizeof time, " %.3f + %.3f", t.nearestMs, t.bilinearMs);
        out += std::string(&t == choice.trial.data() ? " " : ", ") + t.rasterizer->Name() + time;
    }
    return out + ")";
}

std::string ForceRasterizer(const char* name) {
    forced = nullptr;
    if (name == nullptr || *name == '\0') return "";
    for (const Named& named : kNamed) {
        if (std::strcmp(named.name, name) != 0) continue;
        forced = named.get();
        if (forced != nullptr) return "";
        return std::string("rasterizer ") + name + " cannot run on this CPU; the start-up trial chooses";
    }
    std::string known;
    for (const Named& named : kNamed) known += std::string(known.empty() ? "" : ", ") + named.name;
    return std::string("no rasterizer is named ") + name + " (" + known + "); the start-up trial chooses";
}

}  // namespace raster
