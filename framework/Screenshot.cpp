#include "framework/Screenshot.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <system_error>

// The writer's functions stay private to this file, so the tests may link a
// writer of their own.
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

#include "framework/Gl.h"
#include "framework/GlFeatures.h"
#include "framework/Platform.h"
#include "framework/WholeFile.h"

namespace {

std::string ppmHeader(int32_t width, int32_t height) {
    return "P3\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
}

// The text of one row, `values` samples, into `out`: every value as "%3d "
// would write it, right-aligned in three columns and followed by a space,
// four characters in all, then a line break. A table of the 256 texts keeps
// a full frame (2.3 million values) quick to format.
void formatPpmRow(const uint8_t* row, size_t values, char* out) {
    static const auto valueTexts = [] {
        std::array<std::array<char, 4>, 256> texts{};
        for (int value = 0; value < 256; ++value) {
            char buffer[16];  // room for any int, as the compiler reckons
            std::snprintf(buffer, sizeof(buffer), "%3d ", value);
            std::memcpy(texts[static_cast<size_t>(value)].data(), buffer, 4);
        }
        return texts;
    }();
    for (size_t i = 0; i < values; ++i) {
        std::memcpy(out, valueTexts[row[i]].data(), 4);
        out += 4;
    }
    *out = '\n';
}

constexpr size_t kCharsPerValue = 4;

}  // namespace

