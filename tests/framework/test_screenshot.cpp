#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TempTree.h"
#include "framework/Platform.h"
#include "framework/Screenshot.h"
#include "support/GlTestContext.h"
#include "world/ImageFile.h"

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

    // An earlier, longer frame of the same name is replaced whole.
    const std::string name = (tree / "odd").string();
    std::ofstream(name + ".ppm") << "P3\n9 9\n255\n" << std::string(4000, '7');
    ASSERT_TRUE(saveScreenshot(name, 3, 3));
    const std::string row = "  0 255   0   0 255   0   0 255   0 \n";
    EXPECT_EQ(readFile(name + ".ppm"), "P3\n3 3\n255\n" + row + row + row);
    EXPECT_FALSE(std::filesystem::exists(name + ".ppm.partial"));
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

TEST(ScreenshotNameTest, TimeStampedAndNumberedWithinOneSecond) {
    std::tm time{};
    time.tm_year = 2026 - 1900;
    time.tm_mon = 11;
    time.tm_mday = 9;
    time.tm_hour = 8;
    time.tm_min = 3;
    time.tm_sec = 6;
    EXPECT_EQ(screenshotFileName(time, 1), "veltra-2026-12-09_08-03-06.png");
    EXPECT_EQ(screenshotFileName(time, 2), "veltra-2026-12-09_08-03-06-2.png");
    EXPECT_EQ(screenshotFileName(time, 13), "veltra-2026-12-09_08-03-06-13.png");
}

// Top half red, bottom half blue, in the default framebuffer.
void drawRedOverBlue(int width, int height) {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, width, height / 2);
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glScissor(0, height / 2, width, height - height / 2);
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
}

TEST(PngScreenshotTest, EachPressKeepsItsOwnUprightPictureOfTheSizeAsked) {
    REQUIRE_GL_CONTEXT();
    TempTree tree;
    drawRedOverBlue(7, 6);
    CaptureStdout();
    const std::filesystem::path first = savePngScreenshot(tree.path(), 7, 6);
    const std::filesystem::path second = savePngScreenshot(tree.path(), 7, 6);
    const std::string out = GetCapturedStdout();
    ASSERT_FALSE(first.empty()) << out;
    ASSERT_FALSE(second.empty()) << out;
    EXPECT_NE(first, second);
    EXPECT_EQ(out, "Saved screenshot '" + first.string() + "'.\nSaved screenshot '" +
                       second.string() + "'.\n");
    EXPECT_EQ(first.parent_path(), tree.path());
    EXPECT_EQ(first.extension(), ".png");
    // Only the pictures: nothing half-written is left beside them.
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(tree.path())) {
        ++files;
    }
    EXPECT_EQ(files, 2);

    const DecodedImage picture = decodeImageFile(second.string(), 3, false, 64);
    const unsigned char* pixels = picture.pixels.get();
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(picture.width, 7);
    EXPECT_EQ(picture.height, 6);
    // The file's first row is the top of the screen: red.
    EXPECT_EQ(pixels[0], 255);
    EXPECT_EQ(pixels[2], 0);
    const size_t lastRow = static_cast<size_t>(5 * 7 * 3);
    EXPECT_EQ(pixels[lastRow], 0);
    EXPECT_EQ(pixels[lastRow + 2], 255);
}

TEST(PngScreenshotTest, ANameThatIsTakenIsNeverReplaced) {
    REQUIRE_GL_CONTEXT();
    TempTree tree;
    // Every name of this second and the next two taken many times over.
    const std::time_t now = std::time(nullptr);
    std::vector<std::filesystem::path> taken;
    for (std::time_t second = now; second < now + 3; ++second) {
        const std::tm local = platform::localTime(second);
        for (int attempt = 1; attempt <= 150; ++attempt) {
            taken.push_back(tree.path() / screenshotFileName(local, attempt));
            std::ofstream(taken.back()) << "keep";
        }
    }
    drawRedOverBlue(4, 4);
    CaptureStdout();
    const std::filesystem::path saved = savePngScreenshot(tree.path(), 4, 4);
    const std::string out = GetCapturedStdout();
    ASSERT_FALSE(saved.empty()) << out;
    for (const std::filesystem::path& path : taken) {
        ASSERT_EQ(readFile(path), "keep") << path;
    }
    EXPECT_GT(std::filesystem::file_size(saved), 4u);
}

TEST(PngScreenshotTest, AnEmptySizeOrAMissingFolderIsReported) {
    REQUIRE_GL_CONTEXT();
    TempTree tree;
    const std::filesystem::path missing = tree.path() / "missing-folder";
    CaptureStdout();
    EXPECT_TRUE(savePngScreenshot(tree.path(), 0, 720).empty());
    EXPECT_TRUE(savePngScreenshot(missing, 4, 4).empty());
    const std::string out = GetCapturedStdout();
    EXPECT_EQ(out.substr(0, out.find('\n') + 1),
              "Unable to save screenshot: the size 0 by 720 is empty.\n");
    EXPECT_NE(out.find("Unable to create screenshot file '" + (missing / "veltra-").string()),
              std::string::npos)
        << out;
    EXPECT_FALSE(std::filesystem::exists(missing));
}

}  // namespace
