// The box's shape, which the benchmarks and the tests of the devices draw
// too, so that they measure and compare the very box the saver shows.
#pragma once

#include "Platform/DirectX/D3DRM.h"

namespace box_shape {

struct Corner {
    D3DVALUE x, y, z;
};

struct BoxFace {
    D3DVECTOR normal;
    Corner corners[4];
};

// Six faces of edge 4 around the frame's origin, corners clockwise seen from
// outside, so all of them are front faces.
constexpr BoxFace kBoxFaces[6] = {
    {{0, 0, -1}, {{2, 2, -2}, {2, -2, -2}, {-2, -2, -2}, {-2, 2, -2}}},
    {{1, 0, 0}, {{2, 2, 2}, {2, -2, 2}, {2, -2, -2}, {2, 2, -2}}},
    {{-1, 0, 0}, {{-2, 2, -2}, {-2, -2, -2}, {-2, -2, 2}, {-2, 2, 2}}},
    {{0, 0, 1}, {{-2, 2, 2}, {-2, -2, 2}, {2, -2, 2}, {2, 2, 2}}},
    {{0, 1, 0}, {{2, 2, 2}, {2, 2, -2}, {-2, 2, -2}, {-2, 2, 2}}},
    {{0, -1, 0}, {{2, -2, -2}, {2, -2, 2}, {-2, -2, 2}, {-2, -2, -2}}},
};

// The whole texture on every face, the same way round.
constexpr D3DVALUE kCornerUV[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};

}  // namespace box_shape
