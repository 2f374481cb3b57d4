#include "framework/Screenshot.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "framework/Gl.h"
#include "framework/Platform.h"

std::string formatPpm(const std::vector<uint8_t>& pixels, int32_t width, int32_t height) {
    if (width < 0 || height < 0 ||
        pixels.size() < static_cast<size_t>(width) * static_cast<size_t>(height) * 3) {
        return std::string();
    }
    // Every value is written as "%3d " would write it: right-aligned in three
    // columns and followed by a space, four characters in all. A table of the
    // 256 texts keeps a full frame (2.3 million values) quick to format.
    static const auto valueTexts = [] {
        std::array<std::array<char, 4>, 256> texts{};
        for (int value = 0; value < 256; ++value) {
            char buffer[16];  // room for any int, as the compiler reckons
            std::snprintf(buffer, sizeof(buffer), "%3d ", value);
            std::memcpy(texts[static_cast<size_t>(value)].data(), buffer, 4);
        }
        return texts;
    }();

    const size_t rowBytes = static_cast<size_t>(width) * 3;
    const std::string header =
        "P3\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    std::string text(header.size() + static_cast<size_t>(height) * (rowBytes * 4 + 1), '\0');
    std::memcpy(text.data(), header.data(), header.size());
    char* out = text.data() + header.size();
    for (int32_t y = 0; y < height; ++y) {
        // OpenGL hands the bottom row first; the file starts with the top.
        const uint8_t* row = pixels.data() + static_cast<size_t>(height - 1 - y) * rowBytes;
        for (size_t i = 0; i < rowBytes; ++i) {
            std::memcpy(out, valueTexts[row[i]].data(), 4);
            out += 4;
        }
        *out++ = '\n';
    }
    return text;
}

bool saveScreenshot(const std::string& name, int32_t width, int32_t height) {
    if (width <= 0 || height <= 0) {
        std::cout << "Unable to save screenshot '" << name << ".ppm': the size " << width << " by "
                  << height << " is empty." << std::endl;
        return false;
    }
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    // Rows are read tightly packed, so any width fits the buffer exactly.
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());

    const std::string fileName = name + ".ppm";
    std::FILE* file = platform::openFile(fileName, "w");
    if (file == nullptr) {
        std::cout << "Unable to create screenshot file '" << fileName << "'." << std::endl;
        return false;
    }
    const std::string text = formatPpm(pixels, width, height);
    const size_t written = std::fwrite(text.data(), 1, text.size(), file);
    const bool closed = std::fclose(file) == 0;
    if (written != text.size() || !closed) {
        std::cout << "Unable to write screenshot file '" << fileName << "'." << std::endl;
        return false;
    }
    return true;
}
