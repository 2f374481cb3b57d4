#include "presentation/PresentationSupport.h"

#include <array>
#include <random>
#include <stdexcept>

#include <glm/gtc/matrix_transform.hpp>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

#include "framework/Gl.h"
#include "framework/Shader.h"
#include "render/HeadsUpDisplay.h"
#include "render/Lights.h"
#include "render/RenderTargets.h"
#include "render/Skybox.h"
#include "support/PortableTest.h"
#include "world/WorldManager.h"

namespace presentation_test {

FixedCamera::FixedCamera()
    : Camera(glm::vec3(0.0f, 0.0f, 5.0f), 45.0f, 1080.0f / 720.0f, 0.1f, 100.0f, -90.0f, 0.0f) {
    view = getViewMatrix();
    projection = getProjectionMatrix();
    viewProjection = projection * view;
}

glm::mat4 FixedCamera::getViewMatrix() const {
    return glm::lookAt(position, position + glm::vec3(0.0f, 0.0f, -1.0f),
                       glm::vec3(0.0f, 1.0f, 0.0f));
}

glm::ivec4 Image::at(int x, int y) const {
    const size_t i =
        (static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 4;
    return {pixels[i], pixels[i + 1], pixels[i + 2], pixels[i + 3]};
}

Image readFramebuffer(int width, int height) {
    Image image;
    image.width = width;
    image.height = height;
    image.pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, image.pixels.data());
    return image;
}

std::vector<float> readRgbTexture(uint32_t texture, int width, int height) {
    std::vector<float> values(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_FLOAT, values.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return values;
}

void savePng(const std::string& path, const Image& image) {
    stbi_flip_vertically_on_write(1);
    stbi_write_png(path.c_str(), image.width, image.height, 4, image.pixels.data(),
                   image.width * 4);
    stbi_flip_vertically_on_write(0);
}

void writeCodedFontSheet(const std::filesystem::path& path) {
    const int cell = 8;
    const int size = cell * 8;
    std::vector<uint8_t> pixels(static_cast<size_t>(size * size * 4));
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const int code = 32 + (y / cell) * 8 + x / cell;
            uint8_t* p = &pixels[static_cast<size_t>((y * size + x) * 4)];
            p[0] = static_cast<uint8_t>(code);
            p[1] = static_cast<uint8_t>(255 - code);
            p[2] = 128;
            p[3] = 255;
        }
    }
    if (stbi_write_tga(path.string().c_str(), size, size, 4, pixels.data()) == 0) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

void writeSolidPng(const std::filesystem::path& path, int width, int height,
                   const glm::ivec4& color) {
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    for (size_t i = 0; i < pixels.size(); i += 4) {
        for (int c = 0; c < 4; ++c) {
            pixels[i + static_cast<size_t>(c)] = static_cast<uint8_t>(color[c]);
        }
    }
    std::filesystem::create_directories(path.parent_path());
    if (stbi_write_png(path.string().c_str(), width, height, 4, pixels.data(), width * 4) == 0) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

TempDir::TempDir() {
    std::random_device random;
    root = std::filesystem::temp_directory_path() /
           ("veltra-presentation-" + std::to_string(portable_test::processId()) + "-" +
            std::to_string(random()));
    std::filesystem::create_directories(root);
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
}

ScopedWorkingDirectory::ScopedWorkingDirectory(const std::filesystem::path& directory)
    : previous(std::filesystem::current_path()) {
    std::filesystem::create_directories(directory);
    std::filesystem::current_path(directory);
}

ScopedWorkingDirectory::~ScopedWorkingDirectory() {
    std::error_code ignored;
    std::filesystem::current_path(previous, ignored);
}

std::shared_ptr<WorldManager> makeWorld(std::shared_ptr<HeadsUpDisplay> hud) {
    return std::make_shared<WorldManager>(std::make_shared<FixedCamera>(), std::move(hud),
                                          std::make_shared<DirectionalLight>(),
                                          std::make_shared<PointLight>());
}

std::shared_ptr<HeadsUpDisplay> makeCodedHud(const TempDir& directory) {
    const auto font = directory.path() / "coded_font.tga";
    writeCodedFontSheet(font);
    auto hud = std::make_shared<HeadsUpDisplay>();
    hud->setShaders(std::make_shared<Shader>("assets/shaders/hud.vert", "assets/shaders/hud.frag"),
                    std::make_shared<Shader>("assets/shaders/fullScreen.vert",
                                             "assets/shaders/fullScreen.frag"));
    // The tutorial picture is looked up relative to the working directory;
    // an empty one beside the font has none.
    ScopedWorkingDirectory inside(directory.path() / "run");
    hud->loadTextures(font.string());
    return hud;
}

std::filesystem::path gameAssetsDirectory() {
    return std::filesystem::path(VELTRA_SOURCE_DIR) / "assets";
}

std::shared_ptr<Skybox> makeGameSky() {
    auto sky = std::make_shared<Skybox>(
        RenderTargets::makeSceneShader("assets/shaders/skybox.vert", "assets/shaders/skybox.frag"),
        std::array<std::string, 6>{
            "../assets/textures/Nightsky/px.jpg", "../assets/textures/Nightsky/nx.jpg",
            "../assets/textures/Nightsky/py.jpg", "../assets/textures/Nightsky/ny.jpg",
            "../assets/textures/Nightsky/pz.jpg", "../assets/textures/Nightsky/nz.jpg"});
    sky->setup();
    return sky;
}

}  // namespace presentation_test
