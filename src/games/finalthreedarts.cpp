// The finishing drill. Each question throws two or three random darts, the last
// a double or the bull, and asks which darts finish their total; any finish the
// dart reader accepts is right, not only the darts that were drawn.
#include "games/finalthreedarts.hpp"

#include <array>

#include "core/dartanswer.hpp"
#include "core/hints.hpp"
#include "core/throwtable.hpp"
#include "core/waylisting.hpp"
#include "random/draws.hpp"
#include "random/gameset.hpp"
#include "shell/console.hpp"
#include "shell/generator.hpp"
#include "shell/menu.hpp"

namespace {

constexpr qword questionsinagame = 20;
constexpr Segment bull{1, 50};

// The finishing dart: a double of the drawn number, or the bull for either
// bull value (21 or 22), never the outer bull.
Segment finishingdartfrom(qword number) {
  return number > 20 ? bull : Segment{2, number};
}

// Throws the darts of one question and returns their total. The draws come in
// a fixed order (first dart, count, then the rest), so a seed fixes the game.
qword drawtotal() {
  std::array<Segment, 3> darts{};
  const qword firstmultiplier = nextrandom() % 3 + 1;
  darts[0] = boardsegment(firstmultiplier, randomuniformnumber());
  if (randomdartcount() == 2) {
    darts[1] = finishingdartfrom(randomuniformnumber());
  } else {
    const qword secondmultiplier = nextrandom() % 3 + 1;
    const qword secondnumber = randomuniformnumber();
    darts[1] = boardsegment(secondmultiplier, secondnumber);
    darts[2] = finishingdartfrom(randomuniformnumber());
  }
  return dartpoints(darts[0]) + dartpoints(darts[1]) + dartpoints(darts[2]);
}

enum class Outcome { answered, correct, left };

// Asks question number for total until it is answered, revealed or left.
Outcome askquestion(qword number, qword total) {
  printtext(
      "    %llu: What should you aim for if you have %llu left to finish?\n"
      "    (a for answer, h for a hint, ? for help, q to quit)\n",
      number, total);
  for (;;) {
    printtext("> ");
    readtoken(longinputbuffer);
    switch (longinputbuffer[0]) {
      case 'q':
        printtext("Bye!\n");
        return Outcome::left;
      case 'a':
        showfinishes(total);
        return Outcome::answered;
      case 'h':
        finishhint(total);
        break;
      case '?':
        showentryhelp();
        printtext(
            "    Back to the question: what should you aim for if you have %llu left to "
            "finish?\n",
            total);
        break;
      default:
        if (checkdartsanswer(total, longinputbuffer) == 0) return Outcome::correct;
        break;
    }
  }
}

}  // namespace

// Plays games of twenty questions. A question counts as asked once it ends;
// leaving drops the open question and the game's summary.
void finalthreedartsgame() {
  printtext(
      "\n    **********************************************************\n"
      "    Final three darts game. Say which darts you need to throw.\n"
      "    (20 questions). '?' to see how to enter answers.\n\n");
  for (;;) {
    qword correct = 0;
    for (qword k = 0; k < questionsinagame; ++k) {
      const Outcome outcome = askquestion(k + 1, drawtotal());
      if (outcome == Outcome::left) return;
      if (outcome == Outcome::correct) {
        ++correct;
        ++questionstats.answeredcorrectly;
      }
      ++questionstats.questionsasked;
    }
    printtext("    You have answered %llu out of 20 questions correctly.\n", correct);
    printpercentline();
    printtext("\n");
    const bool again = askplayagain();
    printtext("\n\n");
    if (!again) return;
  }
}
