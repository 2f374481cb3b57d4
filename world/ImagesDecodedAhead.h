#pragma once

#include <string>
#include <thread>
#include <vector>

#include "world/ImageFile.h"

// Decodes pictures on a thread of its own while it lives, so that the
// first level's pictures are decoded while the window and its context are
// made. A later decodeImageFile with the same path, channels and row order
// takes the picture decoded ahead (each once), waiting for it if need be.
// Only a picture that decoded, within the caller's largest side, is taken:
// anything else is decoded anew by the caller, so every message comes from
// the caller's own call. Pictures nobody took are dropped with the object,
// which goes on the thread that builds the level, after the build. One at a
// time: a new one drops what an earlier one decoded.
class ImagesDecodedAhead {
  public:
    // Pictures are decoded ahead up to this side; a larger one is left to
    // its caller.
    static constexpr int kMaxSide = 16384;

    explicit ImagesDecodedAhead(std::vector<ImageRequest> requests);
    ~ImagesDecodedAhead();
    ImagesDecodedAhead(const ImagesDecodedAhead&) = delete;
    ImagesDecodedAhead& operator=(const ImagesDecodedAhead&) = delete;

  private:
    std::thread worker;
};

// For decodeImageFile: true, with the picture in `image`, when one was
// decoded ahead for these arguments and fits maxSide.
bool takeImageDecodedAhead(const std::string& path, int desiredChannels, bool bottomRowFirst,
                           int maxSide, DecodedImage& image);
