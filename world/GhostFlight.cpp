#include "world/GhostFlight.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iostream>
#include <system_error>

#include "framework/Platform.h"
#include "framework/WholeFile.h"

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kMagic = "VGHOST";
constexpr uint16_t kVersion = 1;
constexpr size_t kHeaderBytes = 6 + 2 + 2 + 4;
constexpr size_t kFloatsPerPose = 7;
constexpr size_t kPoseBytes = kFloatsPerPose * 4;
constexpr size_t kMaxFileBytes = kHeaderBytes + GhostFlight::kMaxSamples * kPoseBytes;
// The level is a few thousand units across; anything far out is not a flight.
constexpr float kMaxCoordinate = 1.0e6f;

// Little-endian on every system, whatever the machine's own order.
void putUint(std::string& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFFu));
    }
}

uint32_t getUint(std::string_view in, size_t at, int bytes) {
    uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) {
        value |= static_cast<uint32_t>(static_cast<unsigned char>(in[at + static_cast<size_t>(i)]))
                 << (8 * i);
    }
    return value;
}

void putFloat(std::string& out, float value) {
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    putUint(out, bits, 4);
}

float getFloat(std::string_view in, size_t at) {
    const uint32_t bits = getUint(in, at, 4);
    float value = 0.0f;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

}  // namespace

void GhostFlight::reserve(float seconds) {
    const float wanted = std::ceil(std::max(seconds, 0.0f) * kSamplesPerSecond) + 1.0f;
    poses.reserve(std::min(kMaxSamples, static_cast<size_t>(std::min(wanted, 1.0e9f))));
}

void GhostFlight::record(float flightTime, const GhostPose& pose) {
    while (poses.size() < poses.capacity() &&
           static_cast<float>(poses.size()) <= flightTime * kSamplesPerSecond) {
        poses.push_back(pose);
    }
}

std::optional<GhostPose> GhostFlight::poseAt(float flightTime) const {
    const float index = flightTime * kSamplesPerSecond;
    if (poses.empty() || !(index >= 0.0f) || index > static_cast<float>(poses.size() - 1)) {
        return std::nullopt;
    }
    const size_t first = static_cast<size_t>(index);
    if (first + 1 >= poses.size()) {
        return poses.back();
    }
    const float along = index - static_cast<float>(first);
    const GhostPose& a = poses[first];
    const GhostPose& b = poses[first + 1];
    return GhostPose{glm::mix(a.position, b.position, along),
                     glm::slerp(a.orientation, b.orientation, along)};
}

std::string GhostFlight::encode() const {
    std::string bytes;
    bytes.reserve(kHeaderBytes + poses.size() * kPoseBytes);
    bytes.append(kMagic);
    putUint(bytes, kVersion, 2);
    putUint(bytes, kSamplesPerSecond, 2);
    putUint(bytes, static_cast<uint32_t>(poses.size()), 4);
    for (const GhostPose& pose : poses) {
        for (int i = 0; i < 3; ++i) {
            putFloat(bytes, pose.position[i]);
        }
        putFloat(bytes, pose.orientation.w);
        putFloat(bytes, pose.orientation.x);
        putFloat(bytes, pose.orientation.y);
        putFloat(bytes, pose.orientation.z);
    }
    return bytes;
}

std::optional<GhostFlight> GhostFlight::decode(std::string_view bytes) {
    if (bytes.size() < kHeaderBytes || bytes.substr(0, kMagic.size()) != kMagic ||
        getUint(bytes, 6, 2) != kVersion || getUint(bytes, 8, 2) != kSamplesPerSecond) {
        return std::nullopt;
    }
    // The count is a claim: it must match the bytes that follow, exactly.
    const size_t count = getUint(bytes, 10, 4);
    if (count > kMaxSamples || bytes.size() - kHeaderBytes != count * kPoseBytes) {
        return std::nullopt;
    }
    GhostFlight flight;
    flight.poses.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        float values[kFloatsPerPose];
        for (size_t k = 0; k < kFloatsPerPose; ++k) {
            values[k] = getFloat(bytes, kHeaderBytes + i * kPoseBytes + k * 4);
            if (!std::isfinite(values[k]) || std::abs(values[k]) > kMaxCoordinate) {
                return std::nullopt;
            }
        }
        const glm::quat orientation(values[3], values[4], values[5], values[6]);
        const float length = glm::length(orientation);
        if (std::abs(length - 1.0f) > 0.01f) {
            return std::nullopt;
        }
        flight.poses.push_back({glm::vec3(values[0], values[1], values[2]), orientation / length});
    }
    return flight;
}

bool GhostFlight::save(const fs::path& folder) const {
    if (!replaceWholeFile(folder / kFileName, encode())) {
        std::cerr << "Failed to save the ghost flight in: " << platform::utf8FromPath(folder)
                  << std::endl;
        return false;
    }
    return true;
}

std::optional<GhostFlight> GhostFlight::load(const fs::path& folder) {
    const fs::path file = folder / kFileName;
    std::string bytes;
    switch (readWholeFile(file, kMaxFileBytes, bytes)) {
        case ReadResult::missing:
            return std::nullopt;
        case ReadResult::failed:
            std::cerr << "Failed to read ghost file: " << platform::utf8FromPath(file) << std::endl;
            return std::nullopt;
        case ReadResult::tooLarge:
            break;
        case ReadResult::read:
            if (std::optional<GhostFlight> flight = decode(bytes)) {
                return flight;
            }
            break;
    }
    std::cerr << "Ghost file is damaged or from another version, not used: "
              << platform::utf8FromPath(file) << std::endl;
    return std::nullopt;
}
