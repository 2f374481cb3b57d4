// The game's Sound player as the mix sounds: music, effects, stop-all, the
// volume keys and the failure line. Each case runs its Sound in a child
// process that writes the mix to a WAV file (see AudioTestSupport.h); marks
// tie the child's actions to times in the WAV, with a tenth of a second of
// margin on each side for the mixer's block size.
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <cmath>
#include <iostream>
#include <string>

#include "AudioTestSupport.h"
#include "framework/Input.h"
#include "world/Sound.h"

using namespace audio_test;

namespace {

constexpr int kKeyFullStop = 46;
constexpr int kKeyComma = 44;
constexpr double kMargin = 0.1;
constexpr double kSilence = 0.001;

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
    ChildResult child = runWithWaveOutput(wav, files.path("run"), [] {
        Timeline time;
        Sound sound;
        time.mark("built");
        if (!sound.hasEngine() || sound.getVolume() != 0.5f) {
            return 2;
        }
        time.sleepUntil(1.4);
        return 0;
    });
    ASSERT_EQ(child.exitCode, 0) << child.err;
    Wave wave = readWave(wav);
    ASSERT_GT(wave.seconds(), 1.3);

    // Half the file's level, held across the loop seams at 0.5 s and 1.0 s
    // with no quiet 10 ms anywhere.
    const double level = wave.rms(0.15, 1.3);
    EXPECT_NEAR(level, 0.5 * kToneRms, 0.1 * kToneRms);
    EXPECT_GT(wave.minWindowRms(0.15, 1.3, 0.01), 0.8 * level);
    EXPECT_NEAR(toneHertz(wave, 0.15, 1.3), 441.0, 5.0);

    // The device starts inside the constructor, so the music's first sample
    // comes at most this long after the Sound began to be built.
    std::cout << "[ figure ] Sound built in " << child.marks["built"] * 1000.0
              << " ms; first audible sample " << wave.firstAbove(0.01f) * 1000.0
              << " ms after the output started" << std::endl;
}

TEST_F(SoundPlayback, StopAllSilencesMusicAndEffects) {
    const std::string wav = newWavPath("stop");
    ChildResult child = runWithWaveOutput(wav, files.path("run"), [] {
        Timeline time;
        Sound sound;
        time.sleepUntil(0.35);
        sound.playCollectSound();
        time.sleepUntil(0.45);
        time.mark("stop");
        sound.stopAll();
        time.sleepUntil(0.9);
        return 0;
    });
    ASSERT_EQ(child.exitCode, 0) << child.err;
    Wave wave = readWave(wav);
    const double stop = child.marks["stop"];
    EXPECT_GT(wave.rms(0.1, 0.3), 0.4 * kToneRms);
    EXPECT_LT(wave.rms(stop + kMargin, wave.seconds()), kSilence);
}

TEST_F(SoundPlayback, EffectsPlayOnTopOfTheMusic) {
    const std::string wav = newWavPath("effects");
    ChildResult child = runWithWaveOutput(wav, files.path("run"), [] {
        Timeline time;
        Sound sound;
        time.sleepUntil(0.4);
        time.mark("collect");
        sound.playCollectSound();
        time.sleepUntil(1.0);
        return 0;
    });
    ASSERT_EQ(child.exitCode, 0) << child.err;
    Wave wave = readWave(wav);
    const double collect = child.marks["collect"];
    const double music = wave.rms(0.1, collect - kMargin / 2);
    const double both = wave.rms(collect + kMargin, collect + kCollectSeconds - kMargin / 2);
    const double after = wave.rms(collect + kCollectSeconds + kMargin, wave.seconds());
    // Two tones of the same level add up to the square root of two.
    EXPECT_NEAR(both / music, std::sqrt(2.0), 0.15);
    EXPECT_NEAR(after / music, 1.0, 0.1);

    // How soon the preloaded effect is heard after it was asked for.
    double heard = -1.0;
    for (double t = collect - 0.05; t < collect + kCollectSeconds; t += 0.002) {
        if (wave.rms(t, t + 0.005) > 1.2 * music) {
            heard = t;
            break;
        }
    }
    std::cout << "[ figure ] collect effect heard " << (heard - collect) * 1000.0
              << " ms after it was played (mixer blocks of about 23 ms)" << std::endl;
}

