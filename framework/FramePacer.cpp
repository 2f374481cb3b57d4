#include "framework/FramePacer.h"

#include <algorithm>
#include <cmath>
#include <thread>

#include "framework/Platform.h"

namespace {

FramePacer::Clock::duration intervalFor(double maxFps) {
    if (!std::isfinite(maxFps) || maxFps <= 0.0) {
        return FramePacer::Clock::duration{0};
    }
    // A frame at least every second, whatever cap is asked for: a tiny one
    // would hold a frame for ages (and overflow the clock's count).
    const double seconds = std::min(1.0 / maxFps, 1.0);
    return std::chrono::duration_cast<FramePacer::Clock::duration>(
        std::chrono::duration<double>(seconds));
}

}  // namespace

FramePacer::FramePacer(double maxFps)
    : FramePacer(
          maxFps, [] { return Clock::now(); },
          [](Clock::duration duration) { std::this_thread::sleep_for(duration); }) {
    if (capped()) {
        // Windows sleeps in steps of about 16 ms unless asked for finer ones.
        platform::useFineSleep();
    }
}

FramePacer::FramePacer(double maxFps, std::function<Clock::time_point()> now,
                       std::function<void(Clock::duration)> sleep)
    : interval(intervalFor(maxFps)), now(std::move(now)), sleep(std::move(sleep)) {}

void FramePacer::wait() {
    if (!capped()) {
        return;
    }
    const Clock::time_point current = now();
    if (!started) {
        started = true;
        slot = current;
        return;
    }
    slot += interval;
    if (current >= slot) {
        // Late: this frame starts now and the cap counts from here.
        slot = current;
        return;
    }
    const Clock::duration left = slot - current;
    if (left > kSpinMargin) {
        sleep(left - kSpinMargin);
    }
    while (now() < slot) {
    }
}
