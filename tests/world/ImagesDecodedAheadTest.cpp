// Pictures decoded while the window is made: a caller gets what its own
// decodeImageFile call would give, decoded ahead only where the request
// and the result fit it.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "GreyImage.h"
#include "world/ImagesDecodedAhead.h"

namespace {

std::vector<uint8_t> ramp(int width, int height) {
    std::vector<uint8_t> samples(static_cast<size_t>(width * height));
    for (size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<uint8_t>(i * 7);
    }
    return samples;
}

bool samePicture(const DecodedImage& a, const DecodedImage& b, int channels) {
    return a.pixels && b.pixels && a.width == b.width && a.height == b.height &&
           std::memcmp(a.pixels.get(), b.pixels.get(),
                       static_cast<size_t>(a.width * a.height * channels)) == 0;
}

TEST(ImagesDecodedAhead, CallersGetWhatTheirOwnCallWouldGive) {
    const std::string picture = writeGreyImage("veltra_ahead", "ramp.pgm", 12, 9, ramp(12, 9));
    const std::string missing = picture + ".missing";
    const DecodedImage flipped = decodeImageFileNow(picture, 4, true, 64);
    const DecodedImage upright = decodeImageFileNow(picture, 1, false, 64);
    ASSERT_TRUE(flipped.pixels && upright.pixels);

    const ImagesDecodedAhead ahead({{picture, 4, true}, {picture, 4, true}, {missing, 1, false}});
    // Taken: the same picture.
    EXPECT_TRUE(samePicture(decodeImageFile(picture, 4, true, 64), flipped, 4));
    // Other channels and row order: decoded by the call itself.
    EXPECT_TRUE(samePicture(decodeImageFile(picture, 1, false, 64), upright, 1));
    // Larger than this caller allows: refused as its own call would.
    const DecodedImage tooLarge = decodeImageFile(picture, 4, true, 8);
    EXPECT_EQ(tooLarge.failure, DecodedImage::Failure::TooLarge);
    EXPECT_EQ(tooLarge.width, 12);
    // A file that failed ahead fails again with the caller's own reason.
    const DecodedImage unreadable = decodeImageFile(missing, 1, false, 64);
    EXPECT_EQ(unreadable.failure, DecodedImage::Failure::Unreadable);
    EXPECT_EQ(unreadable.reason, "can't fopen");
}

}  // namespace
