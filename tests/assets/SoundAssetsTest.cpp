// The music and the four effects, decoded with the game's own audio reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <utility>
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

TEST(SoundAssets, MusicLoopsForOneToTwoMinutesUnderTheEffects) {
    const Decoded d = decode("ancient-wind.mp3");
    EXPECT_GE(d.seconds(), 60.0);
    EXPECT_LE(d.seconds(), 120.0);
    EXPECT_EQ(d.channels, 2);
    EXPECT_LT(d.peak(), kPeakLimit);
    // Its loudness over the loop: -22 dBFS as made, well under the effects'
    // -3 dBFS peaks even before the game halves the music's volume.
    double sumOfSquares = 0.0;
    for (float s : d.samples) sumOfSquares += static_cast<double>(s) * s;
    const double rmsDb = 10.0 * std::log10(sumOfSquares / static_cast<double>(d.samples.size()));
    EXPECT_GT(rmsDb, -25.0);
    EXPECT_LT(rmsDb, -19.0);
}

TEST(SoundAssets, MusicCarriesATuneInDMajor) {
    // A pitch track over the tune's range (G4 to F6): every eighth of a
    // second, the strongest semitone, if it stands 12 dB above the median
    // of the range. A note is a pitch held for two or more steps that begins
    // with an onset, its level risen 6 dB in a quarter of a second; a pad
    // that fades from chord to chord has pitches but few onsets, and wind
    // with a bell now and then has neither.
    const Decoded d = decode("ancient-wind.mp3");
    ASSERT_EQ(d.channels, 2);
    const std::size_t frames = d.samples.size() / 2;
    constexpr int kFirstKey = 67, kKeys = 23, kWindow = 4096;
    const int hop = d.rate / 8;
    std::vector<double> hann(kWindow);
    for (int i = 0; i < kWindow; ++i) {
        hann[static_cast<std::size_t>(i)] =
            0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * i / (kWindow - 1));
    }
    std::vector<std::vector<double>> energy;  // [step][key]
    std::vector<int> strongest;               // key index, -1 where none stands out
    for (std::size_t start = 0; start + kWindow <= frames; start += static_cast<std::size_t>(hop)) {
        std::vector<double> e(kKeys);
        for (int k = 0; k < kKeys; ++k) {
            // Goertzel filter at the semitone, over a Hann window.
            const double hz = 440.0 * std::pow(2.0, (kFirstKey + k - 69) / 12.0);
            const double coefficient = 2.0 * std::cos(2.0 * std::numbers::pi * hz / d.rate);
            double s1 = 0.0, s2 = 0.0;
            for (std::size_t i = 0; i < kWindow; ++i) {
                const std::size_t at = (start + i) * 2;
                const double x = 0.5 * (d.samples[at] + d.samples[at + 1]) * hann[i];
                const double s0 = x + coefficient * s1 - s2;
                s2 = s1;
                s1 = s0;
            }
            e[static_cast<std::size_t>(k)] = s1 * s1 + s2 * s2 - coefficient * s1 * s2;
        }
        std::vector<double> sorted = e;
        std::nth_element(sorted.begin(), sorted.begin() + kKeys / 2, sorted.end());
        const auto top = static_cast<int>(std::max_element(e.begin(), e.end()) - e.begin());
        strongest.push_back(e[static_cast<std::size_t>(top)] > 16.0 * sorted[kKeys / 2] ? top : -1);
        energy.push_back(std::move(e));
    }
    const std::size_t steps = strongest.size();
    ASSERT_GT(steps, 100u);
    int notes = 0, notesInKey = 0;
    std::size_t stepsInNotes = 0;
    for (std::size_t i = 0; i < steps;) {
        std::size_t end = i;
        while (end < steps && strongest[end] == strongest[i]) ++end;
        const int key = strongest[i];
        if (key >= 0 && end - i >= 2 && i >= 2 &&
            energy[i][static_cast<std::size_t>(key)] >=
                4.0 * energy[i - 2][static_cast<std::size_t>(key)]) {
            ++notes;
            stepsInNotes += end - i;
            const int pitchClass = (kFirstKey + key) % 12;  // 0 = C
            notesInKey += pitchClass == 1 || pitchClass == 2 || pitchClass == 4 ||
                          pitchClass == 6 || pitchClass == 7 || pitchClass == 9 || pitchClass == 11;
        }
        i = end;
    }
    const double minutes = static_cast<double>(frames) / d.rate / 60.0;
    EXPECT_GE(notes / minutes, 45.0) << notes << " notes";
    EXPECT_GE(static_cast<double>(stepsInNotes) / static_cast<double>(steps), 0.7);
    EXPECT_GE(notesInKey, notes * 9 / 10) << notesInKey << " of " << notes << " notes in D major";
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
