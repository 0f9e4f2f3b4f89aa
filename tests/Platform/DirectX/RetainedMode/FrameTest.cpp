#include <cmath>
#include <numbers>

#include "tests/Platform/DirectX/RetainedMode/RetainedModeFixture.h"

namespace {

constexpr float kQuarter = static_cast<float>(std::numbers::pi / 2);

using FrameTest = RetainedModeTest;

TEST_F(FrameTest, MoveAddsVelocityOncePerCallInSinglePrecision) {
    IDirect3DRMFrame2* scene = NewFrame(nullptr);
    IDirect3DRMFrame2* box = NewFrame(scene);
    ASSERT_EQ(box->SetPosition(scene, 0.0f, 0.0f, 100.0f), D3DRM_OK);
    ASSERT_EQ(box->SetVelocity(scene, 0.1f, 0.08f, 0.2f, FALSE), D3DRM_OK);
    float x = 0.0f, y = 0.0f, z = 100.0f;
    for (int step = 0; step < 250; ++step) {
        ASSERT_EQ(scene->Move(1.0f), D3DRM_OK);
        x += 0.1f;
        y += 0.08f;
        z += 0.2f;
    }
    D3DVECTOR p;
    ASSERT_EQ(box->GetPosition(scene, &p), D3DRM_OK);
    EXPECT_EQ(p.x, x);
    EXPECT_EQ(p.y, y);
    EXPECT_EQ(p.z, z);
    D3DVECTOR v;
    ASSERT_EQ(box->GetVelocity(scene, &v, FALSE), D3DRM_OK);
    ExpectNear(v, 0.1f, 0.08f, 0.2f, 0.0f);
    box->Release();
    scene->Release();
}

struct TurnCase {
    const char* name;
    D3DVECTOR axis;
    float theta;
    float delta;
    D3DVECTOR dir;
    D3DVECTOR up;

