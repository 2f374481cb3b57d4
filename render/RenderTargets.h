#pragma once

#include <cstdint>

// Building blocks shared by the render pipeline and the bloom. Each caller
// owns the names these create and deletes them itself.
namespace RenderTargets {

// Six vertices of (x, y, u, v) covering clip space; location 0 position,
// location 1 texture coordinate, 16-byte stride.
void createFullScreenQuad(uint32_t& vertexArray, uint32_t& vertexBuffer);
void deleteFullScreenQuad(uint32_t& vertexArray, uint32_t& vertexBuffer);

// An RGB16F texture with linear filtering; clampToEdge also clamps S and T.
uint32_t createColorTexture(int32_t width, int32_t height, bool clampToEdge);

// A 24-bit depth texture, nearest filtering, clamped to its edges.
uint32_t createDepthTexture(int32_t width, int32_t height);

// A new framebuffer with this texture as its colour attachment, left bound.
uint32_t createColorFramebuffer(uint32_t texture);

// Deletes a name (when non-zero) and zeroes it.
void deleteTexture(uint32_t& texture);
void deleteFramebuffer(uint32_t& framebuffer);

}  // namespace RenderTargets
