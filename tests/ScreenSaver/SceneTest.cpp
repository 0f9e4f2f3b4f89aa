// The scene as the saver builds it, read back through the Retained Mode objects.
#include <SDL.h>
#include <gmock/gmock.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "Platform/Win32/Win32Extensions.h"
#include "ScreenSaver/CommandLineWords.h"
#include "ScreenSaver/DefaultTexture.h"
#include "ScreenSaver/SaverOptions.h"
#include "tests/ScreenSaver/SaverSceneSupport.h"
#include "tests/Support/DebugCapture.h"
#include "tests/Support/DxCounts.h"

namespace {

IDirect3DRMFrame* ParentOf(IDirect3DRMFrame* frame) {
    IDirect3DRMFrame* parent = nullptr;
    frame->GetParent(&parent);
    if (parent) parent->Release();
    return parent;
}

// The box's one mesh; the frame holds it.
IDirect3DRMMesh* BoxMesh() {
    IDirect3DRMVisualArray* visuals = nullptr;
    if (BoxFrame->GetVisuals(&visuals) != D3DRM_OK) return nullptr;
    IDirect3DRMVisual* visual = nullptr;
    if (visuals->GetSize() == 1) visuals->GetElement(0, &visual);
    visuals->Release();
    IDirect3DRMMesh* mesh = nullptr;
    if (visual) {
        mesh = dynamic_cast<IDirect3DRMMesh*>(visual);
        visual->Release();
    }
    return mesh;
}

// Each face's texture, as the texel at the image's centre.
std::vector<std::uint32_t> FaceTextureCentres() {
    std::vector<std::uint32_t> centres;
    IDirect3DRMMesh* mesh = BoxMesh();
    if (!mesh) return centres;
    IDirect3DRMFaceArray* faces = nullptr;
    mesh->GetFaces(&faces);
    for (DWORD i = 0; i < faces->GetSize(); ++i) {
        IDirect3DRMFace* face = nullptr;
        faces->GetElement(i, &face);
        IDirect3DRMTexture* texture = nullptr;
        face->GetTexture(&texture);
        std::uint32_t centre = 0xDEADBEEF;
        if (texture) {
            const D3DRMIMAGE* image = texture->GetImage();
            const auto* row = static_cast<const std::uint8_t*>(image->buffer1) +
                              static_cast<std::size_t>(image->height / 2) * image->bytes_per_line;
            centre = reinterpret_cast<const std::uint32_t*>(row)[image->width / 2] & 0xFFFFFF;
            texture->Release();
        }
        centres.push_back(centre);
        face->Release();
    }
    faces->Release();
    return centres;
}

std::uint32_t DefaultCentre() {
    const D3DRMIMAGE* image = DefaultTextureImage();
    return static_cast<const std::uint32_t*>(image->buffer1)[128 * 256 + 128] & 0xFFFFFF;
}

// A 64 x 64 bitmap in one colour at `path`.
void WriteSolidBitmap(const std::string& path, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, 64, 64, 24, SDL_PIXELFORMAT_BGR24);
    ASSERT_NE(surface, nullptr);
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, r, g, b));
    ASSERT_EQ(SDL_SaveBMP(surface, path.c_str()), 0);
    SDL_FreeSurface(surface);
}

struct SpeedCase {
    const char* setting;  // null: no key
    double speed;
    const char* option = nullptr;  // the command line's --speed, which wins; null: none
};

class SpeedTest : public SaverSceneTest, public testing::WithParamInterface<SpeedCase> {};

TEST_P(SpeedTest, ClampsTheSettingToOneToTen) {
    if (GetParam().setting) WriteSetting("SS_SECTION", "SPEED", GetParam().setting);
    HostOverrides overrides;
    if (GetParam().option)
        overrides =
            ReadSaverOptions(("--root --speed " + std::string(GetParam().option)).c_str(), "1").overrides;
    ASSERT_EQ(StartSaver(overrides), 1);
    EXPECT_EQ(Speed, GetParam().speed);
    D3DVECTOR axis{};
    D3DVALUE theta = 0;
    BoxFrame->GetRotation(SceneFrame, &axis, &theta);
    EXPECT_FLOAT_EQ(theta, static_cast<float>(GetParam().speed * 3.14159265359 / 180));
}

