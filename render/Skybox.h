#pragma once

#include <array>
#include <cstdint>
#include <string>

#include <glm/glm.hpp>

// The night sky: a cube of side 2000 around the camera, textured with a
// six-face cube map. The sky owns its vertex array, buffer and cube map and
// deletes them with itself (a restart builds a new sky; the old one must not
// stay behind on the GPU). It moves, it does not copy.
class Skybox {
public:
    // Faces in the order +X, -X, +Y, -Y, +Z, -Z. Creates nothing on the GPU.
    Skybox(uint32_t program, std::array<std::string, 6> faces);
    ~Skybox();
    Skybox(Skybox&& other) noexcept;
    Skybox& operator=(Skybox&& other) noexcept;
    Skybox(const Skybox&) = delete;
    Skybox& operator=(const Skybox&) = delete;

    // Loads the cube map and builds the cube.
    void setup();
    void draw(const glm::mat4& view, const glm::mat4& projection) const;

    uint32_t getProgram() const { return program; }
    uint32_t getCubemapTexture() const { return cubemapTexture; }

private:
    void loadCubemap();

    uint32_t vao = 0;
    uint32_t vbo = 0;
    uint32_t program = 0;
    uint32_t cubemapTexture = 0;
    std::array<std::string, 6> faces;
};
