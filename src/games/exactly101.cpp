// The exactly-101 drill. Each game draws twenty scores already reached (1 to
// 99) and asks for the points that make exactly 101; a question stays open
// until it is answered correctly or the player asks for the answer.
#include "games/exactly101.hpp"

#include <array>

#include "base/console.hpp"
#include "games/questions.hpp"
#include "random/generator.hpp"

namespace {

constexpr qword answerdigits = 3;
constexpr qword highestanswer = exactlytarget - 1;

// Draws the scores already reached, 1 to 98 from one generator value each. A
// value drawn before is moved on by 7 (wrapping past 99 to the start), once,
// without checking the moved value again, so repeats stay possible but rare.
void drawstartingvalues(std::array<qword, drillquestions>& values) {
  for (qword i = 0; i < drillquestions; ++i) {
    qword candidate = nextrandom() % highesthave + 1;
    for (qword j = 0; j < i; ++j) {
      if (values[j] == candidate) {
        candidate += repeatstep;
        if (candidate > repeatwrap) candidate -= repeatwrap;
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
QuestionEnd askquestion(qword number, qword have) {
  ++questionstats.questionsasked;
  printtext(
      "    %llu: How many points do you need to reach 101 if you already have %llu?\n"
      "    'a' for answer; 'q' to return to main menu.\n> ",
      number, have);
  const qword wanted = exactlytarget - have;
  for (;;) {
    readtoken(inputbuffer);
    if (inputbuffer[0] == 'q') return QuestionEnd::left;
    if (inputbuffer[0] == 'a') {
      printtext("    The answer is %llu.\n\n", wanted);
      return QuestionEnd::answershown;
    }
    const qword typed = readnumber(inputbuffer, answerdigits);
    if (typed == 0 || typed > highestanswer) {
      printrangemessage("\n", highestanswer, "a for answer; q to leave");
    } else if (typed > wanted) {
      printtext("\n    Wrong - %llu is too high, and would make %llu. Try again.\n> ", typed,
                have + typed);
    } else if (typed < wanted) {
      printtext("\n    Wrong - %llu is too low, and would make %llu. Try again.\n> ", typed,
                have + typed);
    } else {
      return QuestionEnd::correct;
    }
  }
}

// Plays one game of twenty questions under its own banner. A correct answer is
// counted at once; its "Correct!!!" line is printed for the first nineteen
// questions only, since the closing message after the twentieth begins with
// it. The closing message depends on how the last question ended.
bool playgame() {
  printtext(
      "\n\n    ********************************************************\n"
      "    In this game, you have to say how many points you need\n"
      "    to reach exactly 101. It's basically a subtraction game.\n"
      "    You need to answer 20 questions.\n\n");
  std::array<qword, drillquestions> values{};
  drawstartingvalues(values);
  qword score = 0;
  QuestionEnd end = QuestionEnd::correct;
  for (qword q = 0; q < drillquestions; ++q) {
    end = askquestion(q + 1, values[q]);
    if (end == QuestionEnd::left) {
      printtext("\n\n");
      return false;
    }
    if (end == QuestionEnd::correct) {
      countcorrect(score);
      if (q + 1 < drillquestions) printtext("\n    Correct!!!\n\n");
    }
  }
  if (end == QuestionEnd::correct) {
    printtext("    Correct!!!\n\n    You have finished the game. ");
  } else {
    printtext("    You have completed 20 questions. ");
  }
  printgamescore(score, drillquestions);
  return true;
}

}  // namespace

void exactly101game() {
  playgames([] { return playgame(); }, "\n");
}
