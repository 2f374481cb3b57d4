#pragma once

#include <memory>
#include <string>

// A picture file (PNG, JPEG, TGA: whatever stb_image reads) decoded to
// 8-bit samples, for the height map, the sky's faces and the HUD's pictures
// alike. The game reads the file itself, at most kMaxImageFileBytes of it
// (it may be a pipe, read once), and checks the picture's size from its
// header before anything is decoded: a small file can claim a picture that
// would not fit in memory.
struct DecodedImage {
    enum class Failure { None, Unreadable, TooLarge, Undecodable };
    Failure failure = Failure::None;
    // stb_image's words for why: "can't fopen", "file too large", its own
    // reason when decoding failed. Empty on success and for TooLarge.
    std::string reason;
    // The picture's size, also for TooLarge (as its header claims it).
    int width = 0;
    int height = 0;
    // Channels as stored in the file; the pixels have as many as asked for.
    int channels = 0;
    std::unique_ptr<unsigned char, void (*)(void*)> pixels{nullptr, &releaseDecoded};

    static void releaseDecoded(void* pixels);
};

// The arguments of a decodeImageFile call but the largest side, named so a
// call can be made ahead of time (ImagesDecodedAhead).
struct ImageRequest {
    std::string path;
    int desiredChannels = 0;
    bool bottomRowFirst = false;
};

inline constexpr std::size_t kMaxImageFileBytes = std::size_t{64} << 20;

// Decodes `path` (UTF-8) to `desiredChannels` samples a pixel (1 to 4), rows
// top first or, with bottomRowFirst, as OpenGL counts them; a picture wider
// or higher than maxSide is refused as TooLarge, and one of no pixels as
// Undecodable.
// A picture decoded ahead of the call (ImagesDecodedAhead) is taken instead.
DecodedImage decodeImageFile(const std::string& path, int desiredChannels, bool bottomRowFirst,
                             int maxSide);
// The same, decoding the file now whatever was decoded ahead.
DecodedImage decodeImageFileNow(const std::string& path, int desiredChannels, bool bottomRowFirst,
                                int maxSide);
