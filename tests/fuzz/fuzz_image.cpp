// Picture files through the game's decoder, as the height map, the sky's
// faces and the HUD's pictures are read: any bytes, any channel count asked
// for, rows either way up. A decoded picture has the size its header was
// allowed to claim, and every sample is readable.

#include <cstdint>

#include "FuzzFile.h"
#include "world/ImageFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    // The first byte picks the request; the rest is the file.
    const int channels = data[0] % 5;
    const bool bottomRowFirst = (data[0] & 0x80) != 0;
    constexpr int kMaxSide = 1024;
    const std::string& path = fuzz_support::writeInputFile(data + 1, size - 1, ".img");
    const DecodedImage image = decodeImageFile(path, channels, bottomRowFirst, kMaxSide);
    if (!image.pixels) {
        return 0;
    }
    if (image.width <= 0 || image.height <= 0 || image.width > kMaxSide ||
        image.height > kMaxSide || image.channels < 1 || image.channels > 4) {
        __builtin_trap();
    }
    const int perPixel = channels == 0 ? image.channels : channels;
    const size_t samples = static_cast<size_t>(image.width) * static_cast<size_t>(image.height) *
                           static_cast<size_t>(perPixel);
    unsigned sum = 0;
    for (size_t i = 0; i < samples; ++i) {
        sum += image.pixels.get()[i];
    }
    return sum == 0xFFFFFFFFu ? 1 : 0;
}
