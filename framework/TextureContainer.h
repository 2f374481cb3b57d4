#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

// Reads the header of a texture container held in memory (DDS, with or
// without the DX10 extension header, and KTX 1) far enough to say what level 0
// of a 2D texture is: its extent, its pixel format and where its bytes start.
// Nothing here trusts a size written in the file; pure C++, no OpenGL.

enum class ContainerKind { Dds, Ktx1 };

// Pixel formats, numbered as Vulkan (and gli) number them. Only those the
// game can upload have names; anything else the reader recognises keeps its
// Vulkan number, and an unknown layout is kTextureFormatUndefined.
inline constexpr uint32_t kTextureFormatUndefined = 0;
inline constexpr uint32_t kTextureFormatRgba8Unorm = 37;
inline constexpr uint32_t kTextureFormatBgra8Unorm = 44;
inline constexpr uint32_t kTextureFormatBc1RgbUnorm = 131;
inline constexpr uint32_t kTextureFormatBc1RgbSrgb = 132;
inline constexpr uint32_t kTextureFormatBc1RgbaUnorm = 133;
inline constexpr uint32_t kTextureFormatBc1RgbaSrgb = 134;
inline constexpr uint32_t kTextureFormatBc2Unorm = 135;
inline constexpr uint32_t kTextureFormatBc2Srgb = 136;
inline constexpr uint32_t kTextureFormatBc3Unorm = 137;
inline constexpr uint32_t kTextureFormatBc3Srgb = 138;

// Every OpenGL 4.1 driver takes 2D textures up to this size; anything larger
// in a header is a broken or hostile file, not a texture.
inline constexpr uint32_t kMaxTextureExtent = 16384;

struct TextureContainerInfo {
    ContainerKind kind = ContainerKind::Dds;
    uint32_t width = 0;   // level 0, 1 to kMaxTextureExtent
    uint32_t height = 0;  // level 0, 1 to kMaxTextureExtent
    uint32_t format = kTextureFormatUndefined;
    size_t dataOffset = 0;  // first byte of level 0; never beyond the buffer
};

// Empty when the bytes are not a DDS or KTX 1 container holding a plain 2D
// texture (cube maps, volumes and arrays are refused), when the header is cut
// short, or when the extent is 0 or above kMaxTextureExtent.
std::optional<TextureContainerInfo> readTextureContainer(std::span<const uint8_t> bytes);

// True for the BC1, BC2 and BC3 formats, linear and sRGB.
bool isBlockCompressedFormat(uint32_t format);

// Byte size of one level of a BC1-BC3 image: 4x4 blocks, partial blocks
// rounded up, 8 bytes per block for BC1 and 16 for BC2 and BC3. Zero for any
// other format.
uint64_t blockCompressedLevelSize(uint32_t format, uint32_t width, uint32_t height);
