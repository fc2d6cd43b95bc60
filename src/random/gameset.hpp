// The turns of a standard game: random three-dart turns in throwing order, the
// last replaced by a finish that ends on a double or the bull.
#pragma once

#include <array>

#include "base/qword.hpp"
#include "core/throwtable.hpp"

// The turns of one game; the element after the last turn has total 0. An
// absent dart (only in a finishing turn) is multiplier 1, number 0; the outer
// bull and the bull are multiplier 1, numbers 25 and 50.
using GameArray = std::array<GameTurn, 100>;

// What fillthenewgamearray returns instead of a number of turns: this attempt
// ends on a score that cannot be finished (draw again), or the set cannot be
// made at all (cannot continue).
inline constexpr qword drawagain = 8191;        // 0x1FFF
inline constexpr qword cannotcontinue = 12287;  // 0x2FFF

// At most this many turns; the element after the last turn marks the end.
inline constexpr qword maxgameturns = 99;

// The scores from 0 to 170 that no one, two or three darts can finish on a
// double or the bull; an attempt that leaves one of them (or more than 170)
// before its last turn is drawn again.
inline constexpr std::array<qword, 9> unfinishableremainders = {169, 168, 166, 165, 163,
                                                                162, 159, 1,   0};
inline constexpr qword highestfinish = 170;

// The segment of one random dart (of a standard game or a finishing question)
// from its drawn multiplier and number: 21 is the outer bull and 22 the bull,
// both multiplier 1 whatever multiplier was drawn; any other number keeps its
// multiplier.
constexpr Segment boardsegment(qword multiplier, qword number) {
  if (number == 21) return {1, 25};
  if (number == 22) return {1, 50};
  return {multiplier, number};
}

// Fills array from element 0 with random three-dart turns until they reach or
// pass start, and replaces the last by the finish of the score left before it.
// Returns the number of turns (the element after them has total 0), drawagain
// when that score cannot be finished, or cannotcontinue when 99 turns do not
// reach start or no finish is found for a score that should have one.
qword fillthenewgamearray(GameArray& array, qword start);

// Rewrites turn as the first finishing combination for wanted in the throw
// table, with the finishing dart thrown last. A total without one is an
// internal fault: the routine says so and ends the program with status 1.
void overwritewithdouble(GameTurn& turn, qword wanted);
