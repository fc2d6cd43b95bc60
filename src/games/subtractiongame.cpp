// The subtraction drill. Each question subtracts a smaller random number from a
// larger one; wrong answers get a graded verdict and the question stays open
// until it is answered correctly, revealed, or the player leaves.
#include "games/subtractiongame.hpp"

#include "base/console.hpp"
#include "core/subtraction.hpp"
#include "games/questions.hpp"
#include "random/generator.hpp"

namespace {

struct Pair {
  qword subtrahend;
  qword minuend;
};

// Draws a number from 1 to 179 and one from 10 to 500 and orders them. Equal
// numbers are drawn again; should the generator give 300 equal pairs in a row
// the question falls back to a fixed pair.
// The fallback is not reached: 300 equal pairs in a row have about one chance
// in ten to the 800th.
Pair drawpair() {
  for (qword attempt = 0; attempt < pairattempts; ++attempt) {  // LCOV_EXCL_BR_LINE
    qword first = nextrandom() % (highestsubtrahend - lowestsubtrahend + 1) + lowestsubtrahend;
    qword second = nextrandom() % (highestminuend - lowestminuend + 1) + lowestminuend;
    if (first > second) {
      const qword kept = first;
      first = second;
      second = kept;
    }
    if (first != second) return {first, second};
  }
  // LCOV_EXCL_START
  printtext(
      "\n\n***\nError: subtractiongame:\nCan't get random numbers, so using hardcoded numbers "
      "instead.\n***\n\n");
  return {27, 54};
  // LCOV_EXCL_STOP
}

// Puts question number to the player and reads answers until it is settled.
// The question counts as asked when it is set up, before it is shown.
QuestionEnd askquestion(qword number, qword score) {
  ++questionstats.questionsasked;
  const Pair pair = drawpair();
  printtext(
      "    %llu: What is %llu subtracted from %llu?\n"
      "    'h' for hint, 'a' for answer; 'q' to return to main menu.\n> ",
      number, pair.subtrahend, pair.minuend);
  for (;;) {
    readtoken(inputbuffer);
    switch (inputbuffer[0]) {
      case 'q':
        printtext("\n    ");
        printgamescore(score, number);
        return QuestionEnd::left;
      case 'a':
        printtext("    The answer is %llu.\n\n", pair.minuend - pair.subtrahend);
        return QuestionEnd::answershown;
      case 'h':
        subtractionhints();
        printtext(
            "\n    Back to the question: What is %llu subtracted from %llu?\n"
            "    'h' for hint, 'a' for answer; 'q' to return to main menu.\n> ",
            pair.subtrahend, pair.minuend);
        break;
      default: {
        const qword answer = readnumber(inputbuffer, 3);
        if (answer == 0 || answer > highestdifference) {
          printrangemessage("\n", highestdifference, "or a, h, q");
        } else if (checksubtraction(answer, pair.minuend, pair.subtrahend) == 0) {
          return QuestionEnd::correct;
        }
        break;
      }
    }
  }
}

// Plays one game of twenty questions under its own banner.
bool playgame() {
  printtext(
      "\n\n    ********************************************************\n"
      "    Subtraction game\n"
      "    You need to answer 20 questions.\n\n");
  qword finished = 0;
  qword score = 0;
  while (finished < drillquestions) {
    const QuestionEnd end = askquestion(finished + 1, score);
    if (end == QuestionEnd::left) return false;
    ++finished;
    if (end == QuestionEnd::correct) countcorrect(score);
  }
  printtext("    You have finished the game. ");
  printgamescore(score, finished);
  return true;
}

}  // namespace

// Plays games of twenty questions until the player declines another or leaves.
void subtractiongame() {
  playgames([] { return playgame(); }, "\n");
}
