// The start-up trial keeps the faster of two rasterizers, whichever comes first.
#include <chrono>
#include <thread>
#include <vector>

#include "Platform/DirectX/Raster/SimdTrial.h"
#include "RasterTestSupport.h"

namespace raster::test {
namespace {

// Draws nothing; takes `delay` per draw.
class StandIn final : public Rasterizer {
public:
    StandIn(const char* name, std::chrono::microseconds delay) : name_(name), delay_(delay) {}
    const char* Name() const override { return name_; }
    void Clear(const Target&, std::uint32_t, std::uint16_t) const override {}
    void DrawTriangles(const Target&, const State&, const Vertex*, int) const override {
        if (delay_.count() > 0) std::this_thread::sleep_for(delay_);
    }

private:
    const char* name_;
    std::chrono::microseconds delay_;
};

TEST(SimdTrialTest, KeepsTheFasterStandInInEitherOrder) {
    const StandIn fast("fast", std::chrono::microseconds(0));
    const StandIn slow("slow", std::chrono::milliseconds(2));
    const std::vector<const Rasterizer*> orders[] = {{&fast, &slow}, {&slow, &fast}};
    for (const auto& candidates : orders) {
        SCOPED_TRACE(candidates[0]->Name());
        const TrialResult result = RunTrial(candidates);
        EXPECT_EQ(result.fastest, &fast);
        // Each time is reported against its own rasterizer.
        ASSERT_EQ(result.times.size(), 2u);
        for (const TrialTime& t : result.times) {
            EXPECT_EQ(t.rasterizer == &slow, t.nearestMs >= 2.0 && t.bilinearMs >= 2.0)
                << t.rasterizer->Name();
        }
    }
}

}  // namespace
}  // namespace raster::test
