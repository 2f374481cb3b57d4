#include "world/ImageFile.h"

#include <fstream>
#include <vector>

#include <stb_image.h>

#include "framework/Platform.h"

void DecodedImage::releaseDecoded(void* pixels) {
    stbi_image_free(pixels);
}

namespace {

// The whole file, read once; false, with the reason, when it cannot be
// opened or is larger than kMaxImageFileBytes.
bool readWholeFile(const std::string& path, std::vector<stbi_uc>& bytes, std::string& reason) {
    std::ifstream file(platform::pathFromUtf8(path), std::ios::binary);
    if (!file) {
        reason = "can't fopen";
        return false;
    }
    char chunk[65536];
    while (file.read(chunk, sizeof(chunk)) || file.gcount() > 0) {
        bytes.insert(bytes.end(), chunk, chunk + file.gcount());
        if (bytes.size() > kMaxImageFileBytes) {
            reason = "file too large";
            return false;
        }
    }
    return true;
}

}  // namespace

DecodedImage decodeImageFile(const std::string& path, int desiredChannels, bool bottomRowFirst,
                             int maxSide) {
    DecodedImage image;
    std::vector<stbi_uc> file;
    if (!readWholeFile(path, file, image.reason)) {
        image.failure = DecodedImage::Failure::Unreadable;
        return image;
    }
    // stb_image takes the length as an int; kMaxImageFileBytes keeps it in range.
    const int length = static_cast<int>(file.size());
    if (stbi_info_from_memory(file.data(), length, &image.width, &image.height, &image.channels) !=
            0 &&
        (image.width > maxSide || image.height > maxSide)) {
        image.failure = DecodedImage::Failure::TooLarge;
        return image;
    }
    // The flag is global to stb_image: it is set for this call only.
    stbi_set_flip_vertically_on_load(bottomRowFirst ? 1 : 0);
    image.pixels.reset(stbi_load_from_memory(file.data(), length, &image.width, &image.height,
                                             &image.channels, desiredChannels));
    stbi_set_flip_vertically_on_load(0);
    if (!image.pixels) {
        image.failure = DecodedImage::Failure::Undecodable;
        const char* reason = stbi_failure_reason();
        image.reason = reason != nullptr ? reason : "unknown";
        image.width = image.height = image.channels = 0;
    }
    return image;
}
