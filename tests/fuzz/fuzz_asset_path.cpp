// The asset search on arbitrary names, climbing from build/bin of a small
// private tree. It must end (found, not found or the fatal "ambiguous"
// ending) and anything it returns must be a file that exists. Absolute names
// are kept inside the private tree.

#include <cstdint>
#include <filesystem>
#include <string>

#include "FuzzSupport.h"
#include "framework/AssetPath.h"

namespace {

std::filesystem::path treeRoot;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz_support::silenceConsole();
    treeRoot = fuzz_support::makeTree();
    setAssetSearchStartDirectory(treeRoot / "build" / "bin");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string name(reinterpret_cast<const char*>(data), size);
    if (!name.empty() && (name.front() == '/' || name.front() == '\\')) {
        name = treeRoot.string() + name;
    }
    try {
        const std::string found = resolveAssetPath(name);
        if (!found.empty() && !fileExists(found)) {
            __builtin_trap();
        }
    } catch (const FatalEnding&) {
        // Found at more than one level: the game ends here, as it should.
    }
    return 0;
}
