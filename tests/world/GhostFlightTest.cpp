// The best flight's path: sampled in flight time without allocating,
// played back between its samples, and kept in a file whose every claim is
// checked.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>

#include <glm/gtc/quaternion.hpp>

#include "world/GhostFlight.h"

namespace fs = std::filesystem;

namespace {

GhostPose poseAtX(float x) {
    return {glm::vec3(x, 20.0f, -200.0f), glm::angleAxis(x * 0.01f, glm::vec3(0.0f, 1.0f, 0.0f))};
}

// One second of flight, sampled by 60 frames a second.
GhostFlight oneSecondFlown() {
    GhostFlight flight;
    flight.reserve(1.0f);
    for (int frame = 0; frame <= 60; ++frame) {
        const float time = static_cast<float>(frame) / 60.0f;
        flight.record(time, poseAtX(time * 30.0f));
    }
    return flight;
}

TEST(GhostFlight, SamplesThirtyTimesASecondWithinWhatWasReserved) {
    GhostFlight flight;
    flight.reserve(1.0f);
    const size_t capacity = flight.samples().capacity();
    for (int frame = 0; frame <= 120; ++frame) {  // twice as long as reserved
        const float time = static_cast<float>(frame) / 60.0f;
        flight.record(time, poseAtX(time * 30.0f));
    }
    EXPECT_EQ(flight.samples().capacity(), capacity);  // never grew in flight
    ASSERT_EQ(flight.samples().size(), 31u);           // 0 to 1 s at 30 a second
    EXPECT_FLOAT_EQ(flight.samples()[15].position.x, 15.0f);

    // A frame of a tenth of a second fills the samples it stepped over.
    GhostFlight slow;
    slow.reserve(1.0f);
    slow.record(0.0f, poseAtX(0.0f));
    slow.record(0.1f, poseAtX(3.0f));
    EXPECT_EQ(slow.samples().size(), 4u);
}

TEST(GhostFlight, PlaysBackBetweenSamplesAndStopsAtItsEnd) {
    const GhostFlight flight = oneSecondFlown();
    const std::optional<GhostPose> between = flight.poseAt(0.5f + 1.0f / 60.0f);
    ASSERT_TRUE(between);
    EXPECT_NEAR(between->position.x, 15.5f, 1e-3f);
    const glm::quat expected = poseAtX(15.5f).orientation;
    EXPECT_NEAR(glm::dot(between->orientation, expected), 1.0f, 1e-5f);
    ASSERT_TRUE(flight.poseAt(1.0f));
    EXPECT_FALSE(flight.poseAt(1.05f));  // the flight ended here
    EXPECT_FALSE(flight.poseAt(-0.1f));  // the countdown is not over
    EXPECT_FALSE(GhostFlight().poseAt(0.0f));
}

TEST(GhostFlight, TheFileKeepsThePathAndRefusesWhatItDidNotWrite) {
    const GhostFlight flight = oneSecondFlown();
    const std::string bytes = flight.encode();
    ASSERT_EQ(bytes.size(), 14u + 31u * 28u);
    const std::optional<GhostFlight> read = GhostFlight::decode(bytes);
    ASSERT_TRUE(read);
    ASSERT_EQ(read->samples().size(), 31u);
    EXPECT_EQ(read->samples()[30].position, flight.samples()[30].position);

    std::string otherVersion = bytes;
    otherVersion[6] = 2;
    std::string countTooLarge = bytes;
    countTooLarge[10] = 32;  // claims one sample more than the bytes hold
    std::string notANumber = bytes;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    std::memcpy(&notANumber[14], &nan, 4);
    std::string notARotation = bytes;
    const float two = 2.0f;
    std::memcpy(&notARotation[14 + 12], &two, 4);
    for (const std::string& bad : {otherVersion, countTooLarge, notANumber, notARotation,
                                   bytes.substr(0, 13), bytes.substr(0, bytes.size() - 1),
                                   bytes + "x", std::string("VGHOSX") + bytes.substr(6)}) {
        EXPECT_FALSE(GhostFlight::decode(bad));
    }
}

TEST(GhostFlight, ADamagedFileIsNamedAndNotUsed) {
    const fs::path folder = fs::temp_directory_path() / "veltra_ghost_flight";
    fs::remove_all(folder);
    EXPECT_FALSE(GhostFlight::load(folder));  // none yet: no line
    ASSERT_TRUE(oneSecondFlown().save(folder));
    ASSERT_TRUE(GhostFlight::load(folder));

    std::ofstream(folder / "best-flight.ghost", std::ios::binary) << "VGHOST damaged";
    testing::internal::CaptureStderr();
    EXPECT_FALSE(GhostFlight::load(folder));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Ghost file is damaged or from another version, not used: " +
                  (folder / "best-flight.ghost").string() + "\n");
}

}  // namespace
