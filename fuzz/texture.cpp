// Arbitrary bytes as the bitmap file behind LoadTexture, the way the saver
// loads the texture its settings name.
#include <cstdint>
#include <cstdlib>

#include "Platform/DirectX/D3DRM.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/ScratchFile.h"

namespace {

IDirect3DRM2* RetainedMode() {
    static IDirect3DRM2* const rm = [] {
        IDirect3DRM* base = nullptr;
        FUZZ_CHECK(Direct3DRMCreate(&base) == D3DRM_OK);
        IDirect3DRM2* rm2 = nullptr;
        FUZZ_CHECK(base->QueryInterface(IID_IDirect3DRM2, reinterpret_cast<void**>(&rm2)) == S_OK);
        base->Release();
        return rm2;
    }();
    return rm;
}

std::uint32_t Le16(const std::uint8_t* p) {
    return p[0] | p[1] << 8;
}
std::int32_t Le32(const std::uint8_t* p) {
    return static_cast<std::int32_t>(Le16(p) | Le16(p + 2) << 16);
}

// A loaded texture has the size its file's header states and holds texels
// of the form 0x00RRGGBB.
void CheckTexture(const D3DRMIMAGE& image, const std::uint8_t* data, std::size_t size) {
    FUZZ_CHECK(size >= 26);
    const bool core = Le32(data + 14) == 12;
    const std::int64_t width = core ? std::int64_t{Le16(data + 18)} : std::int64_t{Le32(data + 18)};
    const std::int64_t height = core ? std::int64_t{Le16(data + 20)} : std::int64_t{Le32(data + 22)};
    FUZZ_CHECK(image.width == width && image.height == std::abs(height));
    FUZZ_CHECK(image.bytes_per_line == image.width * 4);
    const auto* texels = static_cast<const std::uint32_t*>(image.buffer1);
    for (std::int64_t i = 0; i < width * image.height; ++i) FUZZ_CHECK(texels[i] >> 24 == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = vantel_fuzz::WriteScratchFile("texture.bmp", data, size);
    IDirect3DRMTexture2* texture = nullptr;
    const HRESULT result = RetainedMode()->LoadTexture(path.c_str(), &texture);
    if (result != D3DRM_OK) {
        FUZZ_CHECK(result == D3DRMERR_BADFILE && texture == nullptr);
        return 0;
    }
    FUZZ_CHECK(texture != nullptr);
    CheckTexture(*texture->GetImage(), data, size);
    texture->Release();
    return 0;
}
