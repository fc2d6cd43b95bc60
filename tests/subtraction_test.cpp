// Subtraction verdicts for every difference up to 600 and every answer up to
// just above it, against the verdict rules written out independently, and the
// hints page.
#include <gtest/gtest.h>

#include <string>

#include "core/subtraction.hpp"
#include "support/play.hpp"
#include "support/sametext.hpp"

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
    ASSERT_TRUE(sametext(out, expected)) << "difference " << difference;
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
  EXPECT_TRUE(sametext(capture(subtractionhints), subtractionpage));
}

}  // namespace
