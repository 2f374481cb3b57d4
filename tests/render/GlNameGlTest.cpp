// Each OpenGL name has one owner, which deletes it once: when the owner
// goes, when it is given another name, never after a move.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "framework/Gl.h"
#include "framework/GlName.h"
#include "render/Bloom.h"
#include "render/HeadsUpDisplay.h"
#include "support/GlTestContext.h"

namespace {

class GlNameGl : public ::testing::Test {
  protected:
    void SetUp() override { REQUIRE_GL_CONTEXT(); }
};

// Binding makes a generated name an object, which glIs* then reports.
GlTexture boundTexture() {
    GlTexture texture = generateTexture();
    glBindTexture(GL_TEXTURE_2D, texture.get());
    glBindTexture(GL_TEXTURE_2D, 0);
    return texture;
}

TEST_F(GlNameGl, AnOwnerDeletesItsNameWhenItGoesAndNotBefore) {
    GLuint name = 0;
    {
        GlTexture texture = boundTexture();
        name = texture.get();
        ASSERT_NE(name, 0u);
        EXPECT_TRUE(glIsTexture(name));
    }
    EXPECT_FALSE(glIsTexture(name));

    GlVertexArray array = generateVertexArray();
    glBindVertexArray(array.get());
    glBindVertexArray(0);
    const GLuint arrayName = array.get();
    array.reset();
    EXPECT_FALSE(glIsVertexArray(arrayName));
    EXPECT_FALSE(array);
}

TEST_F(GlNameGl, MovesHandTheNameOnAndAnAssignmentDeletesTheOldOne) {
    GlTexture first = boundTexture();
    const GLuint kept = first.get();
    GlTexture second(std::move(first));
    EXPECT_EQ(first.get(), 0u);
    EXPECT_EQ(second.get(), kept);
    EXPECT_TRUE(glIsTexture(kept));

    GlTexture third = boundTexture();
    const GLuint replaced = third.get();
    third = std::move(second);
    EXPECT_FALSE(glIsTexture(replaced)) << "the name it held before";
    EXPECT_TRUE(glIsTexture(kept));
    third = std::move(third);  // to itself: keeps the name
    EXPECT_TRUE(glIsTexture(kept));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(GlNameGl, TheBloomAndTheHudLeaveNoNameBehind) {
    std::vector<GLuint> textures, framebuffers, arrays;
    {
        Bloom bloom;
        bloom.init(64, 32);
        bloom.init(32, 16);  // the first targets go with the second init
        textures = {bloom.getBrightTexture(), bloom.getPingpongTexture(0),
                    bloom.getPingpongTexture(1)};
        framebuffers = {bloom.getBrightFramebuffer(), bloom.getPingpongFramebuffer(0),
                        bloom.getPingpongFramebuffer(1)};
        arrays = {bloom.getQuadVertexArray()};
        HeadsUpDisplay hud;
        testing::internal::CaptureStderr();
        hud.loadTextures("../assets/textures/fonts/greek_outlined.tga");
        testing::internal::GetCapturedStderr();
        textures.push_back(hud.getFontTexture());
        arrays.push_back(hud.getQuadVertexArray());
        for (GLuint name : textures) {
            EXPECT_TRUE(glIsTexture(name));
        }
        for (GLuint name : framebuffers) {
            EXPECT_TRUE(glIsFramebuffer(name));
        }
    }
    for (GLuint name : textures) {
        EXPECT_FALSE(glIsTexture(name)) << name;
    }
    for (GLuint name : framebuffers) {
        EXPECT_FALSE(glIsFramebuffer(name)) << name;
    }
    for (GLuint name : arrays) {
        EXPECT_FALSE(glIsVertexArray(name)) << name;
    }
}

}  // namespace
