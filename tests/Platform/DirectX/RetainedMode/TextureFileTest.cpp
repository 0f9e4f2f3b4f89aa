#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tests/Platform/DirectX/RetainedMode/BmpWriter.h"
#include "tests/Platform/DirectX/RetainedMode/RetainedModeFixture.h"

namespace {

constexpr std::uint32_t K = 0x000000, R = 0xFF0000, G = 0x00FF00, B = 0x0000FF, W = 0xFFFFFF, Y = 0xFFFF00;

class TextureFileTest : public RetainedModeTest {
protected:
    void SetUp() override {
        RetainedModeTest::SetUp();
        char pattern[] = "/tmp/vantel-texture-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override {
        std::filesystem::remove_all(dir_);
        RetainedModeTest::TearDown();
    }

    std::string Write(const std::vector<std::uint8_t>& bytes) {
        const std::string path = dir_ + "/t.bmp";
        WriteFile(path, bytes);
        return path;
    }

    // LoadTexture's result; on failure also checks that no object came out.
    HRESULT Load(const std::string& path, IDirect3DRMTexture2** texture) {
        *texture = reinterpret_cast<IDirect3DRMTexture2*>(this);
        const HRESULT result = rm->LoadTexture(path.c_str(), texture);
        if (result != D3DRM_OK) {
            EXPECT_EQ(*texture, nullptr);
        }
        return result;
    }

    std::string dir_;
};

// A 3 x 2 image (odd width, so rows need padding) in the colours every
// format can hold exactly.
const std::vector<std::uint32_t> kSix = {R, G, B, W, Y, K};

BmpFile Direct(std::uint16_t bitCount, std::int32_t height, std::uint32_t headerSize = 40,
               std::uint32_t compression = 0, std::vector<std::uint32_t> masks = {}) {
    BmpFile f;
    f.headerSize = headerSize;
    f.width = 3;
    f.height = height;
    f.bitCount = bitCount;
    f.compression = compression;
    f.masks = std::move(masks);
    EncodePixels(&f, kSix);
    return f;
}

BmpFile Indexed(std::uint16_t bitCount, int width, const std::vector<std::uint32_t>& palette,
                const std::vector<std::uint32_t>& texels, std::uint32_t headerSize = 40) {
    BmpFile f;
    f.headerSize = headerSize;
    f.width = width;
    f.height = static_cast<std::int32_t>(texels.size()) / width;
    f.bitCount = bitCount;
    f.palette = palette;
    if (headerSize != 12 && palette.size() < (1u << bitCount))
        f.colorsUsed = static_cast<std::uint32_t>(palette.size());
    if (headerSize == 12) f.palette.resize(1u << bitCount, K);
    EncodePixels(&f, texels);
    return f;
}

BmpFile Rle(std::uint32_t compression, int width, int height, std::vector<std::uint32_t> palette,
            std::vector<std::uint8_t> stream) {
    BmpFile f;
    f.width = width;
    f.height = height;
    f.bitCount = compression == 1 ? 8 : 4;
    f.compression = compression;
    f.colorsUsed = static_cast<std::uint32_t>(palette.size());
    f.palette = std::move(palette);
    f.pixels = std::move(stream);
    return f;
}

// Six wide, three high: runs, a literal, a move and line ends.
const std::vector<std::uint8_t> kRle8 = {6, 1, 0, 0,                          // bottom: six red
                                         0, 4, 2, 3, 1, 2, 2, 3, 0, 0,        // literal, run of blue
                                         0, 2, 2, 0, 1, 2, 0, 3, 1, 2, 3, 0,  // skip two, green, literal
                                         0, 1};
const std::vector<std::uint32_t> kRle8Texels = {K, K, G, R, G, B, G, B, R, G, B, B, R, R, R, R, R, R};

const std::vector<std::uint8_t> kRle4 = {5, 0x12, 0, 0, 0, 3, 0x31, 0x20, 2, 0x33, 0, 1};
const std::vector<std::uint32_t> kRle4Texels = {W, R, G, W, W, R, G, R, G, R};

struct ValidCase {
    const char* name;
    std::function<BmpFile()> file;
    int width;
    std::vector<std::uint32_t> texels;

