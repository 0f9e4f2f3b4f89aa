// Software Direct3D Retained Mode: a frame hierarchy with lights and mesh
// visuals, textures read from BMP files, a device over an IDirect3DDevice2
// and viewports that render a hierarchy through a camera frame.
// Published names and values; read-back operations for tests are named after
// the published ones where one exists.
//
// Space is left-handed: +x right, +y up, +z away from the viewer.
#pragma once

#include "Platform/DirectX/D3D.h"

using D3DVALUE = float;
using D3DCOLOR = DWORD;  // 0xAARRGGBB

struct D3DVECTOR {
    D3DVALUE x;
    D3DVALUE y;
    D3DVALUE z;
};

constexpr HRESULT D3DRM_OK = 0;
constexpr HRESULT D3DRMERR_BADOBJECT = MAKE_DDHRESULT(781);
constexpr HRESULT D3DRMERR_BADTYPE = MAKE_DDHRESULT(782);
constexpr HRESULT D3DRMERR_BADALLOC = MAKE_DDHRESULT(783);
constexpr HRESULT D3DRMERR_FACEUSED = MAKE_DDHRESULT(784);
constexpr HRESULT D3DRMERR_NOTFOUND = MAKE_DDHRESULT(785);
constexpr HRESULT D3DRMERR_NOTDONEYET = MAKE_DDHRESULT(786);
constexpr HRESULT D3DRMERR_FILENOTFOUND = MAKE_DDHRESULT(787);
constexpr HRESULT D3DRMERR_BADFILE = MAKE_DDHRESULT(788);
constexpr HRESULT D3DRMERR_BADDEVICE = MAKE_DDHRESULT(789);
constexpr HRESULT D3DRMERR_BADVALUE = MAKE_DDHRESULT(790);
constexpr HRESULT D3DRMERR_BADMAJORVERSION = MAKE_DDHRESULT(791);
constexpr HRESULT D3DRMERR_BADMINORVERSION = MAKE_DDHRESULT(792);
constexpr HRESULT D3DRMERR_UNABLETOEXECUTE = MAKE_DDHRESULT(793);

enum D3DRMLIGHTTYPE {
    D3DRMLIGHT_AMBIENT = 0,
    D3DRMLIGHT_POINT = 1,
    D3DRMLIGHT_SPOT = 2,
    D3DRMLIGHT_DIRECTIONAL = 3,
    D3DRMLIGHT_PARALLELPOINT = 4,
};

using D3DRMRENDERQUALITY = DWORD;
constexpr D3DRMRENDERQUALITY D3DRMRENDER_FLAT = 0x88;
constexpr D3DRMRENDERQUALITY D3DRMRENDER_GOURAUD = 0x89;

enum D3DRMTEXTUREQUALITY {
    D3DRMTEXTURE_NEAREST = 0,
    D3DRMTEXTURE_LINEAR = 1,
};

// A texture's pixels as Retained Mode hands them out: rows of 32-bit
// 0x00RRGGBB texels, top row first.
struct D3DRMIMAGE {
    int width;
    int height;
    int aspectx;
    int aspecty;
    int depth;
    int rgb;
    int bytes_per_line;
    void* buffer1;
    void* buffer2;
    ULONG red_mask;
    ULONG green_mask;
    ULONG blue_mask;
    ULONG alpha_mask;
};

constexpr D3DCOLOR D3DRGB(double r, double g, double b) {
    return 0xFF000000u | (static_cast<DWORD>(r * 255.0) << 16) | (static_cast<DWORD>(g * 255.0) << 8) |
           static_cast<DWORD>(b * 255.0);
}

struct IDirect3DRMFrame;
struct IDirect3DRMFrame2;
struct IDirect3DRMLight;
struct IDirect3DRMFace;
struct IDirect3DRMMesh;
struct IDirect3DRMMeshBuilder;
struct IDirect3DRMMeshBuilder2;
struct IDirect3DRMTexture;
struct IDirect3DRMTexture2;
struct IDirect3DRMDevice;
struct IDirect3DRMDevice2;
struct IDirect3DRMViewport;

