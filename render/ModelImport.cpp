#include "render/ModelImport.h"

#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <assimp/Importer.hpp>
#include <iostream>

#include "render/GlbHeader.h"
#include "render/MeshBuilders.h"

namespace {

// Triangles with smooth normals and v running downwards, as OpenGL samples.
// Tangents are computed by the importer but not kept.
constexpr unsigned kImportFlags = aiProcess_CalcTangentSpace | aiProcess_Triangulate |
                                  aiProcess_GenSmoothNormals | aiProcess_FlipUVs;
static_assert(kImportFlags == 0x800049);

}  // namespace

std::optional<std::vector<MeshData>> importModelMeshes(const std::string& path) {
    if (const std::string problem = glbFileProblem(path); !problem.empty()) {
        std::cerr << "Assimp error: " << problem << std::endl;
        return std::nullopt;
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
        return std::nullopt;
    }
    std::vector<MeshData> meshes;
    meshes.reserve(scene->mNumMeshes);
    for (unsigned i = 0; i < scene->mNumMeshes; ++i) {
        meshes.push_back(meshFromImport(*scene->mMeshes[i]));
    }
    return meshes;
}
