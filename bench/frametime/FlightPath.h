#pragma once

#include <cstddef>

// The harness's fixed flight: which steering keys are held at each moment
// of the Playing state. The same frame times give the same flight every run.
class FlightPath {
  public:
    // Holds the keys of the segment that flight time t (seconds since the
    // Playing state began) falls in, and lets go of the others.
    void steer(float t);
    // Lets go of every key this path holds.
    void release();
    // Seconds the scripted segments last; later the player flies straight.
    static float scriptedSeconds();

  private:
    int heldKeys[2] = {0, 0};
};
