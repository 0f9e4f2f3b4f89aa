// VANTEL_RASTER names the rasterizer the saver draws with; VANTEL_DEBUG=2
// has it say which one at start-up, while VANTEL_DEBUG=1 keeps to the trace.
#include <cstdlib>
#include <string>

#include "Platform/DirectX/D3D.h"
#include "Platform/DirectX/D3DExtensions.h"
#include "tests/ScreenSaver/SaverSceneSupport.h"
#include "tests/Support/DebugCapture.h"

namespace {

struct Request {
    const char* name;
    const char* raster;    // null: unset
    const char* debug;     // null: unset
    const char* expected;  // a line of standard error
    const char* absent;    // a text it must not hold

    friend void PrintTo(const Request& request, std::ostream* os) { *os << request.name; }
};

class RasterizerChoiceTest : public SaverSceneTest, public testing::WithParamInterface<Request> {
protected:
    void TearDown() override {
        unsetenv("VANTEL_RASTER");
        unsetenv("VANTEL_DEBUG");
        DxForceRasterizer(nullptr);
        SaverSceneTest::TearDown();
    }
};

void SetOrUnset(const char* variable, const char* value) {
    if (value != nullptr) {
        setenv(variable, value, 1);
    } else {
        unsetenv(variable);
    }
}

TEST_P(RasterizerChoiceTest, StartUpHonoursAndReportsTheRequest) {
    SetOrUnset("VANTEL_RASTER", GetParam().raster);
    SetOrUnset("VANTEL_DEBUG", GetParam().debug);
    const std::string trace = Captured([] { StartRendering(); });
    EXPECT_NE(trace.find(GetParam().expected), std::string::npos) << trace;
    EXPECT_EQ(trace.find(GetParam().absent), std::string::npos) << trace;
}

INSTANTIATE_TEST_SUITE_P(
    Requests, RasterizerChoiceTest,
    testing::Values(
        Request{"forced_and_told", "scalar", "2", "vantel: drawing with scalar, forced\n", "VANTEL_RASTER="},
        Request{"trace_alone", "scalar", "1", "RZX:", "drawing with"},
        Request{"forced_quietly", "scalar", "0", "RZX:", "drawing with"},
        Request{"unknown", "mmx", nullptr,
                "vantel: VANTEL_RASTER=mmx: no rasterizer is named mmx (scalar, sse2, avx2-gather, "
                "avx2-loads, avx512); the start-up trial chooses\n",
                "drawing with"},
        Request{"trial_told", nullptr, "2",
                ", the fastest in the start-up trial (ms nearest + bilinear: ", "VANTEL_RASTER="}),
    [](const testing::TestParamInfo<Request>& info) { return std::string(info.param.name); });

}  // namespace
