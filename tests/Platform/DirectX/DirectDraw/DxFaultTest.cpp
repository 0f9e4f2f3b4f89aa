// The fault hook: armed failures with skip and times, counters, lost
// surfaces, pretended depth and Reset.
#include "tests/Platform/DirectX/DirectDraw/DirectDrawTestSupport.h"

namespace {

using DDrawDxFaultTest = DirectDrawTest;

struct ArmCase {
    int skip;
    int times;
    bool fails[5];  // the outcome of five calls in a row
};

TEST_F(DDrawDxFaultTest, FailsAfterSkipForTimesCalls) {
    const ArmCase cases[] = {
        {0, 1, {true, false, false, false, false}},  {2, 1, {false, false, true, false, false}},
        {1, 2, {false, true, true, false, false}},   {3, -1, {false, false, false, true, true}},
        {0, 0, {false, false, false, false, false}},
    };
    for (const ArmCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "skip " << c.skip << " times " << c.times);
        DxFault::FailCall(DxCall::DirectDraw_CreateClipper, DDERR_OUTOFMEMORY, c.skip, c.times);
        for (bool fails : c.fails) {
            IDirectDrawClipper* clipper = nullptr;
            const HRESULT result = dd_->CreateClipper(0, &clipper, nullptr);
            EXPECT_EQ(result, fails ? DDERR_OUTOFMEMORY : DD_OK);
            EXPECT_EQ(clipper != nullptr, !fails);
            if (clipper != nullptr) clipper->Release();
        }
    }
}

TEST_F(DDrawDxFaultTest, EachCheckedOperationReachesTheHook) {
    DxFault::Reset();
    IDirectDraw* dd = nullptr;
    ASSERT_EQ(DirectDrawCreate(nullptr, &dd, nullptr), DD_OK);
    DxFault::FailCall(DxCall::DirectDraw_SetCooperativeLevel, DDERR_NOCOOPERATIVELEVELSET);
    EXPECT_EQ(dd->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DDERR_NOCOOPERATIVELEVELSET);
    EXPECT_EQ(dd->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);

    DDSURFACEDESC desc = BackDesc(8, 8);
    IDirectDrawSurface* back = nullptr;
    DxFault::FailCall(DxCall::DirectDraw_CreateSurface, DDERR_OUTOFVIDEOMEMORY);
    EXPECT_EQ(dd->CreateSurface(&desc, &back, nullptr), DDERR_OUTOFVIDEOMEMORY);
    EXPECT_EQ(back, nullptr);
    ASSERT_EQ(dd->CreateSurface(&desc, &back, nullptr), DD_OK);

    const struct {
        DxCall call;
        HRESULT (*operation)(IDirectDraw*, IDirectDrawSurface*);
    } operations[] = {
        {DxCall::Surface_GetSurfaceDesc,
         [](IDirectDraw*, IDirectDrawSurface* s) {
             DDSURFACEDESC d = SizedDesc();
             return s->GetSurfaceDesc(&d);
         }},
        {DxCall::Surface_IsLost, [](IDirectDraw*, IDirectDrawSurface* s) { return s->IsLost(); }},
        {DxCall::Surface_Restore, [](IDirectDraw*, IDirectDrawSurface* s) { return s->Restore(); }},
        {DxCall::Surface_Blt,
         [](IDirectDraw*, IDirectDrawSurface* s) {
             return s->Blt(nullptr, s, nullptr, DDBLT_WAIT, nullptr);
         }},
        {DxCall::Surface_SetClipper,
         [](IDirectDraw*, IDirectDrawSurface* s) { return s->SetClipper(nullptr); }},
        {DxCall::Surface_SetPalette,
         [](IDirectDraw*, IDirectDrawSurface* s) { return s->SetPalette(nullptr); }},
        {DxCall::Surface_Lock,
         [](IDirectDraw*, IDirectDrawSurface* s) {
             DDSURFACEDESC d = SizedDesc();
             const HRESULT r = s->Lock(nullptr, &d, DDLOCK_WAIT, nullptr);
             if (r == DD_OK) s->Unlock(nullptr);
             return r;
         }},
        {DxCall::Surface_AddAttachedSurface,
         [](IDirectDraw* dd, IDirectDrawSurface* s) {
             DDSURFACEDESC z = ZBufferDesc(8, 8);
             IDirectDrawSurface* zbuffer = nullptr;
             dd->CreateSurface(&z, &zbuffer, nullptr);
             const HRESULT r = s->AddAttachedSurface(zbuffer);
             zbuffer->Release();
             return r;
         }},
        {DxCall::DirectDraw_CreatePalette,
         [](IDirectDraw* dd, IDirectDrawSurface*) {
             PALETTEENTRY entries[256]{};
             IDirectDrawPalette* palette = nullptr;
             const HRESULT r = dd->CreatePalette(DDPCAPS_8BIT, entries, &palette, nullptr);
             if (palette != nullptr) palette->Release();
             return r;
         }},
        {DxCall::Clipper_SetHWnd,
         [](IDirectDraw* dd, IDirectDrawSurface*) {
             IDirectDrawClipper* clipper = nullptr;
             dd->CreateClipper(0, &clipper, nullptr);
             const HRESULT r = clipper->SetHWnd(0, nullptr);
             clipper->Release();
             return r;
         }},
        {DxCall::DirectDraw_QueryDirect3D2,
         [](IDirectDraw* dd, IDirectDrawSurface*) {
             void* d3d = nullptr;
             const HRESULT r = dd->QueryInterface(IID_IDirect3D2, &d3d);
             if (d3d != nullptr) static_cast<IDirect3D2*>(d3d)->Release();
             return r;
         }},
    };
    for (const auto& o : operations) {
        SCOPED_TRACE(static_cast<int>(o.call));
        const int before = DxFault::CallCount(o.call);
        DxFault::FailCall(o.call, DDERR_GENERIC);
        EXPECT_EQ(o.operation(dd, back), DDERR_GENERIC);
        EXPECT_EQ(o.operation(dd, back), DD_OK);
        EXPECT_EQ(DxFault::CallCount(o.call), before + 2);
    }
    back->Release();
    EXPECT_EQ(dd->Release(), 0u);

    DxFault::FailCall(DxCall::DirectDrawCreate, DDERR_GENERIC);
    EXPECT_EQ(DirectDrawCreate(nullptr, &dd, nullptr), DDERR_GENERIC);
}

