// The finishing hint, and the adding-up reminders with their arithmetic.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

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

// Every total from 0 to 180: the dart named for each, found by a brute-force
// listing of the first finishing way of each total in the table's order, with
// the one-dart finishes and the totals without a finish.
TEST(LastDartsHint, NamesTheDartOfEveryTotal) {
  std::map<std::string, std::vector<qword>> named = {
      {"single 1 (s1)",
       {3, 5, 7, 9, 11, 13, 15, 17, 19, 21, 23, 25, 27, 29, 31, 33, 35, 37, 39, 41, 51}},
      {"treble 7 (t7)", {71}},
      {"double 11 (d11)", {72}},
      {"treble 19 (t19)",
       {73, 79, 81, 85, 87, 91, 93, 97, 107, 108, 109, 131, 132, 137, 141, 143, 147, 157}},
      {"double 12 (d12)", {74}},
      {"outer bull (o)", {75}},
      {"double 13 (d13)", {76}},
      {"treble 9 (t9)", {77}},
      {"double 14 (d14)", {78}},
      {"double 15 (d15)", {80}},
      {"double 16 (d16)", {82}},
      {"treble 11 (t11)", {83, 133}},
      {"double 17 (d17)", {84, 134}},
      {"double 18 (d18)", {86, 136}},
      {"double 19 (d19)", {88, 138}},
      {"treble 13 (t13)", {89, 139}},
      {"double 20 (d20)", {90, 140}},
      {"treble 14 (t14)", {92, 142}},
      {"treble 20 (t20)", {94,  96,  110, 111, 112, 113, 114, 115, 116, 117, 118, 119, 120,
                           121, 122, 123, 124, 125, 126, 127, 128, 129, 130, 135, 144, 146,
                           149, 152, 153, 155, 156, 158, 160, 161, 164, 167, 170}},
      {"treble 15 (t15)", {95, 145}},
      {"treble 16 (t16)", {98, 99, 148}},
      {"bull (b)", {100, 150}},
      {"treble 17 (t17)", {101, 102, 103, 151}},
      {"treble 18 (t18)", {104, 105, 106, 154}},
  };
  // Singles 2 to 9 start 42 to 49 and 52 to 59; singles 10 to 20 start 60 to 70.
  for (qword n = 2; n <= 20; ++n) {
    const std::string single = "single " + number(n) + " (s" + number(n) + ")";
    if (n <= 9) named[single].push_back(40 + n);
    named[single].push_back(50 + n);
  }
  const std::set<qword> onedartfinishes = {2,  4,  6,  8,  10, 12, 14, 16, 18, 20, 22,
                                           24, 26, 28, 30, 32, 34, 36, 38, 40, 50};
  std::map<qword, std::string> expected;
  for (const auto& [dart, totals] : named) {
    for (qword total : totals) expected[total] = tryfirst(dart.c_str());
  }
  for (qword total : onedartfinishes) expected[total] = onedart;
  for (qword total = 0; total <= 180; ++total) {
    if (expected.count(total) == 0) {
      char key[17];
      std::snprintf(key, sizeof key, "%016llx", (256 + total) << 48);
      expected[total] = errorline(key);
    }
    EXPECT_EQ(hint(total), expected[total]) << total;
  }
  EXPECT_EQ(expected.size(), 181U);
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

// Each awkward number's reminder as the player reads it, from a turn with its
// double alone and from one with its treble alone; the other numbers need none.
TEST(ScoreHints, PrintsEachReminderInFull) {
  const std::map<qword, std::string> reminders = {
      {19, "Double 19 is 38; treble 19 is 57 (3 less than treble 20)"},
      {18, "Double 18 is 36; treble 18 is 54 (6 less than treble 20)"},
      {17, "Double 17 is 34; treble 17 is 51 (3 x 10  +  3 x 7)"},
      {16, "Double 16 is 32; treble 16 is 48 (3 x 10  +  3 x 6)"},
      {15, "Double 15 is 30; treble 15 is 45 (3 x 10  +  3 x 5)"},
      {14, "Double 14 is 28; treble 14 is 42 (3 x 10  +  3 x 4)"},
      {13, "Double 13 is 26; treble 13 is 39 (3 x 10  +  3 x 3)"},
      {12, "Double 12 is 24; treble 12 is 36 (3 x 10  +  3 x 2)"},
      {11, "Double 11 is 22; treble 11 is 33"},
      {9, "Double 9 is 18; treble 9 is 27 (3 less than treble 10)"},
      {8, "Double 8 is 16; treble 8 is 24"},
      {7, "Double 7 is 14; treble 7 is 21"},
      {6, "Double 6 is 12; treble 6 is 18"},
  };
  for (qword number = 1; number <= 20; ++number) {
    const auto found = reminders.find(number);
    const std::string expected =
        header + (found == reminders.end() ? sorry : "    " + found->second + "\n");
    for (qword multiplier = 2; multiplier <= 3; ++multiplier) {
      EXPECT_EQ(hints({0, {{{multiplier, number}, nodart, nodart}}}), expected) << number;
    }
  }
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
