#pragma once

#include <cstdint>
#include <string>

#include "render/MeshData.h"

// The largest height map side taken: 4097 samples give a grid of 4096 cells
// and a mesh of some 17 million vertices. A larger map is a broken file.
inline constexpr int kMaxHeightmapSide = 4097;

// Builds the terrain's triangle mesh from a grey-scale height map: a grid of
// width x height vertices spanning -size/2..size/2 in x and z, with y from 0
// (black) to heightScale (white), and smoothed vertex normals. A map that
// cannot be loaded, is narrower or shorter than 2 pixels, or has a side above
// kMaxHeightmapSide gives an empty mesh after its message on standard error.
MeshData makeHeightmapTerrain(float size, float heightScale, const std::string& path);

// The mesh maths on 8-bit samples already in memory (row-major, row 0 first);
// samples must hold width * height values. Prints nothing; empty outside
// 2..kMaxHeightmapSide a side.
MeshData buildHeightmapMesh(const uint8_t* samples, int width, int height, float size,
                            float heightScale);
