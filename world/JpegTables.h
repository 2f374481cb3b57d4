#pragma once

#include <vector>

// Whether every scan of a JPEG file decodes with tables the file defined
// before it. stb_image (as Debian ships it) keeps its Huffman and
// quantisation tables in memory it never clears, so a scan that names a
// table no segment defined decodes with garbage and indexes past its
// arrays. The markers are followed as that library follows them; a file it
// would stop reading earlier, or one it does not take for a JPEG, passes.
bool jpegScansUseDefinedTables(const std::vector<unsigned char>& bytes);
