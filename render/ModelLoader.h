#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class Geometry;
class Material;

// Imports every mesh of a model file (glTF binary in the game) as one
// Geometry sharing the given material and tag, each with an identity
// transform. The path is used as given, relative to the working directory.
// A file that cannot be imported prints "Assimp error: " and the importer's
// message on standard error and gives an empty list.
std::vector<std::shared_ptr<Geometry>> loadModel(const std::string& path,
                                                 std::shared_ptr<Material> material, uint32_t tag);
