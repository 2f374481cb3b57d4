#include "render/Texture.h"

#include <iostream>

#include "framework/AssetPath.h"
#include "framework/DdsLoader.h"
#include "framework/Fatal.h"
#include "framework/Gl.h"

namespace {

std::string findTextureFile(const std::string& assetPath) {
    std::string fullPath = resolveAssetPath(assetPath);
    if (fullPath.empty()) {
        std::cout << "Could not find texture file: " << assetPath << std::endl;
        waitForKeyAndExit();
    }
    return fullPath;
}

}  // namespace

Texture::Texture(const std::string& assetPath) {
    const DDSImage image = loadDDS(findTextureFile(assetPath));
    if (!image.isLoaded()) {
        return;
    }
    id = generateTexture();
    glBindTexture(GL_TEXTURE_2D, id.get());
    glCompressedTexImage2D(GL_TEXTURE_2D, 0, image.internalFormat,
                           static_cast<GLsizei>(image.width), static_cast<GLsizei>(image.height), 0,
                           static_cast<GLsizei>(image.size), image.data.data());
    // The file's own mip levels are ignored; the driver builds a fresh chain.
    glGenerateMipmap(GL_TEXTURE_2D);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
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
