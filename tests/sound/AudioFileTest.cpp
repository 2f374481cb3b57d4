// Decoding sound files, without any audio device.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AudioTestSupport.h"
#include "world/AudioFile.h"

using namespace audio_test;

namespace {

class AudioFileTest : public testing::Test {
  protected:
    void SetUp() override {
        if (SoundFiles::get().root().empty()) {
            GTEST_SKIP() << "sox and lame are needed to make test sounds";
        }
    }
    const SoundFiles& files = SoundFiles::get();
};

TEST_F(AudioFileTest, DecodesAnMp3WithoutEncoderPadding) {
    std::vector<float> samples;
    int channels = 0;
    int rate = 0;
    auto result = AudioFile::decodeAll(files.path("assets/sounds/ancient-wind.mp3"), 10.0f, samples,
                                       channels, rate);
    ASSERT_EQ(result, AudioFile::Decoded::Whole);
    EXPECT_EQ(channels, 2);
    EXPECT_EQ(rate, 44100);
    // Exactly the half second that was encoded: silence the encoder added
    // would be a gap at every loop seam.
    EXPECT_NEAR(double(samples.size()) / 2.0, kMusicSeconds * 44100.0, 2.0);
}

TEST_F(AudioFileTest, ALongFileIsLeftForStreaming) {
    std::vector<float> samples{1.0f};
    int channels = 0;
    int rate = 0;
    testing::internal::CaptureStderr();
    auto result = AudioFile::decodeAll(files.path("assets/sounds/ancient-wind.mp3"), 0.1f, samples,
                                       channels, rate);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(result, AudioFile::Decoded::TooLong);
    EXPECT_TRUE(samples.empty());
}

TEST_F(AudioFileTest, UnplayableFilesAreRefusedWithOneLineNamingThem) {
    for (const char* name : {"no-such-file.mp3", "broken.mp3", "surround.wav"}) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(AudioFile::open(files.path(name)), nullptr) << name;
        // The decoder library may add notes of its own; ours is one line.
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(countOf(err, files.path(name) + "\n"), 1) << err;
    }
}

TEST_F(AudioFileTest, RewindStartsOverAndTheEndReadsNothing) {
    auto file = AudioFile::open(files.path("mono.mp3"));
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(file->getChannels(), 1);
    std::vector<float> first(256);
    std::vector<float> again(256);
    ASSERT_EQ(file->read(first.data(), first.size()), first.size());
    std::vector<float> rest(44100);
    while (file->read(rest.data(), rest.size()) > 0) {
    }
    EXPECT_EQ(file->read(rest.data(), rest.size()), 0u);
    ASSERT_TRUE(file->rewind());
    ASSERT_EQ(file->read(again.data(), again.size()), again.size());
    for (std::size_t i = 0; i < first.size(); ++i) {
        EXPECT_NEAR(first[i], again[i], 1e-6) << "sample " << i;
    }
}

}  // namespace
