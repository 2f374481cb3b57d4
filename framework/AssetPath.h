#pragma once

#include <filesystem>
#include <string>

// Finds a file named by a relative path such as "assets/shaders/texture.vert"
// by climbing from the executable's directory up to the first directory that
// holds a CMakeLists.txt (the source-tree root) or to the file-system root.
// Returns the one full path, or "" when the file is nowhere on the way. A file
// found at several levels is fatal: the candidates are listed and the program
// ends through waitForKeyAndExit. An absolute name is checked once as it is.
std::string resolveAssetPath(const std::string& relativePath);

// True when the path names a file that can be opened for reading; a directory
// counts as absent.
bool fileExists(const std::string& path);

// Test seam: search from this directory instead of the executable's. An empty
// path restores the executable's directory.
void setAssetSearchStartDirectory(const std::filesystem::path& directory);
