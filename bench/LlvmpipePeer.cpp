#include "bench/LlvmpipePeer.h"

#include <EGL/eglext.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace bench {
namespace {

// Position in clip space, texture coordinates, lit colour.
constexpr int kFloatsPerVertex = 9;

const char* const kVertexShader = R"(
attribute vec4 position;
attribute vec2 texcoord;
attribute vec3 light;
varying vec2 uv;
varying vec3 lit;
void main() {
    uv = texcoord;
    lit = light;
    gl_Position = position;
})";

// Alpha 1 marks the pixels drawn: the clear leaves alpha 0.
const char* const kFragmentShader = R"(
precision highp float;
uniform sampler2D texels;
varying vec2 uv;
varying vec3 lit;
void main() {
    gl_FragColor = vec4(texture2D(texels, uv).rgb * lit, 1.0);
})";

GLuint Compile(GLenum type, const char* source, std::string* error) {
    const GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok == GL_TRUE) return shader;
    char log[512] = {};
    glGetShaderInfoLog(shader, sizeof log, nullptr, log);
    *error = std::string("shader does not compile: ") + log;
    glDeleteShader(shader);
    return 0;
}

EGLDisplay PeerDisplay(bool devicePlatform) {
    const auto getDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getDisplay == nullptr) return EGL_NO_DISPLAY;
    if (!devicePlatform) return getDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    const auto queryDevices =
        reinterpret_cast<PFNEGLQUERYDEVICESEXTPROC>(eglGetProcAddress("eglQueryDevicesEXT"));
    const auto deviceString =
        reinterpret_cast<PFNEGLQUERYDEVICESTRINGEXTPROC>(eglGetProcAddress("eglQueryDeviceStringEXT"));
    if (queryDevices == nullptr || deviceString == nullptr) return EGL_NO_DISPLAY;
    EGLDeviceEXT devices[16];
    EGLint count = 0;
    if (!queryDevices(16, devices, &count)) return EGL_NO_DISPLAY;
    for (int i = 0; i < count; ++i) {
        const char* extensions = deviceString(devices[i], EGL_EXTENSIONS);
        if (extensions != nullptr && std::strstr(extensions, "EGL_MESA_device_software") != nullptr) {
            return getDisplay(EGL_PLATFORM_DEVICE_EXT, devices[i], nullptr);
        }
    }
    return EGL_NO_DISPLAY;
}

}  // namespace

std::unique_ptr<LlvmpipePeer> LlvmpipePeer::Open(int threads, bool devicePlatform, std::string* error) {
    std::unique_ptr<LlvmpipePeer> peer(new LlvmpipePeer);
    if (!peer->Start(threads, devicePlatform, error)) return nullptr;
    return peer;
}

bool LlvmpipePeer::Start(int threads, bool devicePlatform, std::string* error) {
    // Software only, and llvmpipe rather than another software driver.
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
    setenv("GALLIUM_DRIVER", "llvmpipe", 1);
    setenv("LP_NUM_THREADS", std::to_string(threads).c_str(), 1);
    display_ = PeerDisplay(devicePlatform);
    EGLint major = 0, minor = 0;
    if (display_ == EGL_NO_DISPLAY || !eglInitialize(display_, &major, &minor)) {
        *error = devicePlatform ? "no EGL software device" : "no surfaceless EGL display";
        display_ = EGL_NO_DISPLAY;
        return false;
    }
    const EGLint contextAttributes[] = {EGL_CONTEXT_CLIENT_VERSION, 2, EGL_NONE};
    if (!eglBindAPI(EGL_OPENGL_ES_API) ||
        (context_ = eglCreateContext(display_, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, contextAttributes)) ==
            EGL_NO_CONTEXT ||
        !eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_)) {
        *error = "no GLES2 context without a surface";
        return false;
    }
    renderer_ = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    if (renderer_.find("llvmpipe") == std::string::npos) {
        *error = "the renderer is " + renderer_ + ", not llvmpipe";
        return false;
    }

    const GLuint vertex = Compile(GL_VERTEX_SHADER, kVertexShader, error);
    const GLuint fragment = vertex != 0 ? Compile(GL_FRAGMENT_SHADER, kFragmentShader, error) : 0;
    if (fragment == 0) return false;
    program_ = glCreateProgram();
    glAttachShader(program_, vertex);
    glAttachShader(program_, fragment);
    glBindAttribLocation(program_, 0, "position");
    glBindAttribLocation(program_, 1, "texcoord");
    glBindAttribLocation(program_, 2, "light");
    glLinkProgram(program_);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint linked = GL_FALSE;
    glGetProgramiv(program_, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) {
        *error = "shaders do not link";
        return false;
    }
    glUseProgram(program_);
    glUniform1i(glGetUniformLocation(program_, "texels"), 0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glClearColor(0, 0, 0, 0);
    glClearDepthf(1.0f);
    return true;
}

