#include "framework/DdsLoader.h"

#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>

#include "framework/Platform.h"
#include "framework/TextureContainer.h"

namespace {

// OpenGL's S3TC internal formats. sRGB files are uploaded with the linear
// formats, and DXT1 with or without alpha both take the RGBA variant.
constexpr uint32_t kGlCompressedRgbaDxt1 = 0x83F1;
constexpr uint32_t kGlCompressedRgbaDxt3 = 0x83F2;
constexpr uint32_t kGlCompressedRgbaDxt5 = 0x83F3;

std::optional<uint32_t> glInternalFormatFor(uint32_t format) {
    switch (format) {
        case kTextureFormatBc1RgbUnorm:
        case kTextureFormatBc1RgbSrgb:
        case kTextureFormatBc1RgbaUnorm:
        case kTextureFormatBc1RgbaSrgb:
            return kGlCompressedRgbaDxt1;
        case kTextureFormatBc2Unorm:
        case kTextureFormatBc2Srgb:
            return kGlCompressedRgbaDxt3;
        case kTextureFormatBc3Unorm:
        case kTextureFormatBc3Srgb:
            return kGlCompressedRgbaDxt5;
        default:
            return std::nullopt;
    }
}

std::optional<std::vector<uint8_t>> readWholeFile(const std::string& path) {
    std::ifstream file(platform::pathFromUtf8(path), std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                               std::istreambuf_iterator<char>());
    if (file.bad()) {
        return std::nullopt;
    }
    return bytes;
}

DDSImage notLoadable(const std::string& path) {
    std::cout << "Unable to load DDS image file from path[" << path << "]" << std::endl;
    return {};
}

}  // namespace

DDSImage loadDDS(const std::string& path) {
    const std::optional<std::vector<uint8_t>> bytes = readWholeFile(path);
    if (!bytes) {
        return notLoadable(path);
    }
    const std::optional<TextureContainerInfo> info = readTextureContainer(*bytes);
    if (!info) {
        return notLoadable(path);
    }
    const std::optional<uint32_t> internalFormat = glInternalFormatFor(info->format);
    if (!internalFormat) {
        std::cout << "Unable to load DDS image file [" << path << "] due to an unsupported format."
                  << std::endl;
        return {};
    }
    // Only the DDS container's pixel data is read; a KTX file that merely
    // carries a .dds name is left unloaded without a word.
    if (info->kind != ContainerKind::Dds) {
        return {};
    }

    // The header's own linear-size field is ignored: level 0 is exactly what
    // extent and format say, and the file must hold all of it.
    const uint64_t size = blockCompressedLevelSize(info->format, info->width, info->height);
    if (bytes->size() - info->dataOffset < size) {
        return notLoadable(path);
    }

    DDSImage image;
    const auto first = bytes->begin() + static_cast<std::ptrdiff_t>(info->dataOffset);
    image.data.assign(first, first + static_cast<std::ptrdiff_t>(size));
    image.width = info->width;
    image.height = info->height;
    image.size = static_cast<uint32_t>(size);
    image.internalFormat = *internalFormat;
    return image;
}
