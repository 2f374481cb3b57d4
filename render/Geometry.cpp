#include "render/Geometry.h"

#include <algorithm>
#include <cfloat>
#include <cstdint>
#include <iostream>
#include <stdexcept>
#include <string>
#include <utility>

#include "framework/Gl.h"
#include "render/ViewFrustum.h"

namespace {

// Uploads one attribute array into its own tightly packed buffer. An array
// that does not hold one entry per position is left out: the attribute then
// reads OpenGL's constant default instead of running past the buffer.
template <typename Vector>
GlBuffer uploadAttribute(GLuint location, const std::vector<Vector>& values, size_t vertexCount) {
    GlBuffer buffer = generateBuffer();
    glBindBuffer(GL_ARRAY_BUFFER, buffer.get());
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(values.size() * sizeof(Vector)),
                 values.empty() ? nullptr : values.data(), GL_STATIC_DRAW);
    if (values.size() == vertexCount) {
        glEnableVertexAttribArray(location);
        glVertexAttribPointer(location, Vector::length(), GL_FLOAT, GL_FALSE, 0, nullptr);
    }
    return buffer;
}

// Throws std::invalid_argument, naming the caller, for an index past the
// last vertex.
void requireIndicesBelow(const std::vector<uint32_t>& indices, uint32_t vertexCount,
                         const char* caller) {
    for (uint32_t index : indices) {
        if (index >= vertexCount) {
            throw std::invalid_argument(std::string(caller) + ": index " + std::to_string(index) +
                                        " past the last of " + std::to_string(vertexCount) +
                                        " vertices");
        }
    }
}

}  // namespace

Geometry::Geometry(const glm::mat4& transform, const MeshData& mesh,
                   std::shared_ptr<Material> material, uint32_t tag)
    : indexCount(static_cast<uint32_t>(mesh.indices.size())),
      material(std::move(material)),
      transform(transform),
      tag(tag) {
    // An index past the last vertex would have the GPU read beyond the
    // buffers; such a mesh is kept but never drawn.
    if (!indicesInRange(mesh)) {
        std::cerr << "Geometry: mesh with " << mesh.positions.size()
                  << " vertices has an index out of range; it will not be drawn." << std::endl;
        indexCount = 0;
    } else {
        runs = TriangleRuns(mesh);
    }

    vertexCount = static_cast<uint32_t>(mesh.positions.size());
    vao = generateVertexArray();
    glBindVertexArray(vao.get());
    positionBuffer = uploadAttribute(0, mesh.positions, vertexCount);
    normalBuffer = uploadAttribute(1, mesh.normals, vertexCount);
    uvBuffer = uploadAttribute(2, mesh.uvs, vertexCount);

    // The element binding is vertex-array state: bound while the array is,
    // it makes a draw need nothing but the vertex array.
    // A large mesh uploads its triangles tile by tile (the same triangles).
    const std::vector<uint32_t>& indices = runs.isSplit() ? runs.getTiledIndices() : mesh.indices;
    indexBuffer = generateBuffer();
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer.get());
    glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                 static_cast<GLsizeiptr>(indices.size() * sizeof(uint32_t)),
                 indices.empty() ? nullptr : indices.data(), GL_STATIC_DRAW);
    storedIndexCount = static_cast<uint32_t>(indices.size());
    runs.releaseTiledIndices();

    glBindVertexArray(0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);

    // An empty mesh keeps the extremes apart: its extent is negative.
    glm::vec3 lowest(FLT_MAX);
    glm::vec3 highest(-FLT_MAX);
    for (const glm::vec3& position : mesh.positions) {
        lowest = glm::min(lowest, position);
        highest = glm::max(highest, position);
    }
    extent = highest - lowest;
    if (!mesh.positions.empty()) {
        boundsCentre = 0.5f * (lowest + highest);
        boundsRadius = 0.5f * glm::length(extent);
    }
}

Geometry::~Geometry() = default;

