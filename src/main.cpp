// Quiverly: a console trainer for the arithmetic of darts. This file hands the
// calendar time to start-up; everything else lives in the library.
//
// Where Quiverly departs from what a player might expect of its dialogue, it
// does so on purpose:
// - At the end of its input every read yields "q", so each activity leaves by
//   its usual way out and the program ends with "Bye!" and status 0.
// - A token longer than its buffer (15 or 103 characters) keeps what fits and
//   the rest of it is dropped, not read as further tokens.
// - Output is flushed before every read, so a prompt shows while it waits.
// - An internal fault (a game set that cannot be made) ends the program with
//   exit status 1 after its error line, not 0.
// - The finishing hint refuses a total above 255 with its error line rather
//   than look up whatever total its key would spill into.
// - A score list that cannot be written completely is reported as a write
//   error and its file removed, never announced as written.
// - A score list takes its name only once it is complete, so a program killed
//   while writing leaves no list cut short behind to refuse later requests.
// - A finish typed as "t20d0" is accepted for 60: "d0" is a double, so the
//   last dart obeys the finishing rule, though it scores nothing.
#include <ctime>

#include "shell/menu.hpp"

int main() {
  return quiverly(static_cast<qword>(std::time(nullptr)));
}
