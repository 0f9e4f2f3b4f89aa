// The scene: camera and viewport, two lights and the textured box.
#include "ScreenSaver/Scene.h"

#include <cstdio>
#include <optional>
#include <string>

#include "Direct3d/Rendal.h"
#include "Platform/Win32/Win32Extensions.h"
#include "ScreenSaver/BoxShape.h"
#include "ScreenSaver/Deepdr.h"
#include "ScreenSaver/DefaultTexture.h"
#include "ScreenSaver/TextureProblem.h"
#include "Settings/Settings.h"

IDirect3DRMFrame2* SceneFrame = nullptr;
IDirect3DRMFrame2* CameraFrame = nullptr;
IDirect3DRMFrame2* BoxFrame = nullptr;
double Speed = 5.0;
double BoxColor[4] = {1.0, 1.0, 1.0, 1.0};
IDirect3DRMTexture2* BoxTexture = nullptr;

namespace {

// The texture named on the command line or in the settings, or the
// built-in one when that file cannot be read, so no face is ever left with
// an undefined texture.
IDirect3DRMTexture2* LoadBoxTexture(IDirect3DRM2* rm, const std::optional<std::string>& given) {
    char fileName[vantel_settings::kSaverFileNameBufferSize];
    if (given) {
        fileName[given->copy(fileName, sizeof fileName - 1)] = '\0';
    } else {
        GetPrivateProfileStringA(vantel_settings::kSettingSection, vantel_settings::kFileNameKey,
                                 vantel_settings::kSaverDefaultFileName, fileName, sizeof fileName,
                                 vantel_settings::kIniFileName);
    }
    IDirect3DRMTexture2* texture = nullptr;
    // The settings' file may lie elsewhere while a save stalls (and take its
    // name as we read it).
    char readFrom[4096];
    const char* source =
        !given && Win32GetProfileFileToRead(fileName, readFrom, sizeof readFrom) > 0 ? readFrom : fileName;
    if (rm->LoadTexture(source, &texture) == D3DRM_OK ||
        (source != fileName && rm->LoadTexture(fileName, &texture) == D3DRM_OK))
        return texture;
    texture = nullptr;
    // Asked for on the command line, it is missed; the settings' file falls
    // back silently, as designed.
    if (given)
        std::fprintf(stderr, "vantel: cannot use the texture %s: %s; the built-in texture shows instead\n",
                     fileName, TextureFileProblem(fileName).c_str());
    if (rm->CreateTexture(DefaultTextureImage(), &texture) != D3DRM_OK) return nullptr;
    return texture;
}

void AddLights(IDirect3DRM2* rm) {
    IDirect3DRMLight* light = nullptr;
    if (rm->CreateLightRGB(D3DRMLIGHT_AMBIENT, 0.1f, 0.1f, 0.1f, &light) == D3DRM_OK) {
        SceneFrame->AddLight(light);
        light->Release();
    }
    IDirect3DRMFrame2* lightFrame = nullptr;
    if (rm->CreateFrame(SceneFrame, &lightFrame) != D3DRM_OK) return;
    light = nullptr;
    if (rm->CreateLightRGB(D3DRMLIGHT_DIRECTIONAL, 0.9f, 0.9f, 0.9f, &light) == D3DRM_OK) {
        lightFrame->AddLight(light);
        light->Release();
    }
    lightFrame->Release();
}

void BuildBoxFaces(IDirect3DRMMeshBuilder2* builder, IDirect3DRMTexture2* texture) {
    for (DWORD f = 0; f < 6; ++f) {
        IDirect3DRMFace* face = nullptr;
        if (builder->CreateFace(&face) != D3DRM_OK) continue;
        const box_shape::BoxFace& shape = box_shape::kBoxFaces[f];
        for (const box_shape::Corner& corner : shape.corners)
            builder->AddVertex(corner.x, corner.y, corner.z);
        builder->AddNormal(shape.normal.x, shape.normal.y, shape.normal.z);
        if (texture != nullptr) face->SetTexture(texture);
        for (DWORD k = 0; k < 4; ++k) {
            face->AddVertexAndNormalIndexed(4 * f + k, f);
            face->SetTextureCoordinates(k, box_shape::kCornerUV[k][0], box_shape::kCornerUV[k][1]);
        }
        face->Release();
    }
}

// The textured box as the box frame's visual.
void AddBoxMesh(IDirect3DRM2* rm, const std::optional<std::string>& texture) {
    IDirect3DRMMeshBuilder2* builder = nullptr;
    if (rm->CreateMeshBuilder(&builder) != D3DRM_OK) return;
    BoxTexture = LoadBoxTexture(rm, texture);
    BuildBoxFaces(builder, BoxTexture);
    builder->SetColor(BoxColorValue(BoxColor));
    IDirect3DRMMesh* mesh = nullptr;
    if (builder->CreateMesh(&mesh) == D3DRM_OK) {
        BoxFrame->AddVisual(mesh);
        mesh->Release();
    }
    builder->Release();
}

// The box frame with its mesh; the scene root keeps the frame.
void BuildBox(IDirect3DRM2* rm, const std::optional<std::string>& texture) {
    if (rm->CreateFrame(SceneFrame, &BoxFrame) != D3DRM_OK) {
        BoxFrame = nullptr;
        return;
    }
    BoxFrame->SetPosition(SceneFrame, 0, 0, 100.0f);
    BoxFrame->SetOrientation(SceneFrame, 0, 0, 1, 0, 1, 0);
    BoxFrame->SetRotation(SceneFrame, 0, 1.0f, 0, static_cast<D3DVALUE>(DegreesToRadians(Speed)));

    AddBoxMesh(rm, texture);
    // BoxFrame goes on addressing the frame that the scene root holds.
    BoxFrame->Release();
}

}  // namespace