    friend void PrintTo(const ValidCase& c, std::ostream* os) { *os << c.name; }
};

class ValidBmpTest : public TextureFileTest, public ::testing::WithParamInterface<ValidCase> {};

TEST_P(ValidBmpTest, GivesTheImagesTexelsTopRowFirst) {
    const ValidCase& c = GetParam();
    IDirect3DRMTexture2* texture;
    ASSERT_EQ(Load(Write(c.file().Bytes()), &texture), D3DRM_OK);
    const D3DRMIMAGE* image = texture->GetImage();
    ASSERT_EQ(image->width, c.width);
    ASSERT_EQ(image->height, static_cast<int>(c.texels.size()) / c.width);
    EXPECT_EQ(image->depth, 32);
    EXPECT_EQ(image->bytes_per_line, c.width * 4);
    const auto* texels = static_cast<const std::uint32_t*>(image->buffer1);
    EXPECT_EQ(std::vector<std::uint32_t>(texels, texels + c.texels.size()), c.texels);
    EXPECT_EQ(texture->Release(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Variants, ValidBmpTest,
    ::testing::Values(ValidCase{"Rgb24BottomUp", [] { return Direct(24, 2); }, 3, kSix},
                      ValidCase{"Rgb24TopDown", [] { return Direct(24, -2); }, 3, kSix},
                      ValidCase{"Rgb24CoreHeader", [] { return Direct(24, 2, 12); }, 3, kSix},
                      ValidCase{"Rgb24V5Header", [] { return Direct(24, 2, 124); }, 3, kSix},
                      ValidCase{"Rgb32", [] { return Direct(32, 2); }, 3, kSix},
                      ValidCase{"Rgb32TopDown", [] { return Direct(32, -2); }, 3, kSix},
                      ValidCase{"Bitfields32Swapped",
                                [] {
                                    return Direct(32, 2, 40, 3, {0xFF, 0xFF00, 0xFF0000});
                                },
                                3, kSix},
                      ValidCase{"Rgb16", [] { return Direct(16, 2); }, 3, kSix},
                      ValidCase{"Bitfields16In56Header",
                                [] {
                                    return Direct(16, -2, 56, 3, {0xF800, 0x07E0, 0x001F, 0});
                                },
                                3, kSix},
                      ValidCase{"Bitfields16After40Header",
                                [] {
                                    return Direct(16, 2, 40, 3, {0xF800, 0x07E0, 0x001F});
                                },
                                3, kSix},
                      ValidCase{"Bitfields16In108Header",
                                [] {
                                    return Direct(16, 2, 108, 3, {0x7C00, 0x03E0, 0x001F, 0});
                                },
                                3, kSix},
                      ValidCase{"Palette8",
                                [] {
                                    return Indexed(8, 3, {Y, R, K, W, G, B}, kSix);
                                },
                                3, kSix},
                      ValidCase{"Palette8CoreHeader",
                                [] {
                                    return Indexed(8, 3, {B, G, R, W, Y}, kSix, 12);
                                },
                                3, kSix},
                      ValidCase{"Palette4OddWidth",
                                [] {
                                    return Indexed(4, 5, {K, R, G, B}, {R, G, B, K, R, K, K, B, G, R});
                                },
                                5, std::vector<std::uint32_t>{R, G, B, K, R, K, K, B, G, R}},
                      ValidCase{"Palette1",
                                [] {
                                    return Indexed(1, 10, {K, W}, {W, K, W, W, K, K, W, K, W, W});
                                },
                                10, std::vector<std::uint32_t>{W, K, W, W, K, K, W, K, W, W}},
                      ValidCase{"Rle8", [] { return Rle(1, 6, 3, {K, R, G, B}, kRle8); }, 6, kRle8Texels},
                      ValidCase{"Rle4", [] { return Rle(2, 5, 2, {K, R, G, W}, kRle4); }, 5, kRle4Texels},
                      ValidCase{"WidestRow",
                                [] {
                                    BmpFile f = Indexed(8, 4096, {G, B}, std::vector<std::uint32_t>(4096, B));
                                    f.pixels[4095] = 0;
                                    return f;
                                },
                                4096,
                                [] {
                                    std::vector<std::uint32_t> row(4096, B);
                                    row[4095] = G;
                                    return row;
                                }()},
                      ValidCase{"TallestColumn",
                                [] { return Indexed(8, 1, {R, W}, std::vector<std::uint32_t>(4096, W)); }, 1,
                                std::vector<std::uint32_t>(4096, W)}),
    [](const ::testing::TestParamInfo<ValidCase>& info) { return std::string(info.param.name); });

struct BadCase {
    const char* name;
    std::function<std::vector<std::uint8_t>()> bytes;

    friend void PrintTo(const BadCase& c, std::ostream* os) { *os << c.name; }
};

std::vector<std::uint8_t> Patched(std::vector<std::uint8_t> bytes, std::size_t at, std::uint32_t value,
                                  int width = 4) {
    for (int i = 0; i < width; ++i) bytes[at + i] = (value >> (8 * i)) & 0xFF;
    return bytes;
}

std::vector<std::uint8_t> Cut(std::vector<std::uint8_t> bytes, std::size_t size) {
    bytes.resize(size);
    return bytes;
}

std::vector<std::uint8_t> Good24() {
    return Direct(24, 2).Bytes();
}

std::vector<std::uint8_t> Rle8Stream(std::vector<std::uint8_t> stream, int height = 3) {
    return Rle(1, 6, height, {K, R, G, B}, std::move(stream)).Bytes();
}

// Header offsets of a BMP with a 40-byte header.
constexpr std::size_t kOffset = 10, kHeaderSize = 14, kWidth = 18, kHeight = 22, kPlanes = 26, kBits = 28,
                      kCompression = 30, kColorsUsed = 46, kMasks = 54;

class BadBmpTest : public TextureFileTest, public ::testing::WithParamInterface<BadCase> {};

TEST_P(BadBmpTest, FailsCleanlyWithNoObject) {
    IDirect3DRMTexture2* texture;
    EXPECT_EQ(Load(Write(GetParam().bytes()), &texture), D3DRMERR_BADFILE);
}

INSTANTIATE_TEST_SUITE_P(
    Hostile, BadBmpTest,
    ::testing::Values(
        BadCase{"Empty", [] { return std::vector<std::uint8_t>{}; }},
        BadCase{"NotABitmap", [] { return Patched(Good24(), 0, 'X', 1); }},
        BadCase{"TruncatedFileHeader", [] { return Cut(Good24(), 10); }},
        BadCase{"TruncatedInfoHeader", [] { return Cut(Good24(), 30); }},
        BadCase{"TruncatedPixels", [] { return Cut(Good24(), Good24().size() - 1); }},
        BadCase{"UnknownHeaderSize", [] { return Patched(Good24(), kHeaderSize, 20); }},
        BadCase{"HeaderLongerThanFile", [] { return Patched(Good24(), kHeaderSize, 124); }},
        BadCase{"WidthZero", [] { return Patched(Good24(), kWidth, 0); }},
        BadCase{"HeightZero", [] { return Patched(Good24(), kHeight, 0); }},
        BadCase{"NegativeWidth", [] { return Patched(Good24(), kWidth, static_cast<std::uint32_t>(-3)); }},
        BadCase{"MostNegativeHeight", [] { return Patched(Good24(), kHeight, 0x80000000u); }},
        BadCase{"Huge", [] { return Patched(Patched(Good24(), kWidth, 5000), kHeight, 5000); }},
        BadCase{"OneTexelTooWide",
                [] { return Indexed(8, 4097, {G}, std::vector<std::uint32_t>(4097, G)).Bytes(); }},
        BadCase{"TwoPlanes", [] { return Patched(Good24(), kPlanes, 2, 2); }},
        BadCase{"SevenBits", [] { return Patched(Good24(), kBits, 7, 2); }},
        BadCase{"ZeroBits", [] { return Patched(Good24(), kBits, 0, 2); }},
        BadCase{"SixtyFourBits", [] { return Patched(Good24(), kBits, 64, 2); }},
        BadCase{"SixteenBitsInCoreHeader", [] { return Direct(16, 2, 12).Bytes(); }},
        BadCase{"JpegCompression", [] { return Patched(Good24(), kCompression, 4); }},
        BadCase{"Rle8At24Bits", [] { return Patched(Good24(), kCompression, 1); }},
        BadCase{"BitfieldsAt24Bits", [] { return Patched(Good24(), kCompression, 3); }},
        BadCase{"RleTopDown",
                [] { return Patched(Rle8Stream(kRle8), kHeight, static_cast<std::uint32_t>(-3)); }},
        BadCase{"OffsetBeyondFile", [] { return Patched(Good24(), kOffset, 100000); }},
        BadCase{"OffsetInsideHeaders", [] { return Patched(Good24(), kOffset, 20); }},
        BadCase{"PaletteTooLong",
                [] {
                    return Patched(Indexed(8, 3, {Y, R, K, W, G, B}, kSix).Bytes(), kColorsUsed, 300);
                }},
        BadCase{"PaletteOverlapsPixels",
                [] {
                    return Patched(Indexed(4, 3, {Y, R, K, W, G, B}, kSix).Bytes(), kColorsUsed, 16);
                }},
        BadCase{"IndexOutsidePalette",
                [] {
                    BmpFile f = Indexed(8, 3, {Y, R, K, W, G, B}, kSix);
                    f.pixels[1] = 6;
                    return f.Bytes();
                }},
        BadCase{"ZeroMask",
                [] {
                    return Direct(16, 2, 40, 3, {0xF800, 0, 0x001F}).Bytes();
                }},
        BadCase{"OverlappingMasks",
                [] {
                    return Direct(32, 2, 40, 3, {0xFF0000, 0xFFFF00, 0xFF}).Bytes();
                }},
        BadCase{"MaskWiderThanPixel",
                [] {
                    return Direct(16, 2, 40, 3, {0x1F800, 0x07E0, 0x001F}).Bytes();
                }},
        BadCase{"MasksCutOff",
                [] {
                    return Cut(Direct(16, 2, 40, 3, {0xF800, 0x07E0, 0x001F}).Bytes(), kMasks + 6);
                }},
        BadCase{"RleRunPastRowEnd",
                [] {
                    return Rle8Stream({7, 1, 0, 1});
                }},
        BadCase{"RleLiteralPastRowEnd",
                [] {
                    return Rle8Stream({3, 1, 0, 4, 1, 1, 1, 1, 0, 1});
                }},
        BadCase{"RleMovePastRowEnd",
                [] {
                    return Rle8Stream({0, 2, 7, 0, 0, 1});
                }},
        BadCase{"RleMovePastTop",
                [] {
                    return Rle8Stream({0, 2, 0, 4, 0, 1});
                }},
        BadCase{"RleRowsPastTop",
                [] {
                    return Rle8Stream({1, 1, 0, 0, 1, 1, 0, 1}, 1);
                }},
        BadCase{"RleWithoutEnd",
                [] {
                    return Rle8Stream({6, 1, 0, 0});
                }},
        BadCase{"RleLiteralCutOff",
                [] {
                    return Rle8Stream({0, 6, 1, 2});
                }},
        BadCase{"RleIndexOutsidePalette",
                [] {
                    return Rle8Stream({6, 9, 0, 1});
                }},
        BadCase{"Rle4RunPastRowEnd",
                [] {
                    return Rle(2, 5, 2, {K, R, G, W}, {6, 0x12, 0, 1}).Bytes();
                }}),
    [](const ::testing::TestParamInfo<BadCase>& info) { return std::string(info.param.name); });

TEST_F(TextureFileTest, MissingFileIsNotFound) {
    IDirect3DRMTexture2* texture;
    EXPECT_EQ(Load(dir_ + "/absent.bmp", &texture), D3DRMERR_FILENOTFOUND);
    EXPECT_EQ(rm->LoadTexture(nullptr, &texture), D3DRMERR_FILENOTFOUND);
}

TEST_F(TextureFileTest, DirectoriesDevicesAndFifosAreBadFiles) {
    IDirect3DRMTexture2* texture;
    EXPECT_EQ(Load(dir_, &texture), D3DRMERR_BADFILE);
    EXPECT_EQ(Load("/dev/zero", &texture), D3DRMERR_BADFILE);
    // Opening a FIFO without a writer must not wait for one.
    const std::string fifo = dir_ + "/fifo.bmp";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(Load(fifo, &texture), D3DRMERR_BADFILE);
}

TEST_F(TextureFileTest, AbsurdlyLargeFileIsRefusedUnread) {
    // A valid header in front of a sparse 100 MB file.
    const std::string path = Write(Good24());
    ASSERT_EQ(truncate(path.c_str(), 100 << 20), 0);
    IDirect3DRMTexture2* texture;
    EXPECT_EQ(Load(path, &texture), D3DRMERR_BADFILE);
}

TEST_F(TextureFileTest, ArmedFaultFailsWithoutReading) {
    DxFault::FailCall(DxCall::RM_LoadTexture, D3DRMERR_NOTFOUND);
    IDirect3DRMTexture2* texture = nullptr;
    EXPECT_EQ(rm->LoadTexture(Write(Good24()).c_str(), &texture), D3DRMERR_NOTFOUND);
    EXPECT_EQ(texture, nullptr);
    ASSERT_EQ(rm->LoadTexture(Write(Good24()).c_str(), &texture), D3DRM_OK);
    EXPECT_EQ(DxFault::CallCount(DxCall::RM_LoadTexture), 2);
    texture->Release();
}

TEST_F(TextureFileTest, ImagesInMemoryAreCopied) {
    std::uint32_t texels[6] = {0xFFFF0000u, 0x0000FF00u, 0,
                               0x000000FFu, 0x00FFFFFFu, 0};  // 2 x 2, 12-byte rows
    D3DRMIMAGE image{2, 2, 1, 1, 32, TRUE, 12, texels, nullptr, 0xFF0000u, 0xFF00u, 0xFFu, 0};
    IDirect3DRMTexture2* texture = nullptr;
    ASSERT_EQ(rm->CreateTexture(&image, &texture), D3DRM_OK);
    texels[0] = 0;
    const auto* copy = static_cast<const std::uint32_t*>(texture->GetImage()->buffer1);
    EXPECT_EQ(std::vector<std::uint32_t>(copy, copy + 4),
              (std::vector<std::uint32_t>{0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0x00FFFFFFu}));
    texture->Release();
    for (auto broken : {D3DRMIMAGE{0, 2, 1, 1, 32, TRUE, 12, texels, nullptr, 0, 0, 0, 0},
                        D3DRMIMAGE{2, 2, 1, 1, 8, TRUE, 12, texels, nullptr, 0, 0, 0, 0},
                        D3DRMIMAGE{2, 2, 1, 1, 32, TRUE, 4, texels, nullptr, 0, 0, 0, 0},
                        D3DRMIMAGE{2, 2, 1, 1, 32, TRUE, 12, nullptr, nullptr, 0, 0, 0, 0}}) {
        EXPECT_EQ(rm->CreateTexture(&broken, &texture), D3DRMERR_BADVALUE);
        EXPECT_EQ(texture, nullptr);
    }
}

}  // namespace
