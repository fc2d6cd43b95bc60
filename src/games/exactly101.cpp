// The exactly-101 drill. Each game draws twenty scores already reached (1 to
// 99) and asks for the points that make exactly 101; a question stays open
// until it is answered correctly or the player asks for the answer.
#include "games/exactly101.hpp"

#include <array>

#include "shell/console.hpp"
#include "shell/generator.hpp"
#include "shell/menu.hpp"

namespace {

constexpr qword questionsinagame = 20;
constexpr qword target = 101;
constexpr qword answerdigits = 3;

// How a question ended.
enum class Ending { correct, answershown, left };

// Draws the scores already reached, 1 to 98 from one generator value each. A
// value drawn before is moved on by 7 (wrapping past 99 to the start), once,
// without checking the moved value again, so repeats stay possible but rare.
void drawstartingvalues(std::array<qword, questionsinagame>& values) {
  for (qword i = 0; i < questionsinagame; ++i) {
    qword candidate = nextrandom() % 98 + 1;
    for (qword j = 0; j < i; ++j) {
      if (values[j] == candidate) {
        candidate += 7;
        if (candidate > 99) candidate -= 99;
        break;
      }
    }
    values[i] = candidate;
  }
}

// Asks question number (1 to 20) for the score have and reads answers until it
// ends. The question counts as asked as soon as it is shown, so leaving it with
// "q" still counts it. Unusable tokens and wrong answers get a message that
// ends in its own prompt, and the question stays open.
Ending askquestion(qword number, qword have) {
  ++questionstats.questionsasked;
  printtext(
      "    %llu: How many points do you need to reach 101 if you already have %llu?\n"
      "    'a' for answer; 'q' to return to main menu.\n> ",
      number, have);
  const qword wanted = target - have;
  for (;;) {
    readtoken(inputbuffer);
    if (inputbuffer[0] == 'q') return Ending::left;
    if (inputbuffer[0] == 'a') {
      printtext("    The answer is %llu.\n\n", wanted);
      return Ending::answershown;
    }
    const qword typed = readnumber(inputbuffer, answerdigits);
    if (typed == 0 || typed > 100) {
      printtext("\n    You must type a number from 1 to 100 (a for answer; q to leave)\n> ");
    } else if (typed > wanted) {
      printtext("\n    Wrong - %llu is too high, and would make %llu. Try again.\n> ", typed,
                have + typed);
    } else if (typed < wanted) {
      printtext("\n    Wrong - %llu is too low, and would make %llu. Try again.\n> ", typed,
                have + typed);
    } else {
      return Ending::correct;
    }
  }
}

}  // namespace

// A correct answer is counted at once; its "Correct!!!" line is printed for
// the first nineteen questions only, since the closing message after the
// twentieth begins with it. The closing message depends on how the last
// question ended.
void exactly101game() {
  for (;;) {
    printtext(
        "\n\n    ********************************************************\n"
        "    In this game, you have to say how many points you need\n"
        "    to reach exactly 101. It's basically a subtraction game.\n"
        "    You need to answer 20 questions.\n\n");
    std::array<qword, questionsinagame> values{};
    drawstartingvalues(values);
    qword score = 0;
    Ending ending = Ending::correct;
    for (qword q = 0; q < questionsinagame; ++q) {
      ending = askquestion(q + 1, values[q]);
      if (ending == Ending::left) {
        printtext("\n\n");
        return;
      }
      if (ending == Ending::correct) {
        ++score;
        ++questionstats.answeredcorrectly;
        if (q + 1 < questionsinagame) printtext("\n    Correct!!!\n\n");
      }
    }
    if (ending == Ending::correct) {
      printtext("    Correct!!!\n\n    You have finished the game. You scored %llu out of 20.\n",
                score);
    } else {
      printtext("    You have completed 20 questions. You scored %llu out of 20.\n", score);
    }
    printpercentline();
    printtext("\n");
    if (!askplayagain()) {
      printtext("\n\n");
      return;
    }
    printtext("\n");
  }
}
