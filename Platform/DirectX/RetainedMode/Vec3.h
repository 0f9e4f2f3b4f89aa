// Single-precision vectors and rigid transforms of the frame hierarchy.
//
// Space is left-handed; the cross product is the usual formula, so for a
// face whose corners run clockwise seen from outside, (c1 - c0) x (c2 - c0)
// points outwards.
#pragma once

#include <cmath>

#include "Platform/DirectX/D3DRM.h"

namespace rm {

struct Vec3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

inline Vec3 operator+(Vec3 a, Vec3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vec3 operator-(Vec3 a, Vec3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vec3 operator*(Vec3 a, float s) {
    return {a.x * s, a.y * s, a.z * s};
}
inline float Dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline Vec3 Cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float Length(Vec3 a) {
    return std::sqrt(Dot(a, a));
}
inline bool IsFinite(Vec3 a) {
    return std::isfinite(a.x) && std::isfinite(a.y) && std::isfinite(a.z);
}
// `a` scaled to unit length; false (and `a` unchanged) when it has none.
bool Normalize(Vec3* a);

inline D3DVECTOR ToD3D(Vec3 v) {
    return {v.x, v.y, v.z};
}

// A rotation held as its three columns: the images of +x, +y and +z.
struct Mat3 {
    Vec3 x{1.0f, 0.0f, 0.0f};
    Vec3 y{0.0f, 1.0f, 0.0f};
    Vec3 z{0.0f, 0.0f, 1.0f};
};

inline Vec3 operator*(const Mat3& m, Vec3 v) {
    return m.x * v.x + m.y * v.y + m.z * v.z;
}
inline Mat3 operator*(const Mat3& a, const Mat3& b) {
    return {a * b.x, a * b.y, a * b.z};
}
// The inverse rotation applied to `v`.
inline Vec3 TransposeTimes(const Mat3& m, Vec3 v) {
    return {Dot(m.x, v), Dot(m.y, v), Dot(m.z, v)};
}
inline Mat3 Transposed(const Mat3& m) {
    return {{m.x.x, m.y.x, m.z.x}, {m.x.y, m.y.y, m.z.y}, {m.x.z, m.y.z, m.z.z}};
}

// A turn of `theta` radians about the unit vector `axis`. A positive angle
// turns +z towards +x about +y, +x towards +y about +z and +y towards +z
// about +x.
Mat3 AxisRotation(Vec3 axis, float theta);

// Makes the columns unit length and mutually perpendicular again, keeping
// +z's direction and +y's plane; turning a frame step by step would
// otherwise let rounding shear and scale it.
void Orthonormalize(Mat3* m);

// Maps a point of the inner space into the outer one: r * p + t.
struct Transform {
    Mat3 r;
    Vec3 t;
};

inline Vec3 Apply(const Transform& f, Vec3 p) {
    return f.r * p + f.t;
}
inline Vec3 ApplyInverse(const Transform& f, Vec3 p) {
    return TransposeTimes(f.r, p - f.t);
}
inline Transform Compose(const Transform& outer, const Transform& inner) {
    return {outer.r * inner.r, outer.r * inner.t + outer.t};
}
inline Transform Inverse(const Transform& f) {
    const Mat3 r = Transposed(f.r);
    return {r, (r * f.t) * -1.0f};
}

}  // namespace rm
