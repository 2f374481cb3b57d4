#pragma once

#include <cstdint>
#include <memory>

#include "framework/GlName.h"
#include "render/Bloom.h"

class GameObject;
class Shader;
class WorldManager;

class SceneFilter;

// Draws one frame: sky and objects into an off-screen floating-point target,
// particle systems last with blending, bright-pass extract, blur, blend to
// the window, HUD on top (H hides it).
class RenderPipeline {
  public:
    RenderPipeline() = default;

    RenderPipeline(const RenderPipeline&) = delete;
    RenderPipeline& operator=(const RenderPipeline&) = delete;

    void init(int32_t width, int32_t height);
    // Draws at the current window's framebuffer size.
    void render(WorldManager& worldManager);
    // Draws for a framebuffer of this size (what render above queries). A
    // zero width or height draws nothing and leaves the camera alone; the
    // next non-zero size rebuilds every target.
    void render(WorldManager& worldManager, int32_t framebufferWidth, int32_t framebufferHeight);

    bool isInitialised() const { return initialised; }
    bool isHudVisible() const { return hudVisible; }
    int32_t getWidth() const { return width; }
    int32_t getHeight() const { return height; }
    uint32_t getSceneFramebuffer() const { return sceneFramebuffer.get(); }
    uint32_t getSceneColorTexture() const { return sceneColorTexture.get(); }
    uint32_t getSceneDepthTexture() const { return sceneDepthTexture.get(); }
    uint32_t getQuadVertexArray() const { return quadVertexArray.get(); }
    uint32_t getQuadVertexBuffer() const { return quadVertexBuffer.get(); }
    const Bloom& getBloom() const { return bloom; }
    Bloom& getBloom() { return bloom; }

  private:
    // The frame-time harness runs the passes one by one (PipelinePasses.h).
    friend class PipelinePasses;

    // The scene pass leaves depth testing on; the others expect it off.
    void renderScene(WorldManager& worldManager, const SceneFilter* filter = nullptr);
    void extractBrightParts();
    void blendToWindow();

    void build(int32_t newWidth, int32_t newHeight);
    void buildSceneTarget();
    void releaseSceneTarget();

    GlFramebuffer sceneFramebuffer;
    GlTexture sceneColorTexture;
    GlTexture sceneDepthTexture;
    GlVertexArray quadVertexArray;
    GlBuffer quadVertexBuffer;
    Bloom bloom;
    std::shared_ptr<Shader> blendShader;
    std::shared_ptr<Shader> extractShader;
    int32_t width = 0;
    int32_t height = 0;
    bool initialised = false;
    bool cullHiddenBackFaces = false;
    bool hudVisible = true;
};
