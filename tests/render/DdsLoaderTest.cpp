#include <gtest/gtest.h>

#include "RenderTestFiles.h"
#include "framework/DdsLoader.h"

using namespace render_test;

namespace {

constexpr uint32_t kDxt1 = 0x83F1;
constexpr uint32_t kDxt3 = 0x83F2;
constexpr uint32_t kDxt5 = 0x83F3;

std::string unableLine(const std::string& path) {
    return "Unable to load DDS image file from path[" + path + "]\n";
}

std::string unsupportedLine(const std::string& path) {
    return "Unable to load DDS image file [" + path + "] due to an unsupported format.\n";
}

void expectEmpty(const DDSImage& image) {
    EXPECT_FALSE(image.isLoaded());
    EXPECT_TRUE(image.data.empty());
    EXPECT_EQ(image.width, 0u);
    EXPECT_EQ(image.height, 0u);
    EXPECT_EQ(image.size, 0u);
    EXPECT_EQ(image.internalFormat, 0u);
}

TEST(LoadDds, LegacyFormatsLoadLevelZeroOnly) {
    ScratchDir dir("dds");
    struct Case {
        const char* name;
        uint32_t code;
        uint32_t internalFormat;
        size_t levelSize;
    };
    const Case cases[] = {
        {"dxt1.dds", fourCc("DXT1"), kDxt1, 32768},
        {"dxt3.dds", fourCc("DXT3"), kDxt3, 65536},
        {"dxt5.dds", fourCc("DXT5"), kDxt5, 65536},
    };
    for (const Case& c : cases) {
        DdsFields spec;
        spec.width = 256;
        spec.height = 256;
        spec.fourCc = c.code;
        spec.linearSize = static_cast<uint32_t>(c.levelSize);
        spec.dataBytes = c.levelSize + c.levelSize / 4;  // level 0 plus a mip that is not read
        const std::string path = dir.write(c.name, makeDds(spec));

        CapturedStream out(std::cout);
        const DDSImage image = loadDDS(path);
        EXPECT_EQ(out.text(), "");
        EXPECT_EQ(image.width, 256u);
        EXPECT_EQ(image.height, 256u);
        EXPECT_EQ(image.size, c.levelSize) << c.name;
        EXPECT_EQ(image.internalFormat, c.internalFormat) << c.name;
        EXPECT_EQ(image.data, patternBytes(c.levelSize)) << c.name;
    }
}

TEST(LoadDds, Dx10SrgbAndLinearTakeTheLinearUploadFormatAndSkipTheExtraHeader) {
    ScratchDir dir("dds");
    const std::pair<uint32_t, uint32_t> cases[] = {{71, kDxt1}, {72, kDxt1}, {74, kDxt3},
                                                   {75, kDxt3}, {77, kDxt5}, {78, kDxt5}};
    for (const auto& [dxgi, internalFormat] : cases) {
        DdsFields spec;
        spec.width = 5;
        spec.height = 3;
        spec.fourCc = fourCc("DX10");
        spec.dxgiFormat = dxgi;
        spec.dataBytes = 32;
        const DDSImage image = loadDDS(dir.write("dx10.dds", makeDds(spec)));
        EXPECT_EQ(image.internalFormat, internalFormat) << dxgi;
        EXPECT_EQ(image.width, 5u);
        EXPECT_EQ(image.height, 3u);
        // 2 x 1 blocks; the data is what follows the 20-byte DX10 header.
        const size_t expected = internalFormat == kDxt1 ? 16 : 32;
        EXPECT_EQ(image.size, expected);
        EXPECT_EQ(image.data, patternBytes(expected)) << dxgi;
    }
}

TEST(LoadDds, HeaderLinearSizeIsNotTrusted) {
    ScratchDir dir("dds");
    for (const uint32_t claimed : {0u, 8u, 0xFFFFFFFFu}) {
        DdsFields spec;
        spec.width = 16;
        spec.height = 16;
        spec.fourCc = fourCc("DXT5");
        spec.linearSize = claimed;
        spec.dataBytes = bc3Size(16, 16);
        const DDSImage image = loadDDS(dir.write("claims.dds", makeDds(spec)));
        EXPECT_EQ(image.size, 256u) << claimed;
        EXPECT_EQ(image.data.size(), 256u) << claimed;
    }
}

TEST(LoadDds, TruncatedPixelDataIsNotLoaded) {
    ScratchDir dir("dds");
    DdsFields spec;
    spec.width = 64;
    spec.height = 64;
    spec.fourCc = fourCc("DXT1");
    spec.linearSize = static_cast<uint32_t>(bc1Size(64, 64));
    spec.dataBytes = bc1Size(64, 64) - 1;
    const std::string path = dir.write("short.dds", makeDds(spec));

    CapturedStream out(std::cout);
    expectEmpty(loadDDS(path));
    EXPECT_EQ(out.text(), unableLine(path));
}

TEST(LoadDds, FilesThatAreNoDdsTextureSayUnableToLoad) {
    ScratchDir dir("dds");
    DdsFields dxt1;
    dxt1.fourCc = fourCc("DXT1");
    dxt1.dataBytes = bc1Size(8, 8);

    std::vector<uint8_t> wrongMagic = makeDds(dxt1);
    wrongMagic[0] = 'P';
    DdsFields zeroWide = dxt1;
    zeroWide.width = 0;
    DdsFields huge = dxt1;
    huge.width = 1u << 20;
    huge.height = 1u << 20;
    DdsFields cube = dxt1;
    cube.caps2 = 0xFE00;
    std::vector<uint8_t> headerOnly = makeDds(dxt1);
    headerOnly.resize(60);

    const std::pair<const char*, std::vector<uint8_t>> files[] = {
        {"wrong-magic.dds", wrongMagic}, {"zero-width.dds", makeDds(zeroWide)},
        {"huge.dds", makeDds(huge)},     {"cube.dds", makeDds(cube)},
        {"header-only.dds", headerOnly}, {"empty.dds", {}},
    };
    for (const auto& [name, bytes] : files) {
        const std::string path = dir.write(name, bytes);
        CapturedStream out(std::cout);
        expectEmpty(loadDDS(path));
        EXPECT_EQ(out.text(), unableLine(path)) << name;
    }

    const std::string missing = dir.file("missing.dds");
    CapturedStream out(std::cout);
    expectEmpty(loadDDS(missing));
    EXPECT_EQ(out.text(), unableLine(missing));
}

TEST(LoadDds, UncompressedRgba8IsAnUnsupportedFormat) {
    ScratchDir dir("dds");
    DdsFields rgba;
    rgba.dataBytes = 8 * 8 * 4;
    const std::string path = dir.write("rgba8.dds", makeDds(rgba));

    CapturedStream out(std::cout);
    expectEmpty(loadDDS(path));
    EXPECT_EQ(out.text(), unsupportedLine(path));
}

TEST(LoadDds, KtxUnderADdsNameIsLeftUnloadedWithoutAWord) {
    ScratchDir dir("dds");
    const std::string path = dir.write("really-ktx.dds", makeKtx(0x83F3, 16, 16, bc3Size(16, 16)));

    CapturedStream out(std::cout);
    expectEmpty(loadDDS(path));
    EXPECT_EQ(out.text(), "");

    // A KTX file in a format the game cannot use is still called unsupported.
    const std::string rgba = dir.write("rgba-ktx.dds", makeKtx(0x8058, 4, 4, 64));
    CapturedStream again(std::cout);
    expectEmpty(loadDDS(rgba));
    EXPECT_EQ(again.text(), unsupportedLine(rgba));
}

}  // namespace
