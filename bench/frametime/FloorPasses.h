#pragma once

#include "framework/GlName.h"

#include <cstdint>

// The floor of a game frame: the same six full-screen passes the render
// pipeline makes (scene target, bright-part extract, three blur passes,
// blend to the window), into targets of the same size and formats, each with
// a pass-through program that reads one texel and writes it, and nothing
// else drawn. What a frame costs beyond this is the cost of the level itself.
class FloorPasses {
  public:
    FloorPasses(int32_t width, int32_t height);
    ~FloorPasses();

    FloorPasses(const FloorPasses&) = delete;
    FloorPasses& operator=(const FloorPasses&) = delete;

    // The six passes; ends with the window's framebuffer bound.
    void draw();

    // Passes first to last-but-one, for the floor of each pipeline pass on
    // its own: [first, last).
    void drawPasses(int first, int last);

    static constexpr int kPassCount = 6;
    // Where each of the pipeline's passes lies among the six.
    static constexpr int kScenePass = 0;
    static constexpr int kExtractPass = 1;
    static constexpr int kFirstBlurPass = 2;
    static constexpr int kBlendPass = 5;

  private:
    int32_t width;
    int32_t height;
    uint32_t program = 0;
    GlVertexArray quadVertexArray;
    GlBuffer quadVertexBuffer;
    GlFramebuffer sceneFramebuffer;
    GlTexture sceneColorTexture;
    GlTexture sceneDepthTexture;
    GlFramebuffer brightFramebuffer;
    GlTexture brightTexture;
    GlFramebuffer pingpongFramebuffers[2];
    GlTexture pingpongTextures[2];
};
