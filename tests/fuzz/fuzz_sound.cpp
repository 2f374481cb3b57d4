// Sound files through the game's decoder (libsndfile with mpg123 for MP3),
// as the sound layer opens them: a short file decoded whole, in whole
// frames of the channels it was accepted with, and the same file streamed
// in blocks no larger than asked for.

#include <cmath>
#include <cstdint>
#include <vector>

#include "FuzzFile.h"
#include "FuzzSupport.h"
#include "world/AudioFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool quiet = (fuzz_support::silenceConsole(), true);
    (void)quiet;
    const std::string& path = fuzz_support::writeInputFile(data, size, ".mp3");

    std::vector<float> samples;
    int channels = 0;
    int sampleRate = 0;
    if (AudioFile::decodeAll(path, 2.0f, samples, channels, sampleRate) ==
            AudioFile::Decoded::Whole &&
        (channels < 1 || channels > 2 || samples.size() % static_cast<size_t>(channels) != 0)) {
        __builtin_trap();
    }

    auto stream = AudioFile::open(path);
    if (!stream) {
        return 0;
    }
    constexpr size_t kFrames = 1024;
    std::vector<float> block(kFrames * AudioFile::kMaxChannels);
    // A stream that never ends is cut off after a minute of sound.
    size_t total = 0;
    while (total < static_cast<size_t>(stream->getSampleRate()) * 60) {
        const size_t read = stream->read(block.data(), kFrames);
        if (read == 0) {
            break;
        }
        if (read > kFrames) {
            __builtin_trap();
        }
        total += read;
    }
    return 0;
}
