#include "world/AudioFile.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iostream>

#include <sndfile.h>

namespace {

// Rates outside this range are corrupt headers rather than real recordings.
constexpr int kMinSampleRate = 8000;
constexpr int kMaxSampleRate = 192000;
// Whole-file decoding reads in blocks of this many frames and grows as the
// samples arrive, so a header that lies about the length allocates nothing.
constexpr std::size_t kDecodeBlockFrames = 16384;

}  // namespace

std::unique_ptr<AudioFile> AudioFile::open(const std::string& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr) {
        // libsndfile's own text for a file it cannot decode often claims it
        // does not exist, so tell the two apart here.
        if (std::ifstream(path, std::ios::binary).is_open()) {
            std::cerr << "Failed to decode sound file: " << path << std::endl;
        } else {
            std::cerr << "Sound file not found: " << path << std::endl;
        }
        return nullptr;
    }
    if (info.channels < 1 || info.channels > static_cast<int>(kMaxChannels)) {
        std::cerr << "Sound file has " << info.channels
                  << " channels, only mono and stereo play: " << path << std::endl;
        sf_close(file);
        return nullptr;
    }
    if (info.samplerate < kMinSampleRate || info.samplerate > kMaxSampleRate) {
        std::cerr << "Sound file has an unusable sample rate of " << info.samplerate
                  << " Hz: " << path << std::endl;
        sf_close(file);
        return nullptr;
    }
    return std::make_unique<AudioFile>(Token{}, file, info.channels, info.samplerate, path);
}

AudioFile::AudioFile(Token, sf_private_tag* file, int channels, int sampleRate, std::string path)
    : file(file), channels(channels), sampleRate(sampleRate), path(std::move(path)) {}

AudioFile::~AudioFile() {
    if (file != nullptr) {
        sf_close(file);
    }
}

std::size_t AudioFile::read(float* out, std::size_t frameCount) {
    sf_count_t got = sf_readf_float(file, out, static_cast<sf_count_t>(frameCount));
    if (got <= 0) {
        return 0;
    }
    // Decoders may overshoot full scale slightly; NaN would poison the mix.
    std::size_t samples = static_cast<std::size_t>(got) * static_cast<std::size_t>(channels);
    for (std::size_t i = 0; i < samples; ++i) {
        if (!std::isfinite(out[i])) {
            out[i] = 0.0f;
        }
    }
    return static_cast<std::size_t>(got);
}

bool AudioFile::rewind() {
    return sf_seek(file, 0, SEEK_SET) == 0;
}

AudioFile::Decoded AudioFile::decodeAll(const std::string& path, float maxSeconds,
                                        std::vector<float>& samples, int& channels,
                                        int& sampleRate) {
    std::unique_ptr<AudioFile> audio = open(path);
    if (!audio) {
        return Decoded::Failed;
    }
    channels = audio->getChannels();
    sampleRate = audio->getSampleRate();
    const std::size_t maxFrames =
        static_cast<std::size_t>(std::max(0.0f, maxSeconds) * static_cast<float>(sampleRate));
    const std::size_t width = static_cast<std::size_t>(channels);

    samples.clear();
    std::size_t frames = 0;
    for (;;) {
        samples.resize((frames + kDecodeBlockFrames) * width);
        std::size_t got = audio->read(samples.data() + frames * width, kDecodeBlockFrames);
        frames += got;
        if (got == 0) {
            break;
        }
        if (frames > maxFrames) {
            samples.clear();
            return Decoded::TooLong;
        }
    }
    samples.resize(frames * width);
    return Decoded::Whole;
}
