// The finishing hint and the adding-up hints. Both only print: the finishing
// hint from the first finishing entry of the throw table, the adding-up hints
// from a fixed table of reminder lines.
#include "core/hints.hpp"

#include <algorithm>
#include <array>

#include "base/console.hpp"
#include "core/throwtable.hpp"

namespace {

// How the finishing hint names a dart, with the letter that types it; the
// first row that fits wins, a number of 0 fits any, and the last row names
// every dart that no row before it fits.
struct HintName {
  qword multiplier;
  qword number;
  const char* name;
  char letter;
  bool numbered;
};

constexpr std::array<HintName, 5> hintnames = {{
    {2, 0, "double", 'd', true},
    {3, 0, "treble", 't', true},
    {1, bullnumber, "bull", 'b', false},
    {1, outerbullnumber, "outer bull", 'o', false},
    {0, 0, "single", 's', true},
}};

const HintName& hintname(const Segment& dart) {
  return *std::find_if(hintnames.begin(), hintnames.end() - 1, [&dart](const HintName& row) {
    return row.multiplier == dart.multiplier && (row.number == 0 || row.number == dart.number);
  });
}

// Reminder lines for doubles and trebles that are awkward to add, highest first.
struct HintLine {
  qword number;
  const char* line;
};

constexpr std::array<HintLine, 13> doubletreblehints = {{
    {19, "    Double 19 is 38; treble 19 is 57 (3 less than treble 20)\n"},
    {18, "    Double 18 is 36; treble 18 is 54 (6 less than treble 20)\n"},
    {17, "    Double 17 is 34; treble 17 is 51 (3 x 10  +  3 x 7)\n"},
    {16, "    Double 16 is 32; treble 16 is 48 (3 x 10  +  3 x 6)\n"},
    {15, "    Double 15 is 30; treble 15 is 45 (3 x 10  +  3 x 5)\n"},
    {14, "    Double 14 is 28; treble 14 is 42 (3 x 10  +  3 x 4)\n"},
    {13, "    Double 13 is 26; treble 13 is 39 (3 x 10  +  3 x 3)\n"},
    {12, "    Double 12 is 24; treble 12 is 36 (3 x 10  +  3 x 2)\n"},
    {11, "    Double 11 is 22; treble 11 is 33\n"},
    {9, "    Double 9 is 18; treble 9 is 27 (3 less than treble 10)\n"},
    {8, "    Double 8 is 16; treble 8 is 24\n"},
    {7, "    Double 7 is 14; treble 7 is 21\n"},
    {6, "    Double 6 is 12; treble 6 is 18\n"},
}};

}  // namespace

// Looks up the first finishing entry of total and names a dart of it that is
// not the one kept for the finish. The table's key holds the total in eight
// bits; a larger total would spill into the flag byte and find some other
// total's finish, so the lookup is made on the total itself and the error line
// shows the key with 256 plus the total in its top sixteen bits, a key that no
// entry has.
void lastdartshint(qword total) {
  const qword key = (256 + total) << 48U;
  const qword found = firstfinishingentry(total);
  if (found == throwentries) {
    // The made-up key, not the total, as the line has always shown it: kept on purpose.
    printtext("    Error: last darts hint: %016llx not in table. No hint for you.\n\n", key);
    return;
  }
  const std::array<Segment, 3> darts = decodeentry(throwtable()[found]);
  const Segment& a = darts[0];
  const Segment& b = darts[1];
  const Segment& c = darts[2];
  if (!ispresent(b)) {
    printtext("    (It can be done with one dart)\n");
    return;
  }
  // C is never named: the first finish of three darts never has a double or
  // the bull highest and a single lowest, as every total such darts make has a
  // finish of two.
  const Segment* named = &a;
  if (!ispresent(c) && !isfinishingdart(b)) named = &b;
  const HintName& name = hintname(*named);
  if (name.numbered) {
    printtext("    Try starting with: %s %llu (%c%llu)\n", name.name, named->number, name.letter,
              named->number);
  } else {
    printtext("    Try starting with: %s (%c)\n", name.name, name.letter);
  }
}

// Prints the header, then one line per awkward number that appears as a double
// or treble (once however many darts share it), then the outer-bull line, or
// the "too simple" line when none applies.
void scorehints(const GameTurn& turn) {
  printtext("    Hint:\n");
  bool printed = false;
  for (const HintLine& hint : doubletreblehints) {
    for (const Segment& dart : turn.darts) {
      if (dart.number == hint.number && dart.multiplier > 1) {
        printtext("%s", hint.line);
        printed = true;
        break;
      }
    }
  }
  for (const Segment& dart : turn.darts) {
    if (dart.number == outerbullnumber) {
      printtext("    The outer bullseye is worth 25\n");
      printed = true;
      break;
    }
  }
  if (!printed) printtext("    Sorry, this is too simple to need any hints.\n");
}
