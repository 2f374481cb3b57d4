#include "framework/Settings.h"

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>

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

// Reads `key` of `section` as the INI reader reads numbers (a leading
// number, trailing text ignored). A value outside (low, high), or not a
// number at all, is reported and replaced by the default; an absent key is
// silent.
float readNumber(const INIReader& reader, const char* section, const char* key, float fallback,
                 double low = -DBL_MAX, double high = DBL_MAX) {
    const std::string text = reader.Get(section, key, "");
    if (text.empty()) {
        return fallback;
    }
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    // A float must hold it too: a larger double would turn infinite.
    const bool usable = end != text.c_str() && std::isfinite(value) &&
                        std::fabs(value) <= FLT_MAX && value > low && value < high;
    if (!usable) {
        // A value as long as a page is named by its start.
        constexpr std::size_t kShownLength = 32;
        const std::string shown =
            text.size() > kShownLength ? text.substr(0, kShownLength) + "..." : text;
        std::cout << "ERROR: Invalid " << section << " setting '" << key << "' = '" << shown
                  << "'. Using the default value " << fallback << " instead." << std::endl;
        return fallback;
    }
    return static_cast<float>(value);
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
    settings.wireframe = reader.GetBoolean("renderer", "wireframe", defaults.wireframe);
    settings.backfaceCulling =
        reader.GetBoolean("renderer", "backface_culling", defaults.backfaceCulling);
    settings.depthTest = reader.GetBoolean("renderer", "depthtest", defaults.depthTest);
    if (reader.HasValue("renderer", "vsync")) {
        // A word that is no boolean keeps the driver's choice, as absence does.
        const int word = reader.GetBoolean("renderer", "vsync", true) ? 1 : 0;
        if (word == (reader.GetBoolean("renderer", "vsync", false) ? 1 : 0)) {
            settings.vsync = word == 1;
        }
    }
    // A cap of 0 is no cap; the lower bound is just below it.
    settings.maxFps = readNumber(reader, "renderer", "max_fps", defaults.maxFps, -DBL_MIN, FLT_MAX);
    return settings;
}
