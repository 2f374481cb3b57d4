// The music and the four effects, decoded with the game's own audio reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "AssetTestSupport.h"
#include "world/AudioFile.h"
#include "world/GameSounds.h"

using asset_test::assetPath;

namespace {

struct Decoded {
    std::vector<float> samples;
    int channels = 0;
    int rate = 0;
    double seconds() const {
        return channels > 0 && rate > 0
                   ? static_cast<double>(samples.size()) / channels / static_cast<double>(rate)
                   : 0.0;
    }
    float peak() const {
        float p = 0.0f;
        for (float s : samples) p = std::max(p, std::abs(s));
        return p;
    }
};

Decoded decode(const std::string& name) {
    Decoded d;
    const AudioFile::Decoded result =
        AudioFile::decodeAll(assetPath("sounds/" + name), 120.0f, d.samples, d.channels, d.rate);
    EXPECT_EQ(result, AudioFile::Decoded::Whole) << name;
    return d;
}

// -1 dBFS: nothing louder, so the encoder's overshoot cannot clip.
const float kPeakLimit = std::pow(10.0f, -1.0f / 20.0f);

}  // namespace

TEST(SoundAssets, EveryListedEffectIsShortUnclippedAndTheTickTheQuietest) {
    float loudestOtherPeak = 0.0f;
    float tickPeak = 1.0f;
    for (std::size_t i = 0; i < kGameSoundFiles.size(); ++i) {
        const GameSound sound = static_cast<GameSound>(i);
        if (sound == GameSound::Music) {
            continue;
        }
        const std::string name(kGameSoundFiles[i]);
        const Decoded d = decode(name);
        EXPECT_GT(d.seconds(), 0.1) << name;
        EXPECT_LT(d.seconds(), sound == GameSound::Win ? 5.0 : 3.0) << name;
        EXPECT_TRUE(d.channels == 1 || d.channels == 2) << name;
        EXPECT_LT(d.peak(), kPeakLimit) << name;
        EXPECT_GT(d.peak(), 0.05f) << name << " is nearly silent";
        if (sound == GameSound::Tick) {
            tickPeak = d.peak();
        } else {
            loudestOtherPeak = std::max(loudestOtherPeak, d.peak());
        }
    }
    // Quieter than the effects: it counts the seconds without alarming.
    EXPECT_LT(tickPeak, 0.5f * loudestOtherPeak);
}

TEST(SoundAssets, MusicIsAMinuteOrMoreAndUnclipped) {
    const Decoded d = decode("ancient-wind.mp3");
    EXPECT_GE(d.seconds(), 60.0);
    EXPECT_LE(d.seconds(), 90.0);
    EXPECT_EQ(d.channels, 2);
    EXPECT_LT(d.peak(), kPeakLimit);
}

TEST(SoundAssets, MusicLoopsWithoutAClick) {
    // The wrap from the last frame back to the first must be no bigger a step
    // than the music takes between neighbouring frames anywhere else, and
    // the file must not start or end with a gap of silence.
    const Decoded d = decode("ancient-wind.mp3");
    ASSERT_EQ(d.channels, 2);
    const size_t frames = d.samples.size() / 2;
    ASSERT_GT(frames, 1000u);
    for (int ch = 0; ch < 2; ++ch) {
        float largestStep = 0.0f;
        for (size_t i = 1; i < frames; ++i) {
            largestStep = std::max(largestStep,
                                   std::abs(d.samples[i * 2 + ch] - d.samples[(i - 1) * 2 + ch]));
        }
        const float wrap = std::abs(d.samples[ch] - d.samples[(frames - 1) * 2 + ch]);
        EXPECT_LE(wrap, largestStep) << "channel " << ch;

        float headLevel = 0.0f, tailLevel = 0.0f;
        const size_t window = static_cast<size_t>(d.rate / 20);  // 50 ms
        for (size_t i = 0; i < window; ++i) {
            headLevel = std::max(headLevel, std::abs(d.samples[i * 2 + ch]));
            tailLevel = std::max(tailLevel, std::abs(d.samples[(frames - 1 - i) * 2 + ch]));
        }
        EXPECT_GT(headLevel, 0.01f) << "silent start, channel " << ch;
        EXPECT_GT(tailLevel, 0.01f) << "silent end, channel " << ch;
    }
}
