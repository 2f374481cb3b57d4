#pragma once

#include <cstdint>

// The game's two random sources in one place.
//
// The ring engine is one MT19937 for the whole process, seeded once from the
// platform's non-deterministic source on first use, so the ring layout
// differs between program starts but a restart continues the same engine.
//
// Everything else (ring phases and yaws, particle respawns) draws from the C
// runtime's rand, which the game never seeds: every start replays the same
// sequence. Tests call std::srand(1) to restart it.
namespace GameRandom {

// Uniform in [a, b) from 24 bits of one ring-engine value.
float engineUniform(float a, float b);

// Standard normal value from the process-wide distribution fed by the ring
// engine.
float engineNormal();

// Reseeds the ring engine and clears the normal distribution's cached value,
// so a test can replay a layout.
void reseedEngine(uint32_t seed);

// The next value of rand (0 to RAND_MAX).
int nextRand();

// rand modulo 255: 0 to 254.
uint32_t randomByte();

// A float in [min, max] from four random bytes, first byte lowest.
float randomFloat(float min, float max);

// Three uniform values in [0, 1) from two groups of six random bytes: the
// first group gives the low 16 bits, the second the high 16 bits.
void randomUnitTriple(float& u1, float& u2, float& u3);

}  // namespace GameRandom
