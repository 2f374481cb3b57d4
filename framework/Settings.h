#pragma once

#include <optional>
#include <string>

#include <INIReader.h>

// Default settings files, relative asset paths found through the asset search.
inline constexpr const char* kDefaultCameraSettingsFile = "assets/settings/camera_front.ini";
inline constexpr const char* kDefaultRendererSettingsFile = "assets/settings/renderer_standard.ini";

// Finds the file through the asset search and parses it. A file that is
// missing or cannot be read is reported with one "ERROR: Failed to load"
// line naming the relative name, and gives a reader whose every query falls
// back to its default (ParseError() is then -1).
INIReader openSettingsFile(const std::string& relativeName);

// The far plane of every camera: the level is a few thousand units across.
inline constexpr float kCameraFarPlane = 5000.0f;

// The camera keys of section "camera", with their defaults.
struct CameraSettings {
    float fov = 60.0f;
    float near = 0.1f;
    float moveSpeed = 15.0f;
    float rotationSpeed = 10.0f;
    float yaw = 0.0f;
    float pitch = 0.0f;
};

// The renderer keys of section "renderer", with their defaults.
struct RendererSettings {
    bool wireframe = false;
    bool backfaceCulling = false;
    bool depthTest = true;
    // Absent: the driver's own swap interval.
    std::optional<bool> vsync;
    // Frames a second at most; 0 for no cap.
    float maxFps = 0.0f;
    // Window pixels per texel of the glow along each axis (1 to
    // kMaxBloomScale); 0 lets the renderer choose.
    int bloomScale = 0;
};

// The coarsest glow "bloom_scale" accepts: a quarter of the resolution.
inline constexpr int kMaxBloomScale = 4;

// The frame caps "max_fps" accepts besides 0 (no cap).
inline constexpr double kMinFrameCap = 10.0;
inline constexpr double kMaxFrameCap = 1000.0;

// A camera value that is not a number, not finite, or outside the range a
// view can be drawn with (a field of view within (0, 180) degrees, a near
// plane above 0 and below kCameraFarPlane) is reported with one "ERROR:"
// line naming the key, the value and the default used instead.
CameraSettings readCameraSettings(const INIReader& reader);
// A boolean key whose value is none of the INI reader's words (true, yes,
// on, 1, false, no, off, 0, in any case) and a "max_fps" other than 0 or
// kMinFrameCap to kMaxFrameCap are reported like an unusable camera value,
// as is a "bloom_scale" other than a whole number from 1 to
// kMaxBloomScale.
RendererSettings readRendererSettings(const INIReader& reader);