    friend void PrintTo(const TurnCase& c, std::ostream* os) { *os << c.name; }
};

class TurnTest : public RetainedModeTest, public ::testing::WithParamInterface<TurnCase> {};

TEST_P(TurnTest, OneMoveTurnsTheFrameAboutItsAxis) {
    const TurnCase& c = GetParam();
    IDirect3DRMFrame2* scene = NewFrame(nullptr);
    IDirect3DRMFrame2* box = NewFrame(scene);
    ASSERT_EQ(box->SetPosition(scene, 3.0f, -2.0f, 50.0f), D3DRM_OK);
    ASSERT_EQ(box->SetRotation(scene, c.axis.x, c.axis.y, c.axis.z, c.theta), D3DRM_OK);
    ASSERT_EQ(scene->Move(c.delta), D3DRM_OK);
    D3DVECTOR dir, up, p;
    ASSERT_EQ(box->GetOrientation(scene, &dir, &up), D3DRM_OK);
    ExpectNear(dir, c.dir.x, c.dir.y, c.dir.z);
    ExpectNear(up, c.up.x, c.up.y, c.up.z);
    // The turn is about the frame's own origin.
    ASSERT_EQ(box->GetPosition(scene, &p), D3DRM_OK);
    ExpectNear(p, 3.0f, -2.0f, 50.0f, 0.0f);
    box->Release();
    scene->Release();
}

const float kHalfRoot = std::sqrt(0.5f);
INSTANTIATE_TEST_SUITE_P(
    Turns, TurnTest,
    ::testing::Values(
        TurnCase{"ZTowardsXAboutY", {0, 1, 0}, kQuarter, 1.0f, {1, 0, 0}, {0, 1, 0}},
        TurnCase{"AxisOfAnyLength", {0, 7.5f, 0}, kQuarter, 1.0f, {1, 0, 0}, {0, 1, 0}},
        TurnCase{"NegativeAngle", {0, 1, 0}, -kQuarter, 1.0f, {-1, 0, 0}, {0, 1, 0}},
        TurnCase{"YTowardsZAboutX", {1, 0, 0}, kQuarter, 1.0f, {0, -1, 0}, {0, 0, 1}},
        TurnCase{"XTowardsYAboutZ", {0, 0, 1}, kQuarter, 1.0f, {0, 0, 1}, {-1, 0, 0}},
        TurnCase{"HalfStepHalfTurn", {0, 1, 0}, kQuarter, 0.5f, {kHalfRoot, 0, kHalfRoot}, {0, 1, 0}},
        TurnCase{"ThirdOfATurnAboutTheDiagonal", {1, 1, 1}, 2.0943951f, 1.0f, {1, 0, 0}, {0, 0, 1}}),
    [](const ::testing::TestParamInfo<TurnCase>& info) { return std::string(info.param.name); });

TEST_F(FrameTest, RotationAxisIsTakenInTheReferenceFrameWhenSet) {
    IDirect3DRMFrame2* scene = NewFrame(nullptr);
    IDirect3DRMFrame2* turned = NewFrame(scene);  // its +z is the scene's +x
    IDirect3DRMFrame2* box = NewFrame(scene);
    ASSERT_EQ(turned->SetOrientation(scene, 1, 0, 0, 0, 1, 0), D3DRM_OK);
    // About the turned frame's +z, i.e. the scene's +x.
    ASSERT_EQ(box->SetRotation(turned, 0, 0, 1, kQuarter), D3DRM_OK);
    D3DVECTOR axis;
    float theta;
    ASSERT_EQ(box->GetRotation(scene, &axis, &theta), D3DRM_OK);
    ExpectNear(axis, 1, 0, 0);
    EXPECT_FLOAT_EQ(theta, kQuarter);
    // Turning the reference afterwards does not move the axis.
    ASSERT_EQ(turned->SetOrientation(scene, 0, 0, 1, 0, 1, 0), D3DRM_OK);
    ASSERT_EQ(scene->Move(1.0f), D3DRM_OK);
    D3DVECTOR dir, up;
    ASSERT_EQ(box->GetOrientation(scene, &dir, &up), D3DRM_OK);
    ExpectNear(dir, 0, -1, 0);
    ExpectNear(up, 0, 0, 1);
    box->Release();
    turned->Release();
    scene->Release();
}

TEST_F(FrameTest, ParentMotionCarriesChildren) {
    IDirect3DRMFrame2* scene = NewFrame(nullptr);
    IDirect3DRMFrame2* parent = NewFrame(scene);
    IDirect3DRMFrame2* child = NewFrame(parent);
    ASSERT_EQ(parent->SetPosition(scene, 10, 0, 0), D3DRM_OK);
    ASSERT_EQ(parent->SetVelocity(scene, 1, 0, 0, FALSE), D3DRM_OK);
    ASSERT_EQ(parent->SetRotation(scene, 0, 1, 0, kQuarter), D3DRM_OK);
    ASSERT_EQ(child->SetPosition(parent, 0, 0, 5), D3DRM_OK);
    ASSERT_EQ(child->SetVelocity(parent, 0, 2, 0, FALSE), D3DRM_OK);
    ASSERT_EQ(scene->Move(1.0f), D3DRM_OK);
    // The parent went to (11, 0, 0) and turned its +z to the scene's +x,
    // taking the child's (0, 2, 5) with it.
    D3DVECTOR p;
    ASSERT_EQ(child->GetPosition(scene, &p), D3DRM_OK);
    ExpectNear(p, 16, 2, 0);
    ASSERT_EQ(child->GetPosition(parent, &p), D3DRM_OK);
    ExpectNear(p, 0, 2, 5);
    // Moving only the child leaves the parent where it is.
    ASSERT_EQ(child->Move(1.0f), D3DRM_OK);
    ASSERT_EQ(parent->GetPosition(scene, &p), D3DRM_OK);
    ExpectNear(p, 11, 0, 0);
    child->Release();
    parent->Release();
    scene->Release();
}

TEST_F(FrameTest, PositionsReadRelativeToAnyFrame) {
    IDirect3DRMFrame2* scene = NewFrame(nullptr);
    IDirect3DRMFrame2* a = NewFrame(scene);
    IDirect3DRMFrame2* b = NewFrame(scene);
    ASSERT_EQ(a->SetPosition(scene, 10, 0, 0), D3DRM_OK);
    ASSERT_EQ(a->SetOrientation(scene, 1, 0, 0, 0, 1, 0), D3DRM_OK);  // a's +x is the scene's -z
    ASSERT_EQ(b->SetPosition(scene, 10, 0, 5), D3DRM_OK);
    D3DVECTOR p;
    ASSERT_EQ(b->GetPosition(a, &p), D3DRM_OK);
    ExpectNear(p, -5, 0, 0);
    ASSERT_EQ(b->SetPosition(a, 0, 3, 2), D3DRM_OK);
    ASSERT_EQ(b->GetPosition(scene, &p), D3DRM_OK);
    ExpectNear(p, 12, 3, 0);
    // A null reference is world space, the scene root's own here.
    ASSERT_EQ(b->GetPosition(nullptr, &p), D3DRM_OK);
    ExpectNear(p, 12, 3, 0);
    ASSERT_EQ(a->GetPosition(a, &p), D3DRM_OK);
    ExpectNear(p, 0, 0, 0);
    b->Release();
    a->Release();
    scene->Release();
}

struct OrientationCase {
    const char* name;
    D3DVECTOR dir, up;
    HRESULT result;
    D3DVECTOR readDir, readUp;

