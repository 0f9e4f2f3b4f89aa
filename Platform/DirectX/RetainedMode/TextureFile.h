// Reading a texture from a BMP file.
#pragma once

#include "Platform/DirectX/RetainedMode/Texture.h"

namespace rm {

// D3DRM_OK and a new texture; D3DRMERR_FILENOTFOUND when the file cannot be
// opened; D3DRMERR_BADFILE when it is not a BMP this library reads (any
// depth of 1, 4, 8, 16, 24 or 32 bits, either row order, run-length or
// bit-field coded, sides 1..kMaxTextureSide). No texture on failure.
HRESULT LoadTextureFile(const char* path, Texture** texture);

}  // namespace rm
