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

const std::string entryhelp =
    "\n    ------------------------------------------------------------------\n"
    "    Help:\n"
    "    Type your answer on one line using text and numbers but no spaces.\n"
    "\n"
    "    You can type single, double, treble, bull, outerbull in full or\n"
    "    just the first letter of each word instead:\n"
    "        s for single, d for double, t for treble\n"
    "        b for bull, o for outerbull\n"
    "\n"
    "    Examples:\n"
    "        d7s6t3 (meaning: double 7, single 6, treble 3.)\n"
    "        t20b (meaning: treble 20 and bull.)\n"
    "        obs3 (meaning: outerbull, bullseye, single 3\n"
    "        single9treble20double8 (you can't use spaces)\n"
    "        double5,treble7,single2 (you can use commas)\n"
    "        single3,outerbull,bull\n"
    "    ------------------------------------------------------------------\n";

const std::string subtractionpage =
    "    ------------------------------------------------------------------\n"
    "    Subtraction hints:\n"
    "    To make subtractions easier to visualise, add/subtract 1 or\n"
    "    more to/from both numbers.\n"
    "       e.g. 301 - 17 is the same as 300 - 16.\n"
    "             99 - 27 is the same as 100 - 28.\n"
    "             67 - 14 is the same as 60 - 7.\n"
    "            166 - 48 is the same as 168 - 50.\n"
    "\n"
    "    Or subtract the tens parts of both numbers, then the ones parts,\n"
    "    and add them together.\n"
    "       e.g.  87 - 63 is the same as 80 - 60 added to 7 - 3.\n"
    "            111 - 67 is the same as 110 - 60 added to 1 - 7 (minus 6)\n"
    "\n"
    "    For difficult subtractions, work out how far the smaller number\n"
    "    is *under* the next hundred, and how far the bigger number is\n"
    "    *above* the previous hundred and add those together. This will give\n"
    "    you the last two digits of the answer.\n"
    "    e.g. 429 - 84. The number 84 is 16 under 100, while 429 is 29 above\n"
    "         400. The result's last two digits will be 16 + 29 = 45.\n"
    "         The actual result is 345.\n"
    "    e.g. 226 - 77. The number 77 is 23 under 100, while 226 is 26 above\n"
    "         200. The result's last two digits will be 23 + 26 = 49.\n"
    "         The actual result is 149.\n"
    "    ------------------------------------------------------------------\n";

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
