#pragma once

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
