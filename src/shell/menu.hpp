// Start-up, the main menu and the program-wide question statistics.
#pragma once

#include "shell/qword.hpp"

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

// Asks "Do you want to play again? y/n", reads the reply into inputbuffer and
// tells whether it begins with a lower-case "y".
bool askplayagain();

// Runs the program: seeds the generator from now (calendar seconds), prints the
// banner and runs the main menu until the player quits. Returns the exit status.
int quiverly(qword now);

// The author's web address, shown in the banner and in score-list headers.
inline constexpr const char* authoraddress = "https://example.org/quiverly";
