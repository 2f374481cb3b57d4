#include "FrameComparison.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <limits>
#include <system_error>

#include "framework/Gl.h"

PictureDifference comparePictures(const std::vector<uint8_t>& before,
                                  const std::vector<uint8_t>& after) {
    PictureDifference difference;
    const size_t values = std::min(before.size(), after.size());
    double squares = 0.0;
    for (size_t pixel = 0; pixel + 3 <= values; pixel += 3) {
        int pixelLargest = 0;
        for (size_t c = pixel; c < pixel + 3; ++c) {
            const int delta = std::abs(static_cast<int>(before[c]) - static_cast<int>(after[c]));
            squares += static_cast<double>(delta * delta);
            pixelLargest = std::max(pixelLargest, delta);
        }
        difference.largest = std::max(difference.largest, pixelLargest);
        difference.changedPixels += pixelLargest > 0 ? 1 : 0;
        difference.beyondRounding += pixelLargest > 1 ? 1 : 0;
    }
    difference.meanSquared = values == 0 ? 0.0 : squares / static_cast<double>(values);
    return difference;
}

double peakSignalToNoise(double meanSquared) {
    if (meanSquared <= 0.0) {
        return std::numeric_limits<double>::infinity();
    }
    return 10.0 * std::log10(255.0 * 255.0 / meanSquared);
}

FramePictures::FramePictures(Mode mode, std::filesystem::path directory, int32_t width,
                             int32_t height)
    : mode(mode),
      directory(std::move(directory)),
      width(width),
      height(height),
      drawn(static_cast<size_t>(width) * static_cast<size_t>(height) * 3),
      saved(drawn.size()) {
    summary.worstPsnr = std::numeric_limits<double>::infinity();
    std::error_code error;
    if (mode == Mode::Save) {
        std::filesystem::create_directories(this->directory, error);
    }
    if (error || !std::filesystem::is_directory(this->directory, error)) {
        std::cerr << "Cannot use '" << this->directory.string() << "' for the flight's pictures"
                  << std::endl;
        usable = false;
    }
}

std::filesystem::path FramePictures::pathOf(int frame) const {
    char name[32];
    std::snprintf(name, sizeof(name), "frame_%04d.rgb", frame);
    return directory / name;
}

void FramePictures::take(int frame) {
    if (!usable) {
        return;
    }
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, drawn.data());
    takePixels(frame, drawn);
}

void FramePictures::takePixels(int frame, const std::vector<uint8_t>& pixels) {
    if (!usable) {
        return;
    }
    if (mode == Mode::Save) {
        save(frame, pixels);
    } else {
        compare(frame, pixels);
    }
}

void FramePictures::save(int frame, const std::vector<uint8_t>& pixels) {
    std::ofstream file(pathOf(frame), std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(pixels.data()),
               static_cast<std::streamsize>(pixels.size()));
    if (!file) {
        std::cerr << "Could not save " << pathOf(frame).string() << std::endl;
        return;
    }
    ++framesSaved;
}

void FramePictures::compare(int frame, const std::vector<uint8_t>& pixels) {
    // The saved file must hold exactly one picture of this size: a shorter
    // or longer one was saved at another size (or cut short) and says
    // nothing about this frame.
    const std::filesystem::path path = pathOf(frame);
    std::error_code error;
    const auto bytes = std::filesystem::file_size(path, error);
    std::ifstream file(path, std::ios::binary);
    if (error || bytes != pixels.size() || !file) {
        std::cerr << "No saved picture of frame " << frame << " at " << width << "x" << height
                  << " in '" << directory.string() << "'" << std::endl;
        ++summary.framesMissing;
        return;
    }
    saved.resize(pixels.size());
    file.read(reinterpret_cast<char*>(saved.data()), static_cast<std::streamsize>(saved.size()));
    if (!file) {
        ++summary.framesMissing;
        return;
    }
    const PictureDifference difference = comparePictures(saved, pixels);
    ++summary.framesCompared;
    summary.framesChanged += difference.changedPixels > 0 ? 1 : 0;
    summary.framesBeyondRounding += difference.beyondRounding > 0 ? 1 : 0;
    summary.mostBeyondRounding = std::max(summary.mostBeyondRounding, difference.beyondRounding);
    const double psnr = peakSignalToNoise(difference.meanSquared);
    if (psnr < summary.worstPsnr) {
        summary.worstPsnr = psnr;
        summary.worstPsnrFrame = frame;
    }
    if (difference.largest > summary.largestDifference) {
        summary.largestDifference = difference.largest;
        summary.largestDifferenceFrame = frame;
    }
}
