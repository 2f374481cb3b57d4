#pragma once

#include <cstdint>
#include <vector>

#include <benchmark/benchmark.h>

#include "app/Scene.h"

struct GLFWwindow;

// What the benchmarks stand on: a hidden 1080 by 720 window with the game's
// OpenGL 4.1 core context (null without a display), and the real level built
// as the game builds it. The level opens "../assets/...", so the benchmarks
// run from the build directory.
namespace bench {

GLFWwindow* glContext();

// The level of one run with a fixed ring layout, in the Playing state at the
// start of the flight (player speed 10, as the countdown leaves it).
Scene playingLevel();

// In the game a frame's rendering runs between two updates and pushes the
// world's data out of the caches. When enabled, evict does the same outside
// the timed region by sweeping a buffer larger than the last-level cache.
class CacheSweep {
  public:
    explicit CacheSweep(bool enabled);
    void evict(benchmark::State& state);

  private:
    std::vector<uint8_t> buffer;
};

// Quietens standard output while the level's loaders report (they print a
// line per shader and model); restored when the guard goes.
class QuietStdout {
  public:
    QuietStdout();
    ~QuietStdout();
    QuietStdout(const QuietStdout&) = delete;
    QuietStdout& operator=(const QuietStdout&) = delete;

  private:
    int savedDescriptor = -1;
};

}  // namespace bench
