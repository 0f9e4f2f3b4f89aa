// Forcing the software device's rasterizer by name, and falling back to the
// trial's choice where the name cannot be honoured.
#include <string>

#include "Platform/DirectX/Raster/SimdPathChoice.h"
#include "RasterTestSupport.h"

namespace raster::test {
namespace {

// No test leaves a rasterizer forced behind it.
class SimdPathChoiceTest : public testing::Test {
protected:
    void TearDown() override { ForceRasterizer(nullptr); }
};

TEST_F(SimdPathChoiceTest, ForcesTheNamedRasterizerWhereTheCpuRunsIt) {
    const Rasterizer* trialChoice = CurrentSimdChoice().rasterizer;
    struct Case {
        const char* name;
        const Rasterizer* rasterizer;  // null: the CPU cannot run it
    };
    const Case cases[] = {
        {"scalar", &ScalarRasterizer()},
        {"sse2", SimdRasterizerFor(SimdPath::Sse2)},
        {"avx2-gather", SimdRasterizerFor(SimdPath::Avx2)},
        {"avx2-loads", SimdRasterizerFor(SimdPath::Avx2Loads)},
        {"avx512", SimdRasterizerFor(SimdPath::Avx512)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string warning = ForceRasterizer(c.name);
        if (c.rasterizer != nullptr) {
            EXPECT_EQ(warning, "");
            EXPECT_EQ(SimdRasterizer(), c.rasterizer);
            EXPECT_STREQ(SimdRasterizer()->Name(), c.name);
            EXPECT_EQ(DescribeSimdChoice(CurrentSimdChoice()), std::string(c.name) + ", forced");
        } else {
            EXPECT_NE(warning.find("cannot run on this CPU"), std::string::npos) << warning;
            EXPECT_EQ(SimdRasterizer(), trialChoice);
        }
    }
    EXPECT_EQ(ForceRasterizer(""), "");
    EXPECT_EQ(SimdRasterizer(), trialChoice);
}

TEST_F(SimdPathChoiceTest, AnUnknownNameLeavesTheChoiceToTheTrial) {
    const Rasterizer* trialChoice = CurrentSimdChoice().rasterizer;
    for (const char* name : {"AVX2", "avx2", "mmx", " sse2"}) {
        SCOPED_TRACE(name);
        const std::string warning = ForceRasterizer(name);
        EXPECT_NE(warning.find(std::string("no rasterizer is named ") + name + " (scalar, sse2, "),
                  std::string::npos)
            << warning;
        EXPECT_EQ(SimdRasterizer(), trialChoice);
        EXPECT_FALSE(CurrentSimdChoice().forced);
    }
}

TEST_F(SimdPathChoiceTest, TheTrialsChoiceNamesEveryRunnablePathWithItsTimes) {
    const SimdChoice choice = CurrentSimdChoice();
    if (choice.rasterizer == nullptr) GTEST_SKIP() << "no SIMD path here";
    const std::string description = DescribeSimdChoice(choice);
    EXPECT_EQ(
        description.rfind(std::string(choice.rasterizer->Name()) + ", the fastest in the start-up trial", 0),
        0u)
        << description;
    for (const SimdPath path : kSimdPaths) {
        const Rasterizer* r = SimdRasterizerFor(path);
        if (r == nullptr) continue;
        EXPECT_NE(description.find(std::string(" ") + r->Name() + " "), std::string::npos) << r->Name();
    }
}

}  // namespace
}  // namespace raster::test