// Anything a frame can carry as a visual: meshes and mesh builders.
struct IDirect3DRMVisual : IUnknown {};

struct IDirect3DRMFrameArray : IUnknown {
    virtual DWORD GetSize() = 0;
    virtual HRESULT GetElement(DWORD index, IDirect3DRMFrame** lplpFrame) = 0;
};

struct IDirect3DRMLightArray : IUnknown {
    virtual DWORD GetSize() = 0;
    virtual HRESULT GetElement(DWORD index, IDirect3DRMLight** lplpLight) = 0;
};

struct IDirect3DRMVisualArray : IUnknown {
    virtual DWORD GetSize() = 0;
    virtual HRESULT GetElement(DWORD index, IDirect3DRMVisual** lplpVisual) = 0;
};

struct IDirect3DRMFaceArray : IUnknown {
    virtual DWORD GetSize() = 0;
    virtual HRESULT GetElement(DWORD index, IDirect3DRMFace** lplpFace) = 0;
};

struct IDirect3DRMLight : IUnknown {
    virtual D3DRMLIGHTTYPE GetType() = 0;
    virtual D3DCOLOR GetColor() = 0;
};

struct IDirect3DRMTexture : IDirect3DRMVisual {
    // The texels; valid as long as the texture lives.
    virtual D3DRMIMAGE* GetImage() = 0;
};
struct IDirect3DRMTexture2 : IDirect3DRMTexture {};

struct IDirect3DRMFace : IUnknown {
    // Appends a corner using the builder's vertex and normal of these indices.
    virtual HRESULT AddVertexAndNormalIndexed(DWORD vertex, DWORD normal) = 0;
    virtual HRESULT SetTexture(IDirect3DRMTexture* lpTexture) = 0;
    // Corner numbers count from 0 within the face.
    virtual HRESULT SetTextureCoordinates(DWORD vertex, D3DVALUE u, D3DVALUE v) = 0;
    virtual HRESULT SetColor(D3DCOLOR color) = 0;
    virtual int GetVertexCount() = 0;
    virtual HRESULT GetVertex(DWORD index, D3DVECTOR* lpPosition, D3DVECTOR* lpNormal) = 0;
    virtual int GetVertexIndex(DWORD which) = 0;
    virtual int GetNormalIndex(DWORD which) = 0;
    virtual HRESULT GetTextureCoordinates(DWORD index, D3DVALUE* lpU, D3DVALUE* lpV) = 0;
    // The face's texture, AddRef'ed, or null when it has none.
    virtual HRESULT GetTexture(IDirect3DRMTexture** lplpTexture) = 0;
    virtual D3DCOLOR GetColor() = 0;
};

struct IDirect3DRMMesh : IDirect3DRMVisual {
    virtual unsigned GetFaceCount() = 0;
    virtual unsigned GetVertexCount() = 0;
    virtual unsigned GetNormalCount() = 0;
    virtual HRESULT GetFaces(IDirect3DRMFaceArray** lplpFaces) = 0;
};

struct IDirect3DRMMeshBuilder : IDirect3DRMVisual {
    // A new empty face that the builder holds; the caller gets a reference.
    virtual HRESULT CreateFace(IDirect3DRMFace** lplpFace) = 0;
    // The index of the new entry, counting from 0 in the order of adding.
    virtual int AddVertex(D3DVALUE x, D3DVALUE y, D3DVALUE z) = 0;
    virtual int AddNormal(D3DVALUE x, D3DVALUE y, D3DVALUE z) = 0;
    // Colours every face and vertex of the builder.
    virtual HRESULT SetColor(D3DCOLOR color) = 0;
    virtual HRESULT CreateMesh(IDirect3DRMMesh** lplpMesh) = 0;
    virtual int GetFaceCount() = 0;
    virtual int GetVertexCount() = 0;
    virtual HRESULT GetFaces(IDirect3DRMFaceArray** lplpFaces) = 0;
};
struct IDirect3DRMMeshBuilder2 : IDirect3DRMMeshBuilder {};

