// Quiverly: a console trainer for the arithmetic of darts. This file readies
// the process, hands the calendar time to start-up and turns a dialogue that
// could not be written into exit status 1; everything else lives in the
// library.
//
// Where Quiverly departs from what a player might expect of its dialogue, it
// does so on purpose:
// - At the end of its input every read yields "q", so each activity leaves by
//   its usual way out and the program ends with "Bye!" and status 0. A read
//   that fails ends the input the same way, and is then reported on standard
//   error with status 1; an input or output that is not ready yet
//   (non-blocking) is waited for, not taken for the end or a failure.
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
//   while writing leaves no list cut short behind to refuse later requests,
//   and "Successfully written" is printed only once the list and its name are
//   on the device (synced), so that a stick pulled out or a power cut after
//   the message keeps it. A sync that fails is a failed write.
// - A score list is written on every file system, those without hard links
//   or unnamed files (FAT, exFAT, FUSE, network shares) included, and never
//   replaces a file. Each failure report names the step that failed (create,
//   write, close or link) with its error number.
// - Every signal that ends a program by default and can be caught (Ctrl-C,
//   Ctrl-\, a terminate, a hang-up, the alarms, the user's signals, the
//   real-time ones and their kin) while a list is written under a leftover's
//   name (darts-score020.txt.unfinished-PID-N) removes that file before the
//   program ends by the signal; only a writer killed outright, a crash or a
//   power cut leaves one, which never blocks a later request. A signal
//   ignored at start-up stays ignored. The program deletes no file it did not
//   make itself.
// - A list over the file-size limit is reported with error 27 and removed;
//   the limit's signal does not end the session.
// - When the dialogue cannot be written (standard output closed, full, gone,
//   or a pipe whose reader has gone), the session still goes to its end, then
//   standard error says so, one line for the input and one for the output,
//   and the exit status is 1.
// - A standard descriptor closed at start-up is held open (input at its end,
//   a pipe or the null device; output on the null device), so that no list
//   file takes its number.
// - A finish typed as "t20d0" is accepted for 60: "d0" is a double, so the
//   last dart obeys the finishing rule, though it scores nothing.
// Some texts are kept as players and their scripts know them, each marked
// where it stands: "Jandro's Pellowin's" beside "Jandro Pellowin's" in the
// lists' headers, "File already exists" with and without a full stop,
// "fopen returned null" where no fopen is made, "Bye!" on leaving Final three
// darts, and the made-up key in the finishing hint's error line.
#include <cerrno>
#include <ctime>

#include "base/console.hpp"
#include "base/platform.hpp"
#include "shell/menu.hpp"

int main() {
  if (!startplatform()) failconsole(EBADF);
  return finishconsole(quiverly(static_cast<qword>(std::time(nullptr))));
}
