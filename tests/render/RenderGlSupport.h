#pragma once

// GL-side helpers of the render tests: an off-screen float target to draw
// into and read back, a switch of the asset search root to a scratch tree,
// and writers for the little images the sky tests feed stb_image.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <glm/glm.hpp>

namespace render_test {

// An RGBA16F colour target with a 24-bit depth buffer, the kind the game's
// scene is drawn into. Binding it sets the viewport to its size.
class OffscreenTarget {
  public:
    OffscreenTarget(int width, int height);
    ~OffscreenTarget();
    OffscreenTarget(const OffscreenTarget&) = delete;
    OffscreenTarget& operator=(const OffscreenTarget&) = delete;

    void bind() const;
    // Clears colour to the given value and depth to 1.
    void clear(const glm::vec4& color) const;
    // Pixels bottom row first.
    std::vector<glm::vec4> read() const;
    glm::vec4 at(const std::vector<glm::vec4>& pixels, int x, int y) const {
        return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
    }
    // Writes the pixels as an upright 8-bit PNG (values clamped to 0..1).
    void savePng(const std::string& path, const std::vector<glm::vec4>& pixels) const;

    int getWidth() const { return width; }
    int getHeight() const { return height; }

  private:
    int width;
    int height;
    uint32_t framebuffer = 0;
    uint32_t colorTexture = 0;
    uint32_t depthBuffer = 0;
};

// While alive, asset paths are searched from the given directory instead of
// the test executable's (shaders must be built before or after, not during).
class AssetRootOverride {
  public:
    explicit AssetRootOverride(const std::filesystem::path& directory);
    ~AssetRootOverride();
    AssetRootOverride(const AssetRootOverride&) = delete;
    AssetRootOverride& operator=(const AssetRootOverride&) = delete;
};

// An image of one colour with 1 to 4 channels, written as PNG.
void writeSolidPng(const std::string& path, int size, int channels, const glm::ivec4& color);

// A DXT1 file of one colour (both block end points the same RGB565 value).
std::vector<uint8_t> makeSolidDxt1(uint32_t width, uint32_t height, const glm::ivec3& color);

// Number of GL errors pending (and clears them).
int drainGlErrors();

}  // namespace render_test
