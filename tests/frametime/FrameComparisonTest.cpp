#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "FrameComparison.h"
#include "support/PortableTest.h"

namespace {

// A 4 by 2 picture of distinct values, RGB.
std::vector<uint8_t> picture() {
    std::vector<uint8_t> values(4 * 2 * 3);
    for (size_t i = 0; i < values.size(); ++i) {
        values[i] = static_cast<uint8_t>(10 + 7 * i);
    }
    return values;
}

class FramePicturesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        directory = std::filesystem::temp_directory_path() /
                    ("veltra_frames_" + std::to_string(portable_test::processId()) + "_" +
                     ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(directory);
    }
    void TearDown() override { std::filesystem::remove_all(directory); }

    void saveFrames(int count) {
        FramePictures saving(FramePictures::Mode::Save, directory, 4, 2);
        ASSERT_TRUE(saving.ready());
        for (int frame = 0; frame < count; ++frame) {
            saving.takePixels(frame, picture());
        }
        EXPECT_EQ(saving.getFramesSaved(), count);
    }

    std::filesystem::path directory;
};

}  // namespace

TEST(ComparePictures, EqualPicturesDifferNowhere) {
    const PictureDifference difference = comparePictures(picture(), picture());
    EXPECT_EQ(difference.largest, 0);
    EXPECT_EQ(difference.meanSquared, 0.0);
    EXPECT_EQ(difference.changedPixels, 0);
    EXPECT_EQ(difference.beyondRounding, 0);
    EXPECT_TRUE(std::isinf(peakSignalToNoise(difference.meanSquared)));
}

TEST(ComparePictures, CountsPixelsNotValuesAndSeparatesRounding) {
    std::vector<uint8_t> after = picture();
    after[0] += 1;  // pixel 0: off by one, rounding
    after[4] += 5;  // pixel 1: two values off, one pixel
    after[5] -= 2;
    after[23] -= 3;  // the last pixel's blue
    const PictureDifference difference = comparePictures(picture(), after);
    EXPECT_EQ(difference.largest, 5);
    EXPECT_EQ(difference.changedPixels, 3);
    EXPECT_EQ(difference.beyondRounding, 2);
    EXPECT_DOUBLE_EQ(difference.meanSquared, (1.0 + 25.0 + 4.0 + 9.0) / 24.0);
    EXPECT_NEAR(peakSignalToNoise(difference.meanSquared),
                10.0 * std::log10(255.0 * 255.0 * 24.0 / 39.0), 1e-9);
}

TEST(ComparePictures, DifferenceIsTheSameBothWays) {
    std::vector<uint8_t> dark(12, 0);
    std::vector<uint8_t> bright(12, 255);
    EXPECT_EQ(comparePictures(dark, bright).largest, 255);
    EXPECT_EQ(comparePictures(bright, dark).largest, 255);
    EXPECT_NEAR(peakSignalToNoise(comparePictures(dark, bright).meanSquared), 0.0, 1e-12);
}

TEST_F(FramePicturesTest, UnchangedFlightReportsNoDifference) {
    saveFrames(3);
    FramePictures comparing(FramePictures::Mode::Compare, directory, 4, 2);
    ASSERT_TRUE(comparing.ready());
    for (int frame = 0; frame < 3; ++frame) {
        comparing.takePixels(frame, picture());
    }
    const ComparisonSummary& summary = comparing.getSummary();
    EXPECT_EQ(summary.framesCompared, 3);
    EXPECT_EQ(summary.framesChanged, 0);
    EXPECT_EQ(summary.framesMissing, 0);
    EXPECT_TRUE(std::isinf(summary.worstPsnr));
    EXPECT_EQ(summary.largestDifference, 0);
}

TEST_F(FramePicturesTest, NamesTheFramesThatMovedMost) {
    saveFrames(4);
    FramePictures comparing(FramePictures::Mode::Compare, directory, 4, 2);
    std::vector<uint8_t> slightly = picture();
    slightly[3] += 1;
    std::vector<uint8_t> wide = picture();  // small everywhere: the worst PSNR
    for (uint8_t& value : wide) {
        value += 10;
    }
    std::vector<uint8_t> spot = picture();  // one large spot: the largest difference
    spot[7] += 30;
    comparing.takePixels(0, picture());
    comparing.takePixels(1, slightly);
    comparing.takePixels(2, wide);
    comparing.takePixels(3, spot);
    const ComparisonSummary& summary = comparing.getSummary();
    EXPECT_EQ(summary.framesCompared, 4);
    EXPECT_EQ(summary.framesChanged, 3);
    EXPECT_EQ(summary.framesBeyondRounding, 2);
    EXPECT_EQ(summary.worstPsnrFrame, 2);
    EXPECT_NEAR(summary.worstPsnr, peakSignalToNoise(100.0), 1e-9);
    EXPECT_EQ(summary.largestDifference, 30);
    EXPECT_EQ(summary.largestDifferenceFrame, 3);
    EXPECT_EQ(summary.mostBeyondRounding, 8);
}

TEST_F(FramePicturesTest, FramesSavedAtAnotherSizeOrNotAtAllAreMissing) {
    saveFrames(2);
    // Frame 1 cut short, as by a run stopped while writing it.
    std::filesystem::resize_file(directory / "frame_0001.rgb", 10);
    FramePictures comparing(FramePictures::Mode::Compare, directory, 4, 2);
    comparing.takePixels(0, picture());
    comparing.takePixels(1, picture());
    comparing.takePixels(2, picture());  // never saved
    EXPECT_EQ(comparing.getSummary().framesCompared, 1);
    EXPECT_EQ(comparing.getSummary().framesMissing, 2);

    // The same set read at another size: nothing fits.
    FramePictures larger(FramePictures::Mode::Compare, directory, 8, 2);
    std::vector<uint8_t> wider(8 * 2 * 3, 0);
    larger.takePixels(0, wider);
    EXPECT_EQ(larger.getSummary().framesCompared, 0);
    EXPECT_EQ(larger.getSummary().framesMissing, 1);
}

TEST_F(FramePicturesTest, ComparingWithAFolderThatIsNotThereIsRefused) {
    FramePictures comparing(FramePictures::Mode::Compare, directory / "never_saved", 4, 2);
    EXPECT_FALSE(comparing.ready());
    comparing.takePixels(0, picture());
    EXPECT_EQ(comparing.getSummary().framesCompared, 0);
}
