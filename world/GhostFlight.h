#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <glm/glm.hpp>
#include <glm/gtc/quaternion.hpp>

// Where the glider was and how it was turned.
struct GhostPose {
    glm::vec3 position{0.0f};
    glm::quat orientation{1.0f, 0.0f, 0.0f, 0.0f};
};

// A flight as poses sampled at a fixed rate of flight time (the run's own
// clock from the end of the countdown: it stands while the game is paused).
class GhostFlight {
  public:
    static constexpr int kSamplesPerSecond = 30;
    // Twenty minutes: far past any run, and a bound on what a file may claim.
    static constexpr size_t kMaxSamples = 20 * 60 * kSamplesPerSecond;
    static constexpr const char* kFileName = "best-flight.ghost";

    // Room for `seconds` of flight, made before the run so that recording
    // never allocates during it.
    void reserve(float seconds);
    // Keeps the pose for every sample time up to flightTime not yet taken;
    // a full reserve keeps nothing more.
    void record(float flightTime, const GhostPose& pose);
    void clear() { poses.clear(); }

    // The pose at flightTime, between the two samples around it; none before
    // the first sample's time or after the last.
    std::optional<GhostPose> poseAt(float flightTime) const;
    const std::vector<GhostPose>& samples() const { return poses; }

    // The binary file's bytes, and back: nullopt for bytes of another
    // version, damaged or cut off (every size in them is checked against
    // the bytes present).
    std::string encode() const;
    static std::optional<GhostFlight> decode(std::string_view bytes);

    // folder/best-flight.ghost, written whole or not at all; false with one
    // line when it cannot be written.
    bool save(const std::filesystem::path& folder) const;
    // The flight in folder/best-flight.ghost; none when there is no file,
    // and none with one line for a file that cannot be used.
    static std::optional<GhostFlight> load(const std::filesystem::path& folder);

  private:
    std::vector<GhostPose> poses;
};
