#include "tests/Platform/DirectX/DirectDraw/DirectDrawTestSupport.h"

#include <cstring>

void DirectDrawTest::Fill(IDirectDrawSurface* surface, std::uint32_t value) {
    DDSURFACEDESC desc = SizedDesc();
    ASSERT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    const int bytes = static_cast<int>(desc.ddpfPixelFormat.dwRGBBitCount) / 8;
    for (DWORD y = 0; y < desc.dwHeight; ++y) {
        auto* row = static_cast<std::uint8_t*>(desc.lpSurface) + static_cast<std::ptrdiff_t>(y) * desc.lPitch;
        for (DWORD x = 0; x < desc.dwWidth; ++x)
            std::memcpy(row + x * bytes, &value, static_cast<std::size_t>(bytes));
    }
    ASSERT_EQ(surface->Unlock(nullptr), DD_OK);
}
