#pragma once

#include <cstdint>

#include "framework/GlName.h"

// Building blocks shared by the render pipeline, the bloom and the HUD.
// What they make is handed back in owners, so each caller holds its own.
namespace RenderTargets {

// Six vertices of (x, y, u, v): location 0 position, location 1 texture
// coordinate, 16-byte stride.
using QuadVertices = float[24];
// Covering clip space, for full-screen passes.
extern const QuadVertices kFullScreenQuad;
// The unit square from (0, 0) to (1, 1), which the HUD scales into place.
extern const QuadVertices kUnitQuad;

// Builds a vertex array and its buffer holding the quad.
void buildQuad(GlVertexArray& vertexArray, GlBuffer& vertexBuffer, const QuadVertices& vertices);
// The same for the full-screen quad.
void createFullScreenQuad(GlVertexArray& vertexArray, GlBuffer& vertexBuffer);

// An RGB16F texture with linear filtering; clampToEdge also clamps S and T.
GlTexture createColorTexture(int32_t width, int32_t height, bool clampToEdge);

// A depth texture, nearest filtering, clamped to its edges: 24-bit on the
// full path, 32-bit float on the software path.
GlTexture createDepthTexture(int32_t width, int32_t height);

// A new framebuffer with this texture as its colour attachment, left bound.
GlFramebuffer createColorFramebuffer(uint32_t texture);

}  // namespace RenderTargets
