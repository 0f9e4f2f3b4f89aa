// A saver brought up as WinMain brings it up, on a small headless window
// with its own settings directory, and taken down again after each test.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "Direct3d/Rendal.h"
#include "Platform/DirectX/DxFault.h"
#include "ScreenSaver/Deepdr.h"
#include "ScreenSaver/Scene.h"

class SaverSceneTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes one key of the settings file.
    void WriteSetting(const char* section, const char* key, const char* value);
    // The rendering layer up for MainWindow, then BuildScene; its result.
    int StartSaver(const HostOverrides& overrides = {});
    // Gives back everything StartSaver made, so that it can run again.
    void StopSaver();

    std::string configDir_;
};

// Fails the test unless the vector is (x, y, z), to float precision.
void ExpectVector(const D3DVECTOR& actual, float x, float y, float z);
