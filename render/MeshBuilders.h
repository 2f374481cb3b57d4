#pragma once

#include <cstdint>
#include <vector>

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

// The torus's triangles over makeTorus's own vertices, taking every step-th
// ring and tube side: a coarser outline of the same ring for when it is seen
// small. Step 1 gives makeTorus's indices; the step must divide 16.
std::vector<uint32_t> makeTorusIndices(uint32_t step);

// A UV sphere with its top pole at +Y; stacks and slices at least 1.
MeshData makeSphere(uint32_t stacks, uint32_t slices, float radius);

// The same for makeSphere's vertices: every step-th stack and slice. The
// step must divide both stacks and slices.
std::vector<uint32_t> makeSphereIndices(uint32_t stacks, uint32_t slices, uint32_t step);

// One imported mesh (already triangulated): positions, normals when present,
// the first texture-coordinate channel or (0, 0), and its triangles.
MeshData meshFromImport(const aiMesh& mesh);
