// The line a user gets when the saver stops drawing: whoever listens to the
// debug output, exactly one line naming the display, the host's window, the
// step that failed and the error.
#include <cstdlib>
#include <string>

#include "tests/ScreenSaver/SaverSceneSupport.h"
#include "tests/Support/DebugCapture.h"

namespace {

void DrawAFrame() {
    MoveBox();
    FrameTick();
}

// What runs before the fault is armed.
enum class Before { Nothing, Rendering, Scene };

struct StopCase {
    const char* name;
    Before before;
    DxCall call;
    HRESULT code;
    std::uint64_t hostWindow;
    void (*act)();
    const char* told;  // the line after the display's name

    friend void PrintTo(const StopCase& c, std::ostream* os) { *os << c.name; }
};

class DrawingStoppedTest : public SaverSceneTest, public testing::WithParamInterface<StopCase> {
protected:
    void SetUp() override {
        SaverSceneTest::SetUp();
        const char* display = std::getenv("DISPLAY");
        if (display != nullptr) savedDisplay_ = display;
        setenv("DISPLAY", ":7", 1);
    }
    void TearDown() override {
        HostWindow = 0;
        if (savedDisplay_.empty())
            unsetenv("DISPLAY");
        else
            setenv("DISPLAY", savedDisplay_.c_str(), 1);
        SaverSceneTest::TearDown();
    }

    std::string savedDisplay_;
};

TEST_P(DrawingStoppedTest, SaysWhatFailedWhereInOneLineWithNobodyListening) {
    const StopCase& c = GetParam();
    HostWindow = c.hostWindow;
    if (c.before == Before::Scene) {
        ASSERT_EQ(StartSaver(), 1);
    }
    if (c.before == Before::Rendering) Captured([] { StartRendering(); });
    DxFault::FailCall(c.call, c.code);
    const std::string said = CapturedUnheard(c.act);
    EXPECT_EQ(RZXState.active, 0);
    EXPECT_EQ(said, std::string("vantel: cannot draw") + c.told + "\n");
}

constexpr std::uint64_t kHost = 0x2A00007;

INSTANTIATE_TEST_SUITE_P(
    Failures, DrawingStoppedTest,
    testing::Values(
        StopCase{"presenting", Before::Scene, DxCall::Surface_Blt, DDERR_GENERIC, 0, DrawAFrame,
                 " on display :7: copying the frame to the window failed with DDERR_GENERIC (site 1219)"},
        StopCase{"presenting_hosted", Before::Scene, DxCall::Surface_Blt, DDERR_GENERIC, kHost, DrawAFrame,
                 " into window 0x2a00007 on display :7: copying the frame to the window failed with "
                 "DDERR_GENERIC (site 1219)"},
        StopCase{"code_in_no_table", Before::Scene, DxCall::Surface_Blt, static_cast<HRESULT>(0x80004004u), 0,
                 DrawAFrame,
                 " on display :7: copying the frame to the window failed with Unknown Error 0x80004004 "
                 "(site 1219)"},
        StopCase{"scene_root", Before::Rendering, DxCall::RM_CreateFrame, D3DRMERR_BADALLOC, 0,
                 [] { BuildScene(); },
                 " on display :7: creating the scene root failed with D3DRMERR_BADALLOC"},
        StopCase{"z_buffer", Before::Nothing, DxCall::Surface_AddAttachedSurface, DDERR_CANNOTATTACHSURFACE,
                 kHost, [] { StartRendering(); },
                 " into window 0x2a00007 on display :7: creating the z-buffer failed with "
                 "DDERR_CANNOTATTACHSURFACE"},
        // The size the error names is the window's.
        StopCase{
            "too_large", Before::Nothing, DxCall::DirectDraw_CreateSurface, DDERR_TOOBIGSIZE, kHost,
            [] { StartRendering(); },
            " into window 0x2a00007 on display :7: creating the screen's surface failed with "
            "DDERR_TOOBIGSIZE (site 476): the window is 320x240 pixels, at most 16384x16384 can be drawn"}),
    [](const testing::TestParamInfo<StopCase>& info) { return std::string(info.param.name); });

// The layer ends the process itself when it can make no device at all.
TEST_F(SaverSceneTest, AnEndForWantOfADeviceIsToldToo) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    DxFault::FailCall(DxCall::Direct3D_CreateDevice, DDERR_OUTOFMEMORY, 0, 2);
    EXPECT_EXIT(StartRendering(), testing::ExitedWithCode(1),
                "^vantel: cannot draw on display [^\n]*: creating the Direct3D device failed with "
                "DDERR_OUTOFMEMORY\n$");
}

}  // namespace
