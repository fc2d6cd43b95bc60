// The finishing drill. Each question throws two or three random darts, the last
// a double or the bull, and asks which darts finish their total; any finish the
// dart reader accepts is right, not only the darts that were drawn.
#include "games/finalthreedarts.hpp"

#include <array>

#include "base/console.hpp"
#include "core/throwtable.hpp"
#include "games/questions.hpp"
#include "random/draws.hpp"
#include "random/gameset.hpp"
#include "random/generator.hpp"

namespace {

constexpr Segment bull{1, bullnumber};

// The finishing dart: a double of the drawn number, or the bull for either
// bull value, never the outer bull.
Segment finishingdartfrom(qword number) {
  return number > highestboardnumber ? bull : Segment{2, number};
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

void restatequestion(qword total) {
  printtext("    Back to the question: what should you aim for if you have %llu left to finish?\n",
            total);
}

// Plays one game of twenty questions. A question counts as asked once it
// ends; leaving drops the open question and the game's summary.
bool playgame() {
  qword correct = 0;
  for (qword k = 0; k < drillquestions; ++k) {
    const qword total = drawtotal();
    printtext(
        "    %llu: What should you aim for if you have %llu left to finish?\n"
        "    (a for answer, h for a hint, ? for help, q to quit)\n",
        k + 1, total);
    const QuestionEnd end = askfinish(total, restatequestion);
    if (end == QuestionEnd::left) {
      // "Bye!" on leaving this drill alone, as players have always seen it: kept on purpose.
      printtext("Bye!\n");
      return false;
    }
    if (end == QuestionEnd::correct) countcorrect(correct);
    ++questionstats.questionsasked;
  }
  printtext("    You have answered %llu out of %llu questions correctly.\n", correct,
            drillquestions);
  printpercentline();
  printtext("\n");
  return true;
}

}  // namespace

// Plays games of twenty questions under one heading until the player leaves
// or declines another.
void finalthreedartsgame() {
  printtext(
      "\n    **********************************************************\n"
      "    Final three darts game. Say which darts you need to throw.\n"
      "    (20 questions). '?' to see how to enter answers.\n\n");
  playgames([] { return playgame(); }, "\n\n");
}
