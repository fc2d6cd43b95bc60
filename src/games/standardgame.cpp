// The standard game. The program throws a whole game in advance; the player
// adds up each turn, subtracts it from the score still needed and, at the last
// stage, names the darts that finish what is left.
#include "games/standardgame.hpp"

#include "core/dartanswer.hpp"
#include "core/hints.hpp"
#include "core/subtraction.hpp"
#include "random/gameset.hpp"
#include "shell/console.hpp"
#include "shell/menu.hpp"

namespace {

constexpr qword gamesetattempts = 1000;
constexpr qword highestturn = 180;

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

void countcorrect(GameScore& score) {
  ++score.correct;
  ++questionstats.answeredcorrectly;
}

// Leaving mid-game: the score so far, the open question included.
void leavegame(const GameScore& score) {
  printtext("    ");
  printgamescore(score.correct, score.asked);
}

// Draws game sets until one can be finished. A generator that cannot make a set
// at all is a fault in the program: the game cannot go on, so the program ends
// with a failure status.
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
    if (dart.multiplier == 0 || dart.number == 0) continue;
    const DartName name = dartname(dart);
    printtext("%s%s", first ? "" : ", ", name.lower);
    if (name.numbered) printtext(" %llu", dart.number);
    first = false;
  }
}

// What do the darts of turn add up to? Returns false when the player leaves.
bool askaddup(const GameTurn& turn, GameScore& score) {
  printtext("    What do these add up to: ");
  printturn(turn);
  printtext("?\n    'h' for hint; 'a' for answer; 'q' to return to main menu.\n> ");
  countasked(score);
  for (;;) {
    readtoken(inputbuffer);
    switch (inputbuffer[0]) {
      case 'q':
        leavegame(score);
        return false;
      case 'h':
        scorehints(turn);
        printtext("> ");
        break;
      case 'a':
        printtext("    The answer was %llu.\n\n", turn.total);
        return true;
      default: {
        const qword answer = readnumber(inputbuffer, 3);
        if (answer == 0 || answer > highestturn) {
          printtext(
              "    You must type a number from 1 to 180 (or h: hint, a: answer, q: leave)\n> ");
        } else if (answer > turn.total) {
          printtext("\n    Wrong - %llu is too high.\n    Try again.\n> ", answer);
        } else if (answer < turn.total) {
          printtext("\n    Wrong - %llu is too low.\n    Try again.\n> ", answer);
        } else {
          printtext("\n    Correct!!!\n\n");
          countcorrect(score);
          return true;
        }
        break;
      }
    }
  }
}

// What is the turn subtracted from the score still needed? Answers run up to
// one below the start score, so a correct answer may need four digits.
bool asksubtraction(const GameTurn& turn, qword remaining, qword start, GameScore& score) {
  printtext(
      "    What is that (%llu) subtracted from %llu?\n"
      "    'h' for hint; 'a' for answer, 'q' to return to main menu.\n> ",
      turn.total, remaining);
  countasked(score);
  for (;;) {
    readtoken(inputbuffer);
    switch (inputbuffer[0]) {
      case 'q':
        leavegame(score);
        return false;
      case 'h':
        subtractionhints();
        printtext(
            "\n    Back to the question:\n"
            "    What is %llu subtracted from %llu?\n"
            "    'h' for hint; 'a' for answer, 'q' to return to main menu.\n> ",
            turn.total, remaining);
        break;
      case 'a':
        printtext("    The answer was %llu.\n\n", remaining - turn.total);
        return true;
      default: {
        const qword answer = readnumber(inputbuffer, 4);
        if (answer == 0 || answer > start - 1) {
          printtext(
              "    You must type a number from 1 to %llu (or h: hint, a: answer, q: leave)\n> ",
              start - 1);
        } else if (checksubtraction(answer, remaining, turn.total) == 0) {
          countcorrect(score);
          return true;
        }
        break;
      }
    }
  }
}

// The last stage: which darts finish what is left? Judged against the score
// alone, so any accepted finish completes the game.
bool asklaststage(qword remaining, GameScore& score) {
  printtext(
      "    *** Last stage: ***\n"
      "    You have %llu left. What should you aim for to finish?\n"
      "    '?': how to enter answers, 'h': hint, 'a': answers, 'q': to leave\n",
      remaining);
  countasked(score);
  for (;;) {
    printtext("> ");
    readtoken(longinputbuffer);
    switch (longinputbuffer[0]) {
      case 'q':
        leavegame(score);
        return false;
      case 'a':
        showfinishes(remaining);
        return true;
      case 'h':
        finishhint(remaining);
        break;
      case '?':
        showentryhelp();
        printtext(
            "\n    Back to the question:\n"
            "    You have %llu left. What should you aim for to finish?\n"
            "    '?' for how to enter answers, 'h' for a hint, 'a' for answers, 'q' to quit\n",
            remaining);
        break;
      default:
        if (checkdartsanswer(remaining, longinputbuffer) == 0) {
          countcorrect(score);
          return true;
        }
        break;
    }
  }
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
  for (;;) {
    if (!playgame(start)) return;
    if (!askplayagain()) {
      printtext("\n\n");
      return;
    }
    printtext(
        "\n    **********************************************************\n\n    New game:\n");
  }
}