INSTANTIATE_TEST_SUITE_P(Settings, SpeedTest,
                         testing::Values(SpeedCase{nullptr, 5}, SpeedCase{"7", 7}, SpeedCase{"0", 1},
                                         SpeedCase{"-3", 1}, SpeedCase{"fast", 1}, SpeedCase{"11", 10},
                                         SpeedCase{"250", 10}, SpeedCase{"10", 10}, SpeedCase{"1", 1},
                                         SpeedCase{"7", 2, "2"}, SpeedCase{nullptr, 10, "10"},
                                         SpeedCase{"7", 1, "0"}, SpeedCase{"3", 10, "11"},
                                         SpeedCase{"3", 1, "-4"}, SpeedCase{"3", 10, "99999999999999999999"}),
                         [](const testing::TestParamInfo<SpeedCase>& info) {
                             return "case" + std::to_string(info.index);
                         });

TEST_F(SaverSceneTest, FramesHangBelowTheSceneRootWhereTheyBelong) {
    ASSERT_EQ(StartSaver(), 1);
    EXPECT_EQ(ParentOf(SceneFrame), nullptr);
    EXPECT_EQ(ParentOf(CameraFrame), SceneFrame);
    EXPECT_EQ(ParentOf(BoxFrame), SceneFrame);

    D3DVECTOR position{}, direction{}, up{};
    CameraFrame->GetPosition(SceneFrame, &position);
    ExpectVector(position, 0, 0, 0);
    CameraFrame->GetOrientation(SceneFrame, &direction, &up);
    ExpectVector(direction, 0, 0, 1);
    ExpectVector(up, 0, 1, 0);

    BoxFrame->GetPosition(SceneFrame, &position);
    ExpectVector(position, 0, 0, 100);
    BoxFrame->GetOrientation(SceneFrame, &direction, &up);
    ExpectVector(direction, 0, 0, 1);
    ExpectVector(up, 0, 1, 0);
    D3DVECTOR axis{};
    D3DVALUE theta = 0;
    BoxFrame->GetRotation(SceneFrame, &axis, &theta);
    EXPECT_NEAR(axis.x, 0, 1e-6);
    EXPECT_GT(axis.y, 0);
    EXPECT_NEAR(axis.z, 0, 1e-6);
    EXPECT_FLOAT_EQ(theta, 0.0872664600610733f);
}

TEST_F(SaverSceneTest, AmbientLightOnTheRootAndADirectionalOneOnItsOwnFrame) {
    ASSERT_EQ(StartSaver(), 1);
    IDirect3DRMLightArray* lights = nullptr;
    ASSERT_EQ(SceneFrame->GetLights(&lights), D3DRM_OK);
    ASSERT_EQ(lights->GetSize(), 1u);
    IDirect3DRMLight* light = nullptr;
    lights->GetElement(0, &light);
    EXPECT_EQ(light->GetType(), D3DRMLIGHT_AMBIENT);
    light->Release();
    lights->Release();

    IDirect3DRMFrameArray* children = nullptr;
    ASSERT_EQ(SceneFrame->GetChildren(&children), D3DRM_OK);
    ASSERT_EQ(children->GetSize(), 3u);
    int directional = 0;
    for (DWORD i = 0; i < children->GetSize(); ++i) {
        IDirect3DRMFrame* child = nullptr;
        children->GetElement(i, &child);
        IDirect3DRMLightArray* childLights = nullptr;
        child->GetLights(&childLights);
        for (DWORD j = 0; j < childLights->GetSize(); ++j) {
            childLights->GetElement(j, &light);
            if (light->GetType() == D3DRMLIGHT_DIRECTIONAL && child != CameraFrame && child != BoxFrame)
                ++directional;
            light->Release();
        }
        childLights->Release();
        child->Release();
    }
    children->Release();
    EXPECT_EQ(directional, 1);
}

// Face order: the face towards the camera first, then right, left, back, top, bottom.
constexpr D3DVECTOR kNormals[6] = {{0, 0, -1}, {1, 0, 0}, {-1, 0, 0}, {0, 0, 1}, {0, 1, 0}, {0, -1, 0}};
constexpr D3DVALUE kUV[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};

