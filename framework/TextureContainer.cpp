#include "framework/TextureContainer.h"

#include <array>
#include <cstring>

namespace {

// Both containers store their header fields little-endian.
uint32_t readU32(std::span<const uint8_t> bytes, size_t offset) {
    return static_cast<uint32_t>(bytes[offset]) | (static_cast<uint32_t>(bytes[offset + 1]) << 8) |
           (static_cast<uint32_t>(bytes[offset + 2]) << 16) |
           (static_cast<uint32_t>(bytes[offset + 3]) << 24);
}

constexpr uint32_t fourCc(char a, char b, char c, char d) {
    return static_cast<uint32_t>(static_cast<uint8_t>(a)) |
           (static_cast<uint32_t>(static_cast<uint8_t>(b)) << 8) |
           (static_cast<uint32_t>(static_cast<uint8_t>(c)) << 16) |
           (static_cast<uint32_t>(static_cast<uint8_t>(d)) << 24);
}

bool extentIsSane(uint32_t width, uint32_t height) {
    return width >= 1 && height >= 1 && width <= kMaxTextureExtent && height <= kMaxTextureExtent;
}

// --- DDS -------------------------------------------------------------------

// Offsets below are from the start of the file: 4 bytes of magic, then the
// 124-byte header, then (only for FourCC "DX10") a 20-byte extension header.
constexpr size_t kDdsMagicSize = 4;
constexpr size_t kDdsHeaderSize = 124;
constexpr size_t kDdsDx10HeaderSize = 20;
constexpr size_t kDdsHeaderSizeField = 4;
constexpr size_t kDdsFlags = 8;
constexpr size_t kDdsHeight = 12;
constexpr size_t kDdsWidth = 16;
constexpr size_t kDdsDepth = 24;
constexpr size_t kDdsPixelFlags = 80;
constexpr size_t kDdsFourCc = 84;
constexpr size_t kDdsRgbBitCount = 88;
constexpr size_t kDdsRedMask = 92;
constexpr size_t kDdsGreenMask = 96;
constexpr size_t kDdsBlueMask = 100;
constexpr size_t kDdsAlphaMask = 104;
constexpr size_t kDdsCaps2 = 112;
constexpr size_t kDx10Format = 128;
constexpr size_t kDx10Dimension = 132;
constexpr size_t kDx10MiscFlags = 136;
constexpr size_t kDx10ArraySize = 140;

constexpr uint32_t kDdsdDepth = 0x800000;
constexpr uint32_t kDdpfAlphaPixels = 0x1;
constexpr uint32_t kDdpfFourCc = 0x4;
constexpr uint32_t kDdpfRgb = 0x40;
constexpr uint32_t kDdsCaps2Cubemap = 0x200;
constexpr uint32_t kDdsCaps2Volume = 0x200000;
constexpr uint32_t kDx10DimensionTexture2d = 3;
constexpr uint32_t kDx10MiscTextureCube = 0x4;

uint32_t formatFromDxgi(uint32_t dxgiFormat) {
    switch (dxgiFormat) {
        case 28:
            return kTextureFormatRgba8Unorm;  // R8G8B8A8_UNORM
        case 87:
            return kTextureFormatBgra8Unorm;  // B8G8R8A8_UNORM
        // DXGI's BC1 carries a 1-bit alpha, so it is the RGBA variant.
        case 71:
            return kTextureFormatBc1RgbaUnorm;
        case 72:
            return kTextureFormatBc1RgbaSrgb;
        case 74:
            return kTextureFormatBc2Unorm;
        case 75:
            return kTextureFormatBc2Srgb;
        case 77:
            return kTextureFormatBc3Unorm;
        case 78:
            return kTextureFormatBc3Srgb;
        default:
            return kTextureFormatUndefined;
    }
}

uint32_t formatFromLegacyPixelFormat(std::span<const uint8_t> bytes) {
    const uint32_t flags = readU32(bytes, kDdsPixelFlags);
    if ((flags & kDdpfFourCc) != 0) {
        const uint32_t code = readU32(bytes, kDdsFourCc);
        if (code == fourCc('D', 'X', 'T', '1')) {
            return (flags & kDdpfAlphaPixels) != 0 ? kTextureFormatBc1RgbaUnorm
                                                   : kTextureFormatBc1RgbUnorm;
        }
        if (code == fourCc('D', 'X', 'T', '3')) {
            return kTextureFormatBc2Unorm;
        }
        if (code == fourCc('D', 'X', 'T', '5')) {
            return kTextureFormatBc3Unorm;
        }
        return kTextureFormatUndefined;
    }
    if ((flags & kDdpfRgb) != 0 && readU32(bytes, kDdsRgbBitCount) == 32) {
        const uint32_t red = readU32(bytes, kDdsRedMask);
        const uint32_t green = readU32(bytes, kDdsGreenMask);
        const uint32_t blue = readU32(bytes, kDdsBlueMask);
        const uint32_t alpha = readU32(bytes, kDdsAlphaMask);
        if (green == 0x0000FF00u && alpha == 0xFF000000u) {
            if (red == 0x000000FFu && blue == 0x00FF0000u) {
                return kTextureFormatRgba8Unorm;
            }
            if (red == 0x00FF0000u && blue == 0x000000FFu) {
                return kTextureFormatBgra8Unorm;
            }
        }
    }
    return kTextureFormatUndefined;
}

std::optional<TextureContainerInfo> readDds(std::span<const uint8_t> bytes) {
    if (bytes.size() < kDdsMagicSize + kDdsHeaderSize ||
        readU32(bytes, kDdsHeaderSizeField) != kDdsHeaderSize) {
        return std::nullopt;
    }
    TextureContainerInfo info;
    info.kind = ContainerKind::Dds;
    info.width = readU32(bytes, kDdsWidth);
    info.height = readU32(bytes, kDdsHeight);
    info.dataOffset = kDdsMagicSize + kDdsHeaderSize;

    const uint32_t caps2 = readU32(bytes, kDdsCaps2);
    const bool isVolume =
        (caps2 & kDdsCaps2Volume) != 0 ||
        ((readU32(bytes, kDdsFlags) & kDdsdDepth) != 0 && readU32(bytes, kDdsDepth) > 1);
    if ((caps2 & kDdsCaps2Cubemap) != 0 || isVolume) {
        return std::nullopt;
    }

    const bool hasDx10Header = (readU32(bytes, kDdsPixelFlags) & kDdpfFourCc) != 0 &&
                               readU32(bytes, kDdsFourCc) == fourCc('D', 'X', '1', '0');
    if (hasDx10Header) {
        if (bytes.size() < info.dataOffset + kDdsDx10HeaderSize) {
            return std::nullopt;
        }
        if (readU32(bytes, kDx10Dimension) != kDx10DimensionTexture2d ||
            (readU32(bytes, kDx10MiscFlags) & kDx10MiscTextureCube) != 0 ||
            readU32(bytes, kDx10ArraySize) != 1) {
            return std::nullopt;
        }
        info.format = formatFromDxgi(readU32(bytes, kDx10Format));
        info.dataOffset += kDdsDx10HeaderSize;
    } else {
        info.format = formatFromLegacyPixelFormat(bytes);
    }

    if (!extentIsSane(info.width, info.height)) {
        return std::nullopt;
    }
    return info;
}

// --- KTX 1 -----------------------------------------------------------------

constexpr std::array<uint8_t, 12> kKtxIdentifier = {0xAB, 0x4B, 0x54, 0x58, 0x20, 0x31,
                                                    0x31, 0xBB, 0x0D, 0x0A, 0x1A, 0x0A};
constexpr size_t kKtxHeaderSize = 64;
constexpr size_t kKtxEndianness = 12;
constexpr size_t kKtxInternalFormat = 28;
constexpr size_t kKtxWidth = 36;
constexpr size_t kKtxHeight = 40;
constexpr size_t kKtxDepth = 44;
constexpr size_t kKtxArrayElements = 48;
constexpr size_t kKtxFaces = 52;
constexpr size_t kKtxKeyValueBytes = 60;
constexpr uint32_t kKtxLittleEndian = 0x04030201;

uint32_t formatFromGlInternalFormat(uint32_t internalFormat) {
    switch (internalFormat) {
        case 0x8058:
            return kTextureFormatRgba8Unorm;  // GL_RGBA8
        case 0x83F0:
            return kTextureFormatBc1RgbUnorm;
        case 0x83F1:
            return kTextureFormatBc1RgbaUnorm;
        case 0x83F2:
            return kTextureFormatBc2Unorm;
        case 0x83F3:
            return kTextureFormatBc3Unorm;
        case 0x8C4C:
            return kTextureFormatBc1RgbSrgb;
        case 0x8C4D:
            return kTextureFormatBc1RgbaSrgb;
        case 0x8C4E:
            return kTextureFormatBc2Srgb;
        case 0x8C4F:
            return kTextureFormatBc3Srgb;
        default:
            return kTextureFormatUndefined;
    }
}

bool isKtx1(std::span<const uint8_t> bytes) {
    return bytes.size() >= kKtxIdentifier.size() &&
           std::memcmp(bytes.data(), kKtxIdentifier.data(), kKtxIdentifier.size()) == 0;
}

std::optional<TextureContainerInfo> readKtx1(std::span<const uint8_t> bytes) {
    // Big-endian KTX files exist in theory; no tool we use writes them.
    if (bytes.size() < kKtxHeaderSize || readU32(bytes, kKtxEndianness) != kKtxLittleEndian) {
        return std::nullopt;
    }
    // A 2D texture has a height, no depth, no array layers and one face.
    if (readU32(bytes, kKtxDepth) > 1 || readU32(bytes, kKtxArrayElements) != 0 ||
        readU32(bytes, kKtxFaces) != 1) {
        return std::nullopt;
    }
    TextureContainerInfo info;
    info.kind = ContainerKind::Ktx1;
    info.width = readU32(bytes, kKtxWidth);
    info.height = readU32(bytes, kKtxHeight);
    info.format = formatFromGlInternalFormat(readU32(bytes, kKtxInternalFormat));
    if (!extentIsSane(info.width, info.height)) {
        return std::nullopt;
    }
    // Level 0 follows the key/value block and its own 4-byte size field;
    // both must lie inside the file (the sum is done in 64 bits).
    const uint64_t offset =
        uint64_t{kKtxHeaderSize} + readU32(bytes, kKtxKeyValueBytes) + uint64_t{4};
    if (offset > bytes.size()) {
        return std::nullopt;
    }
    info.dataOffset = static_cast<size_t>(offset);
    return info;
}

}  // namespace

std::optional<TextureContainerInfo> readTextureContainer(std::span<const uint8_t> bytes) {
    if (bytes.size() >= kDdsMagicSize && readU32(bytes, 0) == fourCc('D', 'D', 'S', ' ')) {
        return readDds(bytes);
    }
    if (isKtx1(bytes)) {
        return readKtx1(bytes);
    }
    return std::nullopt;
}

bool isBlockCompressedFormat(uint32_t format) {
    return format >= kTextureFormatBc1RgbUnorm && format <= kTextureFormatBc3Srgb;
}

uint64_t blockCompressedLevelSize(uint32_t format, uint32_t width, uint32_t height) {
    if (!isBlockCompressedFormat(format)) {
        return 0;
    }
    const uint64_t bytesPerBlock = format <= kTextureFormatBc1RgbaSrgb ? 8 : 16;
    const uint64_t blocksWide = (uint64_t{width} + 3) / 4;
    const uint64_t blocksHigh = (uint64_t{height} + 3) / 4;
    return blocksWide * blocksHigh * bytesPerBlock;
}
