#pragma once

// Helpers of the asset checks: where the committed assets lie, a decoder for
// single texels of BC1 data as the GPU would read them, and a small colour
// target to draw into and read back.
#include <cstdint>
#include <string>
#include <vector>

#include <glm/glm.hpp>

struct DDSImage;

namespace asset_test {

// Full path of a file below the source tree's assets folder.
std::string assetPath(const std::string& relative);

// The texel at texture coordinate (s, t) with nearest filtering, where t = 0
// is the first row of the data, as glCompressedTexImage2D lays it out.
// Reads the colour of BC1, BC2 and BC3 level-0 data; values are 0..1.
glm::vec3 sampleBlockTexel(const DDSImage& image, glm::vec2 st);

// An RGBA8 colour target with a depth buffer. Binding sets the viewport.
class ColourTarget {
  public:
    ColourTarget(int width, int height);
    ~ColourTarget();
    ColourTarget(const ColourTarget&) = delete;
    ColourTarget& operator=(const ColourTarget&) = delete;

    void bind() const;
    // RGB of one pixel, origin bottom left, values 0..1.
    glm::vec3 pixel(int x, int y) const;

  private:
    int width;
    int height;
    uint32_t framebuffer = 0;
    uint32_t colour = 0;
    uint32_t depth = 0;
};

}  // namespace asset_test
