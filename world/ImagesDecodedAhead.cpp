#include "world/ImagesDecodedAhead.h"

#include <condition_variable>
#include <mutex>
#include <system_error>

namespace {

struct Entry {
    ImageRequest request;
    DecodedImage image;
    bool decoded = false;
    bool taken = false;
};

std::mutex aheadMutex;
std::condition_variable aheadDecoded;
std::vector<Entry> entries;
bool stopping = false;

}  // namespace

ImagesDecodedAhead::ImagesDecodedAhead(std::vector<ImageRequest> requests) {
    {
        std::lock_guard<std::mutex> lock(aheadMutex);
        entries.clear();
        stopping = false;
        for (ImageRequest& request : requests) {
            entries.push_back(Entry{std::move(request), DecodedImage{}, false, false});
        }
    }
    const auto decodeAll = [] {
        for (size_t i = 0;; ++i) {
            ImageRequest request;
            {
                std::lock_guard<std::mutex> lock(aheadMutex);
                if (stopping || i >= entries.size()) {
                    return;
                }
                request = entries[i].request;
            }
            DecodedImage image = decodeImageFileNow(request.path, request.desiredChannels,
                                                    request.bottomRowFirst, kMaxSide);
            {
                std::lock_guard<std::mutex> lock(aheadMutex);
                entries[i].image = std::move(image);
                entries[i].decoded = true;
            }
            aheadDecoded.notify_all();
        }
    };
    try {
        worker = std::thread(decodeAll);
    } catch (const std::system_error&) {
        // No thread to be had: every picture is decoded by its caller.
        std::lock_guard<std::mutex> lock(aheadMutex);
        entries.clear();
    }
}

ImagesDecodedAhead::~ImagesDecodedAhead() {
    {
        std::lock_guard<std::mutex> lock(aheadMutex);
        stopping = true;
    }
    aheadDecoded.notify_all();
    if (worker.joinable()) {
        worker.join();
    }
    std::lock_guard<std::mutex> lock(aheadMutex);
    entries.clear();
}

bool takeImageDecodedAhead(const std::string& path, int desiredChannels, bool bottomRowFirst,
                           int maxSide, DecodedImage& image) {
    std::unique_lock<std::mutex> lock(aheadMutex);
    for (Entry& entry : entries) {
        const ImageRequest& request = entry.request;
        if (entry.taken || request.path != path || request.desiredChannels != desiredChannels ||
            request.bottomRowFirst != bottomRowFirst) {
            continue;
        }
        entry.taken = true;
        aheadDecoded.wait(lock, [&] { return entry.decoded || stopping; });
        if (!entry.decoded || !entry.image.pixels || entry.image.width > maxSide ||
            entry.image.height > maxSide) {
            return false;
        }
        image = std::move(entry.image);
        return true;
    }
    return false;
}
