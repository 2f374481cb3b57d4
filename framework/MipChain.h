#pragma once

#include <cstdint>
#include <vector>

// The smaller levels of an 8-bit RGBA texture, built on the CPU: each texel
// the rounded mean of the 2 by 2 block above it, down to 1 by 1, with the
// sizes OpenGL gives them (half, rounded down, never below 1). Where a side
// is odd its last row or column is left out of the blocks, as a box filter
// of an odd side leaves it. A software rasterizer builds a chain by drawing
// it, and the first time compiles the drawing's program: about 100 ms at
// the game's launch, against a millisecond or two here.
struct MipLevel {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> texels;  // rows of width * 4 bytes
};

// Levels 1 to the last; `texels` holds level 0 (width * height * 4 bytes).
// Empty when level 0 is already 1 by 1 or the texels are fewer than the
// size claims.
std::vector<MipLevel> buildMipChain(const std::vector<uint8_t>& texels, uint32_t width,
                                    uint32_t height);
