#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include <glm/glm.hpp>

#include "framework/GlName.h"
#include "render/MeshData.h"
#include "render/TriangleRuns.h"

class Material;
class ViewFrustum;

// An indexed triangle mesh on the GPU: one vertex array, one tightly packed
// buffer per attribute (0 position, 1 normal, 2 texture coordinate) and one
// index buffer of 32-bit indices.
class Geometry {
  public:
    Geometry(const glm::mat4& transform, const MeshData& mesh, std::shared_ptr<Material> material,
             uint32_t tag);
    ~Geometry();

    Geometry(const Geometry&) = delete;
    Geometry& operator=(const Geometry&) = delete;

    // Binds the vertex array and draws; the caller has set program and uniforms.
    void draw() const;
    // The same for a mesh placed by model and seen by frustum from eye: a
    // large mesh (the terrain) draws only its runs of triangles that reach
    // into the view, nearest first; margin widens their bounds for vertex
    // stages that move vertices. A small mesh is drawn whole.
    void drawInView(const glm::mat4& model, const ViewFrustum& frustum, const glm::vec3& eye,
                    float margin);
    const TriangleRuns& getRuns() const { return runs; }

    // A coarser triangle list over the same vertices, drawn by drawInView
    // while the mesh's bounding sphere seen from the eye spans less than
    // maxAngularRadius (its radius over its distance): far away, a ring of
    // 2048 triangles covers a few pixels, and a software rasterizer shades
    // every triangle's pixel blocks. The coarsest level that applies wins.
    // A mesh drawn in runs (the terrain) keeps its full detail. Throws
    // std::invalid_argument for an index past the last vertex.
    void addDetailLevel(const std::vector<uint32_t>& indices, float maxAngularRadius);
    // Replaces the triangle list of a mesh drawn whole (not in runs, without
    // detail levels) by another over the same vertices: the bounds and the
    // extent stay those of the vertices. Throws std::invalid_argument for an
    // index past the last vertex, std::logic_error for a mesh drawn in runs
    // or with detail levels.
    void setTriangles(const std::vector<uint32_t>& indices);
    // Whether drawInView looks at the eye: to order runs or to pick a level.
    bool needsEye() const { return runs.isSplit() || !detailLevels.empty(); }
    // Index count drawn for a mesh placed by model and seen from eye.
    uint32_t detailIndexCount(const glm::mat4& model, const glm::vec3& eye) const;

    // Size of the bounding box of the positions (max minus min per axis).
    glm::vec3 getExtent() const { return extent; }
    // The sphere around that box, in the mesh's own coordinates; radius -1
    // for a mesh without positions.
    glm::vec3 getBoundsCentre() const { return boundsCentre; }
    float getBoundsRadius() const { return boundsRadius; }

    // transform := m * transform.
    void applyTransform(const glm::mat4& m) { transform = m * transform; }

    const glm::mat4& getTransform() const { return transform; }
    uint32_t getTag() const { return tag; }
    uint32_t getIndexCount() const { return indexCount; }
    const std::shared_ptr<Material>& getMaterial() const { return material; }

  private:
    struct DetailLevel {
        uint32_t firstIndex = 0;
        uint32_t indexCount = 0;
        float maxAngularRadius = 0.0f;
    };
    const DetailLevel* levelFor(const glm::mat4& model, const glm::vec3& eye) const;

    GlVertexArray vao;
    GlBuffer positionBuffer;
    GlBuffer normalBuffer;
    GlBuffer uvBuffer;
    GlBuffer indexBuffer;
    uint32_t indexCount = 0;
    uint32_t vertexCount = 0;
    // Index buffer entries in use: the full mesh, then each level's list.
    uint32_t storedIndexCount = 0;
    // Ordered by maxAngularRadius, smallest (coarsest) first.
    std::vector<DetailLevel> detailLevels;
    std::shared_ptr<Material> material;
    glm::mat4 transform;
    uint32_t tag = 0;
    glm::vec3 extent{0.0f};
    glm::vec3 boundsCentre{0.0f};
    float boundsRadius = -1.0f;
    TriangleRuns runs;
};
