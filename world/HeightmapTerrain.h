#pragma once

#include <cstdint>
#include <string>

#include "render/MeshData.h"

// Builds the terrain's triangle mesh from a grey-scale height map: a grid of
// width x height vertices spanning -size/2..size/2 in x and z, with y from 0
// (black) to heightScale (white), and smoothed vertex normals. A map that
// cannot be loaded, or is narrower or shorter than 2 pixels, gives an empty
// mesh after its message on standard error.
MeshData makeHeightmapTerrain(float size, float heightScale, const std::string& path);

// The mesh maths on 8-bit samples already in memory (row-major, row 0 first);
// samples must hold width * height values. Prints nothing.
MeshData buildHeightmapMesh(const uint8_t* samples, int width, int height, float size,
                            float heightScale);