TEST_F(SoundPlayback, RunningOutOfTimeLeavesTheSadSoundAlone) {
    const std::string wav = newWavPath("sad");
    ChildResult child = runWithWaveOutput(wav, files.path("run"), [] {
        Timeline time;
        Sound sound;
        time.sleepUntil(0.3);
        time.mark("timeUp");
        sound.stopAll();
        sound.playSadSound();
        time.sleepUntil(1.1);
        return 0;
    });
    ASSERT_EQ(child.exitCode, 0) << child.err;
    Wave wave = readWave(wav);
    const double timeUp = child.marks["timeUp"];
    const double from = timeUp + kMargin;
    const double to = timeUp + kSadSeconds - kMargin / 2;
    EXPECT_NEAR(wave.rms(from, to), 0.5 * kToneRms, 0.1 * kToneRms);
    EXPECT_NEAR(toneHertz(wave, from, to), 330.0, 5.0);  // the sad tone, no music under it
    EXPECT_LT(wave.rms(timeUp + kSadSeconds + kMargin, wave.seconds()), kSilence);  // once
}

TEST_F(SoundPlayback, FullStopAndCommaRaiseAndLowerTheLevel) {
    const std::string wav = newWavPath("keys");
    ChildResult child = runWithWaveOutput(wav, files.path("run"), [] {
        Timeline time;
        Sound sound;
        Input::releaseAllHeldKeys();
        time.sleepUntil(0.4);
        time.mark("up");
        press(sound, kKeyFullStop, 5);
        std::cout << "volumeUp=" << sound.getVolume() << std::endl;
        time.sleepUntil(0.8);
        time.mark("down");
        press(sound, kKeyComma, 8);
        std::cout << "volumeDown=" << sound.getVolume() << std::endl;
        time.sleepUntil(1.2);
        time.mark("loud");
        press(sound, kKeyFullStop, 13);
        std::cout << "volumeLoud=" << sound.getVolume() << std::endl;
        time.sleepUntil(1.6);
        time.mark("mute");
        press(sound, kKeyComma, 16);
        std::cout << "volumeMuted=" << sound.getVolume() << std::endl;
        time.sleepUntil(1.95);
        return 0;
    });
    ASSERT_EQ(child.exitCode, 0) << child.err;
    EXPECT_NEAR(child.marks["volumeUp"], 1.0, 1e-5);
    EXPECT_NEAR(child.marks["volumeDown"], 0.2, 1e-5);
    EXPECT_NEAR(child.marks["volumeLoud"], 1.5, 1e-5);
    EXPECT_NEAR(child.marks["volumeMuted"], -0.1, 1e-5);

    Wave wave = readWave(wav);
    auto level = [&](const char* start, const char* end) {
        double to = end != nullptr ? child.marks[end] - kMargin / 2 : wave.seconds();
        return wave.rms(child.marks[start] + kMargin, to);
    };
    const double half = wave.rms(0.1, child.marks["up"] - kMargin / 2);
    ASSERT_GT(half, 0.4 * kToneRms);
    EXPECT_NEAR(level("up", "down") / half, 2.0, 0.15);
    EXPECT_NEAR(level("down", "loud") / half, 0.4, 0.06);
    EXPECT_NEAR(level("loud", "mute") / half, 3.0, 0.2);  // above 1 amplifies
    EXPECT_LT(level("mute", nullptr), kSilence);          // below 0 is silence
}

TEST_F(SoundPlayback, MissingSoundFilesPlayNothingAndBreakNothing) {
    const std::string wav = newWavPath("missing");
    ChildResult child = runWithWaveOutput(wav, files.path("empty/run"), [] {
        Timeline time;
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
        time.sleepUntil(0.3);
        return 0;
    });
    ASSERT_EQ(child.exitCode, 0) << child.err;
    for (const char* name : {"ancient-wind.mp3", "collectcoin_longer.mp3", "collide3.mp3",
                             "sad-lomar.mp3", "win1.mp3"}) {
        EXPECT_EQ(countOf(child.err, name), 1) << name << " in:\n" << child.err;
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
    ASSERT_EQ(child.exitCode, 0) << child.err;
    EXPECT_EQ(countOf(child.err, "Failed to create irrKlang sound engine!\n"), 2) << child.err;
}

}  // namespace
