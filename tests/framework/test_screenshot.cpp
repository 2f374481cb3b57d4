#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TempTree.h"
#include "framework/Screenshot.h"
#include "support/GlTestContext.h"

namespace {

using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStdout;

std::string readFile(const std::filesystem::path& path) {
    std::ifstream stream(path);
    std::stringstream text;
    text << stream.rdbuf();
    return text.str();
}

TEST(PpmTextTest, RedAndWhitePixel) {
    const std::vector<uint8_t> pixels = {255, 0, 0, 255, 255, 255};
    EXPECT_EQ(formatPpm(pixels, 2, 1), "P3\n2 1\n255\n255   0   0 255 255 255 \n");
}

TEST(PpmTextTest, RowsAreWrittenTopFirst) {
    // OpenGL hands the bottom row first.
    const std::vector<uint8_t> pixels = {1, 2, 3, 40, 50, 60};
    EXPECT_EQ(formatPpm(pixels, 1, 2), "P3\n1 2\n255\n 40  50  60 \n  1   2   3 \n");
}

TEST(PpmTextTest, BlockSmallerThanClaimedGivesNothing) {
    const std::vector<uint8_t> pixels(5, 0);
    EXPECT_EQ(formatPpm(pixels, 2, 1), "");
    EXPECT_EQ(formatPpm(pixels, -1, 1), "");
}

TEST(ScreenshotTest, OddWidthReadsWholeRows) {
    REQUIRE_GL_CONTEXT();
    TempTree tree;
    // 3 pixels of 3 bytes: 9 bytes per row, not a multiple of 4.
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);

    const std::string name = (tree / "odd").string();
    ASSERT_TRUE(saveScreenshot(name, 3, 3));
    const std::string row = "  0 255   0   0 255   0   0 255   0 \n";
    EXPECT_EQ(readFile(name + ".ppm"), "P3\n3 3\n255\n" + row + row + row);
}

TEST(ScreenshotTest, FullFrameHasHeaderAndEveryRow) {
    REQUIRE_GL_CONTEXT();
    TempTree tree;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glClearColor(0.2f, 0.2f, 0.2f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);

    const std::string name = (tree / "frame").string();
    ASSERT_TRUE(saveScreenshot(name, 1080, 720));
    std::ifstream stream(name + ".ppm");
    std::string line;
    std::getline(stream, line);
    EXPECT_EQ(line, "P3");
    std::getline(stream, line);
    EXPECT_EQ(line, "1080 720");
    std::getline(stream, line);
    EXPECT_EQ(line, "255");
    int rows = 0;
    while (std::getline(stream, line)) {
        ++rows;
        ASSERT_EQ(line.size(), 1080u * 12u) << "row " << rows;
    }
    EXPECT_EQ(rows, 720);
}

TEST(ScreenshotTest, UncreatableFileIsReported) {
    REQUIRE_GL_CONTEXT();
    TempTree tree;
    const std::string name = (tree / "missing-folder/shot").string();
    CaptureStdout();
    EXPECT_FALSE(saveScreenshot(name, 4, 4));
    EXPECT_EQ(GetCapturedStdout(), "Unable to create screenshot file '" + name + ".ppm'.\n");
}

}  // namespace
