#include "AssetTestSupport.h"

#include <algorithm>
#include <cmath>

#include "framework/DdsLoader.h"
#include "framework/Gl.h"

namespace asset_test {

std::string assetPath(const std::string& relative) {
    return std::string(VELTRA_SOURCE_DIR) + "/assets/" + relative;
}

namespace {

glm::vec3 rgb565(uint16_t c) {
    return {static_cast<float>((c >> 11) & 31) / 31.0f, static_cast<float>((c >> 5) & 63) / 63.0f,
            static_cast<float>(c & 31) / 31.0f};
}

}  // namespace

glm::vec3 sampleBlockTexel(const DDSImage& image, glm::vec2 st) {
    const uint32_t w = image.width;
    const uint32_t h = image.height;
    if (w == 0 || h == 0) {
        return glm::vec3(0.0f);
    }
    // GL_REPEAT: coordinates wrap into 0..1.
    const float s = st.x - std::floor(st.x);
    const float t = st.y - std::floor(st.y);
    const uint32_t x = std::min(static_cast<uint32_t>(s * static_cast<float>(w)), w - 1);
    const uint32_t y = std::min(static_cast<uint32_t>(t * static_cast<float>(h)), h - 1);
    // DXT3 and DXT5 blocks carry alpha first and their colour block second.
    const bool bc1 = image.internalFormat == GL_COMPRESSED_RGBA_S3TC_DXT1_EXT;
    const size_t blockBytes = bc1 ? 8 : 16;
    const size_t blocksPerRow = (w + 3) / 4;
    const size_t offset = ((y / 4) * blocksPerRow + x / 4) * blockBytes + (bc1 ? 0 : 8);
    if (offset + 8 > image.data.size()) {
        return glm::vec3(0.0f);
    }
    const uint8_t* block = image.data.data() + offset;
    const uint16_t c0 = static_cast<uint16_t>(block[0] | (block[1] << 8));
    const uint16_t c1 = static_cast<uint16_t>(block[2] | (block[3] << 8));
    const uint32_t bits = static_cast<uint32_t>(block[4]) | (static_cast<uint32_t>(block[5]) << 8) |
                          (static_cast<uint32_t>(block[6]) << 16) |
                          (static_cast<uint32_t>(block[7]) << 24);
    const uint32_t index = (bits >> (2 * ((y % 4) * 4 + x % 4))) & 3u;
    const glm::vec3 a = rgb565(c0);
    const glm::vec3 b = rgb565(c1);
    if (c0 > c1 || !bc1) {
        const glm::vec3 palette[4] = {a, b, (2.0f * a + b) / 3.0f, (a + 2.0f * b) / 3.0f};
        return palette[index];
    }
    const glm::vec3 palette[4] = {a, b, (a + b) * 0.5f, glm::vec3(0.0f)};
    return palette[index];
}

ColourTarget::ColourTarget(int width, int height) : width(width), height(height) {
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glGenTextures(1, &colour);
    glBindTexture(GL_TEXTURE_2D, colour);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colour, 0);
    glGenRenderbuffers(1, &depth);
    glBindRenderbuffer(GL_RENDERBUFFER, depth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

ColourTarget::~ColourTarget() {
    glDeleteRenderbuffers(1, &depth);
    glDeleteTextures(1, &colour);
    glDeleteFramebuffers(1, &framebuffer);
}

void ColourTarget::bind() const {
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glViewport(0, 0, width, height);
}

glm::vec3 ColourTarget::pixel(int x, int y) const {
    uint8_t rgba[4] = {0, 0, 0, 0};
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return glm::vec3(rgba[0], rgba[1], rgba[2]) / 255.0f;
}

}  // namespace asset_test
