#include "world/ImageFile.h"

#include <algorithm>
#include <fstream>
#include <vector>

#include <stb_image.h>

#include "framework/Platform.h"
#include "world/ImagesDecodedAhead.h"
#include "world/JpegTables.h"

void DecodedImage::releaseDecoded(void* pixels) {
    stbi_image_free(pixels);
}

namespace {

// The whole file, read once; false, with the reason, when it cannot be
// opened or is larger than kMaxImageFileBytes.
bool readWholeFile(const std::string& path, std::vector<stbi_uc>& bytes, std::string& reason) {
    std::ifstream file(platform::pathFromUtf8(path), std::ios::binary);
    if (!file) {
        reason = "can't fopen";
        return false;
    }
    char chunk[65536];
    while (file.read(chunk, sizeof(chunk)) || file.gcount() > 0) {
        bytes.insert(bytes.end(), chunk, chunk + file.gcount());
        if (bytes.size() > kMaxImageFileBytes) {
            reason = "file too large";
            return false;
        }
    }
    return true;
}

// Whether every Huffman table in the file holds at most 256 codes, as JPEG
// allows. stb_image (as Debian ships it) builds a table before counting
// its codes and writes past its arrays when a table claims more, so such a
// file is refused before the library sees it. Rather than follow the
// markers as the library does (it skips fill bytes and garbage its own
// way), every place the library could take for a table definition, each
// 0xFF followed by 0xC4, is checked as it would read it, zeros past the
// end included. Scan data stuffs every 0xFF, so a sound picture only fails
// when other data of it holds those two bytes before a table that large.
bool huffmanTablesFit(const std::vector<stbi_uc>& bytes) {
    const std::size_t size = bytes.size();
    // Only a file the library takes for a JPEG: 0xFF, any fill bytes, 0xD8.
    std::size_t start = 0;
    while (start < size && bytes[start] == 0xFF) {
        ++start;
    }
    if (start == 0 || start >= size || bytes[start] != 0xD8) {
        return true;
    }
    const auto at = [&](std::size_t i) -> std::size_t { return i < size ? bytes[i] : 0; };
    for (std::size_t marker = 0; marker + 1 < size; ++marker) {
        if (bytes[marker] != 0xFF || bytes[marker + 1] != 0xC4) {
            continue;
        }
        long left = static_cast<long>((at(marker + 2) << 8) | at(marker + 3)) - 2;
        std::size_t table = marker + 4;
        while (left > 0 && table < size) {
            std::size_t codes = 0;
            for (std::size_t i = 1; i <= 16; ++i) {
                codes += at(table + i);
            }
            if (codes > 256) {
                return false;
            }
            left -= static_cast<long>(17 + codes);
            table += 17 + codes;
        }
    }
    return true;
}

// Whether every chunk of a PNG file lies inside the file. stb_image sizes
// its buffer for the compressed picture by the lengths the chunks claim,
// before reading them: a small file could have it allocate gigabytes.
bool pngChunksFit(const std::vector<stbi_uc>& bytes) {
    static constexpr stbi_uc kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    const std::size_t size = bytes.size();
    if (size < 8 || !std::equal(kSignature, kSignature + 8, bytes.begin())) {
        return true;
    }
    std::size_t chunk = 8;
    while (chunk + 8 <= size) {
        const std::size_t length = (std::size_t{bytes[chunk]} << 24) |
                                   (std::size_t{bytes[chunk + 1]} << 16) |
                                   (std::size_t{bytes[chunk + 2]} << 8) | bytes[chunk + 3];
        // Length, type, data and check sum.
        if (length > size - chunk - 8) {
            return false;
        }
        if (std::equal(bytes.begin() + static_cast<long>(chunk) + 4,
                       bytes.begin() + static_cast<long>(chunk) + 8, "IEND")) {
            return true;  // whatever follows the last chunk is not read
        }
        chunk += 12 + length;
    }
    return true;
}

// Whether the numbers of a binary PNM header (P5, P6) fit in an int, with
// 8-bit samples. stb_image reads them digit by digit into an int without a
// bound, which overflows on a tenth digit. The header is read as the library reads it:
// white space and '#' comments between the numbers, zeros past the end.
bool pnmHeaderFits(const std::vector<stbi_uc>& bytes) {
    const std::size_t size = bytes.size();
    if (size < 2 || bytes[0] != 'P' || (bytes[1] != '5' && bytes[1] != '6')) {
        return true;
    }
    std::size_t at = 2;
    const auto isSpace = [](stbi_uc c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
    };
    for (int number = 0; number < 3; ++number) {
        for (;;) {
            while (at < size && isSpace(bytes[at])) {
                ++at;
            }
            if (at >= size || bytes[at] != '#') {
                break;
            }
            while (at < size && bytes[at] != '\n' && bytes[at] != '\r') {
                ++at;
            }
        }
        std::size_t digits = 0;
        long value = 0;
        while (at < size && bytes[at] >= '0' && bytes[at] <= '9') {
            value = digits < 9 ? value * 10 + (bytes[at] - '0') : value;
            ++digits;
            ++at;
        }
        // A maximum above 255 means 16-bit samples, which the library then
        // converts as if they were 8-bit and reads past its buffer.
        if (digits > 9 || (number == 2 && value > 255)) {
            return false;
        }
    }
    return true;
}

}  // namespace

