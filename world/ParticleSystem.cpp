#include "world/ParticleSystem.h"

#include <cstdint>
#include <vector>

#include "framework/Gl.h"
#include "framework/Shader.h"
#include "render/Camera.h"
#include "render/Material.h"
#include "render/MeshBuilders.h"

namespace {

constexpr GLsizeiptr kVec4Bytes = 16;

constexpr uint32_t kSphereStacks = 8;
constexpr uint32_t kSphereSlices = 12;
// Particle size is at most 0.5, so a particle's radius is at most 0.25.
constexpr float kLargestRadius = 0.25f;
// Radius over distance below which the coarser spheres are drawn (about 30
// and 10 pixels across the 60 degree view of a 720 pixel high window).
constexpr float kMidOnScreen = 0.048f;
constexpr float kSmallOnScreen = 0.016f;

}  // namespace

ParticleSystem::ParticleSystem(std::string name, uint64_t maxParticles,
                               std::shared_ptr<Material> material)
    : GameObject(std::move(name), glm::vec3(0.0f), glm::vec3(0.0f), glm::vec3(0.0f), nullptr,
                 std::move(material)),
      simulation(static_cast<std::size_t>(maxParticles)) {
    const MeshData sphere = makeSphere(kSphereStacks, kSphereSlices, 0.5f);
    const auto maxCount = static_cast<GLsizeiptr>(maxParticles);

    vao = generateVertexArray();
    glBindVertexArray(vao.get());

    positionBuffer = generateBuffer();
    glBindBuffer(GL_ARRAY_BUFFER, positionBuffer.get());
    glBufferData(GL_ARRAY_BUFFER,
                 static_cast<GLsizeiptr>(sphere.positions.size() * sizeof(glm::vec3)),
                 sphere.positions.data(), GL_STATIC_DRAW);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 0, nullptr);

    std::vector<uint32_t> indices = sphere.indices;
    for (uint32_t level = 0; level < 3; ++level) {
        const std::vector<uint32_t> levelIndices =
            level == 0 ? sphere.indices
                       : makeSphereIndices(kSphereStacks, kSphereSlices, 2 * level);
        detailFirstIndex[level] = level == 0 ? 0 : static_cast<uint32_t>(indices.size());
        detailIndexCounts[level] = static_cast<uint32_t>(levelIndices.size());
        if (level > 0) {
            indices.insert(indices.end(), levelIndices.begin(), levelIndices.end());
        }
    }
    indexBuffer = generateBuffer();
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer.get());
    glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                 static_cast<GLsizeiptr>(indices.size() * sizeof(uint32_t)), indices.data(),
                 GL_STATIC_DRAW);

    // First half: (centre, size) per particle; second half: (colour, life fraction).
    instanceBuffer = generateBuffer();
    glBindBuffer(GL_ARRAY_BUFFER, instanceBuffer.get());
    glBufferData(GL_ARRAY_BUFFER, maxCount * 2 * kVec4Bytes, nullptr, GL_STREAM_DRAW);
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 4, GL_FLOAT, GL_FALSE, 0, nullptr);
    glVertexAttribDivisor(1, 1);
    glEnableVertexAttribArray(2);
    glVertexAttribPointer(2, 4, GL_FLOAT, GL_FALSE, 0,
                          reinterpret_cast<const void*>(maxCount * kVec4Bytes));
    glVertexAttribDivisor(2, 1);

    glBindVertexArray(0);
}

ParticleSystem::~ParticleSystem() = default;

int ParticleSystem::levelFor(float eyeDistance) {
    if (kLargestRadius < kSmallOnScreen * eyeDistance) {
        return 2;
    }
    return kLargestRadius < kMidOnScreen * eyeDistance ? 1 : 0;
}

uint32_t ParticleSystem::detailIndexCount(float eyeDistance) const {
    return detailIndexCounts[levelFor(eyeDistance)];
}

void ParticleSystem::update(float deltaTime) {
    const std::size_t live = simulation.update(deltaTime, position);
    const auto liveBytes = static_cast<GLsizeiptr>(live) * kVec4Bytes;
    const auto colourOffset = static_cast<GLintptr>(simulation.getMaxParticles()) * kVec4Bytes;
    // Uploaded even when nothing lives, so the buffer never shows stale data.
    glBindBuffer(GL_ARRAY_BUFFER, instanceBuffer.get());
    glBufferSubData(GL_ARRAY_BUFFER, 0, liveBytes, simulation.getInstancePositions().data());
    glBufferSubData(GL_ARRAY_BUFFER, colourOffset, liveBytes,
                    simulation.getInstanceColours().data());
}

void ParticleSystem::draw(std::shared_ptr<Camera> camera,
                          std::shared_ptr<DirectionalLight> /*directionalLight*/,
                          std::shared_ptr<PointLight> /*pointLight*/) {
    const std::size_t live = simulation.getLiveCount();
    if (live == 0 || !camera || !material || !material->getShader()) {
        return;
    }
    Shader& shader = *material->getShader();
    shader.use();
    shader.setMat4("viewProj", camera->getViewProjectionMatrix());

    // Translucent: read depth to hide behind solid objects, but do not write
    // it, so particles never hide each other.
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    const int level = levelFor(glm::length(position - camera->getEye()));
    glBindVertexArray(vao.get());
    glDrawElementsInstanced(GL_TRIANGLES, static_cast<GLsizei>(detailIndexCounts[level]),
                            GL_UNSIGNED_INT,
                            reinterpret_cast<const void*>(
                                static_cast<uintptr_t>(detailFirstIndex[level]) * sizeof(uint32_t)),
                            static_cast<GLsizei>(live));
    glBindVertexArray(0);

    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
}
