// The shell: the main menu dialogue, the question percentage, the console
// reader, the string builders and the generator.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/console.hpp"
#include "games/questions.hpp"
#include "random/generator.hpp"
#include "shell/menu.hpp"
#include "support/play.hpp"

using ::testing::HasSubstr;

namespace {

const std::string notunderstood = "**** I don't understand ****\n\n";
const std::string noquestions = "    You haven't answered any questions yet.\n> ";

TEST(MainMenu, QuitsAfterTheBannerAndMenu) {
  const Session run = play("q\n");
  EXPECT_EQ(run.out, banner + menu + bye);
  EXPECT_EQ(run.status, 0);
}

TEST(MainMenu, ScoreDisplayKeepsTheMenuBackUntilAnotherChoice) {
  const Session run = play("7\n7\nx\nQ\nquit\n");
  EXPECT_EQ(run.out, banner + menu + noquestions + noquestions + notunderstood + menu +
                         notunderstood + menu + bye);
}

TEST(MainMenu, LooksAtTheFirstCharacterOnly) {
  EXPECT_EQ(play("q123\n").out, banner + menu + bye);
  EXPECT_EQ(play("C\nS\n").out, banner + menu + notunderstood + menu + notunderstood + menu + bye);
}

TEST(MainMenu, EndOfInputQuitsCleanly) {
  for (const char* input : {"", "\n\n   \n", "x", "x\n7", "7\n"}) {
    const Session run = play(input);
    EXPECT_EQ(run.status, 0) << input;
    EXPECT_TRUE(run.out.ends_with(bye)) << input;
  }
  EXPECT_EQ(play("x").out, banner + menu + notunderstood + menu + bye);
}

TEST(MainMenu, BlankLinesAndSpacesAreNotTokens) {
  EXPECT_EQ(play("\n\n   \t x   q\n").out, banner + menu + notunderstood + menu + bye);
}

TEST(MainMenu, AnOverlongTokenIsOneChoice) {
  const Session run = play(std::string(40, 'x') + "\nq\n");
  EXPECT_EQ(run.out, banner + menu + notunderstood + menu + bye);
  // Nor does the tail of a long token become a choice of its own.
  EXPECT_EQ(play("xxxxxxxxxxxxxxxq\n").out, banner + menu + notunderstood + menu + bye);
}

TEST(PercentCorrect, FollowsTheCounters) {
  const QuestionStats saved = questionstats;
  questionstats = {0, 0};
  EXPECT_EQ(percentcorrect(), 100.0);
  questionstats = {7, 7};
  EXPECT_EQ(percentcorrect(), 100.0);
  questionstats = {20, 15};
  EXPECT_EQ(percentcorrect(), 75.0);
  questionstats = {3, 1};
  EXPECT_EQ(percentcorrect(), 1.0 / 3.0 * 100.0);
  questionstats = {0, 4};
  EXPECT_EQ(percentcorrect(), 0.0);
  questionstats = {3, 2};
  char text[16];
  std::snprintf(text, sizeof text, "%.1lf", percentcorrect());
  EXPECT_STREQ(text, "66.7");
  questionstats = saved;
}

// Reads tokens from input into the given buffer, one per call of read.
std::string tokens(std::string_view input, int count, bool longbuffer = false) {
  std::string seen;
  capture(
      [&] {
        for (int i = 0; i < count; ++i) {
          if (longbuffer) {
            readtoken(longinputbuffer);
            seen += longinputbuffer.data();
          } else {
            readtoken(inputbuffer);
            seen += inputbuffer.data();
          }
          seen += '|';
        }
      },
      input);
  return seen;
}

TEST(ReadToken, SplitsOnWhiteSpaceAndYieldsQuitAtTheEnd) {
  EXPECT_EQ(tokens("  abc  de\n\n\tf", 5), "abc|de|f|q|q|");
  EXPECT_EQ(tokens("", 2), "q|q|");
  EXPECT_EQ(tokens("a\r\nb\vc\fd", 4), "a|b|c|d|");
}

TEST(ReadToken, KeepsWhatFitsOfALongToken) {
  EXPECT_EQ(tokens("abcdefghijklmnopqrstuvwxyz next", 2), "abcdefghijklmno|next|");
  const std::string longtoken(150, 'x');
  EXPECT_EQ(tokens(longtoken + " y", 2, true), std::string(103, 'x') + "|y|");
  EXPECT_EQ(tokens(std::string(103, 'z') + " y", 2, true), std::string(103, 'z') + "|y|");
}

// The console's output file is fully buffered, so the prompt reaches it only
// if the read flushes it; the same holds for the end of the process.
TEST(Console, FlushesPendingOutputBeforeWaitingAndAtTheEnd) {
  {
    ConsoleRedirect console("x");
    printtext("prompt> ");
    readtoken(inputbuffer);
    EXPECT_EQ(console.written(), "prompt> ");
  }
  const Session ended = captureexit([] {
    printtext("last words\n");
    fatalexit();
  });
  EXPECT_EQ(ended.out, "last words\n");
  EXPECT_EQ(ended.status, 1);
}

std::string built(qword value, qword minwidth, std::string start = "") {
  std::array<char, 64> buffer{};
  copystring(buffer, start);
  const qword length = appendqword(buffer, value, minwidth);
  std::string text = buffer.data();
  EXPECT_EQ(length, text.size());
  return text;
}

TEST(StringBuilders, AppendQwordPadsAndRefuses) {
  EXPECT_EQ(built(0, 0), "0");
  EXPECT_EQ(built(0, 3), "000");
  EXPECT_EQ(built(7, 3), "007");
  EXPECT_EQ(built(1234, 3), "1234");
  EXPECT_EQ(built(5, 40), "000000000000005");
  EXPECT_EQ(built(20, 3, "darts-score"), "darts-score020");
  EXPECT_EQ(built(9999999999999999999ULL, 0), "9999999999999999999");
  EXPECT_EQ(built(10000000000000000000ULL, 0), "10000000000000000000");
}

TEST(StringBuilders, AppendQwordAboveTenToTheNineteenthIsNan) {
  std::string text;
  const std::string printed = capture([&] { text = built(10000000000000000001ULL, 3, "n="); });
  EXPECT_EQ(text, "n=nan");
  EXPECT_EQ(printed, "\n!!! appendqword => number too big to portray as text !!!\n\n");
  EXPECT_EQ(capture([&] { text = built(18446744073709551615ULL, 0); }),
            "\n!!! appendqword => number too big to portray as text !!!\n\n");
  EXPECT_EQ(text, "nan");
  EXPECT_EQ(capture([] { built(10000000000000000000ULL, 3); }), "");
}

TEST(StringBuilders, CopyAndAppendReturnTheNewLength) {
  std::array<char, 32> buffer{};
  EXPECT_EQ(copystring(buffer, "darts"), 5U);
  EXPECT_EQ(appendstring(buffer, ""), 5U);
  EXPECT_EQ(appendstring(buffer, "-score"), 11U);
  EXPECT_STREQ(buffer.data(), "darts-score");
  EXPECT_EQ(copystring(buffer, ""), 0U);
  EXPECT_STREQ(buffer.data(), "");
  // Text that does not fit is cut short and stays terminated.
  std::array<char, 6> small{};
  EXPECT_EQ(copystring(small, "abcdefgh"), 5U);
  EXPECT_EQ(appendstring(small, "xyz"), 5U);
  EXPECT_STREQ(small.data(), "abcde");
}

TEST(Generator, GivesTheClassicSequence) {
  seedgenerator(1);
  const qword expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};
  for (qword value : expected) EXPECT_EQ(nextrandom(), value);
  seedgenerator(0x100000001ULL);  // only the low 32 bits seed
  EXPECT_EQ(nextrandom(), 41U);
}

}  // namespace

