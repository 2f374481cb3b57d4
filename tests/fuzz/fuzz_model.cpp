// glTF binary files through the game's model import (header check, then
// Assimp's glTF 2 importer, then the conversion to the game's meshes): any
// bytes. An imported mesh is whole: every index names a vertex.

#include <cstdint>

#include "FuzzFile.h"
#include "FuzzSupport.h"
#include "render/ModelImport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool quiet = (fuzz_support::silenceConsole(), true);
    (void)quiet;
    const std::string& path = fuzz_support::writeInputFile(data, size, ".glb");
    const auto meshes = importModelMeshes(path);
    if (!meshes) {
        return 0;
    }
    for (const MeshData& mesh : *meshes) {
        for (uint32_t index : mesh.indices) {
            if (index >= mesh.positions.size()) {
                __builtin_trap();
            }
        }
    }
    return 0;
}
