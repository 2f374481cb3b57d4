#include "presentation/AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

// AddressSanitizer brings its own operator new; replacing it there mixes
// the two allocators, so under the sanitizer nothing is counted.
#if defined(__SANITIZE_ADDRESS__)
#define VELTRA_COUNT_ALLOCATIONS 0
#else
#define VELTRA_COUNT_ALLOCATIONS 1
#endif

namespace {

std::atomic<bool> counting{false};
std::atomic<std::size_t> allocations{0};

[[maybe_unused]] void* allocate(std::size_t size) {
    if (counting.load(std::memory_order_relaxed)) {
        allocations.fetch_add(1, std::memory_order_relaxed);
    }
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}

}  // namespace

#if VELTRA_COUNT_ALLOCATIONS
void* operator new(std::size_t size) {
    return allocate(size);
}

void* operator new[](std::size_t size) {
    return allocate(size);
}

void operator delete(void* p) noexcept {
    std::free(p);
}

void operator delete[](void* p) noexcept {
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
#endif

namespace presentation_test {

AllocationCounter::AllocationCounter() {
    allocations = 0;
    counting = true;
}

AllocationCounter::~AllocationCounter() {
    counting = false;
}

bool AllocationCounter::available() {
    return VELTRA_COUNT_ALLOCATIONS != 0;
}

std::size_t AllocationCounter::count() const {
    return allocations.load();
}

}  // namespace presentation_test
