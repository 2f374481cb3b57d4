#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <set>
#include <string>
#include <tuple>

#include "world/Collectable.h"
#include "world/GameRandom.h"
#include "world/RingGenerator.h"

namespace {

constexpr float kPi = 3.14159265f;
const glm::vec3 kBoxMin(-170.0f, 7.0f, -500.0f);
const glm::vec3 kBoxMax(-30.0f, 45.0f, -200.0f);

std::vector<std::shared_ptr<Collectable>> shippedRings(float fraction = 0.8f, float spread = 10.0f,
                                                       float verticalSpread = 4.0f) {
    return generateRings(100, kBoxMin, kBoxMax, 6, fraction, spread, verticalSpread, nullptr,
                         nullptr);
}

bool insideBox(const glm::vec3& p) {
    return p.x >= kBoxMin.x && p.x < kBoxMax.x && p.y >= kBoxMin.y && p.y < kBoxMax.y &&
           p.z >= kBoxMin.z && p.z < kBoxMax.z;
}

TEST(CollectableTest, BobsAboutItsBaseHeightWithItsPhase) {
    Collectable ring("Ring", glm::vec3(1, 20, 3), glm::vec3(0.0f), glm::vec3(1.0f), nullptr,
                     nullptr);
    const float phase = ring.getPhase();
    EXPECT_GE(phase, 0.0f);
    EXPECT_LT(phase, 6.2831855f);

    ring.update(0.0f);
    EXPECT_NEAR(ring.getPosition().y, 20.0f + 2.5f * std::sin(phase), 1e-4f);
    ring.update(kPi);
    EXPECT_NEAR(ring.getPosition().y, 20.0f + 2.5f * std::sin(kPi / 2.0f + phase), 1e-4f);

    // Over a whole period of 4 pi seconds the ring reaches 2.5 above and below.
    float highest = -1e9f;
    float lowest = 1e9f;
    for (int i = 0; i < 1300; ++i) {
        ring.update(0.01f);
        highest = std::max(highest, ring.getPosition().y);
        lowest = std::min(lowest, ring.getPosition().y);
        EXPECT_EQ(ring.getPosition().x, 1.0f);
        EXPECT_EQ(ring.getPosition().z, 3.0f);
    }
    EXPECT_NEAR(highest, 22.5f, 1e-3f);
    EXPECT_NEAR(lowest, 17.5f, 1e-3f);
}

TEST(CollectableTest, PhaseComesFromRandInWholeThousandths) {
    std::srand(1);
    const int r = std::rand();
    std::srand(1);
    Collectable ring("Ring", glm::vec3(0.0f), glm::vec3(0.0f), glm::vec3(1.0f), nullptr, nullptr);
    EXPECT_FLOAT_EQ(ring.getPhase(), static_cast<float>(r % 1000) / 1000.0f * 6.2831855f);
}

TEST(RingGeneratorTest, NamesRunWithoutGapsAndClusteredCountRounds) {
    const auto rings = shippedRings();
    ASSERT_EQ(rings.size(), 100u);
    for (std::size_t i = 0; i < rings.size(); ++i) {
        EXPECT_EQ(rings[i]->getName(), "Ring_" + std::to_string(i));
        EXPECT_EQ(rings[i]->getScale(), glm::vec3(1.0f));
    }
    // The last 20 are scattered inside the box.
    for (std::size_t i = 80; i < 100; ++i) {
        EXPECT_TRUE(insideBox(rings[i]->getPosition())) << rings[i]->getName();
    }

    // With no spread, clustered rings sit exactly on their centres, so the
    // clustered ones are those sharing a position with another ring.
    auto countOnCentres = [](const std::vector<std::shared_ptr<Collectable>>& list) {
        std::size_t n = 0;
        while (n < list.size() && list[n]->getPosition() == list[n % 6]->getPosition()) {
            ++n;
        }
        return n;
    };
    EXPECT_EQ(countOnCentres(shippedRings(0.8f, 0.0f, 0.0f)), 80u);
    EXPECT_EQ(countOnCentres(shippedRings(0.805f, 0.0f, 0.0f)), 81u);
    // All scattered: only the first six trivially match themselves.
    EXPECT_EQ(countOnCentres(shippedRings(0.0f, 0.0f, 0.0f)), 6u);
}

TEST(RingGeneratorTest, EveryClusterSharesItsCentre) {
    const auto rings = shippedRings(0.8f, 0.0f, 0.0f);
    std::set<std::tuple<float, float, float>> centres;
    for (std::size_t i = 0; i < 80; ++i) {
        const glm::vec3 p = rings[i]->getPosition();
        EXPECT_EQ(p, rings[i % 6]->getPosition()) << rings[i]->getName();
        EXPECT_TRUE(insideBox(p));
        centres.insert({p.x, p.y, p.z});
    }
    EXPECT_EQ(centres.size(), 6u);
}

TEST(RingGeneratorTest, ClusteredRingsStayWithinThreeDeviations) {
    // Rings 0 and 6 share a centre: each lies within 30 units of it
    // horizontally and 4 vertically, so they are at most 60 and 8 apart.
    for (int run = 0; run < 20; ++run) {
        const auto rings = shippedRings();
        for (std::size_t i = 6; i < 80; ++i) {
            const glm::vec3 a = rings[i]->getPosition();
            const glm::vec3 b = rings[i % 6]->getPosition();
            EXPECT_LE(std::hypot(a.x - b.x, a.z - b.z), 60.0f + 1e-3f);
            EXPECT_LE(std::abs(a.y - b.y), 8.0f + 1e-3f);
        }
    }
}

TEST(RingGeneratorTest, YawIsAWholeDegreeFromRand) {
    std::srand(1);
    std::vector<int> expectedDegrees;
    for (int i = 0; i < 200; ++i) {
        const int r = std::rand();
        if (i % 2 == 0) {
            expectedDegrees.push_back(r % 360);  // each ring draws its yaw, then its phase
        }
    }
    std::srand(1);
    const auto rings = shippedRings();
    for (std::size_t i = 0; i < rings.size(); ++i) {
        const glm::vec3 rotation = rings[i]->getRotation();
        EXPECT_EQ(rotation.x, 0.0f);
        EXPECT_EQ(rotation.z, 0.0f);
        const float degrees = rotation.y / 0.017453292f;
        EXPECT_NEAR(degrees, std::round(degrees), 1e-3f);
        EXPECT_GE(degrees, -1e-3f);
        EXPECT_LT(degrees, 359.5f);
        EXPECT_NEAR(degrees, static_cast<float>(expectedDegrees[i]), 1e-3f) << rings[i]->getName();
    }
}

TEST(RingGeneratorTest, ReseededEngineReplaysTheLayout) {
    GameRandom::reseedEngine(42);
    const auto first = shippedRings();
    GameRandom::reseedEngine(42);
    const auto second = shippedRings();
    const auto third = shippedRings();
    bool anyDifferent = false;
    for (std::size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(first[i]->getPosition(), second[i]->getPosition());
        anyDifferent = anyDifferent || first[i]->getPosition() != third[i]->getPosition();
    }
    // Without a reseed the engine continues: the next layout differs.
    EXPECT_TRUE(anyDifferent);
}

TEST(RingGeneratorTest, NoCentresMeansEveryRingIsScattered) {
    const auto rings = generateRings(10, kBoxMin, kBoxMax, 0, 0.8f, 10.0f, 4.0f, nullptr, nullptr);
    ASSERT_EQ(rings.size(), 10u);
    for (const auto& ring : rings) {
        EXPECT_TRUE(insideBox(ring->getPosition()));
    }
    EXPECT_TRUE(generateRings(0, kBoxMin, kBoxMax, 6, 0.8f, 10.0f, 4.0f, nullptr, nullptr).empty());
}

}  // namespace