DecodedImage decodeImageFile(const std::string& path, int desiredChannels, bool bottomRowFirst,
                             int maxSide) {
    DecodedImage image;
    if (takeImageDecodedAhead(path, desiredChannels, bottomRowFirst, maxSide, image)) {
        return image;
    }
    return decodeImageFileNow(path, desiredChannels, bottomRowFirst, maxSide);
}

DecodedImage decodeImageFileNow(const std::string& path, int desiredChannels, bool bottomRowFirst,
                                int maxSide) {
    DecodedImage image;
    std::vector<stbi_uc> file;
    if (!readWholeFile(path, file, image.reason)) {
        image.failure = DecodedImage::Failure::Unreadable;
        return image;
    }
    // Faults of the library that its own checks come too late for: each
    // such file is refused before the library sees it.
    struct Check {
        bool (*passes)(const std::vector<stbi_uc>&);
        const char* reason;
    };
    static constexpr Check kChecks[] = {
        {huffmanTablesFit, "bad Huffman table"},
        {jpegScansUseDefinedTables, "JPEG scan uses a table the file does not define"},
        {pnmHeaderFits, "PNM header number too large or 16-bit samples"},
        {pngChunksFit, "PNG chunk runs past the end of the file"},
    };
    for (const Check& check : kChecks) {
        if (!check.passes(file)) {
            image.failure = DecodedImage::Failure::Undecodable;
            image.reason = check.reason;
            return image;
        }
    }
    // stb_image takes the length as an int; kMaxImageFileBytes keeps it in range.
    const int length = static_cast<int>(file.size());
    if (stbi_info_from_memory(file.data(), length, &image.width, &image.height, &image.channels) !=
            0 &&
        (image.width > maxSide || image.height > maxSide)) {
        image.failure = DecodedImage::Failure::TooLarge;
        return image;
    }
    // The calling thread's own flag, so pictures can be decoded on several
    // threads at once.
    stbi_set_flip_vertically_on_load_thread(bottomRowFirst ? 1 : 0);
    image.pixels.reset(stbi_load_from_memory(file.data(), length, &image.width, &image.height,
                                             &image.channels, desiredChannels));
    if (!image.pixels) {
        image.failure = DecodedImage::Failure::Undecodable;
        const char* reason = stbi_failure_reason();
        image.reason = reason != nullptr ? reason : "unknown";
        image.width = image.height = image.channels = 0;
    } else if (image.width <= 0 || image.height <= 0) {
        // The library hands back a picture of no pixels for some headers.
        image.pixels.reset();
        image.failure = DecodedImage::Failure::Undecodable;
        image.reason = "empty picture";
        image.width = image.height = image.channels = 0;
    }
    return image;
}
