// The finishing hint, and the adding-up reminders with their arithmetic.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "core/hints.hpp"
#include "support/play.hpp"

namespace {

const std::string onedart = "    (It can be done with one dart)\n";

std::string hint(qword total) {
  return capture([=] { lastdartshint(total); });
}

std::string errorline(const char* key) {
  return std::string("    Error: last darts hint: ") + key + " not in table. No hint for you.\n\n";
}

std::string tryfirst(const char* dart) {
  return std::string("    Try starting with: ") + dart + "\n";
}

TEST(LastDartsHint, NamesTheDartToStartWith) {
  EXPECT_EQ(hint(2), onedart);
  EXPECT_EQ(hint(40), onedart);
  EXPECT_EQ(hint(50), onedart);
  for (qword odd = 3; odd <= 41; odd += 2) EXPECT_EQ(hint(odd), tryfirst("single 1 (s1)")) << odd;
  EXPECT_EQ(hint(42), tryfirst("single 2 (s2)"));
  EXPECT_EQ(hint(64), tryfirst("single 14 (s14)"));
  EXPECT_EQ(hint(72), tryfirst("double 11 (d11)"));
  EXPECT_EQ(hint(75), tryfirst("outer bull (o)"));
  EXPECT_EQ(hint(99), tryfirst("treble 16 (t16)"));
  EXPECT_EQ(hint(100), tryfirst("bull (b)"));
  EXPECT_EQ(hint(170), tryfirst("treble 20 (t20)"));
}

TEST(LastDartsHint, ReportsTotalsThatCannotBeFinished) {
  EXPECT_EQ(hint(0), errorline("0100000000000000"));
  EXPECT_EQ(hint(1), errorline("0101000000000000"));
  EXPECT_EQ(hint(159), errorline("019f000000000000"));
  EXPECT_EQ(hint(180), errorline("01b4000000000000"));
  EXPECT_EQ(hint(255), errorline("01ff000000000000"));
  // 296 does not fit the key's eight bits; it must not be taken for 40.
  EXPECT_EQ(hint(296), errorline("0228000000000000"));
  EXPECT_EQ(hint(256 + 3), errorline("0203000000000000"));
}

std::string hints(const GameTurn& turn) {
  return capture([&] { scorehints(turn); });
}

const std::string header = "    Hint:\n";
const std::string sorry = "    Sorry, this is too simple to need any hints.\n";
const std::string outerline = "    The outer bullseye is worth 25\n";

TEST(ScoreHints, GivesEachReminderOnceInDescendingOrder) {
  EXPECT_EQ(hints({0, {{{3, 19}, {3, 19}, {1, 5}}}}),
            header + "    Double 19 is 38; treble 19 is 57 (3 less than treble 20)\n");
  EXPECT_EQ(hints({0, {{{3, 20}, {2, 20}, {1, 50}}}}), header + sorry);
  EXPECT_EQ(hints({0, {{{1, 19}, {1, 25}, {2, 6}}}}),
            header + "    Double 6 is 12; treble 6 is 18\n" + outerline);
  EXPECT_EQ(hints({0, {{{2, 7}, {3, 17}, {2, 12}}}}),
            header + "    Double 17 is 34; treble 17 is 51 (3 x 10  +  3 x 7)\n" +
                "    Double 12 is 24; treble 12 is 36 (3 x 10  +  3 x 2)\n" +
                "    Double 7 is 14; treble 7 is 21\n");
}

TEST(ScoreHints, RemindersAddUp) {
  for (unsigned number = 1; number <= 20; ++number) {
    const bool awkward = number != 20 && number != 10 && number > 5;
    EXPECT_EQ(hints({0, {{{1, number}, {1, 0}, {1, 0}}}}), header + sorry) << number;
    for (unsigned multiplier = 2; multiplier <= 3; ++multiplier) {
      const std::string out = hints({0, {{{multiplier, number}, {1, 0}, {1, 0}}}});
      if (!awkward) {
        EXPECT_EQ(out, header + sorry) << number;
        continue;
      }
      unsigned n1 = 0, twice = 0, n2 = 0, thrice = 0;
      ASSERT_EQ(std::sscanf(out.c_str(), "    Hint:\n    Double %u is %u; treble %u is %u", &n1,
                            &twice, &n2, &thrice),
                4)
          << out;
      EXPECT_EQ(n1, number);
      EXPECT_EQ(n2, number);
      EXPECT_EQ(twice, 2 * number);
      EXPECT_EQ(thrice, 3 * number);
    }
  }
  EXPECT_EQ(hints({0, {{{1, 25}, {1, 0}, {1, 0}}}}), header + outerline);
}

}  // namespace
