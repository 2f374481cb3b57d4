#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "framework/GlName.h"

class Shader;

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

// The scene's colour target at the window's size, linear filtering. On the
// software path (desktop GL) it holds 16-bit normalized colour, which
// llvmpipe writes and reads for less than half floats; normalized colour
// ends at 1, so the scene is stored divided by sceneColorRange(). Elsewhere
// it is the RGB16F texture above and the range is 1.
GlTexture createSceneColorTexture(int32_t width, int32_t height);
// What a stored 1 in the scene target stands for: 16 on the software path,
// above the brightest light the scene draws (the goal's sparks, 12.5), and
// a power of two, so dividing and multiplying by it lose nothing.
float sceneColorRange();
// "#define SCENE_RANGE 16.0" and a line break where the range is not 1,
// else nothing: every program that draws into the scene target divides
// its colour by it, every program that reads the target multiplies.
std::string sceneRangeDefines();
// A program that draws into the scene target: its own defines, then the
// range's.
std::shared_ptr<Shader> makeSceneShader(const std::string& vertexPath,
                                        const std::string& fragmentPath,
                                        const std::string& defines = "");

// A depth texture, nearest filtering, clamped to its edges: 24-bit on the
// full path, 32-bit float on the software path.
GlTexture createDepthTexture(int32_t width, int32_t height);

// A new framebuffer with this texture as its colour attachment, left bound.
GlFramebuffer createColorFramebuffer(uint32_t texture);

}  // namespace RenderTargets