std::string formatPpm(const std::vector<uint8_t>& pixels, int32_t width, int32_t height) {
    if (width < 0 || height < 0 ||
        pixels.size() < static_cast<size_t>(width) * static_cast<size_t>(height) * 3) {
        return std::string();
    }
    const size_t rowBytes = static_cast<size_t>(width) * 3;
    const size_t rowChars = rowBytes * kCharsPerValue + 1;
    const std::string header = ppmHeader(width, height);
    std::string text(header.size() + static_cast<size_t>(height) * rowChars, '\0');
    std::memcpy(text.data(), header.data(), header.size());
    for (int32_t y = 0; y < height; ++y) {
        // OpenGL hands the bottom row first; the file starts with the top.
        const uint8_t* row = pixels.data() + static_cast<size_t>(height - 1 - y) * rowBytes;
        formatPpmRow(row, rowBytes,
                     text.data() + header.size() + static_cast<size_t>(y) * rowChars);
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
    glfeatures::readPixelsRgb(width, height, pixels.data());

    // The text goes to a file of another name, renamed over the frame's once
    // whole: whoever reads the frame while the next one is written (a test,
    // a script waiting on it) reads the last frame whole, never half of one.
    // The frame is written again by the next run, so it is not held up for
    // the disk.
    const std::string fileName = name + ".ppm";
    const auto writeRows = [&pixels, width, height](std::FILE* file) {
        // Row by row through one row's text: the frame's 9 MB of text never
        // sit in memory at once.
        const size_t rowBytes = static_cast<size_t>(width) * 3;
        std::string rowText(rowBytes * kCharsPerValue + 1, '\0');
        const std::string header = ppmHeader(width, height);
        bool written = std::fwrite(header.data(), 1, header.size(), file) == header.size();
        for (int32_t y = 0; written && y < height; ++y) {
            // OpenGL hands the bottom row first; the file starts with the top.
            formatPpmRow(pixels.data() + static_cast<size_t>(height - 1 - y) * rowBytes, rowBytes,
                         rowText.data());
            written = std::fwrite(rowText.data(), 1, rowText.size(), file) == rowText.size();
        }
        return written;
    };
    switch (replaceFileFrom(platform::pathFromUtf8(fileName), "w", false, writeRows)) {
        case ReplaceResult::replaced:
            return true;
        case ReplaceResult::notCreated:
            std::cout << "Unable to create screenshot file '" << fileName << "'." << std::endl;
            return false;
        case ReplaceResult::notWritten:
            break;
    }
    std::cout << "Unable to write screenshot file '" << fileName << "'." << std::endl;
    return false;
}

namespace {

// Whether a file can be made in `folder`: a probe file is made and removed
// again (a folder's permissions alone do not tell, on Windows least of all).
// Only the folder is tried, so a name the file system refuses (too long, in
// a folder that is not there) is reported as given rather than moved.
bool canWriteIn(const std::filesystem::path& folder) {
    const std::filesystem::path probe =
        (folder.empty() ? std::filesystem::path(".") : folder) / ".veltra-write-probe";
    std::FILE* file = platform::createNewFile(platform::utf8FromPath(probe));
    if (file == nullptr) {
        return errno == EEXIST;
    }
    std::fclose(file);
    std::error_code error;
    std::filesystem::remove(probe, error);
    return true;
}

}  // namespace

std::string headlessFrameName(const std::string& name, const std::filesystem::path& startDirectory,
                              const std::filesystem::path& pictures) {
    const std::filesystem::path given = platform::pathFromUtf8(name);
    if (given.is_absolute()) {
        return name;
    }
    const std::filesystem::path inStart = startDirectory.empty() ? given : startDirectory / given;
    if (canWriteIn(startDirectory) || pictures.empty()) {
        return platform::utf8FromPath(inStart);
    }
    return platform::utf8FromPath(pictures / given);
}

namespace {

// Names tried within one second before giving up: far more shots than a
// key held down could take.
constexpr int kMaxAttempts = 10000;

void appendBytes(void* context, void* data, int size) {
    auto& bytes = *static_cast<std::vector<unsigned char>*>(context);
    const auto* first = static_cast<const unsigned char*>(data);
    bytes.insert(bytes.end(), first, first + size);
}

}  // namespace

std::string screenshotFileName(const std::tm& localTime, int attempt) {
    char stamp[32];
    if (std::strftime(stamp, sizeof(stamp), "%Y-%m-%d_%H-%M-%S", &localTime) == 0) {
        stamp[0] = '\0';
    }
    std::string name = "veltra-";
    name += stamp;
    if (attempt > 1) {
        name += '-';
        name += std::to_string(attempt);
    }
    name += ".png";
    return name;
}

std::filesystem::path savePngScreenshot(const std::filesystem::path& directory, int32_t width,
                                        int32_t height) {
    if (width <= 0 || height <= 0) {
        std::cout << "Unable to save screenshot: the size " << width << " by " << height
                  << " is empty." << std::endl;
        return {};
    }
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
    std::vector<uint8_t> pixels(rowBytes * static_cast<std::size_t>(height));
    glfeatures::readPixelsRgb(width, height, pixels.data());

    // OpenGL hands the bottom row first: a negative stride starts the file
    // with the top one.
    std::vector<unsigned char> png;
    const unsigned char* topRow = pixels.data() + rowBytes * static_cast<std::size_t>(height - 1);
    if (stbi_write_png_to_func(appendBytes, &png, width, height, 3, topRow,
                               -static_cast<int>(rowBytes)) == 0) {
        std::cout << "Unable to encode screenshot of " << width << " by " << height << " pixels."
                  << std::endl;
        return {};
    }

    const std::tm now = platform::localTime(std::time(nullptr));
    const auto nameFor = [&](int attempt) {
        return directory / platform::pathFromUtf8(screenshotFileName(now, attempt));
    };
    // Written beside its final name and then given it, so a viewer (or a
    // test) that sees the name sees the whole picture. The partial file is
    // this shot's own, made new, like the name it then takes.
    std::filesystem::path partial;
    std::FILE* file = nullptr;
    for (int attempt = 1; file == nullptr && attempt <= kMaxAttempts; ++attempt) {
        partial = nameFor(attempt);
        partial += ".part";
        file = platform::createNewFile(platform::utf8FromPath(partial));
        if (file == nullptr && errno != EEXIST) {
            break;
        }
    }
    if (file == nullptr) {
        std::cout << "Unable to create screenshot file '" << platform::utf8FromPath(nameFor(1))
                  << "'." << std::endl;
        return {};
    }
    const std::size_t written = std::fwrite(png.data(), 1, png.size(), file);
    const bool closed = std::fclose(file) == 0;
    std::filesystem::path target;
    platform::MoveResult moved = platform::MoveResult::failed;
    if (written == png.size() && closed) {
        moved = platform::MoveResult::nameTaken;
        for (int attempt = 1; moved == platform::MoveResult::nameTaken && attempt <= kMaxAttempts;
             ++attempt) {
            target = nameFor(attempt);
            moved = platform::moveToNewName(partial, target);
        }
    }
    const std::string shownName = platform::utf8FromPath(target.empty() ? nameFor(1) : target);
    if (moved != platform::MoveResult::moved) {
        std::error_code error;
        std::filesystem::remove(partial, error);
        std::cout << "Unable to write screenshot file '" << shownName << "'." << std::endl;
        return {};
    }
    std::cout << "Saved screenshot '" << shownName << "'." << std::endl;
    return target;
}
