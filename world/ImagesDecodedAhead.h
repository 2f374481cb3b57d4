#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "world/ImageFile.h"

// Decodes pictures on a thread of its own while it lives, so that the
// first level's pictures are decoded while the window and its context are
// made. A later decodeImageFile with the same path, channels and row order
// takes the picture decoded ahead (each once), waiting for one being
// decoded; one the thread has not started yet is left to the caller, so
// that the two decode side by side.
// Only a picture that decoded, within the caller's largest side, is taken:
// anything else is decoded anew by the caller, so every message comes from
// the caller's own call. Pictures nobody took are dropped with the object,
// which goes on the thread that builds the level, after the build. Callers
// take from the newest one; an earlier one that still lives keeps what it
// decoded to itself.
class ImagesDecodedAhead {
  public:
    // Pictures are decoded ahead up to this side; a larger one is left to
    // its caller.
    static constexpr int kMaxSide = 16384;

    // The thread waits while heldAtMost pictures wait for their callers,
    // which bounds the memory they hold beside the level being built.
    explicit ImagesDecodedAhead(std::vector<ImageRequest> requests, size_t heldAtMost = SIZE_MAX);
    ~ImagesDecodedAhead();
    ImagesDecodedAhead(const ImagesDecodedAhead&) = delete;
    ImagesDecodedAhead& operator=(const ImagesDecodedAhead&) = delete;

    struct Batch;

  private:
    std::shared_ptr<Batch> batch;
    std::thread worker;
};

// For decodeImageFile: true, with the picture in `image`, when one was
// decoded ahead for these arguments and fits maxSide.
bool takeImageDecodedAhead(const std::string& path, int desiredChannels, bool bottomRowFirst,
                           int maxSide, DecodedImage& image);
