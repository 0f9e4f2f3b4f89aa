// What the tests of the rendering layer share: a fixture that starts from a
// fresh state, opens a window to render into and leaves nothing behind.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Direct3d/Rendal.h"
#include "Platform/DirectX/DxFault.h"
#include "tests/Support/DebugCapture.h"
#include "tests/Support/DxCounts.h"

inline constexpr char kSourcePath[] = "C:\\myproject\\Direct3d\\Rendal";

// The text between the first `from` and the following `to` in `text`.
std::string Between(const std::string& text, const std::string& from, const std::string& to);

class RendalTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A visible popup window with its client area at (x, y) on the screen.
    void OpenWindow(int x, int y, int width, int height);
    // CreateDirectDrawWin and RZXCreate, both succeeding.
    void StartLayer();
    // StartLayer, a scene root with a camera below it and the viewport.
    void StartWithViewport();
    // True when the state holds no object.
    static bool NothingHeld();

    HWND window_ = nullptr;
    IDirect3DRMFrame2* scene_ = nullptr;
    IDirect3DRMFrame2* camera_ = nullptr;
};
