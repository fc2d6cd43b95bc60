// The subtraction drill. Each question subtracts a smaller random number from a
// larger one; wrong answers get a graded verdict and the question stays open
// until it is answered correctly, revealed, or the player leaves.
#include "games/subtractiongame.hpp"

#include "core/subtraction.hpp"
#include "shell/console.hpp"
#include "shell/generator.hpp"
#include "shell/menu.hpp"

namespace {

constexpr qword questionsinagame = 20;
constexpr qword drawattempts = 300;
constexpr qword highestanswer = 600;

struct Pair {
  qword subtrahend;
  qword minuend;
};

// Draws a number from 1 to 179 and one from 10 to 500 and orders them. Equal
// numbers are drawn again; should the generator give 300 equal pairs in a row
// the question falls back to a fixed pair.
Pair drawpair() {
  for (qword attempt = 0; attempt < drawattempts; ++attempt) {
    qword first = nextrandom() % 179 + 1;
    qword second = nextrandom() % 491 + 10;
    if (first > second) {
      const qword kept = first;
      first = second;
      second = kept;
    }
    if (first != second) return {first, second};
  }
  printtext(
      "\n\n***\nError: subtractiongame:\nCan't get random numbers, so using hardcoded numbers "
      "instead.\n***\n\n");
  return {27, 54};
}

enum class Outcome { finished, correct, left };

// Puts question number to the player and reads answers until it is settled.
// The question counts as asked when it is set up, before it is shown.
Outcome askquestion(qword number, qword score) {
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
        return Outcome::left;
      case 'a':
        printtext("    The answer is %llu.\n\n", pair.minuend - pair.subtrahend);
        return Outcome::finished;
      case 'h':
        subtractionhints();
        printtext(
            "\n    Back to the question: What is %llu subtracted from %llu?\n"
            "    'h' for hint, 'a' for answer; 'q' to return to main menu.\n> ",
            pair.subtrahend, pair.minuend);
        break;
      default: {
        const qword answer = readnumber(inputbuffer, 3);
        if (answer == 0 || answer > highestanswer) {
          printtext("\n    You must type a number from 1 to 600 (or a, h, q)\n> ");
        } else if (checksubtraction(answer, pair.minuend, pair.subtrahend) == 0) {
          return Outcome::correct;
        }
        break;
      }
    }
  }
}

}  // namespace

// Plays games of twenty questions until the player declines another or leaves.
void subtractiongame() {
  for (;;) {
    printtext(
        "\n\n    ********************************************************\n"
        "    Subtraction game\n"
        "    You need to answer 20 questions.\n\n");
    qword finished = 0;
    qword score = 0;
    while (finished < questionsinagame) {
      const Outcome outcome = askquestion(finished + 1, score);
      if (outcome == Outcome::left) return;
      ++finished;
      if (outcome == Outcome::correct) {
        ++questionstats.answeredcorrectly;
        ++score;
      }
    }
    printtext("    You have finished the game. ");
    printgamescore(score, finished);
    if (!askplayagain()) {
      printtext("\n\n");
      return;
    }
    printtext("\n");
  }
}
