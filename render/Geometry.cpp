#include "render/Geometry.h"

#include <cfloat>
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
    }

    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    const size_t vertexCount = mesh.positions.size();
    positionBuffer = uploadAttribute(0, mesh.positions, vertexCount);
    normalBuffer = uploadAttribute(1, mesh.normals, vertexCount);
    uvBuffer = uploadAttribute(2, mesh.uvs, vertexCount);

    // The element binding is vertex-array state: bound while the array is,
    // it makes a draw need nothing but the vertex array.
    glGenBuffers(1, &indexBuffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                 static_cast<GLsizeiptr>(mesh.indices.size() * sizeof(uint32_t)),
                 mesh.indices.empty() ? nullptr : mesh.indices.data(), GL_STATIC_DRAW);

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

void Geometry::draw() const {
    if (indexCount == 0) {
        return;
    }
    glBindVertexArray(vao);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(indexCount), GL_UNSIGNED_INT, nullptr);
    glBindVertexArray(0);
}
