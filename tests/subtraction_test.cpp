// Subtraction verdicts for every difference up to 600 and every answer up to
// just above it, against the verdict rules written out independently, and the
// hints page.
#include <gtest/gtest.h>

#include <string>

#include "core/subtraction.hpp"
#include "support/play.hpp"

namespace {

enum class Kind { toohigh, correct, hundreds, fartoolow, toolow };

// The rules restated: an answer short by exactly one, two or three hundreds
// reads as a forgotten hundred; below that, an answer is far too low when it
// is more than a hundred below the highest whole hundred under the difference
// (counting at most four hundreds).
Kind expectedkind(long answer, long difference) {
  if (answer > difference) return Kind::toohigh;
  if (answer == difference) return Kind::correct;
  const long shortby = difference - answer;
  if (shortby == 100 || shortby == 200 || shortby == 300) return Kind::hundreds;
  long hundredsbelow = (difference - 1) / 100;
  if (hundredsbelow > 4) hundredsbelow = 4;
  if (answer < 100 * (hundredsbelow - 1)) return Kind::fartoolow;
  return Kind::toolow;
}

std::string verdicttext(Kind kind, qword a, qword subtrahend) {
  char text[256];
  const char* format = "";
  switch (kind) {
    case Kind::correct:
      std::snprintf(text, sizeof text, "\n    %llu is correct!!!\n\n", a);
      return text;
    case Kind::toohigh:
      format = "\n    Wrong - %llu is too high. (%llu + %llu = %llu).\n    Try again.\n> ";
      break;
    case Kind::hundreds:
      format =
          "\n    Wrong - %llu is far too low. (%llu + %llu = %llu).\n    Did you forget about the "
          "hundreds?\n    Try again.\n> ";
      break;
    case Kind::fartoolow:
      format = "\n    Wrong - %llu is far too low. (%llu + %llu = %llu).\n    Try again.\n> ";
      break;
    case Kind::toolow:
      format = "\n    Wrong - %llu is too low. (%llu + %llu = %llu).\n    Try again.\n> ";
      break;
  }
  std::snprintf(text, sizeof text, format, a, subtrahend, a, subtrahend + a);
  return text;
}

TEST(CheckSubtraction, JudgesEveryAnswerToEveryDifference) {
  for (qword difference = 1; difference <= 600; ++difference) {
    const qword subtrahend = 3 + difference % 97;
    std::string expected;
    std::string results;
    std::string expectedresults;
    const std::string out = capture([&] {
      for (qword a = 1; a <= difference + 5; ++a) {
        const Kind kind = expectedkind(static_cast<long>(a), static_cast<long>(difference));
        expected += verdicttext(kind, a, subtrahend);
        expectedresults += kind == Kind::correct ? '0' : '1';
        results += std::to_string(checksubtraction(a, subtrahend + difference, subtrahend));
      }
    });
    ASSERT_EQ(out, expected) << "difference " << difference;
    ASSERT_EQ(results, expectedresults) << "difference " << difference;
  }
}

TEST(CheckSubtraction, KeepsItsComparisonsStrict) {
  using enum Kind;
  const struct {
    qword answer, difference;
    Kind kind;
  } cases[] = {
      {246, 245, toohigh},   {245, 245, correct},  {145, 245, hundreds}, {45, 245, hundreds},
      {99, 245, fartoolow},  {150, 245, toolow},   {244, 245, toolow},   {100, 200, hundreds},
      {50, 200, toolow},     {1, 201, hundreds},   {101, 201, hundreds}, {99, 201, fartoolow},
      {299, 400, toolow},    {100, 400, hundreds}, {200, 400, hundreds}, {300, 400, hundreds},
      {299, 401, fartoolow}, {101, 401, hundreds}, {201, 401, hundreds}, {301, 401, hundreds},
      {1, 100, toolow},      {99, 100, toolow}};
  for (const auto& c : cases) {
    EXPECT_EQ(capture([&] { checksubtraction(c.answer, 1000 + c.difference, 1000); }),
              verdicttext(c.kind, c.answer, 1000))
        << c.answer << " for " << c.difference;
  }
}

TEST(CheckSubtraction, ShowsTheAnswerAddedBack) {
  EXPECT_EQ(capture([] { EXPECT_EQ(checksubtraction(37, 54, 27), 1); }),
            "\n    Wrong - 37 is too high. (27 + 37 = 64).\n    Try again.\n> ");
  EXPECT_EQ(capture([] { checksubtraction(30, 54, 27); }),
            "\n    Wrong - 30 is too high. (27 + 30 = 57).\n    Try again.\n> ");
  EXPECT_EQ(capture([] { EXPECT_EQ(checksubtraction(27, 54, 27), 0); }),
            "\n    27 is correct!!!\n\n");
}

TEST(SubtractionHints, PrintsTheWholePage) {
  const std::string rule = "    " + std::string(66, '-') + "\n";
  EXPECT_EQ(capture(subtractionhints),
            rule +
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
                "         The actual result is 149.\n" +
                rule);
}

}  // namespace
