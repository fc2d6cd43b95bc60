// The standard game. The program throws a whole game in advance; the player
// adds up each turn, subtracts it from the score still needed and, at the last
// stage, names the darts that finish what is left.
#include "games/standardgame.hpp"

#include "base/console.hpp"
#include "core/hints.hpp"
#include "core/subtraction.hpp"
#include "core/throwtable.hpp"
#include "games/questions.hpp"
#include "random/gameset.hpp"

namespace {

constexpr qword gamesetattempts = 1000;

// The score of the game in progress. Every question counts as asked when it is
// printed; both counts go to the program-wide statistics at the same moment.
struct GameScore {
  qword correct;
  qword asked;
};

void countasked(GameScore& score) {
  ++score.asked;
  ++questionstats.questionsasked;
}

// Leaving mid-game: the score so far, the open question included.
void leavegame(const GameScore& score) {
  printtext("    ");
  printgamescore(score.correct, score.asked);
}

// Draws game sets until one can be finished. A generator that cannot make a set
// at all is a fault in the program: the game cannot go on, so the program ends
// with a failure status.
// Neither can happen with the three start scores: 99 turns score far more than
// 1001, and a set is drawn again about one time in sixty, never a thousand
// times in a row.
qword drawgameset(GameArray& turns, qword start) {
  for (qword attempt = 0; attempt < gamesetattempts; ++attempt) {
    const qword result = fillthenewgamearray(turns, start);
    if (result == cannotcontinue) {
      printtext("Fatal error: Main301Games\n\n\n");
      fatalexit();
    }
    if (result != drawagain) return result;
  }
  printtext("Error: Main301Games: Can't get a valid game set\n");
  fatalexit();
}

// Prints the darts of a turn in throwing order, leaving out absent darts.
void printturn(const GameTurn& turn) {
  bool first = true;
  for (const Segment& dart : turn.darts) {
    // The turns asked about are thrown, three darts each; only a finish lacks one.
    if (!ispresent(dart)) continue;  // LCOV_EXCL_BR_LINE
    const DartName name = dartname(dart);
    printtext("%s%s", first ? "" : ", ", name.lower);
    if (name.numbered) printtext(" %llu", dart.number);
    first = false;
  }
}

// One of the two questions asked about each turn: the turn, the score still
// needed before it, and how the question differs: the digits an answer may
// have and the highest it may be, what "h" shows, and how an answer in range
// is judged (true when correct; a wrong verdict ends with its own prompt).
struct TurnQuestion {
  const GameTurn& turn;
  qword remaining;
  qword answer;
  qword digits;
  qword highest;
  void (*hint)(const TurnQuestion& question);
  bool (*judge)(const TurnQuestion& question, qword typed);
};

// Reads answers until the question is settled; false when the player leaves.
bool settle(const TurnQuestion& question, GameScore& score) {
  countasked(score);
  for (;;) {
    readtoken(inputbuffer);
    switch (inputbuffer[0]) {
      case 'q':
        leavegame(score);
        return false;
      case 'h':
        question.hint(question);
        break;
      case 'a':
        printtext("    The answer was %llu.\n\n", question.answer);
        return true;
      default: {
        const qword typed = readnumber(inputbuffer, question.digits);
        if (typed == 0 || typed > question.highest) {
          printrangemessage("", question.highest, "or h: hint, a: answer, q: leave");
        } else if (question.judge(question, typed)) {
          countcorrect(score.correct);
          return true;
        }
        break;
      }
    }
  }
}

void addinghints(const TurnQuestion& question) {
  scorehints(question.turn);
  printtext("> ");
}

bool judgeaddup(const TurnQuestion& question, qword typed) {
  if (typed > question.answer) {
    printtext("\n    Wrong - %llu is too high.\n    Try again.\n> ", typed);
  } else if (typed < question.answer) {
    printtext("\n    Wrong - %llu is too low.\n    Try again.\n> ", typed);
  } else {
    printtext("\n    Correct!!!\n\n");
    return true;
  }
  return false;
}

void subtractinghints(const TurnQuestion& question) {
  subtractionhints();
  printtext(
      "\n    Back to the question:\n"
      "    What is %llu subtracted from %llu?\n"
      "    'h' for hint; 'a' for answer, 'q' to return to main menu.\n> ",
      question.turn.total, question.remaining);
}

bool judgesubtraction(const TurnQuestion& question, qword typed) {
  return checksubtraction(typed, question.remaining, question.turn.total) == 0;
}

// What do the darts of turn add up to? Returns false when the player leaves.
bool askaddup(const GameTurn& turn, GameScore& score) {
  printtext("    What do these add up to: ");
  printturn(turn);
  printtext("?\n    'h' for hint; 'a' for answer; 'q' to return to main menu.\n> ");
  return settle({turn, 0, turn.total, 3, highestscore, addinghints, judgeaddup}, score);
}

// What is the turn subtracted from the score still needed? Answers run up to
// one below the start score, so a correct answer may need four digits.
bool asksubtraction(const GameTurn& turn, qword remaining, qword start, GameScore& score) {
  printtext(
      "    What is that (%llu) subtracted from %llu?\n"
      "    'h' for hint; 'a' for answer, 'q' to return to main menu.\n> ",
      turn.total, remaining);
  return settle(
      {turn, remaining, remaining - turn.total, 4, start - 1, subtractinghints, judgesubtraction},
      score);
}

void restatelaststage(qword remaining) {
  printtext(
      "\n    Back to the question:\n"
      "    You have %llu left. What should you aim for to finish?\n"
      "    '?' for how to enter answers, 'h' for a hint, 'a' for answers, 'q' to quit\n",
      remaining);
}

// The last stage: which darts finish what is left? Judged against the score
// alone, so any accepted finish completes the game.
bool asklaststage(qword remaining, GameScore& score) {
  printtext(
      "    *** Last stage: ***\n"
      "    You have %llu left. What should you aim for to finish?\n"
      "    '?': how to enter answers, 'h': hint, 'a': answers, 'q': to leave\n",
      remaining);
  // askfinish returns one of the three ends; the return after the switch is
  // for the compiler.
  countasked(score);
  switch (askfinish(remaining, restatelaststage)) {  // LCOV_EXCL_BR_LINE
    case QuestionEnd::left:
      leavegame(score);
      return false;
    case QuestionEnd::correct:
      countcorrect(score.correct);
      return true;
    case QuestionEnd::answershown:
      return true;
  }
  return true;  // LCOV_EXCL_LINE
}

// Plays one game from start; returns false when the player leaves it.
bool playgame(qword start) {
  GameArray turns{};
  const qword count = drawgameset(turns, start);
  GameScore score{0, 0};
  qword remaining = start;
  for (qword t = 0; t + 1 < count; ++t) {
    if (!askaddup(turns[t], score)) return false;
    if (!asksubtraction(turns[t], remaining, start, score)) return false;
    remaining -= turns[t].total;
  }
  if (!asklaststage(remaining, score)) return false;
  printtext("    You have completed the game. You scored %llu out of %llu.\n\n", score.correct,
            score.asked);
  printpercentline();
  return true;
}

}  // namespace

// Plays games from the same start score until the player declines another.
void Main301Games(qword start) {
  printtext(
      "\n    **********************************************************\n"
      "    Full %llu darts game.\n\n",
      start);
  playgames([start] { return playgame(start); },
            "\n    **********************************************************\n\n    New game:\n");
}
