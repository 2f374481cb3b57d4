// The texture container reader on arbitrary bytes, and the DDS loader on the
// same bytes as a file: neither may read past the buffer, and whatever they
// accept must describe level 0 within the bytes given.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <span>
#include <streambuf>
#include <string>

#include "framework/DdsLoader.h"
#include "framework/TextureContainer.h"

namespace {

class NullBuffer : public std::streambuf {
  protected:
    int overflow(int c) override { return c; }
    std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
};

const std::string& scratchFile() {
    static const std::string path = (std::filesystem::temp_directory_path() /
                                     ("veltra-fuzz-" + std::to_string(::getpid()) + ".dds"))
                                        .string();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    static NullBuffer nothing;
    std::cout.rdbuf(&nothing);
    std::atexit([] { std::remove(scratchFile().c_str()); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    const auto info = readTextureContainer(bytes);
    if (info) {
        if (info->dataOffset > size || info->width < 1 || info->height < 1 ||
            info->width > kMaxTextureExtent || info->height > kMaxTextureExtent) {
            __builtin_trap();
        }
        const uint64_t level = blockCompressedLevelSize(info->format, info->width, info->height);
        if (isBlockCompressedFormat(info->format) != (level > 0)) {
            __builtin_trap();
        }
    }

    {
        std::ofstream file(scratchFile(), std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    const DDSImage image = loadDDS(scratchFile());
    if (image.isLoaded()) {
        // A loaded image is a DDS level 0 that the file holds in full.
        if (!info || info->kind != ContainerKind::Dds || image.data.size() != image.size ||
            image.size != blockCompressedLevelSize(info->format, info->width, info->height) ||
            info->dataOffset + image.size > size) {
            __builtin_trap();
        }
    }
    return 0;
}
