#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <glm/glm.hpp>

#include "render/Camera.h"

class HeadsUpDisplay;
class Skybox;
class WorldManager;

namespace presentation_test {

// A fixed camera at (0, 0, 5) looking down -Z.
class FixedCamera : public Camera {
  public:
    FixedCamera();
    glm::mat4 getViewMatrix() const override;
};

// RGBA8 pixels, bottom row first (as glReadPixels gives them).
struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;

    glm::ivec4 at(int x, int y) const;
};

// Reads the colour buffer of the framebuffer bound for reading.
Image readFramebuffer(int width, int height);
// Reads an RGB16F texture as floats (r, g, b per pixel, bottom row first).
std::vector<float> readRgbTexture(uint32_t texture, int width, int height);

// Writes a PNG, flipping rows so the picture stands upright.
void savePng(const std::string& path, const Image& image);

// A font sheet of 8 by 8 cells of 8 pixels, each cell filled with a colour
// that names its character: red = code, green = 255 - code, blue 128,
// alpha 255. Written as TGA, top row first like any image file.
void writeCodedFontSheet(const std::filesystem::path& path);
// A plain RGBA picture of one colour.
void writeSolidPng(const std::filesystem::path& path, int width, int height,
                   const glm::ivec4& color);

// A fresh directory below the system's temporary directory, removed with
// the object.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return root; }

  private:
    std::filesystem::path root;
};

// Changes the working directory for its lifetime.
class ScopedWorkingDirectory {
  public:
    explicit ScopedWorkingDirectory(const std::filesystem::path& directory);
    ~ScopedWorkingDirectory();
    ScopedWorkingDirectory(const ScopedWorkingDirectory&) = delete;
    ScopedWorkingDirectory& operator=(const ScopedWorkingDirectory&) = delete;

  private:
    std::filesystem::path previous;
};

// A world manager with a fixed camera, the given HUD and default lights.
std::shared_ptr<WorldManager> makeWorld(std::shared_ptr<HeadsUpDisplay> hud);

// A HUD with the game's two programs and the coded font sheet loaded from
// a temporary directory (no tutorial picture there).
std::shared_ptr<HeadsUpDisplay> makeCodedHud(const TempDir& directory);

// The game's own font sheet and tutorial picture, when they exist.
std::filesystem::path gameAssetsDirectory();

// The game's night sky, set up from "../assets" (run from a folder beside
// the game's assets, as the game runs).
std::shared_ptr<Skybox> makeGameSky();

}  // namespace presentation_test
