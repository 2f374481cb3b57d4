#include "render/Geometry.h"

#include <cfloat>
#include <cstdint>
#include <iostream>
#include <utility>

#include "framework/Gl.h"

namespace {

// Uploads one attribute array into its own tightly packed buffer. An array
// that does not hold one entry per position is left out: the attribute then
// reads OpenGL's constant default instead of running past the buffer.
template <typename Vector>
GLuint uploadAttribute(GLuint location, const std::vector<Vector>& values, size_t vertexCount) {
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(values.size() * sizeof(Vector)),
                 values.empty() ? nullptr : values.data(), GL_STATIC_DRAW);
    if (values.size() == vertexCount) {
        glEnableVertexAttribArray(location);
        glVertexAttribPointer(location, Vector::length(), GL_FLOAT, GL_FALSE, 0, nullptr);
    }
    return buffer;
}

bool indicesInRange(const MeshData& mesh) {
    for (uint32_t index : mesh.indices) {
        if (index >= mesh.positions.size()) {
            return false;
        }
    }
    return true;
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

    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    const size_t vertexCount = mesh.positions.size();
    positionBuffer = uploadAttribute(0, mesh.positions, vertexCount);
    normalBuffer = uploadAttribute(1, mesh.normals, vertexCount);
    uvBuffer = uploadAttribute(2, mesh.uvs, vertexCount);

    // The element binding is vertex-array state: bound while the array is,
    // it makes a draw need nothing but the vertex array.
    // A large mesh uploads its triangles tile by tile (the same triangles).
    const std::vector<uint32_t>& indices = runs.isSplit() ? runs.getTiledIndices() : mesh.indices;
    glGenBuffers(1, &indexBuffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                 static_cast<GLsizeiptr>(indices.size() * sizeof(uint32_t)),
                 indices.empty() ? nullptr : indices.data(), GL_STATIC_DRAW);
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

Geometry::~Geometry() {
    const GLuint buffers[] = {positionBuffer, normalBuffer, uvBuffer, indexBuffer};
    glDeleteBuffers(4, buffers);
    glDeleteVertexArrays(1, &vao);
    positionBuffer = normalBuffer = uvBuffer = indexBuffer = vao = 0;
}

void Geometry::drawInView(const glm::mat4& model, const ViewFrustum& frustum, const glm::vec3& eye,
                          float margin) {
    if (indexCount == 0) {
        return;
    }
    if (!runs.isSplit()) {
        draw();
        return;
    }
    const std::vector<TriangleRuns::Run>& all = runs.getRuns();
    glBindVertexArray(vao);
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
    glBindVertexArray(vao);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(indexCount), GL_UNSIGNED_INT, nullptr);
    glBindVertexArray(0);
}
