#pragma once

#include <cstdint>
#include <memory>

#include "framework/GlName.h"

class Shader;

// The bright-part target and the two ping-pong blur targets with their blur
// program. Owns every GL name it makes.
class Bloom {
  public:
    Bloom() = default;

    Bloom(const Bloom&) = delete;
    Bloom& operator=(const Bloom&) = delete;

    // (Re)builds the targets at this size; earlier ones are deleted.
    void init(uint32_t width, uint32_t height);
    // Binds the bright-part target, sets its viewport and makes black the
    // clear colour; the extract pass covers the target, so it is not cleared.
    void beginExtract();
    // Horizontal, vertical, horizontal: the result ends in getResultTexture().
    void blur();

    uint32_t getResultTexture() const { return pingpongTextures[1].get(); }
    uint32_t getBrightFramebuffer() const { return brightFramebuffer.get(); }
    uint32_t getBrightTexture() const { return brightTexture.get(); }
    uint32_t getPingpongFramebuffer(int index) const {
        return pingpongFramebuffers[index & 1].get();
    }
    uint32_t getPingpongTexture(int index) const { return pingpongTextures[index & 1].get(); }
    uint32_t getQuadVertexArray() const { return quadVertexArray.get(); }
    uint32_t getQuadVertexBuffer() const { return quadVertexBuffer.get(); }
    bool hasBlurShader() const { return blurShader != nullptr; }
    uint32_t getWidth() const { return width; }
    uint32_t getHeight() const { return height; }

  private:
    uint32_t width = 0;
    uint32_t height = 0;
    GlVertexArray quadVertexArray;
    GlBuffer quadVertexBuffer;
    GlFramebuffer brightFramebuffer;
    GlTexture brightTexture;
    GlFramebuffer pingpongFramebuffers[2];
    GlTexture pingpongTextures[2];
    std::shared_ptr<Shader> blurShader;
};
