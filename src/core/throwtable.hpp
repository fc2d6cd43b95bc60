// The throw table: every combination of one, two or three darts, packed one
// combination a word and sorted by total, ended by two zero words. Everything
// that needs to know how a score can be made reads this one constant table.
//
// A word holds, from the top: the finishing flag (8 bits, 1 if any dart is a
// double or the bull), the total (8 bits), the number of entries of this total
// (16 bits, in the first entry of each total only), two zero bits, the
// multiplier codes of darts A, B and C (2 bits each) and their numbers (8 bits
// each). Darts are stored highest segment first; an absent dart is stored as
// multiplier 1, number 0, and read back as nodart.
#pragma once

#include <array>
#include <cstddef>

#include "base/limits.hpp"
#include "base/qword.hpp"

using ThrowEntry = qword;

// One scoring target, or one dart: a multiplier code (1 single, 2 double,
// 3 treble) and a number (1 to 20, 25 for the outer bull, 50 for the bull).
struct Segment {
  qword multiplier;
  qword number;
};

// The one encoding of "no dart" in a turn or an answer: multiplier code 0,
// which no target has. A dart typed as "s0" or "d0" is present, though it
// scores nothing.
inline constexpr Segment nodart{0, 0};

constexpr bool ispresent(const Segment& dart) {
  return dart.multiplier != 0;
}

// One turn of three darts: its total and its darts in throwing order. The
// standard game throws them, and the adding-up hints read them.
struct GameTurn {
  qword total;
  std::array<Segment, 3> darts;
};

// The segment order key of a dart: singles 1 to 20 (0 to 19), the outer bull
// (20), the bull (21), doubles (22 to 41), trebles (42 to 61). Darts within an
// entry and entries within a total are ordered by it.
constexpr std::size_t segmentorderkey(const Segment& dart) {
  if (dart.number == outerbullnumber) return outerbullkey;
  if (dart.number == bullnumber) return bullkey;
  const std::size_t firstkey =
      dart.multiplier == 1 ? 0 : (dart.multiplier == 2 ? firstdoublekey : firsttreblekey);
  return firstkey + dart.number - 1;
}

// Every multiset of one, two or three of the board's targets: n + n(n+1)/2 +
// n(n+1)(n+2)/6 for n targets.
inline constexpr std::size_t throwentries =
    boardtargets + boardtargets * (boardtargets + 1) / 2 +
    boardtargets * (boardtargets + 1) * (boardtargets + 2) / 6;
inline constexpr std::size_t throwtablesize = throwentries + 2;

// The table itself, with its two terminating zero words. The console program
// carries it as the compiler built it; the web page builds it on first use.
const std::array<ThrowEntry, throwtablesize>& throwtable();

constexpr qword entryflag(ThrowEntry entry) {
  return entry >> 56U;
}
constexpr qword entrytotal(ThrowEntry entry) {
  return (entry >> 48U) & 0xFFU;
}
constexpr qword entrycount(ThrowEntry entry) {
  return (entry >> 32U) & 0xFFFFU;
}

// One dart of an entry from its multiplier code and number bits; a stored
// number of 0 is no dart.
constexpr Segment storeddart(qword multiplier, qword number) {
  return number == 0 ? nodart : Segment{multiplier, number};
}

// Darts A, B and C of an entry, as stored.
constexpr std::array<Segment, 3> decodeentry(ThrowEntry entry) {
  return {{storeddart((entry >> 28U) & 3U, (entry >> 16U) & 0xFFU),
           storeddart((entry >> 26U) & 3U, (entry >> 8U) & 0xFFU),
           storeddart((entry >> 24U) & 3U, entry & 0xFFU)}};
}

// The number of darts of an entry.
constexpr qword dartcount(ThrowEntry entry) {
  qword darts = 0;
  for (const Segment& dart : decodeentry(entry)) darts += ispresent(dart) ? 1 : 0;
  return darts;
}

constexpr qword dartpoints(const Segment& dart) {
  return dart.multiplier * dart.number;
}

// A dart that may end a game: a double, or the bull.
constexpr bool isfinishingdart(const Segment& dart) {
  return dart.multiplier == 2 || dart.number == bullnumber;
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
  if (dart.number == bullnumber) return {"bullseye", "Bullseye", false};
  if (dart.number == outerbullnumber) return {"outer bullseye", "Outer bullseye", false};
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
  if (ispresent(darts[2])) {
    if (isfinishingdart(darts[2])) return;
    if (isfinishingdart(darts[0])) {
      exchange(0, 2);
    } else if (isfinishingdart(darts[1])) {
      exchange(1, 2);
    }
  } else if (ispresent(darts[1]) && !isfinishingdart(darts[1])) {
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

// Which ways of a total a listing takes: all of them, or only those that can
// end a game (an entry with the finishing flag), printed with a finishing dart
// last.
enum class WayKind { all, finishing };

constexpr bool takesentry(WayKind kind, ThrowEntry entry) {
  return kind == WayKind::all || entryflag(entry) != 0;
}

// Totals from 1 to highestscore, in ascending order, that the table decides
// something about, derived from the table.
struct TotalSet {
  std::array<qword, highestscore> totals;
  std::size_t count;
};

// The totals that no one, two or three darts make.
const TotalSet& unmakeabletotals();

// The totals that no one, two or three darts ending on a double or the bull
// make: the unmakeable ones, and those made only otherwise.
const TotalSet& unfinishabletotals();
