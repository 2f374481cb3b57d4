#pragma once

// Helpers for the render tests: a scratch directory, captured console output
// and hand-made texture containers, so no test depends on asset files.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "support/PortableTest.h"

namespace render_test {

// A fresh directory removed again with the object.
class ScratchDir {
  public:
    explicit ScratchDir(const std::string& tag) {
        path = std::filesystem::temp_directory_path() /
               ("veltra-" + tag + "-" + std::to_string(portable_test::processId()) + "-" +
                std::to_string(counter()++));
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~ScratchDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& root() const { return path; }
    std::string file(const std::string& name) const { return (path / name).string(); }

    std::string write(const std::string& name, const std::vector<uint8_t>& bytes) const {
        const std::string full = file(name);
        std::ofstream out(full, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        return full;
    }

  private:
    static int& counter() {
        static int value = 0;
        return value;
    }
    std::filesystem::path path;
};

// Swaps a stream's buffer for a string buffer while alive.
class CapturedStream {
  public:
    explicit CapturedStream(std::ostream& stream)
        : stream(stream), old(stream.rdbuf(buffer.rdbuf())) {}
    ~CapturedStream() { stream.rdbuf(old); }
    CapturedStream(const CapturedStream&) = delete;
    CapturedStream& operator=(const CapturedStream&) = delete;

    std::string text() const { return buffer.str(); }

  private:
    std::ostream& stream;
    std::ostringstream buffer;
    std::streambuf* old;
};

inline void putU32(std::vector<uint8_t>& bytes, size_t offset, uint32_t value) {
    if (bytes.size() < offset + 4) {
        bytes.resize(offset + 4);
    }
    for (int i = 0; i < 4; ++i) {
        bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

inline uint32_t fourCc(const char (&code)[5]) {
    return static_cast<uint32_t>(static_cast<uint8_t>(code[0])) |
           (static_cast<uint32_t>(static_cast<uint8_t>(code[1])) << 8) |
           (static_cast<uint32_t>(static_cast<uint8_t>(code[2])) << 16) |
           (static_cast<uint32_t>(static_cast<uint8_t>(code[3])) << 24);
}

// Pixel bytes that tell their own position: byte i holds (i * 7 + 3) mod 251.
inline std::vector<uint8_t> patternBytes(size_t count) {
    std::vector<uint8_t> bytes(count);
    for (size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<uint8_t>((i * 7 + 3) % 251);
    }
    return bytes;
}

struct DdsFields {
    uint32_t width = 8;
    uint32_t height = 8;
    uint32_t fourCc = 0;         // 0: uncompressed RGBA8 pixel format
    uint32_t pixelFlags = 0x4;   // DDPF_FOURCC
    uint32_t dxgiFormat = 0;     // used with fourCc "DX10"
    uint32_t dx10Dimension = 3;  // TEXTURE2D
    uint32_t dx10MiscFlags = 0;
    uint32_t dx10ArraySize = 1;
    uint32_t caps2 = 0;
    uint32_t linearSize = 0;  // what the header claims; the loader ignores it
    size_t dataBytes = 0;     // pixel bytes that follow the header(s)
};

// A DDS file: magic, 124-byte header, optional DX10 header, patterned data.
inline std::vector<uint8_t> makeDds(const DdsFields& spec) {
    std::vector<uint8_t> bytes(128, 0);
    putU32(bytes, 0, fourCc("DDS "));
    putU32(bytes, 4, 124);
    putU32(bytes, 8, 0x1 | 0x2 | 0x4 | 0x1000 | 0x80000);  // caps, height, width, format, size
    putU32(bytes, 12, spec.height);
    putU32(bytes, 16, spec.width);
    putU32(bytes, 20, spec.linearSize);
    putU32(bytes, 76, 32);
    if (spec.fourCc != 0) {
        putU32(bytes, 80, spec.pixelFlags);
        putU32(bytes, 84, spec.fourCc);
    } else {
        putU32(bytes, 80, 0x40 | 0x1);  // DDPF_RGB | DDPF_ALPHAPIXELS
        putU32(bytes, 88, 32);
        putU32(bytes, 92, 0x000000FF);
        putU32(bytes, 96, 0x0000FF00);
        putU32(bytes, 100, 0x00FF0000);
        putU32(bytes, 104, 0xFF000000);
    }
    putU32(bytes, 108, 0x1000);  // DDSCAPS_TEXTURE
    putU32(bytes, 112, spec.caps2);
    if (spec.fourCc == fourCc("DX10")) {
        putU32(bytes, 128, spec.dxgiFormat);
        putU32(bytes, 132, spec.dx10Dimension);
        putU32(bytes, 136, spec.dx10MiscFlags);
        putU32(bytes, 140, spec.dx10ArraySize);
        putU32(bytes, 144, 0);
    }
    const std::vector<uint8_t> data = patternBytes(spec.dataBytes);
    bytes.insert(bytes.end(), data.begin(), data.end());
    return bytes;
}

inline size_t bc1Size(uint32_t w, uint32_t h) {
    return size_t{(w + 3) / 4} * ((h + 3) / 4) * 8;
}
inline size_t bc3Size(uint32_t w, uint32_t h) {
    return size_t{(w + 3) / 4} * ((h + 3) / 4) * 16;
}

// A KTX 1 file holding one level of a compressed 2D texture.
inline std::vector<uint8_t> makeKtx(uint32_t glInternalFormat, uint32_t width, uint32_t height,
                                    size_t dataBytes, uint32_t keyValueBytes = 0,
                                    uint32_t faces = 1) {
    std::vector<uint8_t> bytes = {0xAB, 0x4B, 0x54, 0x58, 0x20, 0x31,
                                  0x31, 0xBB, 0x0D, 0x0A, 0x1A, 0x0A};
    putU32(bytes, 12, 0x04030201);
    putU32(bytes, 16, 0);  // glType: compressed
    putU32(bytes, 20, 1);
    putU32(bytes, 24, 0);  // glFormat: compressed
    putU32(bytes, 28, glInternalFormat);
    putU32(bytes, 32, 0x1908);  // GL_RGBA
    putU32(bytes, 36, width);
    putU32(bytes, 40, height);
    putU32(bytes, 44, 0);
    putU32(bytes, 48, 0);
    putU32(bytes, 52, faces);
    putU32(bytes, 56, 1);
    putU32(bytes, 60, keyValueBytes);
    bytes.resize(64 + keyValueBytes, 0);
    putU32(bytes, bytes.size(), static_cast<uint32_t>(dataBytes));
    const std::vector<uint8_t> data = patternBytes(dataBytes);
    bytes.insert(bytes.end(), data.begin(), data.end());
    return bytes;
}

}  // namespace render_test