namespace {

TEST(ReadNumber, TakesOnlyShortRunsOfLeadingDigits) {
  auto number = [](const char* token, qword maxdigits) {
    return readnumber(std::span<const char>(token, std::strlen(token) + 1), maxdigits);
  };
  EXPECT_EQ(number("007", 3), 7U);
  EXPECT_EQ(number("45x", 3), 45U);
  EXPECT_EQ(number("1000", 3), 0U);
  EXPECT_EQ(number("1000", 4), 1000U);
  EXPECT_EQ(number("10000", 4), 0U);
  EXPECT_EQ(number("0123", 3), 0U);
  EXPECT_EQ(number("-5", 3), 0U);
  EXPECT_EQ(number("", 3), 0U);
  EXPECT_EQ(number("9", 3), 9U);
}

}  // namespace

namespace {

TEST(MainMenu, EveryActivityReturnsToTheMenu) {
  for (const char* key : {"1", "2", "3", "4", "5", "6", "c", "s"}) {
    const Session run = play(std::string(key) + "\nq\nq\n");
    EXPECT_TRUE(run.out.starts_with(banner + menu)) << key;
    EXPECT_TRUE(run.out.ends_with(menu + bye)) << key;
    // One menu before the activity and one after it, nothing in between.
    EXPECT_EQ(run.out.find(menu, banner.size() + menu.size()),
              run.out.size() - menu.size() - bye.size())
        << key;
    EXPECT_EQ(run.status, 0) << key;
  }
}

}  // namespace
