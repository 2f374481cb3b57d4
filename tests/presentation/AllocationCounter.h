#pragma once

#include <cstddef>

namespace presentation_test {

// Counts C++ heap allocations (operator new) made on any thread while an
// AllocationCounter is alive. The driver's own C allocations are not seen.
class AllocationCounter {
  public:
    AllocationCounter();
    ~AllocationCounter();
    AllocationCounter(const AllocationCounter&) = delete;
    AllocationCounter& operator=(const AllocationCounter&) = delete;

    std::size_t count() const;
    // False in sanitizer builds, which keep their own allocator.
    static bool available();
};

}  // namespace presentation_test
