// The box's motion: walls, velocity, turning axis, and the frame step.
#include <gmock/gmock.h>

#include <string>

#include "tests/ScreenSaver/SaverSceneSupport.h"
#include "tests/Support/DebugCapture.h"
#include "tests/Support/DxCounts.h"

// The saver's calls of the rendering layer's per-frame operations, counted
// through the linker (--wrap, see CMakeLists.txt): while rendering is off
// they change nothing, so only a count shows a stray call.
int perFrameCalls = 0;
extern "C" int __real__Z10RZXRestorev();
extern "C" int __real__Z9RZXRenderP16IDirect3DRMFrame(IDirect3DRMFrame* scene);
extern "C" int __real__Z7RZXFlipv();
extern "C" int __wrap__Z10RZXRestorev() {
    ++perFrameCalls;
    return __real__Z10RZXRestorev();
}
extern "C" int __wrap__Z9RZXRenderP16IDirect3DRMFrame(IDirect3DRMFrame* scene) {
    ++perFrameCalls;
    return __real__Z9RZXRenderP16IDirect3DRMFrame(scene);
}
extern "C" int __wrap__Z7RZXFlipv() {
    ++perFrameCalls;
    return __real__Z7RZXFlipv();
}

namespace {

class BoxMotionTest : public SaverSceneTest {
protected:
    void SetUp() override {
        SaverSceneTest::SetUp();
        ASSERT_EQ(StartSaver(), 1);
    }

    D3DVECTOR Velocity() {
        D3DVECTOR velocity{};
        BoxFrame->GetVelocity(SceneFrame, &velocity, FALSE);
        return velocity;
    }

    D3DVECTOR Axis() {
        D3DVECTOR axis{};
        D3DVALUE theta = 0;
        BoxFrame->GetRotation(SceneFrame, &axis, &theta);
        return axis;
    }
};

struct BounceCase {
    const char* name;
    D3DVECTOR position;
    int dirX, dirY, dirZ;  // after MoveBox, from +1 on every axis

