// The texture the box wears when the settings name no readable image.
#pragma once

#include "Platform/DirectX/D3DRM.h"

// A 256 x 256 picture of our own, made once; the image stays valid for the
// life of the process.
D3DRMIMAGE* DefaultTextureImage();
