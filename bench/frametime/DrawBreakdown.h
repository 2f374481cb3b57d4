#pragma once

#include <string>
#include <vector>

class FloorPasses;
class RenderPipeline;
class WorldManager;

// The render time of each part of a frame on its own: the sky, each group
// of objects (all rings count as one group), the particles, and the whole
// pipeline frame; each is bracketed by glFinish and measured in CPU time of
// the whole process (the rasterizer's threads included), the median of
// several repetitions at the current view.
struct DrawCost {
    std::string part;
    double milliseconds = 0.0;
};

// With a floor given, its six passes are measured too.
std::vector<DrawCost> measureDrawCosts(WorldManager& worldManager, RenderPipeline& pipeline,
                                       FloorPasses* floor, int repetitions);
