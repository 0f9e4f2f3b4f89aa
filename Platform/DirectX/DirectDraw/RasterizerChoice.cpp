// The MMX device's rasterizer, as a caller may name it.
#include "Platform/DirectX/D3DExtensions.h"
#include "Platform/DirectX/Raster/SimdPathChoice.h"

std::string DxForceRasterizer(const char* name) {
    return raster::ForceRasterizer(name);
}

std::string DxDescribeRasterizer() {
    return raster::DescribeSimdChoice(raster::CurrentSimdChoice());
}
