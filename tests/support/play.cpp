#include "support/play.hpp"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include "base/console.hpp"
#include "shell/menu.hpp"

const std::string banner =
    "\n    ***** Quiverly by Jandro Pellowin [https://example.org/quiverly] *****\n"
    "    A text-based darts game and tool to help you practise darts maths.\n"
    "    [18/08/2025]\n\n";

const std::string menu =
    "    Main menu: Choose what you want to do:\n"
    "        1: 301 standard game\n"
    "        2: 501 standard game\n"
    "        3: 1001 standard game\n"
    "        4: Subtractions game\n"
    "        5: Final three darts game\n"
    "        6: Exactly 101 game\n"
    "        7: See your score\n"
    "        c: Calculator\n"
    "        s: Save lists of scores to a text file or csv file\n"
    "        q: Quit\n"
    "> ";

ConsoleRedirect::ConsoleRedirect(std::string_view input) : in_(input) {
  // fmemopen refuses an empty buffer; an empty file reads the same.
  consolein = in_.empty() ? std::fopen("/dev/null", "r") : fmemopen(in_.data(), in_.size(), "r");
  consoleout = open_memstream(&outbuffer_, &outsize_);
  if (consolein == nullptr || consoleout == nullptr) std::abort();
}

std::string ConsoleRedirect::output() {
  std::fflush(consoleout);
  return {outbuffer_, outsize_};
}

ConsoleRedirect::~ConsoleRedirect() {
  std::fclose(consolein);
  std::fclose(consoleout);
  std::free(outbuffer_);
  consolein = nullptr;
  consoleout = nullptr;
}

namespace {

std::jmp_buf exitpoint;
int exitstatus = 0;

// Stands in for the end of the process: back to play() with the status.
[[noreturn]] void leave(int status) {
  exitstatus = status;
  std::longjmp(exitpoint, 1);
}

}  // namespace

Session play(std::string_view input, qword seed) {
  ConsoleRedirect console(input);
  exithook = leave;
  int status = 0;
  if (setjmp(exitpoint) == 0) {
    status = quiverly(seed);
  } else {
    status = exitstatus;
  }
  exithook = nullptr;
  return {console.output(), status};
}
