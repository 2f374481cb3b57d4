#pragma once

#include <cstddef>

#include <glm/glm.hpp>

#include "render/MeshData.h"

// Removes the triangles of `surface` (the water) that lie, over the whole of
// their extent, more than `clearance` below `land` (the hills). From any eye
// above the land they are behind it, yet a software rasterizer shades every
// one of their pixels before the land covers them. The two matrices place
// each mesh in the world; `surfaceRise` is how far a surface vertex may move
// up when drawn (the height of the waves). The land must be a height field
// whose triangles tile the rectangle its vertices span, as a height map's
// do. Vertices are kept, so the surface's bounds and collision box stay as
// they were. Returns the number of triangles removed.
std::size_t dropTrianglesUnderLand(MeshData& surface, const glm::mat4& surfaceToWorld,
                                   float surfaceRise, const MeshData& land,
                                   const glm::mat4& landToWorld, float clearance);
