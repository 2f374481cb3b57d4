#include <gtest/gtest.h>

#include <vector>

#include "framework/MipChain.h"

namespace {

// A texture whose texels all hold the same four channels.
std::vector<uint8_t> texture(const std::vector<uint8_t>& values) {
    std::vector<uint8_t> texels;
    for (uint8_t v : values) {
        texels.insert(texels.end(), {v, v, v, v});
    }
    return texels;
}

}  // namespace

TEST(MipChain, EachLevelIsTheRoundedMeanOfTheBlockAboveDownToOneTexel) {
    // 4 by 2: two blocks, then one texel.
    const std::vector<MipLevel> chain = buildMipChain(texture({0, 1, 10, 20,  //
                                                               1, 1, 30, 41}),
                                                      4, 2);
    ASSERT_EQ(chain.size(), 2u);
    EXPECT_EQ(chain[0].width, 2u);
    EXPECT_EQ(chain[0].height, 1u);
    EXPECT_EQ(chain[0].texels, texture({1, 25}));  // 3/4 rounds to 1, 101/4 to 25
    EXPECT_EQ(chain[1].width, 1u);
    EXPECT_EQ(chain[1].height, 1u);
    EXPECT_EQ(chain[1].texels, texture({13}));  // a side of 1 averages its pair
}

TEST(MipChain, OddAndSingleSidesKeepOpenGlsLevelSizes) {
    // 3 by 3 halves to 1 by 1 from the first block; the last row and column
    // are left out.
    const std::vector<MipLevel> odd = buildMipChain(texture({8, 8, 200,  //
                                                             8, 8, 200,  //
                                                             200, 200, 200}),
                                                    3, 3);
    ASSERT_EQ(odd.size(), 1u);
    EXPECT_EQ(odd[0].texels, texture({8}));

    const std::vector<MipLevel> column = buildMipChain(texture({0, 4, 100, 100}), 1, 4);
    ASSERT_EQ(column.size(), 2u);
    EXPECT_EQ(column[0].width, 1u);
    EXPECT_EQ(column[0].height, 2u);
    EXPECT_EQ(column[0].texels, texture({2, 100}));
    EXPECT_EQ(column[1].texels, texture({51}));
}

TEST(MipChain, NothingForOneTexelOrTooFewTexels) {
    EXPECT_TRUE(buildMipChain(texture({7}), 1, 1).empty());
    EXPECT_TRUE(buildMipChain(texture({1, 2, 3}), 2, 2).empty());
    EXPECT_TRUE(buildMipChain({}, 0, 0).empty());
}