float Dot(const D3DVECTOR& a, const D3DVECTOR& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

D3DVECTOR Minus(const D3DVECTOR& a, const D3DVECTOR& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

D3DVECTOR Cross(const D3DVECTOR& a, const D3DVECTOR& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// Checked by what makes a box of edge 4 about the frame's origin, not by a
// copy of the corner table: each corner is a vertex of the cube, lies on its
// face's outer plane, and the corners run clockwise seen from outside.
TEST_F(SaverSceneTest, TheBoxMeshIsAClosedCubeOfFrontFaces) {
    // Faces start white, so only a box of another colour shows that its
    // colour was set: each component times 255, cut toward zero.
    const double mixed[4] = {0.5, 0.25, 0.999, 1};
    std::copy(std::begin(mixed), std::end(mixed), BoxColor);
    ASSERT_EQ(StartSaver(), 1);
    IDirect3DRMMesh* mesh = BoxMesh();
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->GetFaceCount(), 6u);
    EXPECT_EQ(mesh->GetVertexCount(), 24u);
    EXPECT_EQ(mesh->GetNormalCount(), 6u);
    IDirect3DRMFaceArray* faces = nullptr;
    ASSERT_EQ(mesh->GetFaces(&faces), D3DRM_OK);
    ASSERT_EQ(faces->GetSize(), 6u);
    for (DWORD f = 0; f < 6; ++f) {
        SCOPED_TRACE("face " + std::to_string(f + 1));
        IDirect3DRMFace* face = nullptr;
        faces->GetElement(f, &face);
        ASSERT_EQ(face->GetVertexCount(), 4);
        EXPECT_EQ(face->GetColor(), 0xFF7F3FFEu);
        D3DVECTOR corners[4]{};
        for (DWORD k = 0; k < 4; ++k) {
            D3DVECTOR normal{};
            face->GetVertex(k, &corners[k], &normal);
            ExpectVector(normal, kNormals[f].x, kNormals[f].y, kNormals[f].z);
            for (const float c : {corners[k].x, corners[k].y, corners[k].z}) EXPECT_EQ(std::fabs(c), 2.0f);
            EXPECT_EQ(Dot(corners[k], kNormals[f]), 2.0f);
            EXPECT_EQ(face->GetVertexIndex(k), static_cast<int>(4 * f + k));
            EXPECT_EQ(face->GetNormalIndex(k), static_cast<int>(f));
            D3DVALUE u = -1, v = -1;
            face->GetTextureCoordinates(k, &u, &v);
            EXPECT_EQ(u, kUV[k][0]);
            EXPECT_EQ(v, kUV[k][1]);
        }
        // Corners 0, 1, 2 and 0, 2, 3 both turn towards the outward normal,
        // which also makes the four corners distinct.
        EXPECT_GT(Dot(Cross(Minus(corners[1], corners[0]), Minus(corners[2], corners[0])), kNormals[f]),
                  0.0f);
        EXPECT_GT(Dot(Cross(Minus(corners[2], corners[0]), Minus(corners[3], corners[0])), kNormals[f]),
                  0.0f);
        // The picture's top-left corner sits at the camera's top right of the near face.
        if (f == 0) ExpectVector(corners[0], 2, 2, -2);
        face->Release();
    }
    faces->Release();
}

TEST_F(SaverSceneTest, TheBoxIsOpaqueWhiteUnlessItsColourIsChanged) {
    ASSERT_EQ(StartSaver(), 1);
    IDirect3DRMMesh* mesh = BoxMesh();
    ASSERT_NE(mesh, nullptr);
    IDirect3DRMFaceArray* faces = nullptr;
    ASSERT_EQ(mesh->GetFaces(&faces), D3DRM_OK);
    for (DWORD f = 0; f < faces->GetSize(); ++f) {
        IDirect3DRMFace* face = nullptr;
        faces->GetElement(f, &face);
        EXPECT_EQ(face->GetColor(), 0xFFFFFFFFu) << "face " << f + 1;
        face->Release();
    }
    faces->Release();
}

TEST_F(SaverSceneTest, WithoutATextureSettingTheBoxShows123BmpOfTheWorkingDirectory) {
    const std::filesystem::path before = std::filesystem::current_path();
    const struct {
        const char* directory;  // the working directory, under the test's own
        bool has123Bmp;
    } cases[] = {{"with", true}, {"without", false}};
    for (const auto& c : cases) {
        const std::filesystem::path directory = std::filesystem::path(configDir_) / c.directory;
        std::filesystem::create_directory(directory);
        if (c.has123Bmp) WriteSolidBitmap((directory / "123.bmp").string(), 0x31, 0x62, 0x93);
        std::filesystem::current_path(directory);
        ASSERT_EQ(StartSaver(), 1);
        EXPECT_EQ(FaceTextureCentres(),
                  std::vector<std::uint32_t>(6, c.has123Bmp ? 0x316293u : DefaultCentre()))
            << c.directory;
        StopSaver();
    }
    std::filesystem::current_path(before);
}

TEST_F(SaverSceneTest, AMissingTextureGivesEveryFaceTheBuiltInOne) {
    WriteSetting("SETTING", "FILENAME", (configDir_ + "/no-such.bmp").c_str());
    ASSERT_EQ(StartSaver(), 1);
    EXPECT_EQ(FaceTextureCentres(), std::vector<std::uint32_t>(6, DefaultCentre()));
}

TEST_F(SaverSceneTest, TheTextureNamedInTheSettingsCoversEveryFace) {
    const std::string path = configDir_ + "/painted.bmp";
    WriteSolidBitmap(path, 0x12, 0xC4, 0x56);
    WriteSetting("SETTING", "FILENAME", path.c_str());
    ASSERT_EQ(StartSaver(), 1);
    EXPECT_EQ(FaceTextureCentres(), std::vector<std::uint32_t>(6, 0x12C456u));
}

TEST_F(SaverSceneTest, TheTextureOnTheCommandLineWinsOverTheSettingsOnes) {
    const std::string given = configDir_ + "/My Pictures/given.bmp";
    std::filesystem::create_directories(configDir_ + "/My Pictures");
    WriteSolidBitmap(configDir_ + "/painted.bmp", 0x12, 0xC4, 0x56);
    WriteSolidBitmap(given, 0xA0, 0x30, 0x70);
    WriteSetting("SETTING", "FILENAME", (configDir_ + "/painted.bmp").c_str());
    const char* const arguments[] = {"--root", "--texture", given.c_str()};
    ASSERT_EQ(StartSaver(ReadSaverOptions(JoinArguments(3, arguments).c_str(), "1").overrides), 1);
    EXPECT_EQ(FaceTextureCentres(), std::vector<std::uint32_t>(6, 0xA03070u));
}

// Asked for by name, a texture that cannot be worn is told, once; the
// settings' own falls back without a word, as designed.
TEST_F(SaverSceneTest, AnUnusableTextureOnTheCommandLineIsToldAndTheBuiltInOneShows) {
    const std::string text = configDir_ + "/notes.bmp";
    std::ofstream(text) << "not a picture";
    const struct {
        std::optional<std::string> option;
        std::string said;
    } cases[] = {
        {configDir_ + "/no-such.bmp", configDir_ + "/no-such.bmp: " + std::strerror(ENOENT)},
        {configDir_, configDir_ + ": it is a directory"},
        {"/dev/null", "/dev/null: it is not a regular file"},
        {text, text + ": it is not a bitmap (BMP) the saver can read"},
        {std::nullopt, ""},
    };
    WriteSetting("SETTING", "FILENAME", (configDir_ + "/no-such.bmp").c_str());
    for (const auto& c : cases) {
        int built = 0;
        const std::string said = CapturedUnheard([&] {
            StartRendering();
            built =
                BuildScene(HostOverrides{.speed = std::nullopt, .texture = c.option, .showFrameRate = false});
        });
        ASSERT_EQ(built, 1);
        const std::string expected =
            c.option ? "vantel: cannot use the texture " + c.said + "; the built-in texture shows instead\n"
                     : "";
        EXPECT_EQ(said, expected);
        EXPECT_EQ(FaceTextureCentres(), std::vector<std::uint32_t>(6, DefaultCentre())) << c.said;
        StopSaver();
    }
}

TEST_F(SaverSceneTest, ATextureNameIsCutTo255Characters) {
    // A path of exactly 255 characters names the bitmap; the setting carries
    // more characters after it, which the saver must not read.
    std::string dir = configDir_;
    while (dir.size() < 255 - 60) dir += "/" + std::string(40, 'd');
    std::filesystem::create_directories(dir);
    std::string path = dir + "/";
    path += std::string(255 - path.size() - 4, 't') + ".bmp";
    ASSERT_EQ(path.size(), 255u);
    WriteSolidBitmap(path, 0x20, 0x40, 0x80);
    WriteSetting("SETTING", "FILENAME", (path + std::string(45, 'x')).c_str());
    ASSERT_EQ(StartSaver(), 1);
    EXPECT_EQ(FaceTextureCentres(), std::vector<std::uint32_t>(6, 0x204080u));
}

TEST_F(SaverSceneTest, RenderingTurnsActiveOnlyWhenTheSceneIsComplete) {
    Captured([] { StartRendering(); });
    EXPECT_EQ(RZXState.active, 0);
    // Each step of the construction that reaches the 3D services, the box's
    // mesh builder and texture last, still finds rendering off.
    std::vector<DxCall> steps, stepsWhileActive;
    DxFault::WatchCalls([&](DxCall call) {
        steps.push_back(call);
        if (RZXState.active) stepsWhileActive.push_back(call);
    });
    int built = 0;
    Captured([&] { built = BuildScene(); });
    EXPECT_EQ(built, 1);
    EXPECT_THAT(steps, testing::IsSupersetOf({DxCall::RM_CreateFrame, DxCall::RM_CreateViewport,
                                              DxCall::RM_CreateLightRGB, DxCall::RM_CreateMeshBuilder,
                                              DxCall::RM_LoadTexture}));
    EXPECT_THAT(stepsWhileActive, testing::IsEmpty());
    EXPECT_EQ(RZXState.active, 1);
}

struct BuildFailure {
    const char* name;
    DxCall call;    // fails at its first call
    bool released;  // the rendering layer was released with it
    const char* report;

    friend void PrintTo(const BuildFailure& failure, std::ostream* os) { *os << failure.name; }
};

class BuildFailureTest : public SaverSceneTest, public testing::WithParamInterface<BuildFailure> {};

TEST_P(BuildFailureTest, EndsTheBuildWithRenderingOff) {
    DxFault::FailCall(GetParam().call, D3DRMERR_BADVALUE);
    int built = 1;
    const std::string trace = Captured([&] {
        StartRendering();
        built = BuildScene();
    });
    EXPECT_EQ(built, 0);
    EXPECT_EQ(RZXState.active, 0);
    EXPECT_EQ(RZXState.lpD3DRM == nullptr, GetParam().released);
    EXPECT_NE(trace.find(GetParam().report), std::string::npos);
    EXPECT_EQ(DxFault::CallCount(DxCall::RM_CreateLightRGB), 0);
    EXPECT_EQ(DxFault::CallCount(DxCall::RM_CreateMeshBuilder), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, BuildFailureTest,
    testing::Values(BuildFailure{"scene_root", DxCall::RM_CreateFrame, false, ""},
                    BuildFailure{
                        "viewport", DxCall::RM_CreateViewport, true,
                        "D3DRMERR_BADVALUE\nin file C:\\myproject\\Direct3d\\Rendal at line 1269\n"}),
    [](const testing::TestParamInfo<BuildFailure>& info) { return std::string(info.param.name); });

TEST_F(SaverSceneTest, WithoutAMeshBuilderTheBuildStillGivesBackItsReferenceToTheBoxFrame) {
    DxFault::FailCall(DxCall::RM_CreateMeshBuilder, D3DRMERR_BADALLOC);
    ASSERT_EQ(StartSaver(), 1);
    // Only the scene root holds the box frame.
    BoxFrame->AddRef();
    EXPECT_EQ(BoxFrame->Release(), 1u);
}

struct StartFailure {
    const char* name;
    DxCall call;
    const char* trace;  // what the saver itself writes last to the debug output
    const char* told;   // a pattern of what its line on standard error says failed

    friend void PrintTo(const StartFailure& failure, std::ostream* os) { *os << failure.name; }
};

// The trace's last words, then the saver's one line, which ends the output.
std::string EndOfOutput(const StartFailure& failure, const char* window) {
    return std::string(failure.trace) + "vantel: cannot draw" + window +
           " on display [^\n]*: " + failure.told + "\n$";
}

class StartRenderingDeathTest : public SaverSceneTest, public testing::WithParamInterface<StartFailure> {};

TEST_P(StartRenderingDeathTest, AFailedStartEndsTheProcessWithOne) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    DebugListener listener;
    DxFault::FailCall(GetParam().call, DDERR_GENERIC);
    EXPECT_EXIT(StartRendering(), testing::ExitedWithCode(1), EndOfOutput(GetParam(), ""));
}

// A host starts a saver that ends on its own again at once: in a host's
// window the same failure leaves rendering off and the process running.
TEST_P(StartRenderingDeathTest, InAHostsWindowItReturnsZeroInstead) {
    HostWindow = 0x2A00007;
    DxFault::FailCall(GetParam().call, DDERR_GENERIC);
    int started = 1;
    const std::string trace = Captured([&] { started = StartRendering(); });
    HostWindow = 0;
    EXPECT_EQ(started, 0);
    EXPECT_EQ(RZXState.active, 0);
    EXPECT_THAT(trace, testing::ContainsRegex(EndOfOutput(GetParam(), " into window 0x2a00007")));
}

INSTANTIATE_TEST_SUITE_P(
    Failures, StartRenderingDeathTest,
    testing::Values(StartFailure{"display", DxCall::DirectDrawCreate, "RZX:DDCreateError ",
                                 "creating DirectDraw failed with DDERR_GENERIC \\(site 438\\)"},
                    StartFailure{"retained_mode", DxCall::Direct3DRMCreate, "RZX:CreateDirect3DRM Error!!!! ",
                                 "creating the Retained Mode object failed with DDERR_GENERIC"}),
    [](const testing::TestParamInfo<StartFailure>& info) { return std::string(info.param.name); });

// What a WM_SIZE makes of the rendering: the whole layer again at the new
// size when it changed and rendering runs, nothing otherwise.
struct ResizeCase {
    const char* name;
    int width, height;
    bool stopped;       // rendering already given up before the message
    bool failToCreate;  // the new display cannot be made
    bool rendersAfter;
    int widthAfter, heightAfter;

    friend void PrintTo(const ResizeCase& c, std::ostream* os) { *os << c.name; }
};

class FollowSizeTest : public SaverSceneTest, public testing::WithParamInterface<ResizeCase> {};

TEST_P(FollowSizeTest, TheRenderingFollowsTheWindowAndTheSceneGoesOn) {
    const ResizeCase& c = GetParam();
    ASSERT_EQ(StartSaver(), 1);
    Captured([] {
        for (int i = 0; i < 5; ++i) MoveBox(), FrameTick();
    });
    D3DVECTOR before{};
    BoxFrame->GetPosition(SceneFrame, &before);
    if (c.stopped) Captured([] { RZXCleanup(); });
    if (c.failToCreate) DxFault::FailCall(DxCall::DirectDrawCreate, DDERR_GENERIC);
    const int creations = DxFault::CallCount(DxCall::DirectDrawCreate);

    SDL_SetWindowSize(Win32SdlWindow(MainWindow), c.width, c.height);
    const std::string trace = Captured([&] {
        SaverWndProc(MainWindow, WM_SIZE, SIZE_RESTORED, c.height << 16 | c.width);
        MoveBox();
        FrameTick();
    });

    EXPECT_EQ(RZXState.active, c.rendersAfter ? 1 : 0);
    EXPECT_EQ(RZXState.width, c.widthAfter);
    EXPECT_EQ(RZXState.height, c.heightAfter);
    const bool madeAgain = (c.width != 320 || c.height != 240) && !c.stopped;
    EXPECT_EQ(DxFault::CallCount(DxCall::DirectDrawCreate) - creations, madeAgain ? 1 : 0);
    if (c.rendersAfter) {
        const std::string viewport = "RZX:Viewport width:" + std::to_string(c.widthAfter) +
                                     " height:" + std::to_string(c.heightAfter) + "\n";
        EXPECT_EQ(trace.find(viewport) != std::string::npos, madeAgain) << trace;
        DDSURFACEDESC back{};
        back.dwSize = DDSURFACEDESC_SIZE;
        ASSERT_EQ(RZXState.lpDDSBack->GetSurfaceDesc(&back), DD_OK);
        EXPECT_EQ(back.dwWidth, static_cast<DWORD>(c.widthAfter));
        EXPECT_EQ(back.dwHeight, static_cast<DWORD>(c.heightAfter));
        // One more step from where the box was, not a new scene.
        D3DVECTOR after{};
        BoxFrame->GetPosition(SceneFrame, &after);
        EXPECT_NEAR(after.x, before.x + DirX * 0.1, 1e-4);
        EXPECT_NEAR(after.z, before.z + DirZ * 0.2, 1e-4);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, FollowSizeTest,
    testing::Values(ResizeCase{"larger", 640, 480, false, false, true, 640, 480},
                    ResizeCase{"smaller", 100, 60, false, false, true, 100, 60},
                    ResizeCase{"same", 320, 240, false, false, true, 320, 240},
                    ResizeCase{"stopped", 640, 480, true, false, false, 320, 240},
                    ResizeCase{"cannot_be_made", 640, 480, false, true, false, 640, 480}),
    [](const testing::TestParamInfo<ResizeCase>& info) { return std::string(info.param.name); });

}  // namespace
