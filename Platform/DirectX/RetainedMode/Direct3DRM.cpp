// The Retained Mode object: the factory of frames, lights, mesh builders,
// textures, devices and viewports.
#include "Platform/DirectX/DxFault.h"
#include "Platform/DirectX/RetainedMode/Device.h"
#include "Platform/DirectX/RetainedMode/Frame.h"
#include "Platform/DirectX/RetainedMode/MeshBuilder.h"
#include "Platform/DirectX/RetainedMode/TextureFile.h"
#include "Platform/DirectX/RetainedMode/Viewport.h"

const IID IID_IDirect3DRM = {0x2BC49361, 0x8327, 0x11CF, {0xAC, 0x4A, 0x00, 0x00, 0xC0, 0x38, 0x25, 0xA1}};
const IID IID_IDirect3DRM2 = {0x4516ECC8, 0x8F20, 0x11D0, {0x9B, 0x6D, 0x00, 0x00, 0xC0, 0x78, 0x1B, 0xC3}};

namespace rm {

namespace {

class Direct3DRM final : public dx::ComObject<IDirect3DRM2> {
public:
    Direct3DRM() = default;

    HRESULT QueryInterface(REFIID riid, void** ppvObject) override {
        if (riid == IID_IDirect3DRM2 && ppvObject != nullptr) {
            if (const HRESULT fault = DxFault::Check(DxCall::RM_QueryDirect3DRM2)) {
                *ppvObject = nullptr;
                return fault;
            }
        }
        return Answer(riid, ppvObject, IID_IDirect3DRM, IID_IDirect3DRM2);
    }

    HRESULT CreateFrame(IDirect3DRMFrame* lpParent, IDirect3DRMFrame2** lplpFrame) override {
        if (const HRESULT fault = DxFault::Check(DxCall::RM_CreateFrame)) return fault;
        if (lplpFrame == nullptr) return D3DRMERR_BADVALUE;
        *lplpFrame = nullptr;
        Frame* parent = lpParent != nullptr ? Frame::From(lpParent) : nullptr;
        if (lpParent != nullptr && parent == nullptr) return D3DRMERR_BADOBJECT;
        Frame* frame = new Frame();
        if (parent != nullptr) parent->AddChild(frame);
        *lplpFrame = frame;
        return D3DRM_OK;
    }

    HRESULT CreateMeshBuilder(IDirect3DRMMeshBuilder2** lplpMeshBuilder) override {
        if (const HRESULT fault = DxFault::Check(DxCall::RM_CreateMeshBuilder)) return fault;
        if (lplpMeshBuilder == nullptr) return D3DRMERR_BADVALUE;
        *lplpMeshBuilder = new MeshBuilder();
        return D3DRM_OK;
    }

    HRESULT CreateLightRGB(D3DRMLIGHTTYPE type, D3DVALUE red, D3DVALUE green, D3DVALUE blue,
                           IDirect3DRMLight** lplpLight) override {
        if (const HRESULT fault = DxFault::Check(DxCall::RM_CreateLightRGB)) return fault;
        if (lplpLight == nullptr) return D3DRMERR_BADVALUE;
        *lplpLight = Light::Create(type, red, green, blue);
        return *lplpLight != nullptr ? D3DRM_OK : D3DRMERR_BADVALUE;
    }

    HRESULT LoadTexture(const char* lpFileName, IDirect3DRMTexture2** lplpTexture) override {
        if (const HRESULT fault = DxFault::Check(DxCall::RM_LoadTexture)) return fault;
        if (lplpTexture == nullptr) return D3DRMERR_BADVALUE;
        Texture* texture;
        const HRESULT result = LoadTextureFile(lpFileName, &texture);
        *lplpTexture = texture;
        return result;
    }

    HRESULT CreateTexture(D3DRMIMAGE* lpImage, IDirect3DRMTexture2** lplpTexture) override {
        if (lplpTexture == nullptr) return D3DRMERR_BADVALUE;
        *lplpTexture = lpImage != nullptr ? Texture::FromImage(*lpImage) : nullptr;
        return *lplpTexture != nullptr ? D3DRM_OK : D3DRMERR_BADVALUE;
    }

    HRESULT CreateDeviceFromD3D(IDirect3D2* lpD3D, IDirect3DDevice2* lpD3DDev,
                                IDirect3DRMDevice2** lplpD3DRMDevice) override {
        if (const HRESULT fault = DxFault::Check(DxCall::RM_CreateDeviceFromD3D)) return fault;
        if (lplpD3DRMDevice == nullptr) return D3DRMERR_BADVALUE;
        Device* device;
        const HRESULT result = Device::Create(lpD3D, lpD3DDev, &device);
        *lplpD3DRMDevice = device;
        return result;
    }

    HRESULT CreateViewport(IDirect3DRMDevice* lpDev, IDirect3DRMFrame* lpCamera, DWORD dwXPos, DWORD dwYPos,
                           DWORD dwWidth, DWORD dwHeight, IDirect3DRMViewport** lplpD3DRMViewport) override {
        if (const HRESULT fault = DxFault::Check(DxCall::RM_CreateViewport)) return fault;
        if (lplpD3DRMViewport == nullptr) return D3DRMERR_BADVALUE;
        Viewport* viewport;
        const HRESULT result =
            Viewport::Create(lpDev, lpCamera, dwXPos, dwYPos, dwWidth, dwHeight, &viewport);
        *lplpD3DRMViewport = viewport;
        return result;
    }

    HRESULT SetDefaultTextureColors(DWORD colors) override {
        if (colors < 2 || colors > 65536) return D3DRMERR_BADVALUE;
        textureColors_ = colors;
        return D3DRM_OK;
    }

    HRESULT SetDefaultTextureShades(DWORD shades) override {
        if (shades < 1 || shades > 256 || (shades & (shades - 1)) != 0) return D3DRMERR_BADVALUE;
        textureShades_ = shades;
        return D3DRM_OK;
    }

    DWORD GetDefaultTextureColors() override { return textureColors_; }
    DWORD GetDefaultTextureShades() override { return textureShades_; }

private:
    ~Direct3DRM() override = default;

    DWORD textureColors_ = 8;
    DWORD textureShades_ = 16;
};

}  // namespace

}  // namespace rm

HRESULT Direct3DRMCreate(IDirect3DRM** lplpDirect3DRM) {
    if (const HRESULT fault = DxFault::Check(DxCall::Direct3DRMCreate)) return fault;
    if (lplpDirect3DRM == nullptr) return D3DRMERR_BADVALUE;
    *lplpDirect3DRM = new rm::Direct3DRM();
    return D3DRM_OK;
}
