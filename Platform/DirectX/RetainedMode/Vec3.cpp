#include "Platform/DirectX/RetainedMode/Vec3.h"

namespace rm {

bool Normalize(Vec3* a) {
    const float length = Length(*a);
    if (!(length > 0.0f) || !std::isfinite(length)) return false;
    *a = *a * (1.0f / length);
    return true;
}

Mat3 AxisRotation(Vec3 axis, float theta) {
    const float c = std::cos(theta);
    const float s = std::sin(theta);
    const float k = 1.0f - c;
    // Each column is the image of a basis vector e: e cos + (axis x e) sin +
    // axis (axis . e)(1 - cos).
    const auto column = [&](Vec3 e) { return e * c + Cross(axis, e) * s + axis * (Dot(axis, e) * k); };
    return {column({1.0f, 0.0f, 0.0f}), column({0.0f, 1.0f, 0.0f}), column({0.0f, 0.0f, 1.0f})};
}

void Orthonormalize(Mat3* m) {
    Vec3 z = m->z;
    if (!Normalize(&z)) return;
    Vec3 x = Cross(m->y, z);
    if (!Normalize(&x)) return;
    m->x = x;
    m->y = Cross(z, x);
    m->z = z;
}

}  // namespace rm
