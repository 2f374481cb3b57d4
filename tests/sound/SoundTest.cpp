// The game's Sound player as the mix sounds: music, effects, stop-all, the
// volume keys and the failure line. Each case runs its Sound in a child
// process that writes the mix to a WAV file (see AudioTestSupport.h); the
// child paces itself by the mix and marks its actions at times in the WAV.
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <iostream>
#include <numbers>
#include <string>

#include "AudioTestSupport.h"
#include "framework/Input.h"
#include "world/Sound.h"
#include "world/SoundEngine.h"

using namespace audio_test;

namespace {

constexpr int kKeyFullStop = 46;
constexpr int kKeyComma = 44;
constexpr double kSilence = 0.001;
// How long the music may take to start on a loaded machine.
constexpr double kStartLimitSeconds = 3.0;

// A block after the first sample heard: where the music plays at its level.
double musicSteady(const Wave& wave) {
    return wave.firstAbove(kHeardLevel) + kBlockSeconds;
}

void press(Sound& sound, int key, int times) {
    for (int i = 0; i < times; ++i) {
        Input::postEvent(key, GLFW_PRESS);
        sound.update();
    }
}

// A pure tone's frequency from its zero crossings.
double toneHertz(const Wave& wave, double from, double to) {
    auto first = static_cast<std::size_t>(from * wave.rate);
    auto last = std::min(wave.samples.size(), static_cast<std::size_t>(to * wave.rate));
    int crossings = 0;
    for (std::size_t i = first + 1; i < last; ++i) {
        crossings += (wave.samples[i - 1] < 0.0f) != (wave.samples[i] < 0.0f);
    }
    return crossings / (2.0 * (to - from));
}

class SoundPlayback : public testing::Test {
  protected:
    void SetUp() override {
        if (SoundFiles::get().root().empty()) {
            GTEST_SKIP() << "sox and lame are needed to make test sounds";
        }
    }
    const SoundFiles& files = SoundFiles::get();
};

TEST_F(SoundPlayback, MusicStartsAtHalfVolumeAndLoopsWithoutAGap) {
    const std::string wav = newWavPath("music");
    ChildResult child = runWithWaveOutput(wav, files.path("run"), [&] {
        MixClock mix(wav);
        Sound sound;
        if (!sound.hasEngine() || sound.getVolume() != 0.5f) {
            return 2;
        }
        const double heard = mix.waitUntilHeard(kStartLimitSeconds);
        if (heard < 0.0) {
            return 3;
        }
        mix.waitUntil(heard + 1.3);
        return 0;
    });
    ASSERT_EQ(child.exitCode, 0) << describe(child);
    Wave wave = readWave(wav);
    const double from = musicSteady(wave);
    const double to = from + 1.2;
    ASSERT_GT(wave.seconds(), to) << describe(child);

    // Half the file's level, held across the loop seams 0.5 s and 1.0 s
    // into the music with no quiet 10 ms anywhere.
    const double level = wave.rms(from, to);
    EXPECT_NEAR(level, 0.5 * kToneRms, 0.1 * kToneRms);
    EXPECT_GT(wave.minWindowRms(from, to, 0.01), 0.8 * level);
    EXPECT_NEAR(toneHertz(wave, from, to), 441.0, 5.0);
}

TEST_F(SoundPlayback, MusicIsHeardSoonAfterTheSoundIsBuilt) {
    const std::string wav = newWavPath("first-note");
    ChildResult child = runWithWaveOutput(wav, files.path("run"), [&] {
        // A silent engine keeps the output running, so the WAV's clock
        // covers the building of the Sound.
        auto keeper = SoundEngine::create();
        MixClock mix(wav);
        mix.waitUntil(0.1);
        mix.mark("build");
        const auto started = std::chrono::steady_clock::now();
        Sound sound;
        std::cout << "buildMs="
                  << std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() -
                                                               started)
                         .count()
                  << std::endl;
        mix.waitUntil(0.4);
        return keeper && sound.hasEngine() ? 0 : 2;
    });
    ASSERT_EQ(child.exitCode, 0) << describe(child);
    Wave wave = readWave(wav);
    const double build = child.marks["build"];
    const double heard = wave.firstAbove(kHeardLevel);
    ASSERT_GE(heard, build) << describe(child);
    std::cout << "[ figure ] Sound built in " << child.marks["buildMs"] << " ms; its music heard "
              << (heard - build) * 1000.0
              << " ms after building began (the mixer works in blocks of 23 ms)" << std::endl;
}

