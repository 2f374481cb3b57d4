#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include <glm/glm.hpp>

#include "framework/GlName.h"
#include "world/ImageFile.h"

class Shader;

// The night sky: a cube of side 2000 around the camera, textured with a
// six-face cube map. The sky owns its vertex array, buffer and cube map and
// deletes them with itself (a restart builds a new sky; the old one must not
// stay behind on the GPU). It moves, it does not copy.
class Skybox {
  public:
    // Faces in the order +X, -X, +Y, -Y, +Z, -Z. Creates nothing on the GPU.
    // The program draws the sky (null: it draws nothing).
    Skybox(std::shared_ptr<Shader> program, std::array<std::string, 6> faces);
    // How the sky decodes one face file: RGBA, which a software renderer
    // stores as it is, where RGB rows are converted texel by texel.
    static ImageRequest faceRequest(const std::string& face) { return {face, 4, false}; }
    ~Skybox();
    Skybox(Skybox&& other) noexcept = default;
    Skybox& operator=(Skybox&& other) noexcept = default;
    Skybox(const Skybox&) = delete;
    Skybox& operator=(const Skybox&) = delete;

    // Loads the cube map and builds the cube.
    void setup();
    void draw(const glm::mat4& view, const glm::mat4& projection) const;

    uint32_t getProgram() const;
    uint32_t getCubemapTexture() const { return cubemapTexture.get(); }

  private:
    void loadCubemap();

    GlVertexArray vao;
    GlBuffer vbo;
    std::shared_ptr<Shader> program;
    GlTexture cubemapTexture;
    std::array<std::string, 6> faces;
};