D3DCOLOR BoxColorValue(const double color[4]) {
    const auto channel = [](double value) { return static_cast<DWORD>(value * 255.0); };
    return channel(color[3]) << 24 | channel(color[0]) << 16 | channel(color[1]) << 8 | channel(color[2]);
}

double ClampSpeed(int setting) {
    if (setting > 10) setting = 10;
    if (setting < 1) setting = 1;
    return setting;
}

namespace {

int ConstructScene(const HostOverrides& overrides) {
    Speed = ClampSpeed(overrides.speed
                           ? *overrides.speed
                           : static_cast<int>(GetPrivateProfileIntA(
                                 vantel_settings::kSaverSection, vantel_settings::kSpeedKey,
                                 vantel_settings::kSaverDefaultSpeed, vantel_settings::kIniFileName)));

    const HRESULT root = RZXState.lpD3DRM->CreateFrame(nullptr, &SceneFrame);
    if (root != D3DRM_OK) {
        SayDrawingStopped("creating the scene root", root);
        return 0;
    }
    if (RZXState.lpD3DRM->CreateFrame(SceneFrame, &CameraFrame) == D3DRM_OK) {
        CameraFrame->SetPosition(SceneFrame, 0, 0, 0);
        CameraFrame->SetOrientation(SceneFrame, 0, 0, 1, 0, 1, 0);
    }
    // A failed viewport has released the whole rendering layer, Retained Mode
    // object included: nothing below may run then.
    if (RZXViewport(CameraFrame) == 0) {
        SayDrawingStopped("creating the viewport");
        return 0;
    }

    AddLights(RZXState.lpD3DRM);
    BuildBox(RZXState.lpD3DRM, overrides.texture);
    RZXSetActive(1);
    return 1;
}

}  // namespace

int BuildScene(const HostOverrides& overrides) {
    // The speed, the texture's name and the texture come from one save of
    // the tool: its saves wait while the scene is built.
    Win32BeginProfileRead(vantel_settings::kIniFileName, vantel_settings::kReadWaitMilliseconds);
    const int built = ConstructScene(overrides);
    Win32EndProfileRead();
    return built;
}
