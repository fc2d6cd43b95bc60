// The program-wide pseudo-random generator: a 32-bit linear congruential
// generator with 15-bit results (state * 214013 + 2531011, bits 16 to 30).
// The program carries its own rather than the C library's rand, so that one
// seed gives the same questions on every platform, and tests can fix it.
#pragma once

#include <cstdint>

#include "base/qword.hpp"

extern std::uint32_t generatorstate;

// Sets the state to the low 32 bits of seed.
void seedgenerator(qword seed);

// Advances the state once and returns a value from 0 to 32767.
qword nextrandom();
