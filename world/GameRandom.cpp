#include "world/GameRandom.h"

#include <cstdlib>
#include <random>

namespace GameRandom {
namespace {

struct EngineState {
    std::mt19937 engine;
    std::normal_distribution<float> normal{0.0f, 1.0f};

    EngineState() : engine(std::random_device{}()) {}
};

// Built on first use, so a program that never makes rings never touches the
// platform's random device.
EngineState& engineState() {
    static EngineState state;
    return state;
}

constexpr float kTwoToMinus24 = 5.9604645e-8f;
constexpr float kTwoToMinus32 = 2.3283064e-10f;

}  // namespace

float engineUniform(float a, float b) {
    const uint32_t bits = static_cast<uint32_t>(engineState().engine()) >> 8;
    const float u = static_cast<float>(bits) * kTwoToMinus24;
    return a + u * (b - a);
}

float engineNormal() {
    EngineState& state = engineState();
    return state.normal(state.engine);
}

void reseedEngine(uint32_t seed) {
    EngineState& state = engineState();
    state.engine.seed(seed);
    state.normal.reset();
}

int nextRand() {
    return std::rand();
}

uint32_t randomByte() {
    return static_cast<uint32_t>(std::rand() % 255);
}

float randomFloat(float min, float max) {
    const uint32_t b1 = randomByte();
    const uint32_t b2 = randomByte();
    const uint32_t b3 = randomByte();
    const uint32_t b4 = randomByte();
    const uint32_t bits = (b4 << 24) | (b3 << 16) | (b2 << 8) | b1;
    return static_cast<float>(bits) * kTwoToMinus32 * (max - min) + min;
}

void randomUnitTriple(float& u1, float& u2, float& u3) {
    uint32_t halves[2][3];
    for (auto& group : halves) {
        uint32_t c[6];
        for (uint32_t& byte : c) {
            byte = randomByte();
        }
        group[0] = c[5] * 256 + c[2];
        group[1] = c[4] * 256 + c[1];
        group[2] = c[3] * 256 + c[0];
    }
    u1 = static_cast<float>((halves[1][0] << 16) | halves[0][0]) * kTwoToMinus32;
    u2 = static_cast<float>((halves[1][1] << 16) | halves[0][1]) * kTwoToMinus32;
    u3 = static_cast<float>((halves[1][2] << 16) | halves[0][2]) * kTwoToMinus32;
}

}  // namespace GameRandom
