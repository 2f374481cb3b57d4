#pragma once

#include <optional>
#include <string>
#include <vector>

#include "DrawBreakdown.h"
#include "FrameComparison.h"
#include "FrameStats.h"

// One frame of the scripted flight, times in milliseconds.
struct FrameSample {
    int index = 0;
    int state = 0;           // the world's GameState after the update
    double update = 0.0;     // water and world update, wall clock
    double updateCpu = 0.0;  // the same on the main thread's CPU clock
    double render = 0.0;     // render pipeline, closed by glFinish
    double renderCpu = 0.0;  // CPU time of every thread (the rasterizer's too) meanwhile
    double present = 0.0;    // buffer swap
    double total = 0.0;      // clear to swap
    double floor = 0.0;      // the floor frame drawn right after it, clear to swap
    double floorCpu = 0.0;   // its passes' CPU time over every thread
};

// What became of the flight's pictures, when they were saved or compared.
struct FramePicturesReport {
    FramePictures::Mode mode = FramePictures::Mode::Save;
    std::string directory;
    int framesSaved = 0;
    ComparisonSummary summary;
};

struct HarnessResults {
    int width = 0;
    int height = 0;
    double frameSeconds = 0.0;
    std::string renderer;
    bool softwarePath = false;  // drawn as on a CPU rasterizer
    int bloomScale = 1;         // window pixels per glow texel along each axis
    double loadAverageStart = 0.0;
    double loadAverageEnd = 0.0;
    double startToFirstFrameMs = 0.0;
    double assemblyMs = 0.0;         // the first level's assembly, within the above
    double residentAtStartMb = 0.0;  // window and context made, no level yet
    double residentAfterAssemblyMb = 0.0;
    std::vector<FrameSample> frames;
    std::vector<double> restartMs;
    std::vector<double> residentAfterRestartMb;
    double residentAfterFlightMb = 0.0;
    double peakResidentMb = 0.0;
    std::string outcome;
    int flyingFrames = 0;  // frames in the Playing state
    int score = 0;
    std::vector<DrawCost> drawCosts;
    std::optional<FramePicturesReport> pictures;
};

// The flying frames (Playing state) summarised per column.
struct FlightSummary {
    TimeSummary total;
    TimeSummary update;
    TimeSummary updateCpu;
    TimeSummary render;
    TimeSummary renderCpu;
    TimeSummary present;
    TimeSummary floor;
    TimeSummary floorCpu;
    double floorRatio = 0.0;  // median frame over median floor frame
    double medianFps = 0.0;
};

FlightSummary summariseFlight(const HarnessResults& results);
