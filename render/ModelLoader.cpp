#include "render/ModelLoader.h"

#include <iostream>
#include <string>

#include "render/Geometry.h"
#include "render/ModelImport.h"

std::vector<std::shared_ptr<Geometry>> loadModel(const std::string& path,
                                                 std::shared_ptr<Material> material, uint32_t tag) {
    std::vector<std::shared_ptr<Geometry>> geometries;
    const std::optional<std::vector<MeshData>> meshes = importModelMeshes(path);
    if (!meshes) {
        return geometries;
    }
    geometries.reserve(meshes->size());
    for (const MeshData& mesh : *meshes) {
        geometries.push_back(std::make_shared<Geometry>(glm::mat4(1.0f), mesh, material, tag));
    }
    std::cout << "Loaded model: " << path << " with " << meshes->size() << " mesh(es)."
              << std::endl;
    return geometries;
}
