#include "RenderGlSupport.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

#include <algorithm>

#include "RenderTestFiles.h"
#include "framework/AssetPath.h"
#include "framework/Gl.h"

namespace render_test {

OffscreenTarget::OffscreenTarget(int width, int height) : width(width), height(height) {
    glGenTextures(1, &colorTexture);
    glBindTexture(GL_TEXTURE_2D, colorTexture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA16F, width, height, 0, GL_RGBA, GL_FLOAT, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glBindTexture(GL_TEXTURE_2D, 0);
    glGenRenderbuffers(1, &depthBuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, depthBuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colorTexture, 0);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthBuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

OffscreenTarget::~OffscreenTarget() {
    glDeleteFramebuffers(1, &framebuffer);
    glDeleteRenderbuffers(1, &depthBuffer);
    glDeleteTextures(1, &colorTexture);
}

void OffscreenTarget::bind() const {
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glViewport(0, 0, width, height);
}

void OffscreenTarget::clear(const glm::vec4& color) const {
    bind();
    glClearColor(color.r, color.g, color.b, color.a);
    glClearDepth(1.0);
    glDepthMask(GL_TRUE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

std::vector<glm::vec4> OffscreenTarget::read() const {
    std::vector<glm::vec4> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_FLOAT, pixels.data());
    return pixels;
}

void OffscreenTarget::savePng(const std::string& path, const std::vector<glm::vec4>& pixels) const {
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const glm::vec4 p = at(pixels, x, height - 1 - y);
            uint8_t* out = &rgb[(static_cast<size_t>(y) * static_cast<size_t>(width) +
                                 static_cast<size_t>(x)) *
                                3];
            for (int c = 0; c < 3; ++c) {
                out[c] = static_cast<uint8_t>(std::clamp(p[c], 0.0f, 1.0f) * 255.0f + 0.5f);
            }
        }
    }
    stbi_write_png(path.c_str(), width, height, 3, rgb.data(), width * 3);
}

AssetRootOverride::AssetRootOverride(const std::filesystem::path& directory) {
    setAssetSearchStartDirectory(directory);
}

AssetRootOverride::~AssetRootOverride() {
    setAssetSearchStartDirectory({});
}

void writeSolidPng(const std::string& path, int size, int channels, const glm::ivec4& color) {
    std::vector<uint8_t> pixels(static_cast<size_t>(size) * static_cast<size_t>(size) *
                                static_cast<size_t>(channels));
    for (size_t i = 0; i < pixels.size(); ++i) {
        pixels[i] =
            static_cast<uint8_t>(color[static_cast<int>(i % static_cast<size_t>(channels))]);
    }
    stbi_write_png(path.c_str(), size, size, channels, pixels.data(), size * channels);
}

std::vector<uint8_t> makeSolidDxt1(uint32_t width, uint32_t height, const glm::ivec3& color) {
    DdsFields spec;
    spec.width = width;
    spec.height = height;
    spec.fourCc = fourCc("DXT1");
    spec.dataBytes = 0;
    std::vector<uint8_t> bytes = makeDds(spec);
    const uint16_t rgb565 =
        static_cast<uint16_t>(((color.r >> 3) << 11) | ((color.g >> 2) << 5) | (color.b >> 3));
    const size_t blocks = bc1Size(width, height) / 8;
    for (size_t b = 0; b < blocks; ++b) {
        // Both end points the same colour and every index 0: one flat colour.
        const uint8_t block[8] = {static_cast<uint8_t>(rgb565),
                                  static_cast<uint8_t>(rgb565 >> 8),
                                  static_cast<uint8_t>(rgb565),
                                  static_cast<uint8_t>(rgb565 >> 8),
                                  0,
                                  0,
                                  0,
                                  0};
        bytes.insert(bytes.end(), block, block + 8);
    }
    return bytes;
}

int drainGlErrors() {
    int count = 0;
    while (glGetError() != GL_NO_ERROR && count < 100) {
        ++count;
    }
    return count;
}

}  // namespace render_test