TEST_F(SoundPlayback, StopAllSilencesMusicAndEffects) {
    const std::string wav = newWavPath("stop");
    ChildResult child = runWithWaveOutput(wav, files.path("run"), [&] {
        MixClock mix(wav);
        Sound sound;
        const double heard = mix.waitUntilHeard(kStartLimitSeconds);
        mix.waitUntil(heard + 0.2);
        mix.mark("collect");
        sound.playCollectSound();
        mix.waitUntil(heard + 0.3);
        mix.mark("stop");
        sound.stopAll();
        mix.waitUntil(heard + 0.7);
        return heard < 0.0 ? 3 : 0;
    });
    ASSERT_EQ(child.exitCode, 0) << describe(child);
    Wave wave = readWave(wav);
    const double collect = child.marks["collect"];
    const double stop = child.marks["stop"];
    EXPECT_GT(wave.rms(musicSteady(wave), collect), 0.4 * kToneRms);
    EXPECT_GT(wave.rms(collect + kBlockSeconds, stop), 0.6 * kToneRms);  // music and effect
    EXPECT_LT(wave.rms(stop + kBlockSeconds, wave.seconds()), kSilence) << describe(child);
}

TEST_F(SoundPlayback, EffectsPlayOnTopOfTheMusic) {
    const std::string wav = newWavPath("effects");
    ChildResult child = runWithWaveOutput(wav, files.path("run"), [&] {
        MixClock mix(wav);
        Sound sound;
        const double heard = mix.waitUntilHeard(kStartLimitSeconds);
        mix.waitUntil(heard + 0.2);
        mix.mark("collect");
        sound.playCollectSound();
        mix.waitUntil(heard + 0.8);
        return heard < 0.0 ? 3 : 0;
    });
    ASSERT_EQ(child.exitCode, 0) << describe(child);
    Wave wave = readWave(wav);
    const double collect = child.marks["collect"];
    const double music = wave.rms(musicSteady(wave), collect);
    const double both = wave.rms(collect + kBlockSeconds, collect + kCollectSeconds);
    const double after = wave.rms(collect + kCollectSeconds + kBlockSeconds, wave.seconds());
    // Two tones of the same level add up to the square root of two.
    EXPECT_NEAR(both / music, std::sqrt(2.0), 0.15) << describe(child);
    EXPECT_NEAR(after / music, 1.0, 0.1);
}

TEST_F(SoundPlayback, RunningOutOfTimeLeavesTheSadSoundAlone) {
    const std::string wav = newWavPath("sad");
    ChildResult child = runWithWaveOutput(wav, files.path("run"), [&] {
        MixClock mix(wav);
        Sound sound;
        mix.waitUntil(0.3);
        mix.mark("timeUp");
        sound.stopAll();
        sound.playSadSound();
        mix.waitUntil(1.0);
        return 0;
    });
    ASSERT_EQ(child.exitCode, 0) << describe(child);
    Wave wave = readWave(wav);
    const double timeUp = child.marks["timeUp"];
    const double from = timeUp + kBlockSeconds;
    const double to = timeUp + kSadSeconds;
    EXPECT_NEAR(wave.rms(from, to), 0.5 * kToneRms, 0.1 * kToneRms) << describe(child);
    EXPECT_NEAR(toneHertz(wave, from, to), 330.0, 5.0);  // the sad tone, no music under it
    // Played once: silence after it.
    EXPECT_LT(wave.rms(to + kBlockSeconds, wave.seconds()), kSilence);
}

