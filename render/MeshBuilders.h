#pragma once

#include <cstdint>

#include "render/MeshData.h"

struct aiMesh;

// Procedural meshes in the shared vertex layout. Arguments outside a
// builder's range throw std::invalid_argument rather than dividing by zero.

// An n by n vertex grid in the XZ plane, centred at the origin, normals up,
// texture coordinates 0 to 1 across. n must be at least 2.
MeshData makeGrid(float size, uint32_t resolution);

// A torus around the X axis: major radius size/2, tube radius a fifth of that;
// 65 rings of 17 vertices, the seams duplicated for their texture coordinates.
MeshData makeTorus(float size);

// A UV sphere with its top pole at +Y; stacks and slices at least 1.
MeshData makeSphere(uint32_t stacks, uint32_t slices, float radius);

// One imported mesh (already triangulated): positions, normals when present,
// the first texture-coordinate channel or (0, 0), and its triangles.
MeshData meshFromImport(const aiMesh& mesh);
