// A Retained Mode object for each test, with the fault hook disarmed.
#pragma once

#include <gtest/gtest.h>

#include "Platform/DirectX/D3DRM.h"
#include "Platform/DirectX/DxFault.h"

class RetainedModeTest : public ::testing::Test {
protected:
    void SetUp() override {
        DxFault::Reset();
        IDirect3DRM* base = nullptr;
        ASSERT_EQ(Direct3DRMCreate(&base), D3DRM_OK);
        ASSERT_EQ(base->QueryInterface(IID_IDirect3DRM2, reinterpret_cast<void**>(&rm)), S_OK);
        base->Release();
    }
    void TearDown() override {
        if (rm != nullptr) rm->Release();
        DxFault::Reset();
    }

    IDirect3DRMFrame2* NewFrame(IDirect3DRMFrame* parent) {
        IDirect3DRMFrame2* frame = nullptr;
        EXPECT_EQ(rm->CreateFrame(parent, &frame), D3DRM_OK);
        return frame;
    }

    IDirect3DRM2* rm = nullptr;
};

inline void ExpectNear(const D3DVECTOR& actual, float x, float y, float z, float tolerance = 1e-5f) {
    EXPECT_NEAR(actual.x, x, tolerance);
    EXPECT_NEAR(actual.y, y, tolerance);
    EXPECT_NEAR(actual.z, z, tolerance);
}
