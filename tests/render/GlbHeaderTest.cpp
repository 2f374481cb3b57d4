#include <gtest/gtest.h>

#include <iostream>
#include <memory>

#include "RenderTestFiles.h"
#include "render/GlbHeader.h"
#include "render/ModelLoader.h"

using namespace render_test;

namespace {

// A glTF binary container: file header, then a JSON chunk of the given
// stated length holding `jsonBytes` real bytes.
std::vector<uint8_t> glbWithJsonChunk(uint32_t statedLength, size_t jsonBytes) {
    std::vector<uint8_t> bytes(20 + jsonBytes, ' ');
    bytes[0] = 'g';
    bytes[1] = 'l';
    bytes[2] = 'T';
    bytes[3] = 'F';
    putU32(bytes, 4, 2);
    putU32(bytes, 8, static_cast<uint32_t>(bytes.size()));
    putU32(bytes, 12, statedLength);
    bytes[16] = 'J';
    bytes[17] = 'S';
    bytes[18] = 'O';
    bytes[19] = 'N';
    return bytes;
}

std::string problemOf(const std::vector<uint8_t>& bytes) {
    const size_t head = std::min(bytes.size(), kGlbHeadSize);
    return glbHeaderProblem(std::span<const uint8_t>(bytes.data(), head), bytes.size());
}

}  // namespace

TEST(GlbHeader, OtherFilesAndShortFilesAreLeftToTheImporter) {
    EXPECT_EQ(problemOf({}), "");
    EXPECT_EQ(problemOf({'g', 'l', 'T', 'F', 2, 0, 0, 0}), "");
    std::vector<uint8_t> png(64, 0);
    png[0] = 0x89;
    png[1] = 'P';
    EXPECT_EQ(problemOf(png), "");
}

TEST(GlbHeader, AChunkThatFitsPassesUpToTheLastByte) {
    EXPECT_EQ(problemOf(glbWithJsonChunk(40, 40)), "");
    EXPECT_EQ(problemOf(glbWithJsonChunk(0, 0)), "");
    EXPECT_EQ(problemOf(glbWithJsonChunk(40, 100)), "");
}

TEST(GlbHeader, AChunkPastTheEndIsRefusedWithItsSizes) {
    EXPECT_EQ(problemOf(glbWithJsonChunk(41, 40)),
              "glTF binary chunk of 41 bytes runs past the end of the 60-byte file");
    // The largest length must not wrap around when the header is added.
    EXPECT_NE(problemOf(glbWithJsonChunk(0xFFFFFFFFu, 40)), "");
    EXPECT_NE(problemOf(glbWithJsonChunk(0xFFFFFFECu, 40)), "");
}

TEST(GlbHeader, FilesOnDiskAreMeasuredWhole) {
    ScratchDir dir("glb-header");
    EXPECT_EQ(glbFileProblem(dir.write("fits.glb", glbWithJsonChunk(100, 100))), "");
    EXPECT_NE(glbFileProblem(dir.write("cut.glb", glbWithJsonChunk(100, 99))), "");
    EXPECT_EQ(glbFileProblem(dir.file("absent.glb")), "");
    EXPECT_EQ(glbFileProblem(dir.root().string()), "");
}

// Found by fuzzing: given a ".glb" that was not one, the importer guessed
// a format from the bytes, and one of its text readers read past its buffer.
TEST(GlbHeader, AFileNamedGlbThatIsNotOneIsRefusedBeforeTheImporterGuesses) {
    ScratchDir dir("glb-header");
    const std::string words = "geometry node {";
    const std::vector<uint8_t> text(words.begin(), words.end());
    EXPECT_EQ(glbFileProblem(dir.write("odd.glb", text)), "not a glTF binary file");
    EXPECT_EQ(glbFileProblem(dir.write("ODD.GLB", text)), "not a glTF binary file");
    EXPECT_EQ(glbFileProblem(dir.write("empty.glb", {})), "not a glTF binary file");
    EXPECT_EQ(glbFileProblem(dir.write("odd.obj", text)), "") << "other formats go to the importer";
}

// A JSON chunk stating 4 GiB once had the importer allocate and clear all of
// it before failing; now the file is refused at once, with the usual line.
TEST(GlbHeader, ModelLoadingRefusesAHugeChunkWithoutReadingIt) {
    ScratchDir dir("glb-header");
    const std::string path = dir.write("huge.glb", glbWithJsonChunk(0xFFFFFFF0u, 64));
    CapturedStream err(std::cerr);
    const auto meshes = loadModel(path, nullptr, 1);
    EXPECT_TRUE(meshes.empty());
    EXPECT_EQ(err.text(),
              "Assimp error: glTF binary chunk of 4294967280 bytes runs past the end of the "
              "84-byte file\n");
}
