#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Level 0 of a BC1, BC2 or BC3 compressed DDS file, ready for
// glCompressedTexImage2D. A failed load leaves data empty and every number 0.
struct DDSImage {
    std::vector<uint8_t> data;  // exactly size bytes when loaded
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t size = 0;            // byte size of level 0, computed from extent and format
    uint32_t internalFormat = 0;  // GL_COMPRESSED_RGBA_S3TC_DXT{1,3,5}_EXT

    bool isLoaded() const { return !data.empty(); }
};

// Reads level 0 of a DDS file. Prints its own line on standard output when the
// file is not a loadable 2D texture or holds a format other than BC1-BC3; a
// file in another container under a .dds name fails without a message.
DDSImage loadDDS(const std::string& path);