TEST_F(DDrawDxFaultTest, ResetDisarmsAndZeroes) {
    DxFault::FailCall(DxCall::DirectDraw_CreateClipper, DDERR_GENERIC, 0, -1);
    IDirectDrawClipper* clipper = nullptr;
    EXPECT_EQ(dd_->CreateClipper(0, &clipper, nullptr), DDERR_GENERIC);
    EXPECT_EQ(DxFault::CallCount(DxCall::DirectDraw_CreateClipper), 1);
    DxFault::RecordForceUpdate({1, 2, 3, 4});
    EXPECT_EQ(DxFault::LastForceUpdate().y2, 4u);
    DxFault::ReplaceDeviceList({EnumeratedDevice{}});
    EXPECT_NE(DxFault::ReplacedDeviceList(), nullptr);

    DxFault::Reset();
    EXPECT_EQ(DxFault::CallCount(DxCall::DirectDraw_CreateClipper), 0);
    EXPECT_EQ(DxFault::CallCount(DxCall::DirectDraw_SetCooperativeLevel), 0);
    EXPECT_EQ(DxFault::LastForceUpdate().y2, 0u);
    EXPECT_EQ(DxFault::ReplacedDeviceList(), nullptr);
    ASSERT_EQ(dd_->CreateClipper(0, &clipper, nullptr), DD_OK);
    clipper->Release();
}

TEST_F(DDrawDxFaultTest, LostSurfacesStayLostUntilRestoredOrReset) {
    IDirectDrawSurface* back = Make(BackDesc(4, 4));
    IDirectDrawSurface* other = Make(BackDesc(4, 4));
    DxFault::MarkSurfaceLost(back);
    EXPECT_EQ(back->IsLost(), DDERR_SURFACELOST);
    EXPECT_EQ(other->IsLost(), DD_OK);
    DDSURFACEDESC desc = SizedDesc();
    EXPECT_EQ(back->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DDERR_SURFACELOST);
    EXPECT_EQ(other->Blt(nullptr, back, nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACELOST);
    EXPECT_EQ(back->IsLost(), DDERR_SURFACELOST);
    ASSERT_EQ(back->Restore(), DD_OK);
    EXPECT_EQ(back->IsLost(), DD_OK);
    EXPECT_EQ(other->Blt(nullptr, back, nullptr, DDBLT_WAIT, nullptr), DD_OK);

    DxFault::MarkSurfaceLost(other);
    DxFault::Reset();
    EXPECT_EQ(other->IsLost(), DD_OK);
    back->Release();
    other->Release();
}

TEST_F(DDrawDxFaultTest, PretendedDepthReachesTheDisplay) {
    HDC screen = GetDC(nullptr);
    for (int depth : {8, 16, 32}) {
        DxFault::PretendDisplayDepth(depth);
        EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), depth);
    }
    ReleaseDC(nullptr, screen);
}

}  // namespace