struct IDirect3DRMFrame : IUnknown {
    virtual HRESULT AddChild(IDirect3DRMFrame* lpD3DRMFrameChild) = 0;
    virtual HRESULT AddLight(IDirect3DRMLight* lpD3DRMLight) = 0;
    virtual HRESULT AddVisual(IDirect3DRMVisual* lpD3DRMVisual) = 0;
    // AddRef'ed parent, or null for a scene root.
    virtual HRESULT GetParent(IDirect3DRMFrame** lplpParent) = 0;
    virtual HRESULT GetChildren(IDirect3DRMFrameArray** lplpChildren) = 0;
    virtual HRESULT GetLights(IDirect3DRMLightArray** lplpLights) = 0;
    virtual HRESULT GetVisuals(IDirect3DRMVisualArray** lplpVisuals) = 0;
    // Positions, directions and axes are given and read relative to the
    // reference frame; a null reference means the scene root.
    virtual HRESULT SetPosition(IDirect3DRMFrame* lpRef, D3DVALUE x, D3DVALUE y, D3DVALUE z) = 0;
    virtual HRESULT GetPosition(IDirect3DRMFrame* lpRef, D3DVECTOR* lprvPos) = 0;
    // Points the frame's +z along (dx, dy, dz) and its +y along (ux, uy, uz).
    virtual HRESULT SetOrientation(IDirect3DRMFrame* lpRef, D3DVALUE dx, D3DVALUE dy, D3DVALUE dz,
                                   D3DVALUE ux, D3DVALUE uy, D3DVALUE uz) = 0;
    virtual HRESULT GetOrientation(IDirect3DRMFrame* lpRef, D3DVECTOR* lprvDir, D3DVECTOR* lprvUp) = 0;
    // Turns the frame by theta radians per advance about the axis (any
    // length) through its own origin. A positive angle turns +z towards +x
    // about +y, +x towards +y about +z and +y towards +z about +x.
    virtual HRESULT SetRotation(IDirect3DRMFrame* lpRef, D3DVALUE x, D3DVALUE y, D3DVALUE z,
                                D3DVALUE theta) = 0;
    virtual HRESULT GetRotation(IDirect3DRMFrame* lpRef, D3DVECTOR* lpvAxis, D3DVALUE* lpvTheta) = 0;
    // Distance per advance. With fRotVel the frame's own turning also turns
    // the velocity.
    virtual HRESULT SetVelocity(IDirect3DRMFrame* lpRef, D3DVALUE x, D3DVALUE y, D3DVALUE z,
                                BOOL fRotVel) = 0;
    virtual HRESULT GetVelocity(IDirect3DRMFrame* lpRef, D3DVECTOR* lpVel, BOOL fRotVel) = 0;
    // Advances every frame of this hierarchy once: position += velocity *
    // delta, then a turn of theta * delta about the axis. D3DRM_OK.
    virtual HRESULT Move(D3DVALUE delta) = 0;
};
struct IDirect3DRMFrame2 : IDirect3DRMFrame {};

struct IDirect3DRMDevice : IUnknown {
    virtual HRESULT SetBufferCount(DWORD count) = 0;
    virtual DWORD GetBufferCount() = 0;
    virtual HRESULT SetDither(BOOL dither) = 0;
    virtual BOOL GetDither() = 0;
    virtual HRESULT SetQuality(D3DRMRENDERQUALITY quality) = 0;
    virtual D3DRMRENDERQUALITY GetQuality() = 0;
    virtual HRESULT SetTextureQuality(D3DRMTEXTUREQUALITY quality) = 0;
    virtual D3DRMTEXTUREQUALITY GetTextureQuality() = 0;
    virtual HRESULT SetShades(DWORD shades) = 0;
    virtual DWORD GetShades() = 0;
    // Finishes the frame: the rendered picture is in the render surface.
    virtual HRESULT Update() = 0;
    virtual DWORD GetWidth() = 0;
    virtual DWORD GetHeight() = 0;
    virtual HRESULT GetDirect3DDevice2(IDirect3DDevice2** lplpD3DDevice) = 0;
};
struct IDirect3DRMDevice2 : IDirect3DRMDevice {};

