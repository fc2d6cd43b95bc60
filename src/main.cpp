// Quiverly: a console trainer for the arithmetic of darts. This file readies
// the process, hands the calendar time to start-up and turns a dialogue that
// could not be written into exit status 1; everything else lives in the
// library.
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
// - A score list is written on every file system, those without hard links
//   or unnamed files (FAT, exFAT, FUSE, network shares) included, and never
//   replaces a file. Each failure report names the step that failed (create,
//   write, close or link) with its error number.
// - A writer killed while writing leaves at most a file whose name says it is
//   a leftover (darts-score020.txt.unfinished-PID-N), which never blocks a
//   later request; the program deletes no file it did not make itself.
// - A list over the file-size limit is reported with error 27 and removed;
//   the limit's signal does not end the session.
// - When the dialogue cannot be written (standard output closed, full or
//   gone), the session still goes to its end, then one line on standard
//   error says so and the exit status is 1.
// - A standard descriptor closed at start-up is held on the null device, so
//   that no list file takes its number.
// - A finish typed as "t20d0" is accepted for 60: "d0" is a double, so the
//   last dart obeys the finishing rule, though it scores nothing.
#include <cerrno>
#include <ctime>

#include "base/console.hpp"
#include "base/platform.hpp"
#include "shell/menu.hpp"

int main() {
  if (!startplatform()) failconsole(EBADF);
  return finishconsole(quiverly(static_cast<qword>(std::time(nullptr))));
}