TEST_F(SoundPlayback, TheTickIsHeardOnItsOwnOnceItIsPlayed) {
    const std::string wav = newWavPath("tick");
    ChildResult child = runWithWaveOutput(wav, files.path("run"), [&] {
        MixClock mix(wav);
        Sound sound;
        mix.waitUntil(0.3);
        sound.stopAll();
        mix.mark("tick");
        sound.playTickSound();
        mix.waitUntil(0.8);
        return 0;
    });
    ASSERT_EQ(child.exitCode, 0) << describe(child);
    Wave wave = readWave(wav);
    const double from = child.marks["tick"] + kBlockSeconds;
    const double to = child.marks["tick"] + kTickSeconds;
    EXPECT_NEAR(wave.rms(from, to), 0.5 * kToneRms, 0.1 * kToneRms) << describe(child);
    EXPECT_NEAR(toneHertz(wave, from, to), 2205.0, 20.0);
    EXPECT_LT(wave.rms(to + kBlockSeconds, wave.seconds()), kSilence);
}

TEST_F(SoundPlayback, FullStopAndCommaRaiseAndLowerTheLevel) {
    const std::string wav = newWavPath("keys");
    ChildResult child = runWithWaveOutput(wav, files.path("run"), [&] {
        MixClock mix(wav);
        Sound sound;
        const double heard = mix.waitUntilHeard(kStartLimitSeconds);
        auto step = [&](const char* name, double at, int key, int times) {
            mix.waitUntil(heard + at);
            mix.mark(name);
            press(sound, key, times);
            std::cout << "volume_" << name << "=" << sound.getVolume() << std::endl;
        };
        step("up", 0.2, kKeyFullStop, 5);
        step("down", 0.5, kKeyComma, 8);
        step("loud", 0.8, kKeyFullStop, 13);
        step("mute", 1.1, kKeyComma, 16);
        mix.waitUntil(heard + 1.4);
        return heard < 0.0 ? 3 : 0;
    });
    ASSERT_EQ(child.exitCode, 0) << describe(child);
    EXPECT_NEAR(child.marks["volume_up"], 1.0, 1e-5);
    EXPECT_NEAR(child.marks["volume_down"], 0.2, 1e-5);
    EXPECT_NEAR(child.marks["volume_loud"], 1.5, 1e-5);
    EXPECT_NEAR(child.marks["volume_mute"], -0.1, 1e-5);

    Wave wave = readWave(wav);
    auto level = [&](const char* start, const char* end) {
        double to = end != nullptr ? child.marks[end] : wave.seconds();
        return wave.rms(child.marks[start] + kBlockSeconds, to);
    };
    const double half = wave.rms(musicSteady(wave), child.marks["up"]);
    ASSERT_GT(half, 0.4 * kToneRms) << describe(child);
    EXPECT_NEAR(level("up", "down") / half, 2.0, 0.15);
    EXPECT_NEAR(level("down", "loud") / half, 0.4, 0.06);
    EXPECT_NEAR(level("loud", "mute") / half, 3.0, 0.2);  // above 1 amplifies
    EXPECT_LT(level("mute", nullptr), kSilence);          // below 0 is silence
}

