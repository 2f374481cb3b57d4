// The glTF binary header check on arbitrary bytes, the file size being the
// input's size: an accepted container's first chunk lies inside the file.

#include <algorithm>
#include <cstdint>
#include <span>

#include "render/GlbHeader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> head(data, std::min(size, kGlbHeadSize));
    const bool refused = !glbHeaderProblem(head, size).empty();
    const bool isGlb =
        size >= 20 && data[0] == 'g' && data[1] == 'l' && data[2] == 'T' && data[3] == 'F';
    if (refused && !isGlb) {
        __builtin_trap();
    }
    if (isGlb && !refused) {
        const uint64_t length = uint64_t{data[12]} | (uint64_t{data[13]} << 8) |
                                (uint64_t{data[14]} << 16) | (uint64_t{data[15]} << 24);
        if (20 + length > size) {
            __builtin_trap();
        }
    }
    return 0;
}
