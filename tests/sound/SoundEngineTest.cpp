// The engine under the Sound player: engines side by side, files it cannot
// play, shutting down while its service thread streams, and a stream that
// runs dry.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

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

TEST_F(SoundEngineTest, OpeningTheDeviceLeavesTheEnvironmentAlone) {
    // The driver's and the mixer's threads may read it at any time.
    ChildResult child = runWithWaveOutput(newWavPath("environment"), files.root(), [] {
        unsetenv("ALSOFT_LOGLEVEL");
        auto engine = SoundEngine::create();
        return engine && std::getenv("ALSOFT_LOGLEVEL") == nullptr ? 0 : 3;
    });
    EXPECT_EQ(child.exitCode, 0) << describe(child);
}

// A restart makes a new engine after the old one is gone: while the game
// holds the device it stays open, and without a hold it closes and is
// opened again.
TEST_F(SoundEngineTest, AHeldDeviceStaysOpenFromOneEngineToTheNext) {
    ChildResult child = runWithWaveOutput(newWavPath("held-device"), files.root(), [] {
        const int before = SoundEngine::devicesOpened();
        {
            const AudioDeviceHold hold;
            for (int run = 0; run < 2; ++run) {
                if (!SoundEngine::create()) {
                    return 3;
                }
            }
        }
        if (SoundEngine::devicesOpened() != before + 1) {
            return 4;
        }
        for (int run = 0; run < 2; ++run) {
            if (!SoundEngine::create()) {
                return 5;
            }
        }
        return SoundEngine::devicesOpened() == before + 3 ? 0 : 6;
    });
    EXPECT_EQ(child.exitCode, 0) << describe(child);
}

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
        mix.waitUntil(0.7);
        mix.mark("firstGone");
        first.reset();
        mix.waitUntil(1.1);
        return 0;
    });
    ASSERT_EQ(child.exitCode, 0) << describe(child);
    Wave wave = readWave(wav);
    const double gone = child.marks["firstGone"];
    // The first sound streams: its service thread primes it a moment after
    // play2D, later on a loaded machine, so both are measured once that
    // moment has long passed.
    const double both = wave.rms(gone - 0.3, gone);
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

// A stream whose file stalls (a busy disk, a starved decoder) runs dry and
// stops; once the file delivers again the music must go on from where it
// stopped, neither repeating what was heard nor skipping what was not.
// The file is a rising ramp fed through a pipe, so the captured mix shows
// a repeat as a fall and a skip as missing length.
namespace {

constexpr int kRampRate = 44100;
constexpr double kRampSeconds = 3.0;
constexpr double kBeforeStall = 1.0;

void writeLittleEndian(std::FILE* out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        std::fputc(static_cast<int>((value >> (8 * i)) & 0xffu), out);
    }
}

// Writes a 16-bit mono WAV ramp from 0.2 to 0.8 into `out`, stopping for
// `stall` after the first kBeforeStall seconds.
void writeStallingRamp(std::FILE* out, const std::function<void()>& stall) {
    const auto frames = static_cast<uint32_t>(kRampSeconds * kRampRate);
    std::fputs("RIFF", out);
    writeLittleEndian(out, 36 + frames * 2, 4);
    std::fputs("WAVEfmt ", out);
    writeLittleEndian(out, 16, 4);
    writeLittleEndian(out, 1, 2);  // PCM
    writeLittleEndian(out, 1, 2);  // mono
    writeLittleEndian(out, kRampRate, 4);
    writeLittleEndian(out, kRampRate * 2, 4);
    writeLittleEndian(out, 2, 2);
    writeLittleEndian(out, 16, 2);
    std::fputs("data", out);
    writeLittleEndian(out, frames * 2, 4);
    const auto stallAt = static_cast<uint32_t>(kBeforeStall * kRampRate);
    for (uint32_t i = 0; i < frames; ++i) {
        if (i == stallAt) {
            std::fflush(out);
            stall();
        }
        const double value = 0.2 + 0.6 * double(i) / double(frames);
        writeLittleEndian(out, static_cast<uint32_t>(static_cast<int16_t>(value * 32767.0)), 2);
    }
}

}  // namespace

TEST_F(SoundEngineTest, AStarvedStreamGoesOnWhereItStoppedWithoutRepeatingOrSkipping) {
    const std::string wav = newWavPath("starved");
    const std::string pipe = files.path("starved-ramp.wav");
    ::unlink(pipe.c_str());
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    ChildResult child = runWithWaveOutput(wav, files.root(), [&] {
        MixClock mix(wav);
        auto engine = SoundEngine::create();
        if (!engine) {
            return 2;
        }
        // Eight queued blocks hold a second and a half: a stall of two
        // seconds leaves the source with nothing to play.
        std::thread feeder([&] {
            std::FILE* out = std::fopen(pipe.c_str(), "wb");
            if (out == nullptr) {
                return;
            }
            writeStallingRamp(out, [&] {
                mix.mark("stalled");
                mix.waitUntil(mix.now() + 2.0);
                mix.mark("resumed");
            });
            std::fclose(out);
        });
        engine->play2D(pipe, false);
        feeder.join();
        mix.waitUntil(mix.now() + kRampSeconds);
        return engine->getPlayingCount() == 0 ? 0 : 3;
    });
    ASSERT_EQ(child.exitCode, 0) << describe(child);
    ASSERT_GT(child.marks.count("resumed"), 0u) << describe(child);

    const Wave wave = readWave(wav);
    ASSERT_GT(wave.rate, 0);
    constexpr float kSilence = 0.02f;
    // A source fades in over a few samples when it starts.
    constexpr int kFadeIn = 512;
    std::size_t heard = 0;
    float loudest = 0.0f;
    float worstFall = 0.0f;
    int sinceSilence = 0;
    bool gap = false;
    for (float sample : wave.samples) {
        if (sample < kSilence) {
            sinceSilence = 0;
            gap = heard > 0;
            continue;
        }
        ++heard;
        if (++sinceSilence > kFadeIn) {
            worstFall = std::max(worstFall, loudest - sample);
        }
        loudest = std::max(loudest, sample);
    }
    std::cout << "heard " << double(heard) / wave.rate << " s of the " << kRampSeconds
              << " s stream, worst fall " << worstFall << std::endl;
    EXPECT_TRUE(gap) << "the stall should have starved the source";
    EXPECT_LT(worstFall, 0.01f) << "a stretch of the stream was played again";
    EXPECT_NEAR(double(heard) / wave.rate, kRampSeconds, 0.05) << "seconds of the stream heard";
}