// The view window lies at distance `front` before the camera and spans
// -field..+field across the viewport's larger side (square pixels); the
// defaults are front 1, back 100 and field 0.5. Only what lies between the
// front and back planes is drawn.
struct IDirect3DRMViewport : IUnknown {
    // Colour to black and depth to far over the whole viewport.
    virtual HRESULT Clear() = 0;
    // Draws the hierarchy below lpFrame through the camera: faces whose
    // corners run clockwise as the camera sees them, lit per vertex by the
    // hierarchy's ambient and directional lights, z-buffered.
    virtual HRESULT Render(IDirect3DRMFrame* lpFrame) = 0;
    virtual HRESULT SetBack(D3DVALUE back) = 0;
    virtual D3DVALUE GetBack() = 0;
    virtual HRESULT SetFront(D3DVALUE front) = 0;
    virtual D3DVALUE GetFront() = 0;
    virtual HRESULT SetField(D3DVALUE field) = 0;
    virtual D3DVALUE GetField() = 0;
    virtual HRESULT ForceUpdate(DWORD x1, DWORD y1, DWORD x2, DWORD y2) = 0;
    virtual HRESULT GetCamera(IDirect3DRMFrame** lplpCamera) = 0;
    virtual DWORD GetWidth() = 0;
    virtual DWORD GetHeight() = 0;
};

struct IDirect3DRM : IUnknown {};

struct IDirect3DRM2 : IDirect3DRM {
    // A new frame below lpParent, or a scene root when lpParent is null.
    virtual HRESULT CreateFrame(IDirect3DRMFrame* lpParent, IDirect3DRMFrame2** lplpFrame) = 0;
    virtual HRESULT CreateMeshBuilder(IDirect3DRMMeshBuilder2** lplpMeshBuilder) = 0;
    // Ambient and directional lights; other types give D3DRMERR_BADVALUE.
    virtual HRESULT CreateLightRGB(D3DRMLIGHTTYPE type, D3DVALUE red, D3DVALUE green, D3DVALUE blue,
                                   IDirect3DRMLight** lplpLight) = 0;
    // A texture from a BMP file; D3DRMERR_FILENOTFOUND or D3DRMERR_BADFILE
    // and no object when it cannot be read.
    virtual HRESULT LoadTexture(const char* lpFileName, IDirect3DRMTexture2** lplpTexture) = 0;
    // A texture holding a copy of the image's texels (32-bit, 0x00RRGGBB rows).
    virtual HRESULT CreateTexture(D3DRMIMAGE* lpImage, IDirect3DRMTexture2** lplpTexture) = 0;
    virtual HRESULT CreateDeviceFromD3D(IDirect3D2* lpD3D, IDirect3DDevice2* lpD3DDev,
                                        IDirect3DRMDevice2** lplpD3DRMDevice) = 0;
    virtual HRESULT CreateViewport(IDirect3DRMDevice* lpDev, IDirect3DRMFrame* lpCamera, DWORD dwXPos,
                                   DWORD dwYPos, DWORD dwWidth, DWORD dwHeight,
                                   IDirect3DRMViewport** lplpD3DRMViewport) = 0;
    // Limits for textures created from now on: colours 2..65536, shades
    // a power of two 1..256.
    virtual HRESULT SetDefaultTextureColors(DWORD colors) = 0;
    virtual HRESULT SetDefaultTextureShades(DWORD shades) = 0;
    virtual DWORD GetDefaultTextureColors() = 0;
    virtual DWORD GetDefaultTextureShades() = 0;
};

extern const IID IID_IDirect3DRM;
extern const IID IID_IDirect3DRM2;

HRESULT Direct3DRMCreate(IDirect3DRM** lplpDirect3DRM);
