#include "support/play.hpp"

#include <csetjmp>
#include <cstdio>

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

namespace {

ScratchFile& inputfile() {
  static ScratchFile file;
  return file;
}

ScratchFile& outputfile() {
  static ScratchFile file;
  return file;
}

}  // namespace

// The input goes at the end of the input file, where the console starts
// reading, so the console meets the end of the file where the input ends.
ConsoleRedirect::ConsoleRedirect(std::string_view input) {
  std::FILE* in = inputfile().stream();
  std::fseek(in, 0, SEEK_END);
  const long start = std::ftell(in);
  std::fwrite(input.data(), 1, input.size(), in);
  std::fseek(in, start, SEEK_SET);
  std::FILE* out = outputfile().stream();
  std::fseek(out, 0, SEEK_END);
  outstart_ = std::ftell(out);
  consolein = in;
  consoleout = out;
}

std::string ConsoleRedirect::output() {
  std::fflush(consoleout);
  return written();
}

std::string ConsoleRedirect::written() const {
  return outputfile().written(outstart_);
}

ConsoleRedirect::~ConsoleRedirect() {
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

// Runs body(seed) on the console over input. A body that ends the process
// comes back here with its status, and the transcript is what it had written
// out by then: the console must flush its output when it ends the process.
Session runtoend(std::string_view input, qword seed, int (*body)(qword)) {
  ConsoleRedirect console(input);
  exithook = leave;
  Session run{};
  if (setjmp(exitpoint) == 0) {
    run.status = body(seed);
    run.out = console.output();
  } else {
    run.status = exitstatus;
    run.out = console.written();
  }
  exithook = nullptr;
  return run;
}

void (*pendingbody)() = nullptr;

}  // namespace

Session play(std::string_view input, qword seed) {
  return runtoend(input, seed, quiverly);
}

Session captureexit(void (*body)()) {
  pendingbody = body;
  return runtoend("", 0, [](qword) {
    pendingbody();
    return 0;
  });
}
