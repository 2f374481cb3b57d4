#pragma once

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

// Saves the framebuffer bound for reading as name + ".ppm", a plain-text PPM
// image (top row first). The file is replaced whole: it is written as
// name + ".ppm.partial" and renamed. Returns false, after printing a line
// naming the file, when it cannot be written. Needs a current OpenGL context.
bool saveScreenshot(const std::string& name, int32_t width, int32_t height);

// The name a headless run saves its frames under (".ppm" appended): `name`
// as given when it is absolute; otherwise below `startDirectory`, the
// folder the player started from (empty: the working directory), or below
// `pictures` when that folder cannot be written, as an installed game's
// own folder cannot (tried with a probe file, made and removed).
std::string headlessFrameName(const std::string& name, const std::filesystem::path& startDirectory,
                              const std::filesystem::path& pictures);

// The PPM text of an RGB block laid out as OpenGL returns it: rows bottom-up,
// each exactly width * 3 bytes. Gives "" when the block is smaller than the
// size claims.
std::string formatPpm(const std::vector<uint8_t>& pixels, int32_t width, int32_t height);

// The name of the screenshot taken at `localTime`, for example
// "veltra-2026-12-09_08-03-06.png"; a second or later shot in the same
// second (attempt 2, 3, ...) gets "-2", "-3", ... before the extension.
std::string screenshotFileName(const std::tm& localTime, int attempt);

// Saves the framebuffer bound for reading, width by height pixels, as a PNG
// under a new time-stamped name in `directory` (never overwriting a file)
// and prints one line naming it. The file appears whole or not at all.
// Returns the path saved, or an empty path after printing why nothing was.
std::filesystem::path savePngScreenshot(const std::filesystem::path& directory, int32_t width,
                                        int32_t height);
