// The HUD's font sheet and the start screen, read the way the HUD reads them.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "AssetTestSupport.h"
#include "render/HeadsUpDisplay.h"
#include "render/HudLayout.h"
#include "support/GlTestContext.h"
#include "world/ImageFile.h"

using asset_test::assetPath;

namespace {

const std::string kFont = "textures/fonts/greek_outlined.tga";
const std::string kTutorial = "tutorial/Veltra_TutorialSTART.png";

// An RGBA image loaded bottom row first, as the HUD uploads it.
struct FlippedImage {
    int width = 0;
    int height = 0;
    DecodedImage decoded;
    const unsigned char* pixels = nullptr;
    std::string reason;

    explicit FlippedImage(const std::string& path)
        : decoded(decodeImageFile(path, 4, true, 1 << 14)),
          pixels(decoded.pixels.get()),
          reason(decoded.reason) {
        width = decoded.width;
        height = decoded.height;
    }
    uint8_t alpha(int x, int y) const {
        return pixels[(static_cast<size_t>(y) * static_cast<size_t>(width) +
                       static_cast<size_t>(x)) *
                          4 +
                      3];
    }
};

// Alpha of one glyph cell, addressed like the HUD does by its lower-left uv.
std::vector<uint8_t> cell(const FlippedImage& font, unsigned char c) {
    const glm::vec2 uv = HudLayout::glyphUvOffset(c);
    const int size = font.width / 8;
    const int x0 = static_cast<int>(uv.x * static_cast<float>(font.width) + 0.5f);
    const int y0 = static_cast<int>(uv.y * static_cast<float>(font.height) + 0.5f);
    std::vector<uint8_t> out;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            out.push_back(font.alpha(x0 + x, y0 + y));
        }
    }
    return out;
}

int inkWidth(const std::vector<uint8_t>& alpha, int size) {
    int lo = size, hi = -1;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            if (alpha[static_cast<size_t>(y * size + x)] > 128) {
                lo = std::min(lo, x);
                hi = std::max(hi, x);
            }
        }
    }
    return hi < 0 ? 0 : hi - lo + 1;
}

const std::string kHudCharacters = "0123456789:!@ABCDEFGHIJKLMNOPQRSTUVWXYZ";

}  // namespace

TEST(FontSheetAsset, SquareSheetOfEightByEightCellsWithTransparency) {
    const FlippedImage font(assetPath(kFont));
    ASSERT_TRUE(font.pixels) << font.reason;
    EXPECT_EQ(font.width, font.height);
    EXPECT_EQ(font.width % 8, 0);
    size_t clear = 0, solid = 0;
    for (int y = 0; y < font.height; ++y) {
        for (int x = 0; x < font.width; ++x) {
            clear += font.alpha(x, y) == 0;
            solid += font.alpha(x, y) == 255;
        }
    }
    EXPECT_GT(clear, 0u);
    EXPECT_GT(solid, 0u);
}

TEST(FontSheetAsset, EveryCharacterTheHudPrintsHasItsOwnGlyph) {
    const FlippedImage font(assetPath(kFont));
    ASSERT_TRUE(font.pixels);
    const int size = font.width / 8;
    // Glyphs compared as byte strings (a set of byte vectors trips a false
    // out-of-bounds warning in MinGW's GCC 12 at -O3).
    std::set<std::string> seen;
    for (unsigned char c : kHudCharacters) {
        const std::vector<uint8_t> alpha = cell(font, c);
        EXPECT_GT(inkWidth(alpha, size), 0) << "no glyph for '" << c << "'";
        EXPECT_TRUE(seen.insert(std::string(alpha.begin(), alpha.end())).second)
            << "'" << c << "' looks like another character";
        // A clear rim: nearest sampling at a cell's edge must not show its neighbour.
        for (int k = 0; k < size; ++k) {
            const size_t last = static_cast<size_t>(size - 1);
            ASSERT_EQ(alpha[static_cast<size_t>(k)], 0) << c;
            ASSERT_EQ(alpha[last * static_cast<size_t>(size) + static_cast<size_t>(k)], 0) << c;
            ASSERT_EQ(alpha[static_cast<size_t>(k * size)], 0) << c;
            ASSERT_EQ(alpha[static_cast<size_t>(k * size + size - 1)], 0) << c;
        }
    }
    // The space is blank, and a narrow glyph is narrower than a wide one,
    // which a sheet laid out in another order would not give.
    EXPECT_EQ(inkWidth(cell(font, ' '), size), 0);
    EXPECT_LT(inkWidth(cell(font, '!'), size) * 2, inkWidth(cell(font, 'W'), size));
    EXPECT_LT(inkWidth(cell(font, 'I'), size) * 2, inkWidth(cell(font, 'M'), size));
}

TEST(TutorialAsset, IsAWideNightPictureWithLightLettering) {
    const FlippedImage picture(assetPath(kTutorial));
    ASSERT_TRUE(picture.pixels) << picture.reason;
    EXPECT_GE(picture.width, 1280);
    EXPECT_NEAR(static_cast<double>(picture.width) / picture.height, 16.0 / 9.0, 0.05);
    size_t dark = 0, light = 0;
    const size_t count = static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height);
    for (size_t i = 0; i < count; ++i) {
        const unsigned char* p = picture.pixels + i * 4;
        const int sum = p[0] + p[1] + p[2];
        dark += sum < 150;
        light += sum > 600;
    }
    EXPECT_GT(dark, count / 2) << "a night scene is mostly dark";
    EXPECT_GT(light, count / 200) << "the lettering should stand out";
}

TEST(TutorialAsset, HudLoadsBothPicturesFromTheGamesPaths) {
    REQUIRE_GL_CONTEXT();
    // The HUD opens the start screen relative to the working directory, as
    // the game does from its build folder next to assets/.
    if (!std::filesystem::exists("../assets/" + kTutorial)) {
        GTEST_SKIP() << "the build folder is not next to assets/";
    }
    HeadsUpDisplay hud;
    testing::internal::CaptureStderr();
    hud.loadTextures(assetPath(kFont));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_NE(hud.getFontTexture(), 0u);
    ASSERT_GT(hud.getTutorialHeight(), 0);
    EXPECT_NEAR(static_cast<double>(hud.getTutorialWidth()) / hud.getTutorialHeight(), 16.0 / 9.0,
                0.05);
}