    friend void PrintTo(const OrientationCase& c, std::ostream* os) { *os << c.name; }
};

class OrientationTest : public RetainedModeTest, public ::testing::WithParamInterface<OrientationCase> {};

TEST_P(OrientationTest, ReadsBackNormalisedAndPerpendicular) {
    const OrientationCase& c = GetParam();
    IDirect3DRMFrame2* scene = NewFrame(nullptr);
    IDirect3DRMFrame2* frame = NewFrame(scene);
    ASSERT_EQ(frame->SetOrientation(scene, 0, 1, 0, 0, 0, -1), D3DRM_OK);
    EXPECT_EQ(frame->SetOrientation(scene, c.dir.x, c.dir.y, c.dir.z, c.up.x, c.up.y, c.up.z), c.result);
    D3DVECTOR dir, up;
    ASSERT_EQ(frame->GetOrientation(scene, &dir, &up), D3DRM_OK);
    ExpectNear(dir, c.readDir.x, c.readDir.y, c.readDir.z);
    ExpectNear(up, c.readUp.x, c.readUp.y, c.readUp.z);
    frame->Release();
    scene->Release();
}

INSTANTIATE_TEST_SUITE_P(
    Orientations, OrientationTest,
    ::testing::Values(
        OrientationCase{"Default", {0, 0, 1}, {0, 1, 0}, D3DRM_OK, {0, 0, 1}, {0, 1, 0}},
        OrientationCase{"LongDirection", {0, 0, 4}, {0, 2, 0}, D3DRM_OK, {0, 0, 1}, {0, 1, 0}},
        OrientationCase{"Diagonal", {1, 0, 1}, {0, 1, 0}, D3DRM_OK, {kHalfRoot, 0, kHalfRoot}, {0, 1, 0}},
        OrientationCase{"UpMadePerpendicular", {0, 0, 1}, {0, 1, 1}, D3DRM_OK, {0, 0, 1}, {0, 1, 0}},
        OrientationCase{"UpsideDown", {0, 0, 1}, {0, -1, 0}, D3DRM_OK, {0, 0, 1}, {0, -1, 0}},
        // Refused: the previous orientation stays.
        OrientationCase{"ZeroDirection", {0, 0, 0}, {0, 1, 0}, D3DRMERR_BADVALUE, {0, 1, 0}, {0, 0, -1}},
        OrientationCase{"UpAlongDirection", {0, 0, 1}, {0, 0, 3}, D3DRMERR_BADVALUE, {0, 1, 0}, {0, 0, -1}},
        OrientationCase{"NotANumber", {NAN, 0, 1}, {0, 1, 0}, D3DRMERR_BADVALUE, {0, 1, 0}, {0, 0, -1}}),
    [](const ::testing::TestParamInfo<OrientationCase>& info) { return std::string(info.param.name); });

TEST_F(FrameTest, OrientationRelativeToATurnedFrame) {
    IDirect3DRMFrame2* scene = NewFrame(nullptr);
    IDirect3DRMFrame2* ref = NewFrame(scene);
    IDirect3DRMFrame2* frame = NewFrame(scene);
    ASSERT_EQ(ref->SetOrientation(scene, 1, 0, 0, 0, 1, 0), D3DRM_OK);
    ASSERT_EQ(frame->SetOrientation(ref, 0, 0, 1, 0, 1, 0), D3DRM_OK);
    D3DVECTOR dir, up;
    ASSERT_EQ(frame->GetOrientation(scene, &dir, &up), D3DRM_OK);
    ExpectNear(dir, 1, 0, 0);
    ExpectNear(up, 0, 1, 0);
    ASSERT_EQ(frame->GetOrientation(ref, &dir, &up), D3DRM_OK);
    ExpectNear(dir, 0, 0, 1);
    ExpectNear(up, 0, 1, 0);
    frame->Release();
    ref->Release();
    scene->Release();
}

TEST_F(FrameTest, VelocityTurnsWithTheFrameOnlyWhenAsked) {
    IDirect3DRMFrame2* scene = NewFrame(nullptr);
    IDirect3DRMFrame2* fixed = NewFrame(scene);
    IDirect3DRMFrame2* turning = NewFrame(scene);
    for (IDirect3DRMFrame2* frame : {fixed, turning})
        ASSERT_EQ(frame->SetRotation(scene, 0, 1, 0, kQuarter), D3DRM_OK);
    ASSERT_EQ(fixed->SetVelocity(scene, 0, 0, 1, FALSE), D3DRM_OK);
    ASSERT_EQ(turning->SetVelocity(scene, 0, 0, 1, TRUE), D3DRM_OK);
    ASSERT_EQ(scene->Move(1.0f), D3DRM_OK);
    ASSERT_EQ(scene->Move(1.0f), D3DRM_OK);
    D3DVECTOR p, v;
    ASSERT_EQ(fixed->GetPosition(scene, &p), D3DRM_OK);
    ExpectNear(p, 0, 0, 2);
    ASSERT_EQ(turning->GetPosition(scene, &p), D3DRM_OK);
    ExpectNear(p, 1, 0, 1);
    ASSERT_EQ(turning->GetVelocity(scene, &v, TRUE), D3DRM_OK);
    ExpectNear(v, 0, 0, -1);
    turning->Release();
    fixed->Release();
    scene->Release();
}

TEST_F(FrameTest, LongTurningKeepsTheAxesUnitAndPerpendicular) {
    IDirect3DRMFrame2* scene = NewFrame(nullptr);
    IDirect3DRMFrame2* box = NewFrame(scene);
    ASSERT_EQ(box->SetRotation(scene, 1, -1, 1, 0.0872664626f), D3DRM_OK);
    for (int step = 0; step < 100000; ++step) ASSERT_EQ(scene->Move(1.0f), D3DRM_OK);
    D3DVECTOR dir, up;
    ASSERT_EQ(box->GetOrientation(scene, &dir, &up), D3DRM_OK);
    EXPECT_NEAR(dir.x * dir.x + dir.y * dir.y + dir.z * dir.z, 1.0f, 1e-5f);
    EXPECT_NEAR(up.x * up.x + up.y * up.y + up.z * up.z, 1.0f, 1e-5f);
    EXPECT_NEAR(dir.x * up.x + dir.y * up.y + dir.z * up.z, 0.0f, 1e-5f);
    box->Release();
    scene->Release();
}

TEST_F(FrameTest, RefusedMotionValuesChangeNothing) {
    IDirect3DRMFrame2* scene = NewFrame(nullptr);
    IDirect3DRMFrame2* box = NewFrame(scene);
    ASSERT_EQ(box->SetRotation(scene, 0, 1, 0, 0.5f), D3DRM_OK);
    EXPECT_EQ(box->SetRotation(scene, 0, 0, 0, 0.5f), D3DRMERR_BADVALUE);
    EXPECT_EQ(box->SetRotation(scene, 0, 1, 0, INFINITY), D3DRMERR_BADVALUE);
    EXPECT_EQ(box->SetVelocity(scene, NAN, 0, 0, FALSE), D3DRMERR_BADVALUE);
    EXPECT_EQ(box->SetPosition(scene, 0, INFINITY, 0), D3DRMERR_BADVALUE);
    EXPECT_EQ(scene->Move(NAN), D3DRMERR_BADVALUE);
    D3DVECTOR axis;
    float theta;
    ASSERT_EQ(box->GetRotation(scene, &axis, &theta), D3DRM_OK);
    ExpectNear(axis, 0, 1, 0);
    EXPECT_EQ(theta, 0.5f);
    // A zero axis with a zero angle stops the turning.
    EXPECT_EQ(box->SetRotation(scene, 0, 0, 0, 0.0f), D3DRM_OK);
    ASSERT_EQ(box->GetRotation(scene, &axis, &theta), D3DRM_OK);
    EXPECT_EQ(theta, 0.0f);
    box->Release();
    scene->Release();
}

TEST_F(FrameTest, ParentsHoldTheirChildrenWithoutCycles) {
    IDirect3DRMFrame2* scene = NewFrame(nullptr);
    IDirect3DRMFrame2* child = NewFrame(scene);
    IDirect3DRMFrame2* grandchild = NewFrame(child);
    EXPECT_EQ(child->AddRef(), 3u);  // the caller's two and the parent's
    EXPECT_EQ(child->Release(), 2u);
    EXPECT_EQ(scene->AddChild(scene), D3DRMERR_BADVALUE);
    EXPECT_EQ(grandchild->AddChild(scene), D3DRMERR_BADVALUE);

    IDirect3DRMFrameArray* children = nullptr;
    ASSERT_EQ(scene->GetChildren(&children), D3DRM_OK);
    ASSERT_EQ(children->GetSize(), 1u);
    IDirect3DRMFrame* element = nullptr;
    ASSERT_EQ(children->GetElement(0, &element), D3DRM_OK);
    EXPECT_EQ(element, static_cast<IDirect3DRMFrame*>(child));
    element->Release();
    EXPECT_EQ(children->GetElement(1, &element), D3DRMERR_BADVALUE);
    children->Release();

    // Moving the grandchild under the scene takes it from its old parent.
    ASSERT_EQ(scene->AddChild(grandchild), D3DRM_OK);
    IDirect3DRMFrame* parent = nullptr;
    ASSERT_EQ(grandchild->GetParent(&parent), D3DRM_OK);
    EXPECT_EQ(parent, static_cast<IDirect3DRMFrame*>(scene));
    parent->Release();
    ASSERT_EQ(child->GetChildren(&children), D3DRM_OK);
    EXPECT_EQ(children->GetSize(), 0u);
    children->Release();

    // A released parent leaves its children as roots.
    scene->Release();
    ASSERT_EQ(child->GetParent(&parent), D3DRM_OK);
    EXPECT_EQ(parent, nullptr);
    EXPECT_EQ(child->Move(1.0f), D3DRM_OK);
    grandchild->Release();
    child->Release();
}

TEST_F(FrameTest, FramesHoldTheirLightsAndVisuals) {
    IDirect3DRMFrame2* scene = NewFrame(nullptr);
    IDirect3DRMLight* light = nullptr;
    ASSERT_EQ(rm->CreateLightRGB(D3DRMLIGHT_AMBIENT, 0.1f, 0.2f, 0.3f, &light), D3DRM_OK);
    IDirect3DRMMeshBuilder2* builder = nullptr;
    ASSERT_EQ(rm->CreateMeshBuilder(&builder), D3DRM_OK);
    ASSERT_EQ(scene->AddLight(light), D3DRM_OK);
    ASSERT_EQ(scene->AddLight(light), D3DRM_OK);  // once only
    ASSERT_EQ(scene->AddVisual(builder), D3DRM_OK);
    EXPECT_EQ(light->Release(), 1u);
    EXPECT_EQ(builder->Release(), 1u);

    IDirect3DRMLightArray* lights = nullptr;
    ASSERT_EQ(scene->GetLights(&lights), D3DRM_OK);
    ASSERT_EQ(lights->GetSize(), 1u);
    ASSERT_EQ(lights->GetElement(0, &light), D3DRM_OK);
    EXPECT_EQ(light->GetType(), D3DRMLIGHT_AMBIENT);
    EXPECT_EQ(light->GetColor(), 0xFF19334Cu);
    light->Release();
    lights->Release();
    IDirect3DRMVisualArray* visuals = nullptr;
    ASSERT_EQ(scene->GetVisuals(&visuals), D3DRM_OK);
    EXPECT_EQ(visuals->GetSize(), 1u);
    visuals->Release();
    scene->Release();
}

struct LightCase {
    D3DRMLIGHTTYPE type;
    HRESULT result;
};

class LightTypeTest : public RetainedModeTest, public ::testing::WithParamInterface<LightCase> {};

TEST_P(LightTypeTest, OnlyAmbientAndDirectionalLightsExist) {
    IDirect3DRMLight* light = reinterpret_cast<IDirect3DRMLight*>(&light);
    EXPECT_EQ(rm->CreateLightRGB(GetParam().type, 1, 1, 1, &light), GetParam().result);
    EXPECT_EQ(light != nullptr, GetParam().result == D3DRM_OK);
    if (light != nullptr) light->Release();
}

INSTANTIATE_TEST_SUITE_P(Types, LightTypeTest,
                         ::testing::Values(LightCase{D3DRMLIGHT_AMBIENT, D3DRM_OK},
                                           LightCase{D3DRMLIGHT_DIRECTIONAL, D3DRM_OK},
                                           LightCase{D3DRMLIGHT_POINT, D3DRMERR_BADVALUE},
                                           LightCase{D3DRMLIGHT_SPOT, D3DRMERR_BADVALUE},
                                           LightCase{D3DRMLIGHT_PARALLELPOINT, D3DRMERR_BADVALUE}));

}  // namespace
