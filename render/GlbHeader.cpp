#include "render/GlbHeader.h"

#include <array>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "framework/Platform.h"

namespace {

constexpr uint32_t kGlbMagic = 0x46546C67;  // "glTF" read little-endian
constexpr size_t kFileHeaderSize = 12;
constexpr size_t kChunkHeaderSize = 8;

uint32_t readU32(std::span<const uint8_t> bytes, size_t offset) {
    return static_cast<uint32_t>(bytes[offset]) | (static_cast<uint32_t>(bytes[offset + 1]) << 8) |
           (static_cast<uint32_t>(bytes[offset + 2]) << 16) |
           (static_cast<uint32_t>(bytes[offset + 3]) << 24);
}

// Named as a glTF binary file, whatever the letters' case.
bool hasGlbExtension(const std::filesystem::path& path) {
    std::string extension = path.extension().string();
    for (char& letter : extension) {
        letter = static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
    }
    return extension == ".glb";
}

}  // namespace

std::string glbHeaderProblem(std::span<const uint8_t> head, uint64_t fileSize) {
    if (head.size() < kFileHeaderSize + kChunkHeaderSize || readU32(head, 0) != kGlbMagic) {
        return {};
    }
    // Both sums are formed in 64 bits, so no stated length can wrap them.
    const uint64_t jsonEnd = uint64_t{kFileHeaderSize + kChunkHeaderSize} + readU32(head, 12);
    if (jsonEnd > fileSize) {
        return "glTF binary chunk of " + std::to_string(readU32(head, 12)) +
               " bytes runs past the end of the " + std::to_string(fileSize) + "-byte file";
    }
    return {};
}

std::string glbFileProblem(const std::string& path) {
    std::error_code error;
    const std::filesystem::path nativePath = platform::pathFromUtf8(path);
    const uintmax_t size = std::filesystem::file_size(nativePath, error);
    if (error) {
        return {};
    }
    std::ifstream file(nativePath, std::ios::binary);
    std::array<uint8_t, kGlbHeadSize> head{};
    file.read(reinterpret_cast<char*>(head.data()), static_cast<std::streamsize>(head.size()));
    const auto got = static_cast<size_t>(file.gcount());
    if (hasGlbExtension(nativePath) && (got < 4 || readU32(head, 0) != kGlbMagic)) {
        return "not a glTF binary file";
    }
    return glbHeaderProblem(std::span<const uint8_t>(head.data(), got), size);
}
