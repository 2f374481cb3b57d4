#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Saves the framebuffer bound for reading as name + ".ppm", a plain-text PPM
// image (top row first). Returns false, after printing a line naming the
// file, when the file cannot be created. Needs a current OpenGL context.
bool saveScreenshot(const std::string& name, int32_t width, int32_t height);

// The PPM text of an RGB block laid out as OpenGL returns it: rows bottom-up,
// each exactly width * 3 bytes. Gives "" when the block is smaller than the
// size claims.
std::string formatPpm(const std::vector<uint8_t>& pixels, int32_t width, int32_t height);
