#pragma once

#include <cstdint>
#include <string>

#include "framework/GlName.h"

// A block-compressed DDS image below assets/textures, uploaded as one 2D
// texture with a generated mipmap chain. On a software renderer the chain
// is kept decoded (the same texels, uncompressed). A file that cannot be
// loaded leaves the texture unloaded: binding it then does nothing.
class Texture {
  public:
    // Resolves the asset path (fatal when found nowhere), loads and uploads.
    explicit Texture(const std::string& assetPath);
    ~Texture();

    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    void bind(int32_t unit) const;

    bool isLoaded() const { return loaded; }
    uint32_t getId() const { return id.get(); }

  private:
    GlTexture id;
    bool loaded = false;
};