TEST_F(SoundPlayback, MissingSoundFilesPlayNothingAndBreakNothing) {
    const std::string wav = newWavPath("missing");
    ChildResult child = runWithWaveOutput(wav, files.path("empty/run"), [&] {
        MixClock mix(wav);
        Sound sound;
        if (!sound.hasEngine()) {
            return 2;
        }
        sound.playCollectSound();
        sound.playCollideSound();
        sound.playWinSound();
        sound.stopAll();
        sound.playSadSound();
        Input::postEvent(kKeyFullStop, GLFW_PRESS);
        sound.update();
        mix.waitUntil(0.3);
        return 0;
    });
    ASSERT_EQ(child.exitCode, 0) << describe(child);
    for (const std::string_view name : kGameSoundFiles) {
        EXPECT_EQ(countOf(child.err, std::string(name)), 1) << name << " in:\n" << child.err;
    }
    EXPECT_EQ(countOf(child.err, "Failed to create irrKlang sound engine!"), 0);
    Wave wave = readWave(wav);
    EXPECT_GT(wave.seconds(), 0.2);
    EXPECT_LT(wave.rms(0.0, wave.seconds()), kSilence);
}

TEST_F(SoundPlayback, WithoutADeviceEachSoundPrintsItsLineOnceAndDoesNothing) {
    ChildResult child = runWithoutDevice(files.path("run"), [] {
        Sound first;
        Sound second;
        if (first.hasEngine() || second.hasEngine()) {
            return 2;
        }
        first.playCollectSound();
        first.stopAll();
        Input::postEvent(kKeyFullStop, GLFW_PRESS);
        first.update();
        second.update();
        return first.getVolume() == 0.5f && second.getVolume() == 0.5f ? 0 : 3;
    });
    ASSERT_EQ(child.exitCode, 0) << describe(child);
    EXPECT_EQ(countOf(child.err, "Failed to create irrKlang sound engine!\n"), 2) << child.err;
}

}  // namespace

// RMS between two times of what lies above the given frequency: the wave
// through a second-order high-pass filter (Butterworth, bilinear transform).
double rmsAbove(const Wave& wave, double hertz, double from, double to) {
    const double k = std::tan(std::numbers::pi * hertz / wave.rate);
    const double norm = 1.0 / (1.0 + std::numbers::sqrt2 * k + k * k);
    const double b0 = norm, b1 = -2.0 * norm, b2 = norm;
    const double a1 = 2.0 * (k * k - 1.0) * norm,
                 a2 = (1.0 - std::numbers::sqrt2 * k + k * k) * norm;
    double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0, sum = 0.0;
    int count = 0;
    for (std::size_t i = 0; i < wave.samples.size(); ++i) {
        const double x = wave.samples[i];
        const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        const double t = static_cast<double>(i) / wave.rate;
        if (t >= from && t < to) {
            sum += y * y;
            ++count;
        }
    }
    return count > 0 ? std::sqrt(sum / count) : 0.0;
}

TEST(ShippedSounds, TheCollectChimeStandsOutOverTheMusic) {
    // The game's own files, as a ring flown through sounds over the music at
    // its starting volume. The child runs in a folder of the source tree, so
    // "../assets/sounds" are the shipped sounds.
    const std::string wav = newWavPath("shipped");
    ChildResult child = runWithWaveOutput(wav, VELTRA_SOURCE_DIR "/tests", [&] {
        MixClock mix(wav);
        Sound sound;
        mix.waitUntil(2.5);
        mix.mark("collect");
        sound.playCollectSound();
        mix.waitUntil(3.5);
        return 0;
    });
    ASSERT_EQ(child.exitCode, 0) << describe(child);
    Wave wave = readWave(wav);
    const double collect = child.marks["collect"];
    const double music = wave.rms(0.5, collect);
    ASSERT_GT(music, kSilence) << "no music: " << describe(child);
    // The chime rings above 1 kHz, over the tune's upper notes: there it is
    // two and a half times (8 dB) as loud as the music over its first half
    // second.
    const double chime = rmsAbove(wave, 1000.0, collect + kBlockSeconds, collect + 0.5);
    const double musicAbove = rmsAbove(wave, 1000.0, 0.5, collect);
    EXPECT_GT(chime, 2.5 * musicAbove) << describe(child);
    // And the whole mix is louder by half (3.5 dB) while it rings.
    EXPECT_GT(wave.rms(collect + kBlockSeconds, collect + 0.5), 1.5 * music);
}
