#include "framework/Settings.h"

#include <iostream>

#include "framework/AssetPath.h"

INIReader openSettingsFile(const std::string& relativeName) {
    const std::string fullPath = resolveAssetPath(relativeName);
    // A file found nowhere is parsed from no name at all: the library cannot
    // open it and records -1, the same as for an unreadable file.
    INIReader reader(fullPath);
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
