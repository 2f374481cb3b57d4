#include "framework/Settings.h"

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "framework/AssetPath.h"
#include "framework/Platform.h"

namespace {

// The file's text, read in text mode; false when it cannot be opened.
bool readTextFile(const std::string& path, std::string& text) {
    if (path.empty()) {
        return false;
    }
    std::ifstream stream(platform::pathFromUtf8(path));
    if (!stream.is_open()) {
        return false;
    }
    text.assign(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
    return true;
}

// One line for a value the game cannot use, naming the key, the value and
// what is used instead; a value as long as a page is named by its start.
void reportUnusable(const char* section, const char* key, const std::string& text,
                    const std::string& used) {
    constexpr std::size_t kShownLength = 32;
    const std::string shown =
        text.size() > kShownLength ? text.substr(0, kShownLength) + "..." : text;
    std::cout << "ERROR: Invalid " << section << " setting '" << key << "' = '" << shown
              << "'. Using " << used << " instead." << std::endl;
}

std::string defaultValue(float value) {
    std::ostringstream text;
    text << "the default value " << value;
    return text.str();
}

// Reads `key` of `section` as the INI reader reads numbers (a leading
// number, trailing text ignored). A value outside (low, high), one that
// `allowed` refuses, or not a number at all, is reported and replaced by the
// default; an absent key is silent.
float readNumber(const INIReader& reader, const char* section, const char* key, float fallback,
                 double low = -DBL_MAX, double high = DBL_MAX, bool (*allowed)(double) = nullptr) {
    const std::string text = reader.Get(section, key, "");
    if (text.empty()) {
        return fallback;
    }
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    // A float must hold it too: a larger double would turn infinite.
    const bool usable = end != text.c_str() && std::isfinite(value) &&
                        std::fabs(value) <= FLT_MAX && value > low && value < high &&
                        (allowed == nullptr || allowed(value));
    if (!usable) {
        reportUnusable(section, key, text, defaultValue(fallback));
        return fallback;
    }
    return static_cast<float>(value);
}

// The boolean words the INI reader knows, in any case; nullopt for anything
// else, which is reported naming `used` as what takes its place.
std::optional<bool> readWord(const INIReader& reader, const char* section, const char* key,
                             const std::string& used) {
    if (!reader.HasValue(section, key)) {
        return std::nullopt;
    }
    // The reader's own answer with either default tells a word from garbage.
    const bool whenTrue = reader.GetBoolean(section, key, true);
    if (whenTrue == reader.GetBoolean(section, key, false)) {
        return whenTrue;
    }
    reportUnusable(section, key, reader.Get(section, key, ""), used);
    return std::nullopt;
}

bool readBoolean(const INIReader& reader, const char* section, const char* key, bool fallback) {
    return readWord(reader, section, key,
                    std::string("the default value ") + (fallback ? "true" : "false"))
        .value_or(fallback);
}

// A cap a player could mean: none (0), or between a slide show and beyond
// any display. A tiny cap would hold each frame for minutes, deaf to Escape.
bool isFrameCap(double value) {
    return value == 0.0 || (value >= kMinFrameCap && value <= kMaxFrameCap);
}

// "bloom_scale": a whole number from 1 to kMaxBloomScale, read as numbers
// are read; anything else leaves the choice to the renderer, as an absent
// key does.
int readBloomScale(const INIReader& reader) {
    const std::string text = reader.Get("renderer", "bloom_scale", "");
    if (text.empty()) {
        return 0;
    }
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() && value >= 1.0 && value <= kMaxBloomScale &&
        value == std::floor(value)) {
        return static_cast<int>(value);
    }
    reportUnusable("renderer", "bloom_scale", text, "the renderer's own choice");
    return 0;
}

}  // namespace

INIReader openSettingsFile(const std::string& relativeName) {
    const std::string fullPath = resolveAssetPath(relativeName);
    // The game opens the file itself, so that a name with any letters in it
    // opens on every system. A file found nowhere or unreadable is parsed
    // from no name at all: the library cannot open it and records -1.
    std::string text;
    INIReader reader = readTextFile(fullPath, text) ? INIReader(text.data(), text.size())
                                                    : INIReader(std::string());
    if (reader.ParseError() < 0) {
        std::cout << "ERROR: Failed to load '" << relativeName << "'. Using default values instead."
                  << std::endl;
    }
    return reader;
}

CameraSettings readCameraSettings(const INIReader& reader) {
    const CameraSettings defaults;
    CameraSettings settings;
    settings.fov = readNumber(reader, "camera", "fov", defaults.fov, 0.0, 180.0);
    settings.near = readNumber(reader, "camera", "near", defaults.near, 0.0, kCameraFarPlane);
    settings.moveSpeed = readNumber(reader, "camera", "move_speed", defaults.moveSpeed);
    settings.rotationSpeed = readNumber(reader, "camera", "rotation_speed", defaults.rotationSpeed);
    settings.yaw = readNumber(reader, "camera", "yaw", defaults.yaw);
    settings.pitch = readNumber(reader, "camera", "pitch", defaults.pitch);
    return settings;
}

RendererSettings readRendererSettings(const INIReader& reader) {
    const RendererSettings defaults;
    RendererSettings settings;
    settings.wireframe = readBoolean(reader, "renderer", "wireframe", defaults.wireframe);
    settings.backfaceCulling =
        readBoolean(reader, "renderer", "backface_culling", defaults.backfaceCulling);
    settings.depthTest = readBoolean(reader, "renderer", "depthtest", defaults.depthTest);
    settings.vsync = readWord(reader, "renderer", "vsync", "the driver's own swap interval");
    settings.maxFps =
        readNumber(reader, "renderer", "max_fps", defaults.maxFps, -DBL_MAX, DBL_MAX, isFrameCap);
    settings.bloomScale = readBloomScale(reader);
    return settings;
}
