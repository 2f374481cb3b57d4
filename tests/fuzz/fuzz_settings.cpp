// The settings reading on arbitrary file contents, through the same path the
// game takes: the asset search finds the file, the INI reader parses it and
// the camera and renderer values are read with their defaults.

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "FuzzSupport.h"
#include "framework/AssetPath.h"
#include "framework/Settings.h"

namespace {

std::filesystem::path treeRoot;
constexpr const char* kName = "assets/settings/fuzz.ini";

bool sameFloat(float a, float b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz_support::silenceConsole();
    treeRoot = fuzz_support::makeTree();
    setAssetSearchStartDirectory(treeRoot / "build" / "bin");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    {
        std::ofstream file(treeRoot / kName, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    const INIReader reader = openSettingsFile(kName);
    if (reader.ParseError() < 0) {
        __builtin_trap();  // the file is there and readable
    }
    const CameraSettings camera = readCameraSettings(reader);
    const RendererSettings renderer = readRendererSettings(reader);

    // Without a single '[' no section is ever opened: every value is its default.
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (text.find('[') == std::string::npos) {
        const CameraSettings c;
        const RendererSettings r;
        if (!sameFloat(camera.fov, c.fov) || !sameFloat(camera.near, c.near) ||
            !sameFloat(camera.moveSpeed, c.moveSpeed) ||
            !sameFloat(camera.rotationSpeed, c.rotationSpeed) || !sameFloat(camera.yaw, c.yaw) ||
            !sameFloat(camera.pitch, c.pitch) || renderer.wireframe != r.wireframe ||
            renderer.backfaceCulling != r.backfaceCulling || renderer.depthTest != r.depthTest) {
            __builtin_trap();
        }
    }
    return 0;
}
