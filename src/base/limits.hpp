// The program's limits and fixed numbers, each named once with the reason for
// its value. What the throw table decides (how many combinations there are,
// which totals cannot be made or finished, the highest finish) is not written
// here: the table's own code derives it.
#pragma once

#include <cstddef>

#include "base/qword.hpp"

// The board.
inline constexpr qword highestboardnumber = 20;  // numbered segments run from 1 to 20
inline constexpr qword outerbullnumber = 25;     // the outer bull scores 25, as a single
inline constexpr qword bullnumber = 50;          // the bull scores 50 and counts as a double
inline constexpr qword highestmultiplier = 3;    // multiplier codes: 1 single, 2 double, 3 treble
inline constexpr std::size_t boardtargets = 62;  // 20 singles, 20 doubles, 20 trebles, two bulls
inline constexpr qword highestscore = 180;       // three trebles 20: the most one turn scores

// Segment order keys (singles, the two bulls, doubles, trebles): where each
// kind of target starts, so that darts sort as the lists print them.
inline constexpr std::size_t outerbullkey = highestboardnumber;  // after the 20 singles
inline constexpr std::size_t bullkey = outerbullkey + 1;         // after the outer bull
inline constexpr std::size_t firstdoublekey = bullkey + 1;       // after the bull
inline constexpr std::size_t firsttreblekey =
    firstdoublekey + highestboardnumber;  // after the doubles

// The console.
inline constexpr std::size_t shorttokenroom = 16;  // menu choices and numbers: 15 characters
inline constexpr std::size_t longtokenroom = 104;  // darts and list requests: 103 characters
inline constexpr std::size_t requestlength =
    5;  // characters of a calculator or export request read

// The activities.
inline constexpr qword drillquestions = 20;  // questions in one game of each drill
inline constexpr qword listlimit = 10;       // ways listed unless every way is asked for
inline constexpr qword maxgameturns = 99;    // turns of a standard game; an element marks the end

// The subtraction drill: the number taken away is 1 to 179, the number taken
// from 10 to 500, and an answer has at most three digits, up to 600.
inline constexpr qword lowestsubtrahend = 1;
inline constexpr qword highestsubtrahend = 179;
inline constexpr qword lowestminuend = 10;
inline constexpr qword highestminuend = 500;
inline constexpr qword highestdifference = 600;  // answers above it are refused as out of range
inline constexpr qword pairattempts = 300;       // draws of a distinct pair before a fixed one

// The exactly-101 drill: the score already made is 1 to 98; one drawn twice
// in a game moves on by 7, wrapping past 99, so a game rarely repeats one.
inline constexpr qword exactlytarget = 101;
inline constexpr qword highesthave = 98;
inline constexpr qword repeatstep = 7;
inline constexpr qword repeatwrap = 99;
