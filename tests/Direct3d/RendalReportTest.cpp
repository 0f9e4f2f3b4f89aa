// Failure reports name each result code; the trace adds one newline.
#include <gmock/gmock.h>

#include <set>

#include "tests/Direct3d/RendalTestSupport.h"

namespace {

std::string DDReport(HRESULT code) {
    return Captured([&] { RZXDDError(code, "f", 7); });
}
std::string RMReport(HRESULT code) {
    return Captured([&] { RZXRMError(code, "f", 7); });
}
std::string DDText(const std::string& name) {
    return "DirectDraw Error " + name + "\nin file f at line 7\n";
}
std::string RMText(const std::string& name) {
    return "Direct3D-RM Error : " + name + "\nin file f at line 7\n";
}

#define NAMED(code) \
    { code, #code }

// Names checked against the constants of the DirectX headers, which are
// written independently of the layer's tables.
const RZXErrorName kHeaderDDNames[] = {
    NAMED(DDERR_GENERIC),
    NAMED(DDERR_UNSUPPORTED),
    NAMED(DDERR_NOTINITIALIZED),
    NAMED(DDERR_OUTOFMEMORY),
    NAMED(DDERR_INVALIDPARAMS),
    NAMED(DDERR_CANNOTATTACHSURFACE),
    NAMED(DDERR_INVALIDCAPS),
    NAMED(DDERR_INVALIDOBJECT),
    NAMED(DDERR_INVALIDPIXELFORMAT),
    NAMED(DDERR_INVALIDRECT),
    NAMED(DDERR_NOCLIPLIST),
    NAMED(DDERR_NOCOOPERATIVELEVELSET),
    NAMED(DDERR_OUTOFVIDEOMEMORY),
    NAMED(DDERR_SURFACEALREADYATTACHED),
    NAMED(DDERR_SURFACEBUSY),
    NAMED(DDERR_SURFACELOST),
    NAMED(DDERR_SURFACENOTATTACHED),
    NAMED(DDERR_TOOBIGSIZE),
    NAMED(DDERR_UNSUPPORTEDFORMAT),
    NAMED(DDERR_WASSTILLDRAWING),
    NAMED(DDERR_PRIMARYSURFACEALREADYEXISTS),
    NAMED(DDERR_NOCLIPPERATTACHED),
    NAMED(DDERR_NOHWND),
    NAMED(DDERR_NOPALETTEATTACHED),
    NAMED(DDERR_NOTLOCKED),
    NAMED(DDERR_NOTPALETTIZED),
};

const RZXErrorName kHeaderRMNames[] = {
    NAMED(D3DRMERR_BADOBJECT),       NAMED(D3DRMERR_BADTYPE),         NAMED(D3DRMERR_BADALLOC),
    NAMED(D3DRMERR_FACEUSED),        NAMED(D3DRMERR_NOTFOUND),        NAMED(D3DRMERR_NOTDONEYET),
    NAMED(D3DRMERR_FILENOTFOUND),    NAMED(D3DRMERR_BADFILE),         NAMED(D3DRMERR_BADDEVICE),
    NAMED(D3DRMERR_BADVALUE),        NAMED(D3DRMERR_BADMAJORVERSION), NAMED(D3DRMERR_BADMINORVERSION),
    NAMED(D3DRMERR_UNABLETOEXECUTE),
};

#undef NAMED

TEST(RendalReportTest, HeaderCodesGetTheirPublishedNames) {
    for (const RZXErrorName& row : kHeaderDDNames) {
        EXPECT_EQ(DDReport(row.code), DDText(row.name));
        EXPECT_EQ(RMReport(row.code), RMText("Unknown Error")) << row.name;
    }
    for (const RZXErrorName& row : kHeaderRMNames) {
        EXPECT_EQ(RMReport(row.code), RMText(row.name));
        EXPECT_EQ(DDReport(row.code), DDText("Unknown Error")) << row.name;
    }
}

TEST(RendalReportTest, EveryTableRowIsFoundByItsCode) {
    std::set<HRESULT> codes;
    std::set<std::string> names;
    for (const RZXErrorName& row : RZXDDErrorName) {
        EXPECT_THAT(row.name, testing::StartsWith("DDERR_"));
        EXPECT_EQ(DDReport(row.code), DDText(row.name));
        EXPECT_EQ(RMReport(row.code), RMText("Unknown Error")) << row.name;
        codes.insert(row.code);
        names.insert(row.name);
    }
    for (const RZXErrorName& row : RZXRMErrorName) {
        EXPECT_THAT(row.name, testing::StartsWith("D3DRMERR_"));
        EXPECT_EQ(RMReport(row.code), RMText(row.name));
        EXPECT_EQ(DDReport(row.code), DDText("Unknown Error")) << row.name;
        codes.insert(row.code);
        names.insert(row.name);
    }
    EXPECT_EQ(codes.size(), 113u);
    EXPECT_EQ(names.size(), 113u);
}

struct Lookup {
    HRESULT code;
    const char* ddName;
    const char* rmName;
};

const Lookup kLookups[] = {
    {0, "Unknown Error", "Unknown Error"},
    {MAKE_DDHRESULT(5), "DDERR_ALREADYINITIALIZED", "Unknown Error"},
    {MAKE_DDHRESULT(317), "DDERR_NOT4BITCOLORINDEX", "Unknown Error"},
    {MAKE_DDHRESULT(384), "DDERR_OVERLAYCOLORKEYONLYONEACTIVE", "Unknown Error"},
    {MAKE_DDHRESULT(592), "DDERR_INVALIDSURFACETYPE", "Unknown Error"},
    {MAKE_DDHRESULT(620), "DDERR_DCALREADYCREATED", "Unknown Error"},
    {MAKE_DDHRESULT(630), "Unknown Error", "Unknown Error"},
    {MAKE_DDHRESULT(680), "DDERR_NOTPAGELOCKED", "Unknown Error"},
    {MAKE_DDHRESULT(780), "Unknown Error", "Unknown Error"},
    {MAKE_DDHRESULT(794), "Unknown Error", "Unknown Error"},
    {E_NOINTERFACE, "Unknown Error", "Unknown Error"},
};

TEST(RendalReportTest, CodesNamedOrUnknownInEachTable) {
    for (const Lookup& row : kLookups) {
        EXPECT_EQ(DDReport(row.code), DDText(row.ddName)) << std::hex << row.code;
        EXPECT_EQ(RMReport(row.code), RMText(row.rmName)) << std::hex << row.code;
    }
}

TEST(RendalReportTest, ReportNamesFileAndSite) {
    EXPECT_EQ(Captured([] { RZXDDError(DDERR_SURFACELOST, kSourcePath, 1219); }),
              "DirectDraw Error DDERR_SURFACELOST\nin file C:\\myproject\\Direct3d\\Rendal at line 1219\n");
    EXPECT_EQ(Captured([] { RZXRMError(D3DRMERR_BADVALUE, "Deepdr", 346); }),
              "Direct3D-RM Error : D3DRMERR_BADVALUE\nin file Deepdr at line 346\n");
}

TEST(RendalReportTest, OverlongPathIsCutToTheMessageBuffer) {
    std::string path(3000, 'p');
    std::string out = Captured([&] { RZXDDError(DDERR_GENERIC, path.c_str(), 1); });
    ASSERT_EQ(out.size(), 1024u);
    EXPECT_THAT(out, testing::StartsWith("DirectDraw Error DDERR_GENERIC\nin file ppp"));
    EXPECT_EQ(out.back(), '\n');
}

TEST(RendalReportTest, TraceAddsOneNewline) {
    EXPECT_EQ(Captured([] { RZXTrace(""); }), "\n");
    EXPECT_EQ(Captured([] { RZXTrace("RZX:x\n"); }), "RZX:x\n\n");
}

}  // namespace
