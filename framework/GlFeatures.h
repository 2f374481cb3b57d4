#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/Gl.h"

// What the current context offers beyond what every context the game runs
// on has, asked in one place. Desktop OpenGL 4.1 core has all of it; an
// OpenGL ES 3.0 context (WebGL 2 in a browser) lacks some, and the game
// draws without it or says why it cannot run.
namespace glfeatures {

// An OpenGL ES (or WebGL) context rather than desktop OpenGL.
bool isEs();

// The renderer's name as the driver gives it (in a browser, the unmasked
// name where the browser tells it); empty without a context.
std::string rendererName();

// Whether the context reports the extension, with or without "GL_".
bool hasExtension(const char* name);

// OpenGL 3.0 entry points, or their ES 3.0 equivalents.
bool hasVersion3();

// Whether DXT1 (S3TC) textures can be sampled as they are.
bool hasDxt1Textures();

// Whether 16-bit float colour textures can be drawn into: the scene and
// the glow are. Desktop contexts always can; ES needs EXT_color_buffer_float.
bool hasFloatColorTargets();

// The internal format of a float colour target: RGB on the desktop, RGBA
// where only four channels can be drawn into.
GLenum floatColorFormat();

// Prints the driver's messages through `callback` where the context has
// debug output; says once that it has none otherwise.
void enableDebugOutput(GLDEBUGPROC callback);

// Draws filled or as lines; false (saying so once) where the context cannot
// draw polygons as lines.
bool setPolygonMode(bool wireframe);

// Whether a texture level can be read back into memory (not on ES).
bool canReadTextures();

// The size of level `level` of the bound 2D texture; 0 by 0 where
// canReadTextures() is false.
void textureLevelSize(int32_t level, GLint& width, GLint& height);

// Reads level `level` of the bound 2D texture as 8-bit RGBA into texels,
// which must hold width * height * 4 bytes. False where canReadTextures()
// is false.
bool readTextureLevel(int32_t level, std::vector<uint8_t>& texels);

// Reads the frame's pixels as tightly packed 8-bit RGB rows, bottom row
// first, into `rgb` (width * height * 3 bytes). ES reads RGBA only; the
// alpha is dropped here.
void readPixelsRgb(int32_t width, int32_t height, uint8_t* rgb);

}  // namespace glfeatures
