// The throw table: every combination of one, two or three darts, packed one
// combination a word and sorted by total, ended by two zero words. Everything
// that needs to know how a score can be made reads this one constant table.
//
// A word holds, from the top: the finishing flag (8 bits, 1 if any dart is a
// double or the bull), the total (8 bits), the number of entries of this total
// (16 bits, in the first entry of each total only), two zero bits, the
// multiplier codes of darts A, B and C (2 bits each) and their numbers (8 bits
// each). Darts are stored highest segment first; an absent dart is multiplier
// 1, number 0.
#pragma once

#include <array>
#include <cstddef>

#include "base/qword.hpp"

using ThrowEntry = qword;

// One scoring target, or one dart: a multiplier code (1 single, 2 double,
// 3 treble) and a number (1 to 20, 25 for the outer bull, 50 for the bull;
// 0 for an absent dart).
struct Segment {
  qword multiplier;
  qword number;
};

// One turn of three darts: its total and its darts in throwing order. The
// standard game throws them, and the adding-up hints read them.
struct GameTurn {
  qword total;
  std::array<Segment, 3> darts;
};

// The most that one turn of three darts can score, treble 20 three times.
inline constexpr qword highestscore = 180;

// The segment order key of a dart: singles 1 to 20 (0 to 19), the outer bull
// (20), the bull (21), doubles (22 to 41), trebles (42 to 61). Darts within an
// entry and entries within a total are ordered by it.
constexpr std::size_t segmentorderkey(const Segment& dart) {
  if (dart.number == 25) return 20;
  if (dart.number == 50) return 21;
  return (dart.multiplier - 1) * 20 + (dart.multiplier == 1 ? 0 : 2) + dart.number - 1;
}

inline constexpr std::size_t throwentries = 43679;
inline constexpr std::size_t throwtablesize = throwentries + 2;

// The table itself, with its two terminating zero words.
extern const std::array<ThrowEntry, throwtablesize> throwtable;

constexpr qword entryflag(ThrowEntry entry) {
  return entry >> 56U;
}
constexpr qword entrytotal(ThrowEntry entry) {
  return (entry >> 48U) & 0xFFU;
}
constexpr qword entrycount(ThrowEntry entry) {
  return (entry >> 32U) & 0xFFFFU;
}

// Darts A, B and C of an entry, as stored.
constexpr std::array<Segment, 3> decodeentry(ThrowEntry entry) {
  return {{{(entry >> 28U) & 3U, (entry >> 16U) & 0xFFU},
           {(entry >> 26U) & 3U, (entry >> 8U) & 0xFFU},
           {(entry >> 24U) & 3U, entry & 0xFFU}}};
}

// The number of darts of an entry: those with a non-zero number.
constexpr qword dartcount(ThrowEntry entry) {
  qword darts = 0;
  for (const Segment& dart : decodeentry(entry)) darts += dart.number != 0 ? 1 : 0;
  return darts;
}

constexpr qword dartpoints(const Segment& dart) {
  return dart.multiplier * dart.number;
}

// A dart that may end a game: a double, or the bull.
constexpr bool isfinishingdart(const Segment& dart) {
  return dart.multiplier == 2 || dart.number == 50;
}

// How a dart is named in the way listing, the questions and the score lists:
// in lower case and capitalised (at the start of a line), and whether the
// dart's number follows the name.
struct DartName {
  const char* lower;
  const char* capital;
  bool numbered;
};

constexpr DartName dartname(const Segment& dart) {
  if (dart.multiplier == 2) return {"double", "Double", true};
  if (dart.multiplier == 3) return {"treble", "Treble", true};
  if (dart.number == 50) return {"bullseye", "Bullseye", false};
  if (dart.number == 25) return {"outer bullseye", "Outer bullseye", false};
  return {"single", "Single", true};
}

// Reorders the darts of a finishing entry so that a finishing dart comes last,
// by a single exchange: with three darts C stays if it finishes, else A is
// swapped with C if A finishes, else B with C; with two darts A and B swap
// unless B finishes. Another finishing dart stays where it is.
constexpr void finishinglast(std::array<Segment, 3>& darts) {
  auto exchange = [&darts](std::size_t i, std::size_t j) {
    const Segment kept = darts[i];
    darts[i] = darts[j];
    darts[j] = kept;
  };
  if (darts[2].number != 0) {
    if (isfinishingdart(darts[2])) return;
    if (isfinishingdart(darts[0])) {
      exchange(0, 2);
    } else if (isfinishingdart(darts[1])) {
      exchange(1, 2);
    }
  } else if (darts[1].number != 0 && !isfinishingdart(darts[1])) {
    exchange(0, 1);
  }
}

// Lookups. Each returns the index of an entry, or throwentries (the position of
// the first zero word) when there is none, just as a scan from the first entry
// that stops at the zero word would.
qword firstentry(qword total);           // the first entry of total
qword firstfinishingentry(qword total);  // the first entry of total with the flag

// The number of entries of total; 0 when total does not occur.
qword numberofways(qword total);

// The number of entries of total that carry the finishing flag; 0 when total
// does not occur.
qword numberoffinishingways(qword total);

// Whether any entry of total carries the finishing flag.
bool hasfinishingway(qword total);
