// Subtraction verdicts. A wrong answer is classed as too high, a hundred or
// more short of the difference in a way that suggests a forgotten hundred, far
// too low, or too low, and shown added back to the subtracted number.
#include "core/subtraction.hpp"

#include <array>

#include "base/console.hpp"

namespace {

// The words of each wrong verdict: how the answer compares, and an extra line
// of advice before "Try again." (empty for most).
struct Verdict {
  const char* judgement;
  const char* advice;
};

constexpr Verdict toohigh{"too high", ""};
constexpr Verdict hundredsshort{"far too low", "    Did you forget about the hundreds?\n"};
constexpr Verdict fartoolow{"far too low", ""};
constexpr Verdict toolow{"too low", ""};

// An answer exactly this many hundreds short of a difference above it.
constexpr std::array<qword, 3> hundreds = {100, 200, 300};

// An answer below limit is far too low when the difference is above above.
struct FarLimit {
  qword above;
  qword limit;
};

constexpr std::array<FarLimit, 3> farlimits = {{{200, 100}, {300, 200}, {400, 300}}};

// The verdict for a wrong answer below the difference.
const Verdict& verdictbelow(qword answer, qword difference) {
  for (qword h : hundreds) {
    if (difference > h && answer == difference - h) return hundredsshort;
  }
  for (const FarLimit& far : farlimits) {
    if (difference > far.above && answer < far.limit) return fartoolow;
  }
  return toolow;
}

}  // namespace

// The answer is correct, too high, or below the difference; below it, a whole
// number of hundreds short comes before far too low, and far too low before
// too low. Every comparison with the hundreds is strict.
int checksubtraction(qword answer, qword minuend, qword subtrahend) {
  const qword difference = minuend - subtrahend;
  if (answer == difference) {
    printtext("\n    %llu is correct!!!\n\n", answer);
    return 0;
  }
  const Verdict& verdict = answer > difference ? toohigh : verdictbelow(answer, difference);
  printtext("\n    Wrong - %llu is %s. (%llu + %llu = %llu).\n%s    Try again.\n> ", answer,
            verdict.judgement, subtrahend, answer, subtrahend + answer, verdict.advice);
  return 1;
}

void subtractionhints() {
  printtext(
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
      "    ------------------------------------------------------------------\n");
}
