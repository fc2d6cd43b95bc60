// The game-set generator of the standard game: random three-dart turns from
// the weighted draws, the last one replaced by a finish for the score left.
#include "random/gameset.hpp"

#include "base/console.hpp"
#include "random/draws.hpp"

namespace {

// Throws one random turn: multiplier, then number, dart by dart. The two draws
// of a dart are separate statements because their order fixes which game a
// seed gives.
void throwturn(GameTurn& turn) {
  turn.total = 0;
  for (Segment& dart : turn.darts) {
    const qword multiplier = randommultiplier();
    dart = boardsegment(multiplier, randomweightednumber());
    turn.total += dartpoints(dart);
  }
}

}  // namespace

// Throws turns until their sum reaches start; the last turn always becomes the
// finish of the score left before it, whether it overshot or hit start
// exactly (an exact hit leaves that turn's own total to finish, so both cases
// take the same path). Only the last turn's remainder decides a rejection.
qword fillthenewgamearray(GameArray& array, qword start) {
  qword sum = 0;
  qword last = 0;
  for (;; ++last) {
    if (last >= maxgameturns) {
      printtext("Error: fillthenewgamearray: reached end of array - ran out of space :(\n");
      return cannotcontinue;
    }
    throwturn(array[last]);
    sum += array[last].total;
    if (sum >= start) break;
  }
  const qword left = start - (sum - array[last].total);
  if (!hasfinishingway(left)) return drawagain;
  overwritewithdouble(array[last], left);
  array[last + 1].total = 0;
  return last + 1;
}

// Takes the first entry of wanted's run that ends on a double or the bull (so
// the same total always gets the same finish), moves the finishing dart last
// and writes it over turn, absent darts as nodart. The three
// checks guard against a table that could not serve the generator; each is a
// fault in the program, so it stops with a failure status rather than 0.
void overwritewithdouble(GameTurn& turn, qword wanted) {
  if (firstentry(wanted) == throwentries) {
    printtext("Error: overwritewithdouble: got to end of table\n\n");
    fatalexit();
  }
  const qword finish = firstfinishingentry(wanted);
  if (finish == throwentries) {
    printtext("Error: overwritewithdouble: couldn't find the doubles\n\n");
    fatalexit();
  }
  turn.darts = decodeentry(throwtable()[finish]);
  finishinglast(turn.darts);
  turn.total = 0;
  for (const Segment& dart : turn.darts) turn.total += dartpoints(dart);
  // Every entry of the table adds up to its total: this check cannot fail.
  if (turn.total != wanted) {  // LCOV_EXCL_BR_LINE
    // LCOV_EXCL_START
    printtext("overwritewithdouble: Failed to match passed total with wanted number\n");
    fatalexit();
    // LCOV_EXCL_STOP
  }
}
