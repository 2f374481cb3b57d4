#include "world/ImagesDecodedAhead.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <system_error>

namespace {

struct Entry {
    ImageRequest request;
    DecodedImage image;
    bool started = false;
    bool decoded = false;
    bool taken = false;
};

}  // namespace

// One object's pictures. The newest batch is the one callers take from; an
// older one whose object still lives keeps its thread and its pictures to
// itself until its object goes.
struct ImagesDecodedAhead::Batch {
    std::mutex mutex;
    std::condition_variable changed;  // a picture decoded or taken
    std::vector<Entry> entries;
    size_t heldAtMost = 0;
    bool stopping = false;

    // Decoded and not taken yet; under the mutex.
    size_t held() const {
        size_t count = 0;
        for (const Entry& entry : entries) {
            count += entry.decoded && !entry.taken ? 1 : 0;
        }
        return count;
    }
};

namespace {

std::mutex currentMutex;
std::shared_ptr<ImagesDecodedAhead::Batch> currentBatch;

std::shared_ptr<ImagesDecodedAhead::Batch> batchTakenFrom() {
    std::lock_guard<std::mutex> lock(currentMutex);
    return currentBatch;
}

}  // namespace

ImagesDecodedAhead::ImagesDecodedAhead(std::vector<ImageRequest> requests, size_t heldAtMost)
    : batch(std::make_shared<Batch>()) {
    batch->heldAtMost = std::max<size_t>(heldAtMost, 1);
    for (ImageRequest& request : requests) {
        batch->entries.push_back(Entry{std::move(request), DecodedImage{}, false, false, false});
    }
    const auto decodeAll = [batch = batch] {
        for (size_t i = 0;; ++i) {
            ImageRequest request;
            {
                std::unique_lock<std::mutex> lock(batch->mutex);
                batch->changed.wait(
                    lock, [&] { return batch->stopping || batch->held() < batch->heldAtMost; });
                if (batch->stopping || i >= batch->entries.size()) {
                    return;
                }
                if (batch->entries[i].taken) {
                    continue;  // its caller came first and decodes it
                }
                batch->entries[i].started = true;
                request = batch->entries[i].request;
            }
            DecodedImage image = decodeImageFileNow(request.path, request.desiredChannels,
                                                    request.bottomRowFirst, kMaxSide);
            {
                std::lock_guard<std::mutex> lock(batch->mutex);
                batch->entries[i].image = std::move(image);
                batch->entries[i].decoded = true;
            }
            batch->changed.notify_all();
        }
    };
    try {
        worker = std::thread(decodeAll);
    } catch (const std::system_error&) {
        // No thread to be had: every picture is decoded by its caller.
        return;
    }
    std::lock_guard<std::mutex> lock(currentMutex);
    currentBatch = batch;
}

ImagesDecodedAhead::~ImagesDecodedAhead() {
    {
        std::lock_guard<std::mutex> lock(currentMutex);
        if (currentBatch == batch) {
            currentBatch.reset();
        }
    }
    {
        std::lock_guard<std::mutex> lock(batch->mutex);
        batch->stopping = true;
    }
    batch->changed.notify_all();
    if (worker.joinable()) {
        worker.join();
    }
}

bool takeImageDecodedAhead(const std::string& path, int desiredChannels, bool bottomRowFirst,
                           int maxSide, DecodedImage& image) {
    const std::shared_ptr<ImagesDecodedAhead::Batch> batch = batchTakenFrom();
    if (batch == nullptr) {
        return false;
    }
    std::unique_lock<std::mutex> lock(batch->mutex);
    for (Entry& entry : batch->entries) {
        const ImageRequest& request = entry.request;
        if (entry.taken || request.path != path || request.desiredChannels != desiredChannels ||
            request.bottomRowFirst != bottomRowFirst) {
            continue;
        }
        entry.taken = true;
        if (!entry.started) {
            // The caller decodes it at once rather than wait behind the
            // pictures before it: on two cores both decode side by side.
            return false;
        }
        batch->changed.wait(lock, [&] { return entry.decoded || batch->stopping; });
        const bool fits = entry.decoded && entry.image.pixels && entry.image.width <= maxSide &&
                          entry.image.height <= maxSide;
        if (fits) {
            image = std::move(entry.image);
        } else {
            entry.image = DecodedImage{};
        }
        // One fewer held: the thread may go on.
        lock.unlock();
        batch->changed.notify_all();
        return fits;
    }
    return false;
}
