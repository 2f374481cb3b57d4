#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "framework/GlName.h"

class Shader;

// How many window pixels along each axis one texel of the glow's targets
// covers on the software path: a third of the resolution. Measured against
// half, the frame's time fell by a tenth or more while every frame of the
// harness flight stayed above 36 dB of the full path's; at a quarter the
// rings' holes fill with glow.
inline constexpr int kSoftwareBloomScale = 3;

// The "bloom_scale" of the renderer settings: 1 to kMaxBloomScale, or 0 for
// the renderer's own choice. Set once at start-up; every pipeline built
// later reads it.
void setBloomScaleSetting(int scale);
// The scale to draw with: the setting, or where it is 0, 1 on the full path
// and kSoftwareBloomScale on the software path (drawsSoftwarePath()).
// A CPU rasterizer pays for the three blur passes pixel by pixel; at a
// third of the resolution they cost a ninth.
int chosenBloomScale();

// The "#define" line that builds a glow shader for this scale; empty at 1,
// where the shaders are the full-resolution ones as written.
std::string bloomScaleDefines(int scale);

// The bright-part target and the two ping-pong blur targets with their blur
// program. Owns every GL name it makes.
class Bloom {
  public:
    Bloom() = default;

    Bloom(const Bloom&) = delete;
    Bloom& operator=(const Bloom&) = delete;

    // (Re)builds the targets for a window of this size, each side divided
    // by scale (rounded up); earlier ones are deleted.
    void init(uint32_t windowWidth, uint32_t windowHeight, int scale = 1);
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
    int getScale() const { return scale; }

  private:
    uint32_t width = 0;
    uint32_t height = 0;
    int scale = 1;
    GlVertexArray quadVertexArray;
    GlBuffer quadVertexBuffer;
    GlFramebuffer brightFramebuffer;
    GlTexture brightTexture;
    GlFramebuffer pingpongFramebuffers[2];
    GlTexture pingpongTextures[2];
    std::shared_ptr<Shader> blurShader;
};
