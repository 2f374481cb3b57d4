#include "render/Skybox.h"

#include <iostream>
#include <memory>
#include <system_error>
#include <thread>
#include <utility>

#include "framework/Gl.h"
#include "framework/Shader.h"
#include "world/ImageFile.h"

namespace {

constexpr float s = 1000.0f;

// Twelve triangles, every corner 1000 units out; the position doubles as the
// cube-map direction.
constexpr float kCubeVertices[36 * 3] = {
    -s, s,  -s, -s, -s, -s, s,  -s, -s, s,  -s, -s, s,  s,  -s, -s, s,  -s,  // z = -s
    -s, -s, s,  -s, -s, -s, -s, s,  -s, -s, s,  -s, -s, s,  s,  -s, -s, s,   // x = -s
    s,  -s, -s, s,  -s, s,  s,  s,  s,  s,  s,  s,  s,  s,  -s, s,  -s, -s,  // x = +s
    -s, -s, s,  -s, s,  s,  s,  s,  s,  s,  s,  s,  s,  -s, s,  -s, -s, s,   // z = +s
    -s, s,  -s, s,  s,  -s, s,  s,  s,  s,  s,  s,  -s, s,  s,  -s, s,  -s,  // y = +s
    -s, -s, -s, -s, -s, s,  s,  -s, -s, s,  -s, -s, -s, -s, s,  s,  -s, s,   // y = -s
};

using DecodedFace = DecodedImage;

// The side most of the square faces share (the earlier face's on a tie);
// 0 when no face is square.
int commonSide(const std::array<DecodedFace, 6>& faces) {
    int best = 0;
    int bestCount = 0;
    for (const DecodedFace& candidate : faces) {
        if (!candidate.pixels || candidate.width != candidate.height) {
            continue;
        }
        int count = 0;
        for (const DecodedFace& face : faces) {
            count += face.pixels && face.width == candidate.width && face.height == candidate.width;
        }
        if (count > bestCount) {
            best = candidate.width;
            bestCount = count;
        }
    }
    return best;
}

}  // namespace

Skybox::Skybox(std::shared_ptr<Shader> program, std::array<std::string, 6> faces)
    : program(std::move(program)), faces(std::move(faces)) {}

Skybox::~Skybox() = default;

uint32_t Skybox::getProgram() const {
    return program ? program->getProgram() : 0;
}

void Skybox::setup() {
    loadCubemap();

    vao = generateVertexArray();
    vbo = generateBuffer();
    glBindVertexArray(vao.get());
    glBindBuffer(GL_ARRAY_BUFFER, vbo.get());
    glBufferData(GL_ARRAY_BUFFER, sizeof(kCubeVertices), kCubeVertices, GL_STATIC_DRAW);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 3 * sizeof(float), nullptr);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void Skybox::loadCubemap() {
    cubemapTexture = generateTexture();
    glBindTexture(GL_TEXTURE_CUBE_MAP, cubemapTexture.get());

    // Cube maps take their rows top first, as the files store them.
    GLint maxSide = 0;
    glGetIntegerv(GL_MAX_CUBE_MAP_TEXTURE_SIZE, &maxSide);

    // Faces are decoded first and judged together: they must be square and
    // share one size, or the cube map samples black. The size most faces
    // share is the cube's, so the odd ones are named whatever their place.
    // Decoding is most of the sky's time at every run's start, and the faces
    // are independent: the last three are decoded on a second thread.
    std::array<DecodedFace, 6> decoded;
    const auto decodeFaces = [&](size_t first, size_t end) {
        for (size_t i = first; i < end; ++i) {
            const ImageRequest face = faceRequest(faces[i]);
            decoded[i] =
                decodeImageFile(face.path, face.desiredChannels, face.bottomRowFirst, maxSide);
        }
    };
    const size_t half = faces.size() / 2;
    std::thread helper;
    try {
        helper = std::thread(decodeFaces, half, faces.size());
    } catch (const std::system_error&) {
        decodeFaces(half, faces.size());  // no thread to be had: all here
    }
    decodeFaces(0, half);
    if (helper.joinable()) {
        helper.join();
    }
    for (size_t i = 0; i < faces.size(); ++i) {
        if (!decoded[i].pixels) {
            std::cerr << "Cubemap failed to load at path: " << faces[i] << std::endl;
        }
    }
    const int side = commonSide(decoded);
    for (size_t i = 0; i < faces.size(); ++i) {
        const DecodedFace& face = decoded[i];
        if (!face.pixels) {
            continue;
        }
        // A face that does not fit is left out like one that failed.
        if (face.width != face.height || face.width != side) {
            std::cerr << "Cubemap face of " << face.width << " x " << face.height
                      << " pixels does not fit the cube at path: " << faces[i] << std::endl;
            continue;
        }
        const GLenum target = GL_TEXTURE_CUBE_MAP_POSITIVE_X + static_cast<GLenum>(i);
        // Every face is decoded to RGBA, grey ones included, so the faces
        // share one format and the driver copies the rows as they are.
        glTexImage2D(target, 0, GL_RGBA8, face.width, face.height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     face.pixels.get());
    }

    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_R, GL_CLAMP_TO_EDGE);
    glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
}

void Skybox::draw(const glm::mat4& view, const glm::mat4& projection) const {
    if (!program) {
        return;
    }
    glDepthFunc(GL_LEQUAL);
    program->use();

    // Rotation only: the sky stays put however far the camera flies.
    program->setMat4("view", glm::mat4(glm::mat3(view)));
    program->setMat4("projection", projection);

    glDepthMask(GL_FALSE);
    glBindVertexArray(vao.get());
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_CUBE_MAP, cubemapTexture.get());
    glDrawArrays(GL_TRIANGLES, 0, 36);
    glBindVertexArray(0);

    glDepthMask(GL_TRUE);
    glUseProgram(0);
    glDepthFunc(GL_LESS);
}
