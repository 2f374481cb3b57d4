#include "render/ModelLoader.h"

#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <assimp/Importer.hpp>
#include <iostream>
#include <string>

#include "render/Geometry.h"
#include "render/GlbHeader.h"
#include "render/MeshBuilders.h"

namespace {

// Triangles with smooth normals and v running downwards, as OpenGL samples.
// Tangents are computed by the importer but not kept.
constexpr unsigned kImportFlags = aiProcess_CalcTangentSpace | aiProcess_Triangulate |
                                  aiProcess_GenSmoothNormals | aiProcess_FlipUVs;
static_assert(kImportFlags == 0x800049);

}  // namespace

std::vector<std::shared_ptr<Geometry>> loadModel(const std::string& path,
                                                 std::shared_ptr<Material> material, uint32_t tag) {
    std::vector<std::shared_ptr<Geometry>> geometries;
    if (const std::string problem = glbFileProblem(path); !problem.empty()) {
        std::cerr << "Assimp error: " << problem << std::endl;
        return geometries;
    }
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(path, kImportFlags);
    if (scene == nullptr || (scene->mFlags & AI_SCENE_FLAGS_INCOMPLETE) != 0 ||
        scene->mRootNode == nullptr) {
        // The importer flags a file without meshes as incomplete and says
        // nothing; the line still names the reason.
        std::string reason = importer.GetErrorString();
        if (reason.empty()) {
            reason = scene == nullptr ? "import failed" : "incomplete scene (no meshes?)";
        }
        std::cerr << "Assimp error: " << reason << std::endl;
        return geometries;
    }

    geometries.reserve(scene->mNumMeshes);
    for (unsigned i = 0; i < scene->mNumMeshes; ++i) {
        const MeshData mesh = meshFromImport(*scene->mMeshes[i]);
        geometries.push_back(std::make_shared<Geometry>(glm::mat4(1.0f), mesh, material, tag));
    }
    std::cout << "Loaded model: " << path << " with " << scene->mNumMeshes << " mesh(es)."
              << std::endl;
    return geometries;
}
