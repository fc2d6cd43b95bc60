// Plays whole sessions of the program on given text: start-up, the main menu
// and every activity, with the generator seeded from a fixed value instead of
// the clock. Returns everything printed and the exit status. The console reads
// and writes scratch files, in binary mode, so a transcript holds exactly the
// bytes the program wrote on every platform.
#pragma once

#include <string>
#include <string_view>

#include "base/qword.hpp"
#include "support/scratch.hpp"

struct Session {
  std::string out;
  int status;
};

Session play(std::string_view input, qword seed = 1);

// Runs body with the console reading input and writing to a string, which is
// returned; for testing a single routine's dialogue outside the menu.
template <class Body>
std::string capture(Body body, std::string_view input = "");

// Runs body with the console writing to a file, as capture does, and returns
// what had reached the file when body ended the process, with the status; or,
// if body returns, everything printed and status 0.
Session captureexit(void (*body)());

// The fixed texts around every session.
extern const std::string banner;
extern const std::string menu;
inline const std::string bye = "Bye!\n";

// The help on typing darts, which "?" shows at a finishing question.
extern const std::string entryhelp;

// The page of advice that "h" shows at a subtraction question.
extern const std::string subtractionpage;

// A number as the program prints it.
inline std::string number(qword n) {
  return std::to_string(n);
}

// The line that every game prints with its score.
inline std::string percentline(const std::string& percent, qword questions) {
  return "    Since the program started, you have answered " + percent + "% of " +
         number(questions) + " questions.\n";
}

// Points the console at input and at an output file for as long as it lives.
// Every redirect of a test process shares one input and one output file, each
// going on where the last one ended, which spares the making of files.
class ConsoleRedirect {
 public:
  explicit ConsoleRedirect(std::string_view input);
  ConsoleRedirect(const ConsoleRedirect&) = delete;
  ConsoleRedirect& operator=(const ConsoleRedirect&) = delete;
  ~ConsoleRedirect();
  // Everything printed, after flushing the console as the end of main would.
  std::string output();
  // What the program has written out so far, without flushing anything.
  std::string written() const;

 private:
  long outstart_;
};

// --- implementation of capture ---------------------------------------------
template <class Body>
std::string capture(Body body, std::string_view input) {
  ConsoleRedirect console(input);
  body();
  return console.output();
}
