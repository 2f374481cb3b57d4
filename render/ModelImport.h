#pragma once

#include <optional>
#include <string>
#include <vector>

#include "render/MeshData.h"

// A model file's import without OpenGL: the glTF binary header checked,
// then every mesh Assimp finds, triangulated with smooth normals, as
// MeshData. A file that cannot be imported prints "Assimp error: " and the
// reason on standard error and gives nullopt.
std::optional<std::vector<MeshData>> importModelMeshes(const std::string& path);
