// The comparison of long texts: what it reports when two texts differ, and
// that the report stays small however long the texts are.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "support/sametext.hpp"

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

std::string numbered(int from, int to) {
  std::string text;
  for (int i = from; i <= to; ++i) text += "line " + std::to_string(i) + "\n";
  return text;
}

std::string report(const std::string& actual, const std::string& expected) {
  const ::testing::AssertionResult result = sametext(actual, expected);
  EXPECT_FALSE(result);
  return result.message();
}

TEST(SameText, PassesEqualTexts) {
  EXPECT_TRUE(sametext("", ""));
  EXPECT_TRUE(sametext(numbered(1, 1000), numbered(1, 1000)));
}

TEST(SameText, ShowsTheFirstDifferingLineWithItsContext) {
  const std::string expected = numbered(1, 20);
  std::string actual = expected;
  actual.replace(actual.find("line 10\n"), 8, "line 1O\n");
  actual.replace(actual.find("line 15\n"), 8, "line 15 and more\n");
  EXPECT_EQ(report(actual, expected),
            "the texts differ from line 10, column 7 (byte 70) on\n"
            "actual (20 lines, 160 bytes):\n"
            "    7: \"line 7\\n\"\n"
            "    8: \"line 8\\n\"\n"
            "    9: \"line 9\\n\"\n"
            "  > 10: \"line 1O\\n\"\n"
            "    11: \"line 11\\n\"\n"
            "    12: \"line 12\\n\"\n"
            "    13: \"line 13\\n\"\n"
            "expected (20 lines, 151 bytes):\n"
            "    7: \"line 7\\n\"\n"
            "    8: \"line 8\\n\"\n"
            "    9: \"line 9\\n\"\n"
            "  > 10: \"line 10\\n\"\n"
            "    11: \"line 11\\n\"\n"
            "    12: \"line 12\\n\"\n"
            "    13: \"line 13\\n\"\n");
}

TEST(SameText, ShowsWhereOneTextEnds) {
  EXPECT_EQ(report("a\nb\n", "a\nb\nc\n"),
            "the texts differ from line 3, column 1 (byte 5) on\n"
            "actual (2 lines, 4 bytes):\n"
            "    1: \"a\\n\"\n"
            "    2: \"b\\n\"\n"
            "  > 3: (the text has ended)\n"
            "expected (3 lines, 6 bytes):\n"
            "    1: \"a\\n\"\n"
            "    2: \"b\\n\"\n"
            "  > 3: \"c\\n\"\n");
  // A missing line end and characters that do not show are written out.
  EXPECT_THAT(report("a\tb\r", "a\tb\r\n"), HasSubstr("  > 1: \"a\\tb\\r\"\n"));
  EXPECT_THAT(report("\x01\"\\", ""), HasSubstr("  > 1: \"\\x01\\\"\\\\\"\n"));
}

TEST(SameText, CutsLongLinesNearTheDifference) {
  const std::string expected = std::string(300, 'x') + "\n";
  std::string actual = expected;
  actual[200] = 'y';
  const std::string message = report(actual, expected);
  EXPECT_THAT(message, HasSubstr("line 1, column 201 (byte 201)"));
  EXPECT_THAT(message, HasSubstr("  > 1: ...\"" + std::string(20, 'x') + "y" +
                                 std::string(79, 'x') + "\"...\n"));
  EXPECT_THAT(message, Not(HasSubstr(std::string(101, 'x'))));
}

// Two texts of megabytes that differ throughout: the report is a few hundred
// bytes, with no diff of the whole.
TEST(SameText, StaysSmallForTextsOfMegabytes) {
  const std::string expected = numbered(1, 200000);
  std::string actual = numbered(1, 100000);
  for (int i = 100001; i <= 200000; ++i) actual += "other " + std::to_string(i) + "\n";
  const std::string message = report(actual, expected);
  EXPECT_THAT(message, HasSubstr("differ from line 100001, column 1"));
  EXPECT_THAT(message, HasSubstr("(200000 lines, "));
  EXPECT_LT(message.size(), 1000U);
}

}  // namespace
