#include "render/Texture.h"

#include <iostream>
#include <vector>

#include "framework/AssetPath.h"
#include "framework/Bc1Decoder.h"
#include "framework/DdsLoader.h"
#include "framework/Fatal.h"
#include "framework/Gl.h"
#include "framework/GlFeatures.h"
#include "framework/MipChain.h"
#include "framework/SoftwareRenderer.h"

namespace {

std::string findTextureFile(const std::string& assetPath) {
    std::string fullPath = resolveAssetPath(assetPath);
    if (fullPath.empty()) {
        std::cout << "Could not find texture file: " << assetPath << std::endl;
        waitForKeyAndExit();
    }
    return fullPath;
}

// Replaces every level of the bound compressed texture with its decoded
// texels, as the driver decodes them, in 8-bit RGBA: sampled the same, but
// a software rasterizer reads them without decoding a block per texel (for
// the terrain and the water, most of the frame's texture reads). All levels
// are read before any is replaced: a level read from a half-replaced chain
// is not the one the compressed chain holds. Rows of 8-bit RGBA are whole
// multiples of four bytes, so any pixel-store alignment up to four fits
// both the read-back and the upload.
void keepDecodedLevels(uint32_t width, uint32_t height) {
    struct Level {
        GLint width = 0;
        GLint height = 0;
        std::vector<uint8_t> texels;
    };
    std::vector<Level> levels;
    for (GLint level = 0;; ++level) {
        Level decoded;
        glfeatures::textureLevelSize(level, decoded.width, decoded.height);
        // Each level is smaller than level 0; the chain ends at 1 by 1.
        if (decoded.width <= 0 || decoded.height <= 0 ||
            static_cast<uint32_t>(decoded.width) > width ||
            static_cast<uint32_t>(decoded.height) > height) {
            break;
        }
        decoded.texels.resize(static_cast<size_t>(decoded.width) * decoded.height * 4);
        glfeatures::readTextureLevel(level, decoded.texels);
        const bool last = decoded.width == 1 && decoded.height == 1;
        levels.push_back(std::move(decoded));
        if (last) {
            break;
        }
    }
    for (size_t level = 0; level < levels.size(); ++level) {
        glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), GL_RGBA8, levels[level].width,
                     levels[level].height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     levels[level].texels.data());
    }
}

}  // namespace

Texture::Texture(const std::string& assetPath) {
    const DDSImage image = loadDDS(findTextureFile(assetPath));
    if (!image.isLoaded()) {
        return;
    }
    id = generateTexture();
    glBindTexture(GL_TEXTURE_2D, id.get());
    // The file's own mip levels are ignored; a fresh chain is built.
    // A context that cannot sample DXT1 (most browsers on phones) gets the
    // texels decoded here as well.
    const std::vector<uint8_t> texels = drawsSoftwarePath() || !glfeatures::hasDxt1Textures()
                                            ? decodeBc1(image)
                                            : std::vector<uint8_t>{};
    if (!texels.empty()) {
        // Decoded here, the chain is built from 8-bit texels, and here too:
        // a software rasterizer builds a compressed chain by decoding,
        // shrinking and compressing each level again on the CPU, and builds
        // any chain by drawing it with a program it compiles first.
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, static_cast<GLsizei>(image.width),
                     static_cast<GLsizei>(image.height), 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     texels.data());
        const std::vector<MipLevel> chain = buildMipChain(texels, image.width, image.height);
        for (size_t level = 0; level < chain.size(); ++level) {
            glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(level + 1), GL_RGBA8,
                         static_cast<GLsizei>(chain[level].width),
                         static_cast<GLsizei>(chain[level].height), 0, GL_RGBA, GL_UNSIGNED_BYTE,
                         chain[level].texels.data());
        }
    } else {
        glCompressedTexImage2D(GL_TEXTURE_2D, 0, image.internalFormat,
                               static_cast<GLsizei>(image.width),
                               static_cast<GLsizei>(image.height), 0,
                               static_cast<GLsizei>(image.size), image.data.data());
        glGenerateMipmap(GL_TEXTURE_2D);
        if (isSoftwareRenderer() && glfeatures::canReadTextures()) {
            keepDecodedLevels(image.width, image.height);
        }
    }
    // Blending two mipmap levels doubles a CPU rasterizer's texel reads for
    // a difference hard to see on these textures.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                    drawsSoftwarePath() ? GL_LINEAR_MIPMAP_NEAREST : GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_R, GL_REPEAT);
    loaded = true;
}

Texture::~Texture() = default;

void Texture::bind(int32_t unit) const {
    if (!loaded) {
        return;
    }
    glActiveTexture(static_cast<GLenum>(GL_TEXTURE0 + unit));
    glBindTexture(GL_TEXTURE_2D, id.get());
}
