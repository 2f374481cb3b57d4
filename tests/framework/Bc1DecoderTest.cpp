#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "framework/Bc1Decoder.h"
#include "framework/DdsLoader.h"
#include "framework/Gl.h"

namespace {

// A 5 by 5 image: four blocks, three of them cut by the image's edge.
// Block 0: red (c0) above blue (c1), the four-colour mode, texels 0..3 on
// its first row. Block 1: c0 below c1, the three-colour mode with
// transparent black. Blocks 2 and 3: c0 only.
DDSImage fiveByFive() {
    DDSImage image;
    image.width = 5;
    image.height = 5;
    image.internalFormat = GL_COMPRESSED_RGBA_S3TC_DXT1_EXT;
    image.data = {
        0x00, 0xf8, 0x1f, 0x00, 0xe4, 0x00, 0x00, 0x00,  // red, blue; row 0: 0 1 2 3
        0x1f, 0x00, 0x00, 0xf8, 0xe4, 0xe4, 0xe4, 0xe4,  // blue < red; rows: 0 1 2 3
        0xe0, 0x07, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // green
        0xff, 0xff, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // white
    };
    image.size = static_cast<uint32_t>(image.data.size());
    return image;
}

std::vector<uint8_t> texel(const std::vector<uint8_t>& texels, int x, int y) {
    const auto at = static_cast<size_t>((y * 5 + x) * 4);
    return {texels.begin() + static_cast<long>(at), texels.begin() + static_cast<long>(at) + 4};
}

}  // namespace

TEST(Bc1Decoder, DecodesBothModesAndStopsAtTheImagesEdge) {
    const std::vector<uint8_t> texels = decodeBc1(fiveByFive());
    ASSERT_EQ(texels.size(), 5u * 5u * 4u);
    // Four colours: the ends, then two thirds and one third of the way.
    EXPECT_EQ(texel(texels, 0, 0), (std::vector<uint8_t>{255, 0, 0, 255}));
    EXPECT_EQ(texel(texels, 1, 0), (std::vector<uint8_t>{0, 0, 255, 255}));
    EXPECT_EQ(texel(texels, 2, 0), (std::vector<uint8_t>{170, 0, 85, 255}));
    EXPECT_EQ(texel(texels, 3, 0), (std::vector<uint8_t>{85, 0, 170, 255}));
    EXPECT_EQ(texel(texels, 0, 1), (std::vector<uint8_t>{255, 0, 0, 255}));
    // Three colours: the half-way colour, then transparent black. Only the
    // block's first column lies inside the image.
    EXPECT_EQ(texel(texels, 4, 0), (std::vector<uint8_t>{0, 0, 255, 255}));
    const DDSImage flipped = [] {
        DDSImage image = fiveByFive();
        image.data[12] = 0xfe;  // row 0 of block 1: indices 2 3 3 3
        image.data[13] = 0xff;  // row 1: 3 3 3 3
        return image;
    }();
    const std::vector<uint8_t> modes = decodeBc1(flipped);
    EXPECT_EQ(texel(modes, 4, 0), (std::vector<uint8_t>{127, 0, 127, 255}));
    EXPECT_EQ(texel(modes, 4, 1), (std::vector<uint8_t>{0, 0, 0, 0}));
    // The blocks of the last row: one row each.
    EXPECT_EQ(texel(texels, 3, 4), (std::vector<uint8_t>{0, 255, 0, 255}));
    EXPECT_EQ(texel(texels, 4, 4), (std::vector<uint8_t>{255, 255, 255, 255}));
}

TEST(Bc1Decoder, RefusesOtherFormatsAndShortData) {
    DDSImage short_ = fiveByFive();
    short_.data.resize(31);
    EXPECT_TRUE(decodeBc1(short_).empty());
    DDSImage bc3 = fiveByFive();
    bc3.internalFormat = GL_COMPRESSED_RGBA_S3TC_DXT5_EXT;
    EXPECT_TRUE(decodeBc1(bc3).empty());
}
