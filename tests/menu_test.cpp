// The main menu: its dialogue, the score display and the question percentage,
// and every activity's way back to it.
#include <gtest/gtest.h>

#include <string>

#include "games/questions.hpp"
#include "support/play.hpp"
#include "support/sametext.hpp"

namespace {

const std::string notunderstood = "**** I don't understand ****\n\n";
const std::string noquestions = "    You haven't answered any questions yet.\n> ";

TEST(MainMenu, QuitsAfterTheBannerAndMenu) {
  const Session run = play("q\n");
  EXPECT_TRUE(sametext(run.out, banner + menu + bye));
  EXPECT_EQ(run.status, 0);
}

TEST(MainMenu, ScoreDisplayKeepsTheMenuBackUntilAnotherChoice) {
  const Session run = play("7\n7\nx\nQ\nquit\n");
  EXPECT_TRUE(sametext(run.out, banner + menu + noquestions + noquestions + notunderstood + menu +
                                    notunderstood + menu + bye));
}

TEST(MainMenu, LooksAtTheFirstCharacterOnly) {
  EXPECT_TRUE(sametext(play("q123\n").out, banner + menu + bye));
  EXPECT_TRUE(sametext(play("C\nS\n").out,
                       banner + menu + notunderstood + menu + notunderstood + menu + bye));
}

TEST(MainMenu, EndOfInputQuitsCleanly) {
  for (const char* input : {"", "\n\n   \n", "x", "x\n7", "7\n"}) {
    const Session run = play(input);
    EXPECT_EQ(run.status, 0) << input;
    EXPECT_TRUE(run.out.ends_with(bye)) << input;
  }
  EXPECT_TRUE(sametext(play("x").out, banner + menu + notunderstood + menu + bye));
}

TEST(MainMenu, BlankLinesAndSpacesAreNotTokens) {
  EXPECT_TRUE(sametext(play("\n\n   \t x   q\n").out, banner + menu + notunderstood + menu + bye));
}

TEST(MainMenu, AnOverlongTokenIsOneChoice) {
  const Session run = play(std::string(40, 'x') + "\nq\n");
  EXPECT_TRUE(sametext(run.out, banner + menu + notunderstood + menu + bye));
  // Nor does the tail of a long token become a choice of its own.
  EXPECT_TRUE(sametext(play("xxxxxxxxxxxxxxxq\n").out, banner + menu + notunderstood + menu + bye));
}

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

}  // namespace
