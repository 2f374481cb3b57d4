#pragma once

#include <cstdint>
#include <span>
#include <string>

// The first chunk of a glTF binary file is read whole into memory by the
// importer, sized by the length its header states. A length past the end of
// the file would have the importer allocate and zero up to 4 GiB before it
// finds out, so such a file is refused first.

// Bytes to read from the start of a file for glbHeaderProblem.
inline constexpr size_t kGlbHeadSize = 20;

// Given the first bytes of a file (up to kGlbHeadSize) and its full size:
// an empty string when the file is not a glTF binary container or when its
// chunk lengths fit inside the file, otherwise the reason it is refused.
std::string glbHeaderProblem(std::span<const uint8_t> head, uint64_t fileSize);

// The same for a file on disk; a file that cannot be read is left for the
// importer to report. A file named ".glb" that does not start as one is
// refused too: the importer would otherwise guess a format from its bytes,
// and some of its other readers run past their buffers on garbage.
std::string glbFileProblem(const std::string& path);
