// The engine under the Sound player: engines side by side, files it cannot
// play, and shutting down while its service thread streams.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "AudioTestSupport.h"
#include "world/SoundEngine.h"

using namespace audio_test;

namespace {

class SoundEngineTest : public testing::Test {
protected:
    void SetUp() override {
        if (SoundFiles::get().root().empty()) {
            GTEST_SKIP() << "sox and lame are needed to make test sounds";
        }
    }
    const SoundFiles& files = SoundFiles::get();
};

TEST_F(SoundEngineTest, TwoEnginesMixEachWithItsOwnVolume) {
    const std::string wav = newWavPath("two-engines");
    const std::string low = files.path("assets/sounds/ancient-wind.mp3");
    const std::string high = files.path("tone660.mp3");
    ChildResult child = runWithWaveOutput(wav, files.root(), [&] {
        MixClock mix(wav);
        auto first = SoundEngine::create();
        auto second = SoundEngine::create();
        if (!first || !second) {
            return 2;
        }
        first->setSoundVolume(0.5f);
        second->setSoundVolume(0.25f);
        first->play2D(low, true);
        second->play2D(high, true);
        mix.waitUntil(0.4);
        mix.mark("firstGone");
        first.reset();
        mix.waitUntil(0.8);
        return 0;
    });
    ASSERT_EQ(child.exitCode, 0) << describe(child);
    Wave wave = readWave(wav);
    const double gone = child.marks["firstGone"];
    const double both = wave.rms(0.1, gone);
    const double secondAlone = wave.rms(gone + kBlockSeconds, wave.seconds());
    // Different tones add in power: sqrt(0.5^2 + 0.25^2) against 0.25.
    EXPECT_NEAR(secondAlone, 0.25 * kToneRms, 0.05 * kToneRms);
    EXPECT_NEAR(both / secondAlone, std::sqrt(0.3125) / 0.25, 0.2);
}

TEST_F(SoundEngineTest, FilesItCannotPlayAreReportedAndSkipped) {
    const std::string wav = newWavPath("unplayable");
    ChildResult child = runWithWaveOutput(wav, files.root(), [&] {
        MixClock mix(wav);
        auto engine = SoundEngine::create();
        if (!engine) {
            return 2;
        }
        engine->play2D(files.path("no-such-file.mp3"), true);
        engine->play2D(files.path("broken.mp3"), false);
        engine->play2D(files.path("surround.wav"), false);
        engine->preload(files.path("broken.mp3"));
        engine->play2D(files.path("broken.mp3"), false);  // reported at preload, not again
        if (engine->getPlayingCount() != 0) {
            return 3;
        }
        mix.waitUntil(0.2);
        mix.mark("mono");
        engine->play2D(files.path("mono.mp3"), false);
        if (engine->getPlayingCount() != 1) {
            return 4;
        }
        mix.waitUntil(0.6);
        // A finished one-shot sound frees its voice (the service thread
        // looks every 10 ms).
        for (int i = 0; i < 100 && engine->getPlayingCount() != 0; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return engine->getPlayingCount() == 0 ? 0 : 5;
    });
    ASSERT_EQ(child.exitCode, 0) << describe(child);
    EXPECT_NE(child.err.find("no-such-file.mp3"), std::string::npos) << child.err;
    EXPECT_NE(child.err.find("surround.wav"), std::string::npos) << child.err;
    // Once when played, once when preloaded; a failed preload is not retried.
    EXPECT_EQ(countOf(child.err, "broken.mp3"), 2) << child.err;

    Wave wave = readWave(wav);
    const double mono = child.marks["mono"];
    EXPECT_LT(wave.rms(0.0, mono), 0.001);
    EXPECT_GT(wave.rms(mono + kBlockSeconds, mono + 0.2), 0.3 * kToneRms);
}

TEST_F(SoundEngineTest, EnginesComeAndGoWhileStreaming) {
    const std::string wav = newWavPath("churn");
    const std::string music = files.path("assets/sounds/ancient-wind.mp3");
    const std::string effect = files.path("assets/sounds/collide3.mp3");
    ChildResult child = runWithWaveOutput(wav, files.root(), [&] {
        std::vector<std::unique_ptr<SoundEngine>> engines;
        for (int round = 0; round < 12; ++round) {
            auto engine = SoundEngine::create();
            if (!engine) {
                return 2;
            }
            engine->preload(effect);
            engine->play2D(music, true);
            engine->play2D(effect, false);
            engine->play2D(music, false);
            if (round % 3 == 0) {
                engine->stopAllSounds();
                if (engine->getPlayingCount() != 0) {
                    return 3;
                }
                engine->play2D(music, true);
            }
            engines.push_back(std::move(engine));
            // Drop the oldest while the newer ones keep streaming.
            if (engines.size() > 3) {
                engines.erase(engines.begin());
            }
        }
        return 0;
    });
    EXPECT_EQ(child.exitCode, 0) << describe(child);
}

}  // namespace
