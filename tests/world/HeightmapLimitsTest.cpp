#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "GreyImage.h"
#include "world/HeightmapTerrain.h"

namespace {

std::string writePgm(const std::string& name, int width, int height,
                     const std::vector<uint8_t>& samples) {
    return writeGreyImage("veltra_heightmap_limits", name, width, height, samples);
}

// Writes `bytes` as the file `name` beside the grey maps; returns its path.
std::string writeMapFile(const std::string& name, const std::string& bytes) {
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / "veltra_heightmap_limits" / name;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
}

// A file of the game's own assets, whole.
std::string readAsset(const std::string& relative) {
    std::ifstream in(VELTRA_SOURCE_DIR "/assets/" + relative, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

struct Loaded {
    MeshData mesh;
    std::string errors;
};

Loaded load(const std::string& path) {
    testing::internal::CaptureStderr();
    Loaded loaded{makeHeightmapTerrain(1000.0f, 100.0f, path), ""};
    loaded.errors = testing::internal::GetCapturedStderr();
    return loaded;
}

}  // namespace

// A valid 32000 x 32000 map (a 9 MB file) once decoded to a gigabyte and
// then ended the game with an uncaught std::bad_alloc while reserving its
// mesh. Maps above the limit are now refused with a message.
TEST(HeightmapLimits, MapWiderOrTallerThanTheLimitGivesEmptyMeshAfterItsMessage) {
    const int over = kMaxHeightmapSide + 1;
    for (const auto& [width, height] : {std::pair{over, 2}, std::pair{2, over}}) {
        const std::string path =
            writePgm("over.pgm", width, height, std::vector<uint8_t>(size_t(width) * height, 7));
        const Loaded loaded = load(path);
        EXPECT_EQ(loaded.errors, "Height map too large: " + path + " (" + std::to_string(width) +
                                     " x " + std::to_string(height) +
                                     " pixels, at most 4097 x 4097)\n");
        EXPECT_TRUE(loaded.mesh.positions.empty());
        EXPECT_TRUE(loaded.mesh.indices.empty());
    }
}

TEST(HeightmapLimits, TheSizeIsJudgedFromTheHeaderBeforeDecoding) {
    // Only the header is there: decoding would fail, the size check comes first.
    const std::string path = writePgm("claims.pgm", 32000, 32000, {1, 2, 3});
    const Loaded loaded = load(path);
    EXPECT_NE(loaded.errors.find("Height map too large: " + path + " (32000 x 32000"),
              std::string::npos)
        << loaded.errors;
}

// Found by fuzzing: stb_image filled a Huffman table from its code counts
// before checking them, and 512 codes ran past its 257 entries.
TEST(HeightmapLimits, AJpegTableWithMoreCodesThanTheFormatAllowsIsRefusedUndecoded) {
    std::string jpeg = "\xFF\xD8\xFF\xC4";
    jpeg += std::string("\x00\x13\x10", 3) + std::string(16, '\x20') + "\xFF\xD9";
    const std::string path = writeMapFile("huffman.jpg", jpeg);
    const Loaded loaded = load(path);
    EXPECT_EQ(loaded.errors,
              "Failed to load height map: " + path + " (Error: bad Huffman table)\n");
    EXPECT_TRUE(loaded.mesh.positions.empty());
}

// Found by fuzzing: stb_image never clears its tables, and a scan naming an
// AC table no segment defined decoded with garbage, indexing before its
// symbol array. A real picture with its scan pointed at table 3 is refused.
TEST(HeightmapLimits, AJpegScanNamingAnUndefinedTableIsRefusedUndecoded) {
    std::string jpeg = readAsset("textures/Nightsky/px.jpg");
    const std::size_t scan = jpeg.find("\xFF\xDA");
    ASSERT_NE(scan, std::string::npos);
    jpeg[scan + 6] = '\x03';  // first component: DC table 0, AC table 3
    const std::string path = writeMapFile("undefined.jpg", jpeg);
    const Loaded loaded = load(path);
    EXPECT_EQ(loaded.errors, "Failed to load height map: " + path +
                                 " (Error: JPEG scan uses a table the file does not define)\n");
    EXPECT_TRUE(loaded.mesh.positions.empty());
}

// Found by fuzzing: stb_image sized its buffer for the compressed picture
// by the length a chunk claimed, 2 GiB from a file of a hundred bytes.
TEST(HeightmapLimits, APngChunkLongerThanTheFileIsRefusedBeforeDecoding) {
    const std::vector<uint8_t> bytes = {
        0x89, 'P',  'N',  'G',  0x0D, 0x0A, 0x1A, 0x0A,                               // signature
        0,    0,    0,    13,   'I',  'H',  'D',  'R',  0,    0,   0, 4, 0, 0, 0, 4,  // 4 x 4
        8,    0,    0,    0,    0,    0,    0,    0,    0,            // grey, check sum
        0x7F, 0xFF, 0xFF, 0xF0, 'I',  'D',  'A',  'T',  0x78, 0x9C};  // 2 GiB claimed
    const std::string png(bytes.begin(), bytes.end());
    const std::string path = writeMapFile("chunk.png", png);
    const Loaded loaded = load(path);
    EXPECT_EQ(loaded.errors, "Failed to load height map: " + path +
                                 " (Error: PNG chunk runs past the end of the file)\n");
}

// Found by fuzzing: stb_image copies an empty data chunk from the buffer it
// has not made yet, a null pointer. A chunk of no bytes is allowed, and the
// map reads as it does without it.
TEST(HeightmapLimits, AnEmptyPngDataChunkIsReadAsNothing) {
    const std::string icon = "icons/hicolor/48x48/apps/veltra.png";
    std::string png = readAsset(icon);
    const std::size_t data = png.find("IDAT");
    ASSERT_NE(data, std::string::npos);
    png.insert(data - 4,
               std::string("\0\0\0\0IDAT\x35\xAF\x06\x1E", 12));  // length, type, check sum
    const std::string path = writeMapFile("empty-chunk.png", png);

    const Loaded plain = load(VELTRA_SOURCE_DIR "/assets/" + icon);
    const Loaded withEmptyChunk = load(path);
    EXPECT_EQ(withEmptyChunk.errors, "");
    ASSERT_EQ(plain.mesh.positions.size(), 48u * 48u);
    EXPECT_EQ(withEmptyChunk.mesh.positions, plain.mesh.positions);
}

// Found by fuzzing: stb_image read a grey-map header's numbers into an int
// digit by digit, and a tenth digit overflowed it.
TEST(HeightmapLimits, AGreyMapHeaderNumberTooLargeForTheDecoderIsRefused) {
    const std::string path = writePgm("digits.pgm", 2, 2, {1, 2, 3, 4});
    std::ofstream(path, std::ios::binary) << "P5\n# a comment\n3333333330 2\n255\n";
    const Loaded loaded = load(path);
    EXPECT_EQ(loaded.errors, "Failed to load height map: " + path +
                                 " (Error: PNM header number too large or 16-bit samples)\n");
}

// Found by fuzzing: stb_image converted a 16-bit colour map to one channel
// as if its samples were 8-bit, and read past the buffer it had made.
TEST(HeightmapLimits, ASixteenBitColourMapIsRefused) {
    const std::string path = writePgm("wide.ppm", 2, 2, {});
    std::ofstream(path, std::ios::binary) << "P6\n2 2\n65535\n" << std::string(24, '\x7F');
    const Loaded loaded = load(path);
    EXPECT_EQ(loaded.errors, "Failed to load height map: " + path +
                                 " (Error: PNM header number too large or 16-bit samples)\n");
}

// Found by fuzzing: a grey-map header whose size is no number decoded to
// a picture of no pixels, which the library reported as a success.
TEST(HeightmapLimits, APictureOfNoPixelsIsRefused) {
    const std::string path = writeMapFile("empty.pgm", "P5G\x80\xFF");
    const Loaded loaded = load(path);
    EXPECT_EQ(loaded.errors, "Failed to load height map: " + path + " (Error: empty picture)\n");
}

TEST(HeightmapLimits, MapAtTheLimitIsBuilt) {
    const std::vector<uint8_t> samples(size_t(kMaxHeightmapSide) * 2, 255);
    const MeshData mesh = buildHeightmapMesh(samples.data(), kMaxHeightmapSide, 2, 10.0f, 1.0f);
    EXPECT_EQ(mesh.positions.size(), size_t(kMaxHeightmapSide) * 2);
    EXPECT_EQ(mesh.indices.size(), size_t(kMaxHeightmapSide - 1) * 6);
    const std::vector<uint8_t> wider(size_t(kMaxHeightmapSide + 1) * 2, 255);
    EXPECT_TRUE(
        buildHeightmapMesh(wider.data(), kMaxHeightmapSide + 1, 2, 10.0f, 1.0f).positions.empty());
}
