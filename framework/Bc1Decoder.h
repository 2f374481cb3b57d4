#pragma once

#include <cstdint>
#include <vector>

struct DDSImage;

// The texels of a BC1 (DXT1) image as 8-bit RGBA, rows in the file's order,
// decoded the way S3TC hardware and Mesa decode them: the two end colours
// widened from 5:6:5 bits, the two between them at thirds (or, where the
// first end is not the greater, the half-way colour and transparent black).
// A software rasterizer samples these texels without decoding a block per
// read, and a browser without S3TC can upload them. Empty for another format
// or for data shorter than the image's blocks.
std::vector<uint8_t> decodeBc1(const DDSImage& image);
