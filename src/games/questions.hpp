// What the activities that ask questions share: the program-wide question
// statistics and their percentage, the score lines, the play-again loop, the
// range message, and the finishing question of the standard game and the
// final three darts drill.
#pragma once

#include "base/console.hpp"
#include "base/limits.hpp"
#include "base/qword.hpp"

// Questions asked and answered correctly since start-up. Every game adds to
// them; nothing resets them after start-up.
struct QuestionStats {
  qword questionsasked;
  qword answeredcorrectly;
};

extern QuestionStats questionstats;

// The share of questions answered correctly, in percent; 100.0 when the two
// counters are equal (none asked included).
double percentcorrect();

// Prints "Since the program started, you have answered ...% of ... questions."
// on its own line, from the counters as they are now.
void printpercentline();

// Prints "You scored <score> out of <asked>." and the percentage line, then an
// empty line: the score lines of a game that ends or is left.
void printgamescore(qword score, qword asked);

// Counts a correct answer in the game's own score and in the statistics.
void countcorrect(qword& score);

// How a question ended: answered correctly, its answer shown, or left with "q".
enum class QuestionEnd { correct, answershown, left };

// Prints "You must type a number from 1 to <highest> (<keys>)" and a prompt,
// after lead, for a token that is neither a command nor a number in range.
void printrangemessage(const char* lead, qword highest, const char* keys);

// Asks "Do you want to play again? y/n", reads the reply into inputbuffer and
// tells whether it begins with a lower-case "y".
bool askplayagain();

// Plays games until the player leaves one or declines another. playone plays a
// whole game, closing lines included, and returns false when the player left
// it; between is printed before each further game. Declining prints an empty
// line after the reply. Callers pass a lambda, not a function pointer, so that
// the game is a direct call: the page's build pauses a read for the player's
// line only along direct calls.
template <class Game>
void playgames(Game playone, const char* between) {
  while (playone()) {
    if (!askplayagain()) {
      printtext("\n\n");
      return;
    }
    printtext("%s", between);
  }
}

// Asks which darts finish total, after the caller has printed the question,
// until the answer is right, shown ("a") or the player leaves ("q"); "h" gives
// a hint and "?" the help on typing darts, after which restate prints the
// question again.
QuestionEnd askfinish(qword total, void (*restate)(qword total));
