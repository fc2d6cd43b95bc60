// The random draws of the drills: board numbers, multipliers and dart counts.
// Each draw takes exactly one value r (0 to 32767) from the program-wide
// generator and maps it by a fixed rule, so one seed fixes every question.
#pragma once

#include <array>

#include "base/limits.hpp"
#include "base/qword.hpp"

// The draw values that stand for the outer bull and the bull, after the board
// numbers.
inline constexpr qword outerbulldraw = highestboardnumber + 1;
inline constexpr qword bulldraw = highestboardnumber + 2;

// The board numbers by the low five bits of r. Slots 1 to 22 hold themselves
// (21 and 22 stand for the two bulls, which each caller turns into segments);
// the other ten slots give 7, 9, 11, 12, 13, 14, 16, 17, 18 and 19 a second
// chance, so those come twice as often as the rest.
inline constexpr std::array<qword, 32> weightednumbers = {
    7,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15,
    16, 17, 18, 19, 20, 21, 22, 19, 18, 17, 16, 14, 13, 12, 11, 9};

// Multiplier codes by the low three bits of r: single 4, double 3, treble 1
// out of 8.
inline constexpr std::array<qword, 8> multipliercodes = {1, 1, 2, 3, 1, 1, 2, 2};

// The mappings themselves, from one generator value r to the drawn result.
constexpr qword uniformnumberfor(qword r) {
  return r % bulldraw + 1;
}
constexpr qword weightednumberfor(qword r) {
  return weightednumbers[r & 31U];
}
constexpr qword multiplierfor(qword r) {
  return multipliercodes[r & 7U];
}
// Two darts for r mod 10 in {0, 1}, three otherwise.
constexpr qword dartcountfor(qword r) {
  return r % 10 + 1 < 3 ? 2 : 3;
}

// A board number 1 to 22, each about as likely as the others.
qword randomuniformnumber();

// A board number 1 to 22, weighted by weightednumbers.
qword randomweightednumber();

// A multiplier code 1, 2 or 3, weighted 4 : 3 : 1.
qword randommultiplier();

// A number of darts, 2 (one time in five) or 3.
qword randomdartcount();
