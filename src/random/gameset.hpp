// The turns of a standard game: random three-dart turns in throwing order, the
// last replaced by a finish that ends on a double or the bull.
#pragma once

#include <array>

#include "base/limits.hpp"
#include "base/qword.hpp"
#include "core/throwtable.hpp"
#include "random/draws.hpp"

// The turns of one game; the element after the last turn has total 0. An
// absent dart (only in a finishing turn) is nodart; the outer bull and the
// bull are multiplier 1, numbers 25 and 50.
using GameArray = std::array<GameTurn, maxgameturns + 1>;

// What fillthenewgamearray returns instead of a number of turns: this attempt
// ends on a score that cannot be finished (draw again), or the set cannot be
// made at all (cannot continue).
inline constexpr qword drawagain = 8191;        // 0x1FFF
inline constexpr qword cannotcontinue = 12287;  // 0x2FFF

// The segment of one random dart (of a standard game or a finishing question)
// from its drawn multiplier and number: 21 is the outer bull and 22 the bull,
// both multiplier 1 whatever multiplier was drawn; any other number keeps its
// multiplier.
constexpr Segment boardsegment(qword multiplier, qword number) {
  if (number == outerbulldraw) return {1, outerbullnumber};
  if (number == bulldraw) return {1, bullnumber};
  return {multiplier, number};
}

// Fills array from element 0 with random three-dart turns until they reach or
// pass start, and replaces the last by the finish of the score left before it.
// Returns the number of turns (the element after them has total 0), drawagain
// when the throw table has no finish for that score, or cannotcontinue when
// 99 turns do not reach start.
qword fillthenewgamearray(GameArray& array, qword start);

// Rewrites turn as the first finishing combination for wanted in the throw
// table, with the finishing dart thrown last. A total without one is an
// internal fault: the routine says so and ends the program with status 1.
void overwritewithdouble(GameTurn& turn, qword wanted);
