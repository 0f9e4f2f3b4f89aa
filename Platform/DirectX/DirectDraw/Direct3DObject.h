// IDirect3D2: enumerates the software devices and creates them.
#pragma once

#include <vector>

#include "Platform/DirectX/ComObject.h"
#include "Platform/DirectX/D3D.h"
#include "Platform/DirectX/EnumeratedDevice.h"

namespace dx {

class DirectDrawObject;

class Direct3DObject final : public ComObject<IDirect3D2> {
public:
    explicit Direct3DObject(DirectDrawObject* directDraw);

    HRESULT QueryInterface(REFIID riid, void** ppvObject) override;
    HRESULT EnumDevices(LPD3DENUMDEVICESCALLBACK lpEnumDevicesCallback, LPVOID lpUserArg) override;
    HRESULT CreateDevice(REFCLSID rclsid, IDirectDrawSurface* lpDDS,
                         IDirect3DDevice2** lplpD3DDevice) override;

private:
    Ref<DirectDrawObject> directDraw_;
    // The devices of the last enumeration: the pointers handed to the
    // callback stay valid until the next one.
    std::vector<EnumeratedDevice> enumerated_;
};

}  // namespace dx
