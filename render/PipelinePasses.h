#pragma once

#include "render/RenderPipeline.h"

class GameObject;

// Leaves parts of the scene out of a scene pass, for measuring what each
// part costs; the game draws everything.
class SceneFilter {
  public:
    virtual ~SceneFilter() = default;
    virtual bool drawsSky() const = 0;
    virtual bool draws(const GameObject& object) const = 0;
};

// The frame's passes one by one, as RenderPipeline::render runs them, for
// measuring each on its own (the frame-time harness); the pipeline's
// targets must be built. The game itself only calls render().
class PipelinePasses {
  public:
    explicit PipelinePasses(RenderPipeline& pipeline) : pipeline(pipeline) {}

    void renderScene(WorldManager& worldManager, const SceneFilter* filter = nullptr) {
        pipeline.renderScene(worldManager, filter);
    }
    void extractBrightParts() { pipeline.extractBrightParts(); }
    void blendToWindow() { pipeline.blendToWindow(); }

  private:
    RenderPipeline& pipeline;
};