    friend void PrintTo(const BounceCase& c, std::ostream* os) { *os << c.name; }
};

class BounceTest : public BoxMotionTest, public testing::WithParamInterface<BounceCase> {};

TEST_P(BounceTest, DirectionTurnsOnlyPastAWall) {
    const BounceCase& c = GetParam();
    BoxFrame->SetPosition(SceneFrame, c.position.x, c.position.y, c.position.z);
    MoveBox();
    EXPECT_EQ(DirX, c.dirX);
    EXPECT_EQ(DirY, c.dirY);
    EXPECT_EQ(DirZ, c.dirZ);
    const D3DVECTOR velocity = Velocity();
    EXPECT_FLOAT_EQ(velocity.x, static_cast<float>(c.dirX * 0.1));
    EXPECT_FLOAT_EQ(velocity.y, static_cast<float>(c.dirY * 0.08));
    EXPECT_FLOAT_EQ(velocity.z, static_cast<float>(c.dirZ * 0.2));
    EXPECT_EQ(RotAxis[0], c.dirX);
    EXPECT_EQ(RotAxis[1], c.dirY);
    EXPECT_EQ(RotAxis[2], c.dirZ);
}

INSTANTIATE_TEST_SUITE_P(Walls, BounceTest,
                         testing::Values(BounceCase{"start", {0, 0, 100}, 1, 1, 1},
                                         BounceCase{"on_upper_x", {7.0f, 0, 50}, 1, 1, 1},
                                         BounceCase{"on_lower_y", {0, -4.0f, 50}, 1, 1, 1},
                                         BounceCase{"on_lower_z", {0, 0, 18.0f}, 1, 1, 1},
                                         BounceCase{"on_upper_z", {0, 0, 110.0f}, 1, 1, 1},
                                         BounceCase{"past_upper_x", {7.05f, 0, 50}, -1, 1, 1},
                                         BounceCase{"past_lower_x", {-7.05f, 0, 50}, -1, 1, 1},
                                         BounceCase{"past_lower_y", {0, -4.01f, 50}, 1, -1, 1},
                                         BounceCase{"past_upper_z", {0, 0, 110.1f}, 1, 1, -1},
                                         BounceCase{"past_lower_z", {0, 0, 17.9f}, 1, 1, -1},
                                         BounceCase{"past_every_wall", {8, 5, 120}, -1, -1, -1}),
                         [](const testing::TestParamInfo<BounceCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(BoxMotionTest, FirstFrameDriftsAwayTurningAboutTheMainDiagonal) {
    MoveBox();
    const D3DVECTOR velocity = Velocity();
    EXPECT_FLOAT_EQ(velocity.x, 0.1f);
    EXPECT_FLOAT_EQ(velocity.y, 0.08f);
    EXPECT_FLOAT_EQ(velocity.z, 0.2f);
    const D3DVECTOR axis = Axis();
    EXPECT_FLOAT_EQ(axis.x, axis.y);
    EXPECT_FLOAT_EQ(axis.y, axis.z);
    EXPECT_GT(axis.x, 0);
}

TEST_F(BoxMotionTest, AFlipOnXTurnsTheAxisOnXOnly) {
    BoxFrame->SetPosition(SceneFrame, 7.05f, 0, 50);
    MoveBox();
    const D3DVECTOR velocity = Velocity();
    EXPECT_FLOAT_EQ(velocity.x, -0.1f);
    EXPECT_FLOAT_EQ(velocity.y, 0.08f);
    EXPECT_FLOAT_EQ(velocity.z, 0.2f);
    const D3DVECTOR axis = Axis();
    EXPECT_LT(axis.x, 0);
    EXPECT_FLOAT_EQ(-axis.x, axis.y);
    EXPECT_FLOAT_EQ(axis.y, axis.z);
}

TEST_F(BoxMotionTest, EachFrameTurnsTheBoxBySpeedDegrees) {
    const struct {
        double speed;
        float radians;
    } cases[] = {{1, 0.01745329238474369f}, {5, 0.0872664600610733f}, {10, 0.1745329201221466f}};
    for (const auto& c : cases) {
        Speed = c.speed;
        // Whatever turn was set before, the frame's own replaces it.
        BoxFrame->SetRotation(SceneFrame, 0, 1, 0, 0);
        MoveBox();
        D3DVECTOR axis{};
        D3DVALUE theta = 0;
        BoxFrame->GetRotation(SceneFrame, &axis, &theta);
        EXPECT_FLOAT_EQ(theta, c.radians) << "speed " << c.speed;
    }
}

TEST_F(BoxMotionTest, AFrameMovesTheBoxByOneStep) {
    MoveBox();
    ASSERT_EQ(FrameTick(), 1);
    D3DVECTOR position{};
    BoxFrame->GetPosition(SceneFrame, &position);
    ExpectVector(position, 0.1f, 0.08f, 100.2f);
}

TEST_F(BoxMotionTest, OverALongRunTheBoxStaysBetweenTheWalls) {
    D3DVECTOR lowest{0, 0, 100}, highest{0, 0, 100};
    for (int frame = 0; frame < 100000; ++frame) {
        MoveBox();
        ASSERT_EQ(SceneFrame->Move(1.0f), D3DRM_OK);
        D3DVECTOR p{};
        BoxFrame->GetPosition(SceneFrame, &p);
        lowest = {std::min(lowest.x, p.x), std::min(lowest.y, p.y), std::min(lowest.z, p.z)};
        highest = {std::max(highest.x, p.x), std::max(highest.y, p.y), std::max(highest.z, p.z)};
    }
    constexpr float kSlack = 1e-3f;
    EXPECT_GE(lowest.x, -7.1f - kSlack);
    EXPECT_LE(highest.x, 7.1f + kSlack);
    EXPECT_GE(lowest.y, -4.08f - kSlack);
    EXPECT_LE(highest.y, 4.08f + kSlack);
    EXPECT_GE(lowest.z, 17.8f - kSlack);
    EXPECT_LE(highest.z, 110.2f + kSlack);
    // It does reach every wall.
    EXPECT_LT(lowest.x, -7.0f);
    EXPECT_GT(highest.x, 7.0f);
    EXPECT_LT(lowest.z, 18.0f);
}

TEST_F(BoxMotionTest, WhileRenderingIsOffAFrameTouchesNothing) {
    RZXSetActive(0);
    const std::vector<int> before = AllCallCounts();
    const int perFrameBefore = perFrameCalls;
    EXPECT_EQ(FrameTick(), 1);
    EXPECT_EQ(AllCallCounts(), before);
    EXPECT_EQ(perFrameCalls, perFrameBefore);

    // A rendered frame restores, renders and presents: the count sees each.
    RZXSetActive(1);
    EXPECT_EQ(FrameTick(), 1);
    EXPECT_EQ(perFrameCalls, perFrameBefore + 3);
}

TEST_F(BoxMotionTest, AFailedStepIsReportedOnceAndStopsRendering) {
    DxFault::FailCall(DxCall::Frame_Move, D3DRMERR_BADOBJECT);
    int result = 1;
    const std::string trace = Captured([&] { result = FrameTick(); });
    EXPECT_EQ(result, 0);
    // The report and the release on the debug output, then the line for a user.
    EXPECT_THAT(trace,
                testing::MatchesRegex("Direct3D-RM Error : D3DRMERR_BADOBJECT\nin file Deepdr at line 346\n"
                                      "RZX:Rendal Cleanup\n"
                                      "vantel: cannot draw on display [^\n]*: moving the scene failed "
                                      "with D3DRMERR_BADOBJECT \\(site 346\\)\n"));
    EXPECT_EQ(RZXState.active, 0);
    EXPECT_TRUE(RZXState.lpDD == nullptr && RZXState.lpRMViewport == nullptr);

    const std::vector<int> before = AllCallCounts();
    std::string later;
    for (int frame = 0; frame < 3; ++frame) {
        later += Captured([&] {
            MoveBox();
            result = FrameTick();
        });
        EXPECT_EQ(result, 1);
    }
    EXPECT_EQ(later, "");
    EXPECT_EQ(DxFault::CallCount(DxCall::Frame_Move), before[static_cast<int>(DxCall::Frame_Move)]);
    EXPECT_EQ(DxFault::CallCount(DxCall::Surface_Blt), before[static_cast<int>(DxCall::Surface_Blt)]);
}

}  // namespace
