#include <chrono>
#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "framework/FramePacer.h"

namespace {

using Clock = FramePacer::Clock;
using std::chrono::microseconds;
using std::chrono::milliseconds;

// A clock that moves only when the game works, sleeps or looks at it: each
// look while spinning costs a few microseconds, as a real one does.
struct FakeTime {
    Clock::time_point now{};
    std::vector<Clock::duration> sleeps;
    int looks = 0;

    FramePacer pacer(double maxFps) {
        return FramePacer(
            maxFps,
            [this] {
                ++looks;
                now += microseconds(5);
                return now;
            },
            [this](Clock::duration duration) {
                sleeps.push_back(duration);
                // Sleeps wake a little late.
                now += duration + microseconds(300);
            });
    }
};

TEST(FramePacerTest, ThirtyFramesASecondStartEveryThirtiethOfASecond) {
    FakeTime time;
    FramePacer pacer = time.pacer(30.0);
    ASSERT_TRUE(pacer.capped());
    std::vector<Clock::time_point> starts;
    for (int frame = 0; frame < 10; ++frame) {
        pacer.wait();
        starts.push_back(time.now);
        time.now += milliseconds(4);  // the frame's own work
    }
    for (size_t i = 1; i < starts.size(); ++i) {
        const double gap = std::chrono::duration<double>(starts[i] - starts[i - 1]).count();
        EXPECT_NEAR(gap, 1.0 / 30.0, 20e-6) << "frame " << i;
    }
    // Most of each wait is slept, not spun.
    ASSERT_EQ(time.sleeps.size(), 9u);
    for (Clock::duration slept : time.sleeps) {
        EXPECT_GT(slept, milliseconds(27));
        EXPECT_LT(slept, milliseconds(30));
    }
    EXPECT_LT(time.looks, 9 * 400) << "spinning took too many looks at the clock";
}

TEST(FramePacerTest, AFrameThatRanLongIsNotMadeUpByHurriedOnes) {
    FakeTime time;
    FramePacer pacer = time.pacer(50.0);
    pacer.wait();
    time.now += milliseconds(100);  // five slots' worth
    pacer.wait();                   // late: returns at once
    const Clock::time_point late = time.now;
    EXPECT_TRUE(time.sleeps.empty());
    time.now += milliseconds(2);
    pacer.wait();
    EXPECT_GE(time.now - late, milliseconds(20)) << "the next frame still waits its whole slot";
}

TEST(FramePacerTest, NoCapOrAnUnusableOneNeverWaits) {
    for (double maxFps : {0.0, -30.0, std::numeric_limits<double>::infinity(),
                          std::numeric_limits<double>::quiet_NaN()}) {
        FakeTime time;
        FramePacer pacer = time.pacer(maxFps);
        EXPECT_FALSE(pacer.capped()) << maxFps;
        for (int frame = 0; frame < 3; ++frame) {
            pacer.wait();
        }
        EXPECT_EQ(time.looks, 0) << maxFps;
        EXPECT_TRUE(time.sleeps.empty()) << maxFps;
    }
}

TEST(FramePacerTest, ACapBelowOneFrameASecondStillGivesAFrameEverySecond) {
    for (double maxFps : {0.001, 1e-12, std::numeric_limits<double>::denorm_min()}) {
        FakeTime time;
        EXPECT_EQ(time.pacer(maxFps).getInterval(), std::chrono::seconds(1)) << maxFps;
    }
}

}  // namespace
