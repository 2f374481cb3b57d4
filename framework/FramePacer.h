#pragma once

#include <chrono>
#include <functional>

// Holds the frame rate at a cap. Each frame waits until its slot: a sleep
// for most of the time left, then a short spin for the rest, because a
// sleep may wake late by a millisecond or more and a spin alone would burn
// a core. A frame that ran long starts the next slot from now instead of
// letting later frames hurry to catch up.
class FramePacer {
  public:
    using Clock = std::chrono::steady_clock;
    // Time left that is spun rather than slept.
    static constexpr Clock::duration kSpinMargin = std::chrono::microseconds(1500);

    // maxFps 0 (or less, or not finite) means no cap: wait() returns at once.
    // A cap below one frame a second waits one second.
    explicit FramePacer(double maxFps);
    // The same with the clock and the sleep given, for tests.
    FramePacer(double maxFps, std::function<Clock::time_point()> now,
               std::function<void(Clock::duration)> sleep);

    // Returns when the next frame may begin.
    void wait();

    bool capped() const { return interval.count() > 0; }
    Clock::duration getInterval() const { return interval; }

  private:
    Clock::duration interval{0};
    std::function<Clock::time_point()> now;
    std::function<void(Clock::duration)> sleep;
    Clock::time_point slot{};
    bool started = false;
};
