#pragma once

#include <string>
#include <vector>

class FloorPasses;
class RenderPipeline;
class WorldManager;

// The render time of each part of a frame on its own: the sky, each group
// of objects (all rings count as one group), the particles, each pass of the
// pipeline next to its floor (the same pass as a pass-through), and the
// whole frame; each is bracketed by glFinish and measured in CPU time of the
// whole process (the rasterizer's threads included), the median of several
// repetitions at the current view.
struct DrawCost {
    std::string part;
    double milliseconds = 0.0;
    double floorMilliseconds = -1.0;  // the pass-through's, where there is one
    // Fragments that passed the depth test (were shaded and written), in
    // window-fulls: what the scene's parts cost in pixels, overdraw included.
    double screens = -1.0;
    // Of the milliseconds, those of the thread that makes the GL calls:
    // vertex work, clipping and triangle setup, done before the rasterizer
    // threads start and so paid in full on the wall clock.
    double mainThreadMilliseconds = 0.0;
};

// With a floor given, the passes' floors are measured too.
std::vector<DrawCost> measureDrawCosts(WorldManager& worldManager, RenderPipeline& pipeline,
                                       FloorPasses* floor, int repetitions);
