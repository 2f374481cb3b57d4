#include "framework/MipChain.h"

#include <algorithm>

namespace {

MipLevel halve(const uint8_t* texels, uint32_t width, uint32_t height) {
    MipLevel level;
    level.width = std::max(width / 2, 1u);
    level.height = std::max(height / 2, 1u);
    level.texels.resize(static_cast<size_t>(level.width) * level.height * 4);
    // A side of 1 stays 1: its "block" is the texel and its neighbour along
    // the other side only.
    const uint32_t stepX = width > 1 ? 1 : 0;
    const uint32_t stepY = height > 1 ? 1 : 0;
    const size_t rowBytes = static_cast<size_t>(width) * 4;
    uint8_t* out = level.texels.data();
    for (uint32_t y = 0; y < level.height; ++y) {
        const uint8_t* top = texels + static_cast<size_t>(2 * y) * rowBytes;
        const uint8_t* bottom = top + stepY * rowBytes;
        for (uint32_t x = 0; x < level.width; ++x) {
            const size_t left = static_cast<size_t>(2 * x) * 4;
            const size_t right = left + stepX * 4;
            for (size_t c = 0; c < 4; ++c) {
                const unsigned sum =
                    top[left + c] + top[right + c] + bottom[left + c] + bottom[right + c];
                *out++ = static_cast<uint8_t>((sum + 2) / 4);
            }
        }
    }
    return level;
}

}  // namespace

std::vector<MipLevel> buildMipChain(const std::vector<uint8_t>& texels, uint32_t width,
                                    uint32_t height) {
    std::vector<MipLevel> chain;
    if (width == 0 || height == 0 ||
        texels.size() < static_cast<size_t>(width) * static_cast<size_t>(height) * 4) {
        return chain;
    }
    chain.reserve(32);  // a level per bit of the larger side
    const uint8_t* source = texels.data();
    while (width > 1 || height > 1) {
        chain.push_back(halve(source, width, height));
        width = chain.back().width;
        height = chain.back().height;
        source = chain.back().texels.data();
    }
    return chain;
}
