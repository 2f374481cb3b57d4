#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

struct sf_private_tag;

// A sound file (MP3, WAV, OGG, FLAC: whatever libsndfile reads) opened for
// decoding to interleaved 32-bit float samples, mono or stereo. What the
// file's header claims about its size is never used to allocate.
class AudioFile {
  public:
    // Mono and stereo only: the mixer plays both straight to the speakers.
    static constexpr std::size_t kMaxChannels = 2;

    // Null, with one line on standard error, when the file is missing, cannot
    // be decoded or has a channel count or sample rate the game cannot play.
    static std::unique_ptr<AudioFile> open(const std::string& path);

    enum class Decoded { Whole, TooLong, Failed };

    // Decodes a whole file of at most maxSeconds into samples. Failed (with
    // one line on standard error) when it cannot be opened; TooLong, with
    // samples empty, when it should rather be streamed.
    static Decoded decodeAll(const std::string& path, float maxSeconds, std::vector<float>& samples,
                             int& channels, int& sampleRate);

    ~AudioFile();
    AudioFile(const AudioFile&) = delete;
    AudioFile& operator=(const AudioFile&) = delete;

    int getChannels() const { return channels; }
    int getSampleRate() const { return sampleRate; }
    const std::string& getPath() const { return path; }

    // Reads up to frameCount frames into out (room for frameCount x channels
    // floats); returns the frames read, 0 at the end or on a decoding error.
    std::size_t read(float* out, std::size_t frameCount);

    // Back to the first frame; false when the file cannot seek.
    bool rewind();

  private:
    struct Token {
        explicit Token() = default;
    };

  public:
    AudioFile(Token, sf_private_tag* file, int channels, int sampleRate, std::string path);

  private:
    sf_private_tag* file = nullptr;
    int channels = 0;
    int sampleRate = 0;
    std::string path;
};
