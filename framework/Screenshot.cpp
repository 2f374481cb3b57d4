#include "framework/Screenshot.h"

#include <cstdio>
#include <iostream>

#include "framework/Gl.h"

std::string formatPpm(const std::vector<uint8_t>& pixels, int32_t width, int32_t height) {
    if (width < 0 || height < 0 ||
        pixels.size() < static_cast<size_t>(width) * static_cast<size_t>(height) * 3) {
        return std::string();
    }
    const size_t rowBytes = static_cast<size_t>(width) * 3;
    std::string text = "P3\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    // "255 " is the widest a pixel value gets: 12 characters per pixel.
    text.reserve(text.size() + static_cast<size_t>(height) * (rowBytes * 4 + 1));
    char value[8];
    for (int32_t y = 0; y < height; ++y) {
        const size_t sourceRow = static_cast<size_t>(height - 1 - y);
        const uint8_t* row = pixels.data() + sourceRow * rowBytes;
        for (size_t i = 0; i < rowBytes; ++i) {
            std::snprintf(value, sizeof(value), "%3d ", static_cast<int>(row[i]));
            text += value;
        }
        text += '\n';
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
    std::FILE* file = std::fopen(fileName.c_str(), "w");
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
