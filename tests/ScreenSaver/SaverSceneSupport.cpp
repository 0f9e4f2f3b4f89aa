#include "tests/ScreenSaver/SaverSceneSupport.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>

#include "Platform/Win32/Win32Extensions.h"
#include "Settings/Settings.h"
#include "tests/Support/DebugCapture.h"
#include "tests/Support/TestWindow.h"

namespace {

void ReleaseKept(IDirect3DRMFrame2*& frame) {
    if (frame) frame->Release();
    frame = nullptr;
}

}  // namespace

// The program's own box colour, as it stands before any test changes it.
const std::array<double, 4> kProgramBoxColor = std::to_array(BoxColor);

void SaverSceneTest::SetUp() {
    char dir[] = "/tmp/vantel-sceneXXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    configDir_ = dir;
    setenv("XDG_CONFIG_HOME", dir, 1);
    Win32SetProfileFolder(vantel_settings::kProfileFolder);
    Win32SetProfileFileKey(vantel_settings::kSettingSection, vantel_settings::kFileNameKey);
    DxFault::Reset();
    DirX = DirY = DirZ = 1;
    Speed = 5.0;
    std::copy(kProgramBoxColor.begin(), kProgramBoxColor.end(), BoxColor);

    MainWindow = OpenTestWindow(0, 0, 320, 240);
    ASSERT_NE(MainWindow, nullptr);
}

void SaverSceneTest::TearDown() {
    StopSaver();
    DestroyWindow(MainWindow);
    DxFault::Reset();
    std::filesystem::remove_all(configDir_);
}

void SaverSceneTest::WriteSetting(const char* section, const char* key, const char* value) {
    ASSERT_TRUE(WritePrivateProfileStringA(section, key, value, "Vantel.ini"));
}

int SaverSceneTest::StartSaver(const HostOverrides& overrides) {
    int built = 0;
    Captured([&] {
        StartRendering();
        built = BuildScene(overrides);
    });
    return built;
}

void SaverSceneTest::StopSaver() {
    Captured([] { RZXCleanup(); });
    // The saver keeps these for the life of its process; a test process
    // builds many scenes and gives each one back.
    if (BoxTexture) BoxTexture->Release();
    BoxTexture = nullptr;
    BoxFrame = nullptr;
    ReleaseKept(CameraFrame);
    ReleaseKept(SceneFrame);
}

void ExpectVector(const D3DVECTOR& actual, float x, float y, float z) {
    EXPECT_NEAR(actual.x, x, 1e-5);
    EXPECT_NEAR(actual.y, y, 1e-5);
    EXPECT_NEAR(actual.z, z, 1e-5);
}