LlvmpipePeer::~LlvmpipePeer() {
    if (display_ == EGL_NO_DISPLAY) return;
    if (context_ != EGL_NO_CONTEXT) {
        MakeCurrent();
        ReleaseScene();
        if (program_ != 0) glDeleteProgram(program_);
        eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroyContext(display_, context_);
    }
    eglTerminate(display_);
}

void LlvmpipePeer::MakeCurrent() const {
    eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_);
}

void LlvmpipePeer::ReleaseScene() {
    glDeleteTextures(1, &texture_);
    glDeleteFramebuffers(1, &framebuffer_);
    glDeleteTextures(1, &colorBuffer_);
    glDeleteRenderbuffers(1, &depthBuffer_);
    glDeleteBuffers(1, &vertexBuffer_);
    texture_ = framebuffer_ = colorBuffer_ = depthBuffer_ = vertexBuffer_ = 0;
}

bool LlvmpipePeer::SetScene(int width, int height, const std::vector<raster::Vertex>& vertices,
                            const std::vector<std::uint32_t>& texels, int textureSize) {
    MakeCurrent();
    ReleaseScene();
    width_ = width;
    height_ = height;

    // 8 bits a channel: a colour texture (GLES2 renderbuffers have no RGBA8).
    glGenTextures(1, &colorBuffer_);
    glBindTexture(GL_TEXTURE_2D, colorBuffer_);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glGenRenderbuffers(1, &depthBuffer_);
    glBindRenderbuffer(GL_RENDERBUFFER, depthBuffer_);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, width, height);
    glGenFramebuffers(1, &framebuffer_);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colorBuffer_, 0);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthBuffer_);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) return false;
    glViewport(0, 0, width, height);

    std::vector<std::uint8_t> rgba(texels.size() * 4);
    for (std::size_t i = 0; i < texels.size(); ++i) {
        rgba[4 * i] = static_cast<std::uint8_t>(texels[i] >> 16);
        rgba[4 * i + 1] = static_cast<std::uint8_t>(texels[i] >> 8);
        rgba[4 * i + 2] = static_cast<std::uint8_t>(texels[i]);
        rgba[4 * i + 3] = 255;
    }
    glGenTextures(1, &texture_);
    glBindTexture(GL_TEXTURE_2D, texture_);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, textureSize, textureSize, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 rgba.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);

    // Our screen positions back to clip space. GL's window rows count
    // upwards, so row y of ours is drawn as GL's row y and read back in
    // our order; the picture is upside down only in GL's own view.
    std::vector<float> data;
    for (const raster::Vertex& v : vertices) {
        const float w = 1.0f / v.rhw;
        const float z = std::clamp(v.z, 0.0f, 1.0f);
        const float values[kFloatsPerVertex] = {
            (2.0f * v.x / static_cast<float>(width) - 1.0f) * w,
            (2.0f * v.y / static_cast<float>(height) - 1.0f) * w,
            (2.0f * z - 1.0f) * w,
            w,
            v.u,
            v.v,
            v.r,
            v.g,
            v.b,
        };
        data.insert(data.end(), values, values + kFloatsPerVertex);
    }
    vertexCount_ = static_cast<int>(vertices.size());
    glGenBuffers(1, &vertexBuffer_);
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer_);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(data.size() * sizeof(float)), data.data(),
                 GL_STATIC_DRAW);
    const GLsizei stride = kFloatsPerVertex * sizeof(float);
    glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, stride, nullptr);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(4 * sizeof(float)));
    glVertexAttribPointer(2, 3, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(6 * sizeof(float)));
    for (GLuint i = 0; i < 3; ++i) glEnableVertexAttribArray(i);
    return glGetError() == GL_NO_ERROR;
}

void LlvmpipePeer::Draw(raster::Filter filter) {
    DrawRepeated(filter, 1);
}

void LlvmpipePeer::DrawRepeated(raster::Filter filter, int count) {
    MakeCurrent();
    const GLint mode = filter == raster::Filter::Bilinear ? GL_LINEAR : GL_NEAREST;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, mode);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, mode);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // Draw i of n takes the depths [(n - 1 - i) / n, (n - i) / n]: the
    // first lies farthest, and each pixel keeps its depth order within a draw.
    const float slice = 1.0f / static_cast<float>(count);
    for (int i = 0; i < count; ++i) {
        const float farthest = 1.0f - slice * static_cast<float>(i);
        glDepthRangef(farthest - slice, farthest);
        glDrawArrays(GL_TRIANGLES, 0, vertexCount_);
    }
    glDepthRangef(0.0f, 1.0f);
    glFinish();
}

void LlvmpipePeer::ClearOnly() {
    MakeCurrent();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glFinish();
}

std::vector<std::uint32_t> LlvmpipePeer::Picture() {
    MakeCurrent();
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(width_) * height_ * 4);
    glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    std::vector<std::uint32_t> out(static_cast<std::size_t>(width_) * height_);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const std::uint8_t* p = &rgba[4 * i];
        out[i] = p[3] == 0
                     ? 0xFF000000u
                     : static_cast<std::uint32_t>(p[0]) << 16 | static_cast<std::uint32_t>(p[1]) << 8 | p[2];
    }
    return out;
}

}  // namespace bench
