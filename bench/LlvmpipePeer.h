// Mesa's llvmpipe as a benchmark peer, reached only through its public
// EGL and GLES2 interfaces: the same triangles, texture and filter drawn
// off-screen into an RGBA colour buffer with a 16-bit depth buffer.
#pragma once

#include <EGL/egl.h>
#include <GLES2/gl2.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Platform/DirectX/Raster/Rasterizer.h"

namespace bench {

class LlvmpipePeer {
public:
    // llvmpipe with `threads` rasterizer threads (LP_NUM_THREADS; 0 draws in
    // the calling thread), or null with the reason in `error`. Each peer needs a display of its own, since
    // llvmpipe reads its thread count once per display: `devicePlatform` picks the software device's display
    // instead of the surfaceless one, so that two peers can live in one process.
    static std::unique_ptr<LlvmpipePeer> Open(int threads, bool devicePlatform, std::string* error);
    ~LlvmpipePeer();

    // The renderer string, e.g. "llvmpipe (LLVM 15.0.6, 256 bits)".
    std::string Renderer() const { return renderer_; }

    // A width x height colour and depth buffer, the triangles and the
    // square texture (0x00RRGGBB texels) drawn from then on. False when
    // llvmpipe cannot hold them.
    bool SetScene(int width, int height, const std::vector<raster::Vertex>& vertices,
                  const std::vector<std::uint32_t>& texels, int textureSize);
    // Clears colour (transparent black) and depth (farthest), draws the
    // triangles and waits until the pixels are in memory.
    void Draw(raster::Filter filter);
    // Clears, draws the triangles `count` times and waits once. Each draw
    // lies nearer than the one before (the depth range moved), so every draw
    // passes the depth test where the first did: the same work each time.
    void DrawRepeated(raster::Filter filter, int count);
    void ClearOnly();
    // The colour buffer, top row first, 0x00RRGGBB; pixels the triangles
    // did not cover are returned as 0xFF000000.
    std::vector<std::uint32_t> Picture();

private:
    LlvmpipePeer() = default;
    bool Start(int threads, bool devicePlatform, std::string* error);
    void MakeCurrent() const;
    void ReleaseScene();

    EGLDisplay display_ = EGL_NO_DISPLAY;
    EGLContext context_ = EGL_NO_CONTEXT;
    std::string renderer_;
    GLuint program_ = 0;
    GLuint texture_ = 0, framebuffer_ = 0, colorBuffer_ = 0, depthBuffer_ = 0, vertexBuffer_ = 0;
    int width_ = 0, height_ = 0, vertexCount_ = 0;
};

}  // namespace bench
