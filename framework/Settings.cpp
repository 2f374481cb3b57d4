#include "framework/Settings.h"

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
    settings.fov = static_cast<float>(reader.GetReal("camera", "fov", defaults.fov));
    settings.near = static_cast<float>(reader.GetReal("camera", "near", defaults.near));
    settings.moveSpeed =
        static_cast<float>(reader.GetReal("camera", "move_speed", defaults.moveSpeed));
    settings.rotationSpeed =
        static_cast<float>(reader.GetReal("camera", "rotation_speed", defaults.rotationSpeed));
    settings.yaw = static_cast<float>(reader.GetReal("camera", "yaw", defaults.yaw));
    settings.pitch = static_cast<float>(reader.GetReal("camera", "pitch", defaults.pitch));
    return settings;
}

RendererSettings readRendererSettings(const INIReader& reader) {
    const RendererSettings defaults;
    RendererSettings settings;
    settings.wireframe = reader.GetBoolean("renderer", "wireframe", defaults.wireframe);
    settings.backfaceCulling =
        reader.GetBoolean("renderer", "backface_culling", defaults.backfaceCulling);
    settings.depthTest = reader.GetBoolean("renderer", "depthtest", defaults.depthTest);
    return settings;
}
