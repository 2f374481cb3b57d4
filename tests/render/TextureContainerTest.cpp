#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <span>
#include <tuple>

#include "RenderTestFiles.h"
#include "framework/TextureContainer.h"

using namespace render_test;

namespace {

std::optional<TextureContainerInfo> read(const std::vector<uint8_t>& bytes) {
    return readTextureContainer(std::span<const uint8_t>(bytes));
}

TEST(TextureContainer, LegacyFourCcFormatsMapToBcFormats) {
    const std::tuple<uint32_t, uint32_t, uint32_t> cases[] = {
        {fourCc("DXT1"), 0x4, kTextureFormatBc1RgbUnorm},
        {fourCc("DXT1"), 0x4 | 0x1, kTextureFormatBc1RgbaUnorm},  // alpha-pixels flag
        {fourCc("DXT3"), 0x4, kTextureFormatBc2Unorm},
        {fourCc("DXT5"), 0x4, kTextureFormatBc3Unorm},
    };
    for (const auto& [code, flags, format] : cases) {
        DdsFields spec;
        spec.width = 64;
        spec.height = 32;
        spec.fourCc = code;
        spec.pixelFlags = flags;
        spec.dataBytes = 1024;
        const auto info = read(makeDds(spec));
        ASSERT_TRUE(info) << code;
        EXPECT_EQ(info->kind, ContainerKind::Dds);
        EXPECT_EQ(info->format, format) << code;
        EXPECT_EQ(info->width, 64u);
        EXPECT_EQ(info->height, 32u);
        EXPECT_EQ(info->dataOffset, 128u);
    }
}

TEST(TextureContainer, Dx10HeaderGivesLinearAndSrgbFormatsAndMovesTheData) {
    const std::pair<uint32_t, uint32_t> cases[] = {
        {71, kTextureFormatBc1RgbaUnorm}, {72, kTextureFormatBc1RgbaSrgb},
        {74, kTextureFormatBc2Unorm},     {75, kTextureFormatBc2Srgb},
        {77, kTextureFormatBc3Unorm},     {78, kTextureFormatBc3Srgb},
        {28, kTextureFormatRgba8Unorm},   {98, kTextureFormatUndefined},  // BC7
    };
    for (const auto& [dxgi, format] : cases) {
        DdsFields spec;
        spec.fourCc = fourCc("DX10");
        spec.dxgiFormat = dxgi;
        spec.dataBytes = 64;
        const auto info = read(makeDds(spec));
        ASSERT_TRUE(info) << dxgi;
        EXPECT_EQ(info->format, format) << dxgi;
        EXPECT_EQ(info->dataOffset, 148u);
    }
}

TEST(TextureContainer, UncompressedAndUnknownFourCcAreRecognisedButNotBlockCompressed) {
    DdsFields rgba;
    rgba.dataBytes = 8 * 8 * 4;
    const auto rgbaInfo = read(makeDds(rgba));
    ASSERT_TRUE(rgbaInfo);
    EXPECT_EQ(rgbaInfo->format, kTextureFormatRgba8Unorm);
    EXPECT_FALSE(isBlockCompressedFormat(rgbaInfo->format));

    DdsFields ati2;
    ati2.fourCc = fourCc("ATI2");
    const auto ati2Info = read(makeDds(ati2));
    ASSERT_TRUE(ati2Info);
    EXPECT_EQ(ati2Info->format, kTextureFormatUndefined);
}

TEST(TextureContainer, KtxFormatsIncludingSrgb) {
    const std::pair<uint32_t, uint32_t> cases[] = {
        {0x83F0, kTextureFormatBc1RgbUnorm}, {0x83F1, kTextureFormatBc1RgbaUnorm},
        {0x83F2, kTextureFormatBc2Unorm},    {0x83F3, kTextureFormatBc3Unorm},
        {0x8C4C, kTextureFormatBc1RgbSrgb},  {0x8C4D, kTextureFormatBc1RgbaSrgb},
        {0x8C4E, kTextureFormatBc2Srgb},     {0x8C4F, kTextureFormatBc3Srgb},
    };
    for (const auto& [glFormat, format] : cases) {
        const auto info = read(makeKtx(glFormat, 16, 8, 128, 12));
        ASSERT_TRUE(info) << glFormat;
        EXPECT_EQ(info->kind, ContainerKind::Ktx1);
        EXPECT_EQ(info->format, format);
        EXPECT_EQ(info->width, 16u);
        EXPECT_EQ(info->height, 8u);
        EXPECT_EQ(info->dataOffset, 64u + 12u + 4u);
    }
}

TEST(TextureContainer, RefusesWhatIsNotAPlain2dTexture) {
    DdsFields base;
    base.fourCc = fourCc("DXT5");
    base.dataBytes = 64;
    ASSERT_TRUE(read(makeDds(base)));

    DdsFields cube = base;
    cube.caps2 = 0x200 | 0xFC00;
    EXPECT_FALSE(read(makeDds(cube)));
    DdsFields volume = base;
    volume.caps2 = 0x200000;
    EXPECT_FALSE(read(makeDds(volume)));

    DdsFields dx10 = base;
    dx10.fourCc = fourCc("DX10");
    dx10.dxgiFormat = 77;
    ASSERT_TRUE(read(makeDds(dx10)));
    DdsFields dx10Cube = dx10;
    dx10Cube.dx10MiscFlags = 0x4;
    EXPECT_FALSE(read(makeDds(dx10Cube)));
    DdsFields dx10Array = dx10;
    dx10Array.dx10ArraySize = 3;
    EXPECT_FALSE(read(makeDds(dx10Array)));
    DdsFields dx10Volume = dx10;
    dx10Volume.dx10Dimension = 4;
    EXPECT_FALSE(read(makeDds(dx10Volume)));

    EXPECT_FALSE(read(makeKtx(0x83F3, 16, 16, 256, 0, 6)));  // cube map
    EXPECT_FALSE(read(makeKtx(0x83F3, 16, 0, 256)));         // 1D
}

TEST(TextureContainer, RefusesAbsurdExtents) {
    const std::pair<uint32_t, uint32_t> extents[] = {
        {0, 8}, {8, 0}, {16385, 8}, {8, 16385}, {0xFFFFFFFF, 0xFFFFFFFF}};
    for (const auto& [w, h] : extents) {
        DdsFields spec;
        spec.fourCc = fourCc("DXT1");
        spec.width = w;
        spec.height = h;
        spec.dataBytes = 64;
        EXPECT_FALSE(read(makeDds(spec))) << w << "x" << h;
        EXPECT_FALSE(read(makeKtx(0x83F1, w, h, 64))) << w << "x" << h;
    }
    DdsFields largest;
    largest.fourCc = fourCc("DXT1");
    largest.width = 16384;
    largest.height = 16384;
    EXPECT_TRUE(read(makeDds(largest)));
}

TEST(TextureContainer, RefusesForeignMagicAndBrokenHeaders) {
    DdsFields spec;
    spec.fourCc = fourCc("DXT1");
    spec.dataBytes = 32;
    std::vector<uint8_t> wrongMagic = makeDds(spec);
    wrongMagic[3] = 'X';
    EXPECT_FALSE(read(wrongMagic));

    std::vector<uint8_t> wrongHeaderSize = makeDds(spec);
    putU32(wrongHeaderSize, 4, 100);
    EXPECT_FALSE(read(wrongHeaderSize));

    std::vector<uint8_t> bigEndianKtx = makeKtx(0x83F1, 8, 8, 32);
    putU32(bigEndianKtx, 12, 0x01020304);
    EXPECT_FALSE(read(bigEndianKtx));

    // A key/value block claimed to run past the end of the file.
    std::vector<uint8_t> longKeyValues = makeKtx(0x83F1, 8, 8, 32);
    putU32(longKeyValues, 60, 0xFFFFFFF0);
    EXPECT_FALSE(read(longKeyValues));

    EXPECT_FALSE(read({}));
    EXPECT_FALSE(read({'D', 'D', 'S'}));
}

// Every prefix of a valid file is read without touching a byte beyond it
// (the sanitizer build checks the "without touching" part).
TEST(TextureContainer, EveryTruncationIsSafe) {
    DdsFields dx10;
    dx10.fourCc = fourCc("DX10");
    dx10.dxgiFormat = 71;
    dx10.dataBytes = 32;
    const std::vector<std::vector<uint8_t>> files = {makeDds(dx10), makeKtx(0x83F3, 4, 4, 16, 8)};
    for (const std::vector<uint8_t>& file : files) {
        for (size_t length = 0; length <= file.size(); ++length) {
            const std::vector<uint8_t> prefix(file.begin(),
                                              file.begin() + static_cast<std::ptrdiff_t>(length));
            const auto info = read(prefix);
            if (info) {
                EXPECT_LE(info->dataOffset, length);
            }
        }
    }
}

// Damaged headers (a few bytes overwritten, the file maybe cut short) are
// either refused or described within the bytes that exist. Fixed seed.
TEST(TextureContainer, DamagedHeadersStayInsideTheBuffer) {
    DdsFields dx10;
    dx10.fourCc = fourCc("DX10");
    dx10.dxgiFormat = 77;
    dx10.dataBytes = 64;
    DdsFields legacy;
    legacy.fourCc = fourCc("DXT1");
    legacy.dataBytes = 32;
    const std::vector<std::vector<uint8_t>> originals = {makeDds(dx10), makeDds(legacy),
                                                         makeKtx(0x83F1, 8, 8, 32, 16)};
    std::mt19937 random(20240611);
    for (int round = 0; round < 3000; ++round) {
        std::vector<uint8_t> file = originals[static_cast<size_t>(round) % originals.size()];
        const int damage = 1 + static_cast<int>(random() % 4);
        for (int i = 0; i < damage; ++i) {
            file[random() % std::min<size_t>(file.size(), 160)] = static_cast<uint8_t>(random());
        }
        if (random() % 3 == 0) {
            file.resize(random() % file.size());
        }
        const auto info = read(file);
        if (info) {
            ASSERT_LE(info->dataOffset, file.size()) << "round " << round;
            ASSERT_GE(info->width, 1u);
            ASSERT_LE(info->width, kMaxTextureExtent);
            ASSERT_GE(info->height, 1u);
            ASSERT_LE(info->height, kMaxTextureExtent);
        }
    }
}

TEST(TextureContainer, BlockSizesCountWholeBlocks) {
    EXPECT_EQ(blockCompressedLevelSize(kTextureFormatBc1RgbUnorm, 256, 256), 32768u);
    EXPECT_EQ(blockCompressedLevelSize(kTextureFormatBc1RgbaSrgb, 256, 256), 32768u);
    EXPECT_EQ(blockCompressedLevelSize(kTextureFormatBc3Unorm, 256, 256), 65536u);
    EXPECT_EQ(blockCompressedLevelSize(kTextureFormatBc2Srgb, 256, 256), 65536u);
    EXPECT_EQ(blockCompressedLevelSize(kTextureFormatBc3Unorm, 5, 3), 32u);
    EXPECT_EQ(blockCompressedLevelSize(kTextureFormatBc1RgbUnorm, 1, 1), 8u);
    EXPECT_EQ(blockCompressedLevelSize(kTextureFormatBc3Srgb, 16384, 16384), 268435456u);
    EXPECT_EQ(blockCompressedLevelSize(kTextureFormatRgba8Unorm, 256, 256), 0u);
}

}  // namespace
