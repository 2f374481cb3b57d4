#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "RenderGlSupport.h"
#include "framework/Bc1Decoder.h"
#include "framework/DdsLoader.h"
#include "framework/Gl.h"
#include "framework/SoftwareRenderer.h"
#include "render/Texture.h"
#include "support/GlTestContext.h"

using namespace render_test;

namespace {

struct Level {
    GLint width = 0;
    GLint height = 0;
    std::vector<uint8_t> rgba;
};

// Every level of the texture bound to GL_TEXTURE_2D as the driver decodes it.
std::vector<Level> readLevels(GLuint texture) {
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    std::vector<Level> levels;
    for (GLint level = 0; level < 16; ++level) {
        Level l;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &l.width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &l.height);
        if (l.width == 0 || l.height == 0) {
            break;
        }
        l.rgba.resize(static_cast<size_t>(l.width) * l.height * 4);
        glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, l.rgba.data());
        levels.push_back(std::move(l));
    }
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    return levels;
}

GLint internalFormatOf(GLuint texture, GLint level) {
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint format = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_INTERNAL_FORMAT, &format);
    return format;
}

}  // namespace

TEST(SoftwareRendererName, KnowsTheCpuRasterizersAndNoGraphicsCard) {
    EXPECT_TRUE(isSoftwareRendererName("llvmpipe (LLVM 15.0.6, 256 bits)"));
    EXPECT_TRUE(isSoftwareRendererName("softpipe"));
    EXPECT_TRUE(isSoftwareRendererName("Google SwiftShader"));
    EXPECT_TRUE(isSoftwareRendererName("ANGLE (Google, Vulkan 1.3.0 (SwiftShader Device))"));
    EXPECT_FALSE(isSoftwareRendererName("NVIDIA GeForce RTX 3060/PCIe/SSE2"));
    EXPECT_FALSE(isSoftwareRendererName("Mesa Intel(R) UHD Graphics 620 (KBL GT2)"));
    EXPECT_FALSE(isSoftwareRendererName("AMD Radeon RX 6600 (radeonsi, navi23, LLVM 15.0.7)"));
    EXPECT_FALSE(isSoftwareRendererName(""));
}

// The shipped grass: a real picture, whose smaller levels the driver builds
// by filtering and compressing again.
class DecodedTextureGl : public testing::Test {
  protected:
    void SetUp() override {
        REQUIRE_GL_CONTEXT();
        image = loadDDS(std::string(VELTRA_SOURCE_DIR) + "/assets/textures/Grass_Ground.dds");
        ASSERT_TRUE(image.isLoaded());
        // The chain as the driver builds it from the compressed file.
        GLuint compressed = 0;
        glGenTextures(1, &compressed);
        glBindTexture(GL_TEXTURE_2D, compressed);
        glCompressedTexImage2D(GL_TEXTURE_2D, 0, image.internalFormat,
                               static_cast<GLsizei>(image.width),
                               static_cast<GLsizei>(image.height), 0,
                               static_cast<GLsizei>(image.size), image.data.data());
        glGenerateMipmap(GL_TEXTURE_2D);
        compressedChain = readLevels(compressed);
        glDeleteTextures(1, &compressed);
        // 512 by 512 down to 1 by 1.
        ASSERT_EQ(compressedChain.size(), 10u);
    }
    void TearDown() override { chooseDrawingPath(DrawingPath::Automatic); }

    std::vector<Level> levelsOfGameTexture(DrawingPath path) {
        chooseDrawingPath(path);
        AssetRootOverride root(VELTRA_SOURCE_DIR);
        const Texture texture("assets/textures/Grass_Ground.dds");
        EXPECT_TRUE(texture.isLoaded());
        formatOfLevel0 = internalFormatOf(texture.getId(), 0);
        return readLevels(texture.getId());
    }

    DDSImage image;
    std::vector<Level> compressedChain;
    GLint formatOfLevel0 = 0;
};

// On the full path the texture must hold exactly the texels the compressed
// chain decodes to, level by level, so that sampling it gives the same
// picture; a software rasterizer keeps them decoded.
TEST_F(DecodedTextureGl, FullPathKeepsTheTexelsOfTheCompressedChain) {
    const std::vector<Level> kept = levelsOfGameTexture(DrawingPath::Full);
    ASSERT_EQ(kept.size(), compressedChain.size());
    for (size_t level = 0; level < kept.size(); ++level) {
        EXPECT_EQ(kept[level].width, compressedChain[level].width) << "level " << level;
        EXPECT_TRUE(kept[level].rgba == compressedChain[level].rgba)
            << "texels differ at level " << level;
    }
    EXPECT_EQ(formatOfLevel0,
              isSoftwareRenderer() ? GL_RGBA8 : static_cast<GLint>(image.internalFormat));
    EXPECT_EQ(drainGlErrors(), 0);
}

// The software path decodes the file itself: its first level must be what
// the driver decodes, texel for texel, and the chain complete.
TEST_F(DecodedTextureGl, SoftwarePathDecodesTheFileAsTheDriverDoes) {
    const std::vector<Level> kept = levelsOfGameTexture(DrawingPath::Software);
    ASSERT_EQ(kept.size(), compressedChain.size());
    EXPECT_TRUE(kept[0].rgba == compressedChain[0].rgba);
    EXPECT_TRUE(decodeBc1(image) == compressedChain[0].rgba);
    EXPECT_EQ(formatOfLevel0, GL_RGBA8);
    EXPECT_EQ(drainGlErrors(), 0);
}