void Geometry::addDetailLevel(const std::vector<uint32_t>& indices, float maxAngularRadius) {
    requireIndicesBelow(indices, vertexCount, "Geometry::addDetailLevel");
    if (indices.empty() || indexCount == 0 || runs.isSplit()) {
        return;
    }
    // The index buffer grows to hold the new list after the ones it has.
    // The element binding belongs to the vertex array, so the new buffer is
    // bound there, and as an element buffer first: WebGL fixes a buffer's
    // kind at its first binding and copies only between buffers of a kind.
    const GLsizeiptr oldBytes = static_cast<GLsizeiptr>(storedIndexCount) * sizeof(uint32_t);
    const GLsizeiptr addedBytes = static_cast<GLsizeiptr>(indices.size() * sizeof(uint32_t));
    GlBuffer grown = generateBuffer();
    glBindVertexArray(vao.get());
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, grown.get());
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, oldBytes + addedBytes, nullptr, GL_STATIC_DRAW);
    glBindBuffer(GL_COPY_READ_BUFFER, indexBuffer.get());
    glCopyBufferSubData(GL_COPY_READ_BUFFER, GL_ELEMENT_ARRAY_BUFFER, 0, 0, oldBytes);
    glBufferSubData(GL_ELEMENT_ARRAY_BUFFER, oldBytes, addedBytes, indices.data());
    glBindBuffer(GL_COPY_READ_BUFFER, 0);
    glBindVertexArray(0);
    indexBuffer = std::move(grown);

    const DetailLevel level{storedIndexCount, static_cast<uint32_t>(indices.size()),
                            maxAngularRadius};
    storedIndexCount += level.indexCount;
    const auto place = std::find_if(
        detailLevels.begin(), detailLevels.end(),
        [&](const DetailLevel& other) { return other.maxAngularRadius > maxAngularRadius; });
    detailLevels.insert(place, level);
}

void Geometry::setTriangles(const std::vector<uint32_t>& indices) {
    requireIndicesBelow(indices, vertexCount, "Geometry::setTriangles");
    if (runs.isSplit() || !detailLevels.empty()) {
        throw std::logic_error(
            "Geometry::setTriangles: the mesh is drawn in runs or has detail levels");
    }
    glBindVertexArray(vao.get());
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer.get());
    glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                 static_cast<GLsizeiptr>(indices.size() * sizeof(uint32_t)),
                 indices.empty() ? nullptr : indices.data(), GL_STATIC_DRAW);
    glBindVertexArray(0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    indexCount = static_cast<uint32_t>(indices.size());
    storedIndexCount = indexCount;
}

const Geometry::DetailLevel* Geometry::levelFor(const glm::mat4& model,
                                                const glm::vec3& eye) const {
    if (detailLevels.empty() || boundsRadius < 0.0f) {
        return nullptr;
    }
    const glm::vec3 centre = glm::vec3(model * glm::vec4(boundsCentre, 1.0f));
    const float distance = glm::length(centre - eye);
    const float radius = boundsRadius * largestScale(model);
    // Compared without dividing, so an eye inside the sphere picks full detail.
    for (const DetailLevel& level : detailLevels) {
        if (radius < level.maxAngularRadius * distance) {
            return &level;
        }
    }
    return nullptr;
}

uint32_t Geometry::detailIndexCount(const glm::mat4& model, const glm::vec3& eye) const {
    const DetailLevel* level = levelFor(model, eye);
    return level != nullptr ? level->indexCount : indexCount;
}

void Geometry::drawInView(const glm::mat4& model, const ViewFrustum& frustum, const glm::vec3& eye,
                          float margin) {
    if (indexCount == 0) {
        return;
    }
    if (!runs.isSplit()) {
        const DetailLevel* level = levelFor(model, eye);
        if (level == nullptr) {
            draw();
            return;
        }
        glBindVertexArray(vao.get());
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(level->indexCount), GL_UNSIGNED_INT,
                       reinterpret_cast<const void*>(static_cast<uintptr_t>(level->firstIndex) *
                                                     sizeof(uint32_t)));
        glBindVertexArray(0);
        return;
    }
    const std::vector<TriangleRuns::Run>& all = runs.getRuns();
    glBindVertexArray(vao.get());
    for (uint32_t index : runs.visibleNearestFirst(model, frustum, eye, margin)) {
        const TriangleRuns::Run& run = all[index];
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(run.indexCount), GL_UNSIGNED_INT,
                       reinterpret_cast<const void*>(static_cast<uintptr_t>(run.firstIndex) *
                                                     sizeof(uint32_t)));
    }
    glBindVertexArray(0);
}

void Geometry::draw() const {
    if (indexCount == 0) {
        return;
    }
    glBindVertexArray(vao.get());
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(indexCount), GL_UNSIGNED_INT, nullptr);
    glBindVertexArray(0);
}
