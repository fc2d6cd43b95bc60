// The standard game played through the whole program with fixed seeds, whose
// games are written out below.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "core/throwtable.hpp"
#include "games/standardgame.hpp"
#include "support/play.hpp"
#include "support/sametext.hpp"

using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::StartsWith;

namespace {

// The turns that seed 2024 throws straight after start-up. The draws do not
// depend on the start score until it is reached, so a 301 game shows the first
// five of them, a 501 game the first seven and a 1001 game the first fifteen;
// each game then ends with a finishing turn of its own.
const std::vector<GameTurn> thrown = {
    {39, {{{1, 11}, {1, 18}, {1, 10}}}},  {54, {{{2, 17}, {1, 11}, {3, 3}}}},
    {118, {{{3, 12}, {2, 17}, {3, 16}}}}, {42, {{{1, 4}, {2, 12}, {1, 14}}}},
    {11, {{{1, 7}, {2, 1}, {1, 2}}}},     {72, {{{2, 16}, {3, 5}, {1, 25}}}},
    {104, {{{2, 19}, {2, 14}, {2, 19}}}}, {90, {{{2, 13}, {1, 14}, {1, 50}}}},
    {51, {{{2, 19}, {1, 11}, {2, 1}}}},   {68, {{{2, 12}, {2, 19}, {1, 6}}}},
    {51, {{{1, 16}, {1, 13}, {2, 11}}}},  {45, {{{3, 8}, {2, 4}, {1, 13}}}},
    {96, {{{3, 20}, {1, 14}, {2, 11}}}},  {67, {{{1, 20}, {2, 18}, {1, 11}}}},
    {84, {{{1, 9}, {2, 9}, {3, 19}}}},
};

struct Game {
  std::vector<GameTurn> turns;  // the finishing turn last
  qword count;
};

Game gamefor(qword start) {
  struct Ending {
    qword start;
    std::size_t shown;
    GameTurn finish;
  };
  const Ending endings[] = {
      {301, 5, {37, {{{1, 1}, {2, 18}, {1, 0}}}}},
      {501, 7, {61, {{{1, 11}, {1, 50}, {1, 0}}}}},
      {1001, 15, {9, {{{1, 1}, {2, 4}, {1, 0}}}}},
  };
  for (const Ending& ending : endings) {
    if (ending.start != start) continue;
    Game game{{thrown.begin(), thrown.begin() + static_cast<std::ptrdiff_t>(ending.shown)}, 0};
    game.turns.push_back(ending.finish);
    game.count = game.turns.size();
    return game;
  }
  ADD_FAILURE() << "no game for " << start;
  return {};
}

// The darts of a turn as the player types them.
std::string typed(const GameTurn& turn) {
  std::string text;
  for (const Segment& dart : turn.darts) {
    if (dart.number == 0) continue;
    if (dart.number == 50) {
      text += "b";
    } else if (dart.number == 25) {
      text += "o";
    } else {
      text += (dart.multiplier == 3 ? "t" : dart.multiplier == 2 ? "d" : "s") + number(dart.number);
    }
  }
  return text;
}

// The darts of a turn as the add-up question names them.
std::string named(const GameTurn& turn) {
  std::string text;
  for (const Segment& dart : turn.darts) {
    if (!text.empty()) text += ", ";
    if (dart.number == 50) {
      text += "bullseye";
    } else if (dart.number == 25) {
      text += "outer bullseye";
    } else {
      text += (dart.multiplier == 3   ? "treble "
               : dart.multiplier == 2 ? "double "
                                      : "single ") +
              number(dart.number);
    }
  }
  return text;
}

std::string heading(qword start) {
  return "\n    **********************************************************\n    Full " +
         number(start) + " darts game.\n\n";
}

std::string addup(const GameTurn& turn) {
  return "    What do these add up to: " + named(turn) +
         "?\n    'h' for hint; 'a' for answer; 'q' to return to main menu.\n> ";
}

std::string subtract(qword total, qword remaining) {
  return "    What is that (" + number(total) + ") subtracted from " + number(remaining) +
         "?\n    'h' for hint; 'a' for answer, 'q' to return to main menu.\n> ";
}

std::string laststage(qword remaining) {
  return "    *** Last stage: ***\n    You have " + number(remaining) +
         " left. What should you aim for to finish?\n"
         "    '?': how to enter answers, 'h': hint, 'a': answers, 'q': to leave\n> ";
}

// Input that plays every turn of game correctly and finishes with its own
// finishing darts.
std::string perfect(const Game& game, qword start) {
  std::string input;
  qword remaining = start;
  for (qword t = 0; t + 1 < game.count; ++t) {
    remaining -= game.turns[t].total;
    input += number(game.turns[t].total) + "\n" + number(remaining) + "\n";
  }
  return input + typed(game.turns[game.count - 1]) + "\n";
}

constexpr qword seed = 2024;

TEST(StandardGame, AddUpQuestionJudgesEveryKindOfAnswer) {
  const Game game = gamefor(301);
  const GameTurn& turn = game.turns[0];
  const qword total = turn.total;
  // A sum has at most three digits: a fourth, even a leading zero, refuses it.
  const std::string input = "1\n" + number(total + 1) + "\n" + number(total - 1) +
                            "\n0\n181\n1234\n00" + number(total) + "\n-3\n" + number(total) +
                            "x\nq\nq\n";
  const std::string range =
      "    You must type a number from 1 to 180 (or h: hint, a: answer, q: leave)\n> ";
  const Session run = play(input, seed);
  EXPECT_TRUE(sametext(
      run.out, banner + menu + heading(301) + addup(turn) + "\n    Wrong - " + number(total + 1) +
                   " is too high.\n    Try again.\n> " + "\n    Wrong - " + number(total - 1) +
                   " is too low.\n    Try again.\n> " + range + range + range + range + range +
                   "\n    Correct!!!\n\n" + subtract(total, 301) + "    You scored 1 out of 2.\n" +
                   percentline("50.0", 2) + "\n" + menu + bye));
}

// "h" and "a" at both questions of a turn; the first turn of seed 2024 (single
// 11, single 18, single 10) needs no reminder. End of input leaves the game
// with the open question counted.
TEST(StandardGame, HintsAndAnswersAtEveryQuestion) {
  const Game game = gamefor(301);
  const std::string simple = "    Hint:\n    Sorry, this is too simple to need any hints.\n> ";
  const Session run = play("1\nh\nhelp\nanswer\nh\nabc\n", seed);
  EXPECT_TRUE(
      sametext(run.out, banner + menu + heading(301) + addup(game.turns[0]) + simple + simple +
                            "    The answer was 39.\n\n" + subtract(39, 301) + subtractionpage +
                            "\n    Back to the question:\n    What is 39 subtracted from 301?\n"
                            "    'h' for hint; 'a' for answer, 'q' to return to main menu.\n> "
                            "    The answer was 262.\n\n" +
                            addup(game.turns[1]) + "    You scored 0 out of 3.\n" +
                            percentline("0.0", 3) + "\n" + menu + bye));
  EXPECT_EQ(run.status, 0);
}

TEST(StandardGame, SubtractionRangeFollowsTheStartScore) {
  for (qword start : {301ULL, 501ULL, 1001ULL}) {
    const Game game = gamefor(start);
    const qword total = game.turns[0].total;
    const std::string key = start == 301 ? "1" : start == 501 ? "2" : "3";
    const Session run =
        play(key + "\na\n0\n" + number(start) + "\n" + number(start - 1) + "\nq\nq\n", seed);
    EXPECT_THAT(run.out, HasSubstr(subtract(total, start) +
                                   "    You must type a number from 1 to " + number(start - 1) +
                                   " (or h: hint, a: answer, q: leave)\n>     You must type"))
        << start;
    // The largest answer in range is judged, and is too high.
    EXPECT_THAT(run.out, HasSubstr("\n    Wrong - " + number(start - 1) + " is too high. (" +
                                   number(total) + " + " + number(start - 1) + " = " +
                                   number(total + start - 1) + ").\n    Try again.\n> "))
        << start;
  }
}

// Seed 2024's 501 game answered right throughout (its sixth turn has the outer
// bull, named without a number), then a new game from the same start, which
// keeps the percentage counting and starts its own score.
TEST(StandardGame, PerfectGameThenAnotherFromTheSameStart) {
  const Game game = gamefor(501);
  std::string expected = banner + menu + heading(501);
  qword left = 501;
  for (qword t = 0; t + 1 < game.count; ++t) {
    const qword total = game.turns[t].total;
    expected += addup(game.turns[t]) + "\n    Correct!!!\n\n" + subtract(total, left) + "\n    " +
                number(left - total) + " is correct!!!\n\n";
    left -= total;
  }
  ASSERT_EQ(left, 61U);
  ASSERT_EQ(addup(game.turns[5]),
            "    What do these add up to: double 16, treble 5, outer bullseye?\n"
            "    'h' for hint; 'a' for answer; 'q' to return to main menu.\n> ");
  expected +=
      laststage(61) + "\n    *** Correct!!! ***\n\n" +
      "    You have completed the game. You scored 15 out of 15.\n\n" + percentline("100.0", 15) +
      "    Do you want to play again? y/n\n> " +
      "\n    **********************************************************\n\n    New game:\n" +
      addup({51, {{{2, 19}, {1, 11}, {2, 1}}}}) + "    You scored 0 out of 1.\n" +
      percentline("93.8", 16) + "\n" + menu + percentline("93.8", 16) + "> " + bye;
  EXPECT_TRUE(sametext(play("2\n" + perfect(game, 501) + "yes\nq\n7\nq\n", seed).out, expected));
}

// The last stage of seed 2024's 301 game, with 37 left: the help, the hint
// (the ways of 37 and its finishes counted, and the first dart of the first
// finish in the table named), a dart off the board and the answer, which lists
// the first ten finishes, each with its double last.
TEST(StandardGame, LastStageHelpHintAndAnswers) {
  const Game game = gamefor(301);
  std::string input = "1\n";
  std::string expected = banner + menu + heading(301);
  qword left = 301;
  for (qword t = 0; t + 1 < game.count; ++t) {
    const qword total = game.turns[t].total;
    input += "a\na\n";
    expected += addup(game.turns[t]) + "    The answer was " + number(total) + ".\n\n" +
                subtract(total, left) + "    The answer was " + number(left - total) + ".\n\n";
    left -= total;
  }
  ASSERT_EQ(left, 37U);
  const std::string summary =
      "\n    There are 479 different ways to achieve 37 generally,\n"
      "    and 310 ways ending on a double or a bullseye.\n";
  expected += laststage(37) + entryhelp +
              "\n    Back to the question:\n    You have 37 left. What should you aim for to "
              "finish?\n"
              "    '?' for how to enter answers, 'h' for a hint, 'a' for answers, 'q' to quit\n> "
              "    Hint:" +
              summary + "\n    Try starting with: single 1 (s1)\n> " +
              "    Nowhere on the dartboard scores more than 20, apart from the bullseyes.\n> " +
              summary +
              "        Single 1, double 18.\n"
              "        Single 3, double 17.\n"
              "        Single 5, double 16.\n"
              "        Single 7, double 15.\n"
              "        Single 9, double 14.\n"
              "        Single 11, double 13.\n"
              "        Single 13, double 12.\n"
              "        Single 15, double 11.\n"
              "        Single 17, double 10.\n"
              "        Single 19, double 9.\n"
              "        etc...\n\n"
              "    You have completed the game. You scored 0 out of 11.\n\n" +
              percentline("0.0", 11) + "    Do you want to play again? y/n\n> \n\n" + menu + bye;
  EXPECT_TRUE(sametext(play(input + "?\nh\nd25\nanswers\nY\n", seed).out, expected));
}

// Seed 99's first game set for 301 leaves 1 for its last turn, which cannot be
// finished: it is drawn again, and the game starts with the second set's turn.
TEST(StandardGame, DrawsASetThatCannotBeFinishedAgain) {
  EXPECT_TRUE(sametext(play("1\nq\nq\n", 99).out, banner + menu + heading(301) +
                                                      addup({38, {{{1, 16}, {1, 11}, {1, 11}}}}) +
                                                      "    You scored 0 out of 1.\n" +
                                                      percentline("0.0", 1) + "\n" + menu + bye));
}

// A start score that no game set can serve ends the program with status 1
// after the error line: 1 can never be finished, and 99 turns never reach
// 100000.
TEST(StandardGame, EndsWithAFailureWhereNoGameSetCanBeMade) {
  const Session unfinishable = captureexit([] { Main301Games(1); });
  EXPECT_EQ(unfinishable.out, heading(1) + "Error: Main301Games: Can't get a valid game set\n");
  EXPECT_EQ(unfinishable.status, 1);
  const Session unreachable = captureexit([] { Main301Games(100000); });
  EXPECT_EQ(unreachable.out,
            heading(100000) +
                "Error: fillthenewgamearray: reached end of array - ran out of space :(\n"
                "Fatal error: Main301Games\n\n\n");
  EXPECT_EQ(unreachable.status, 1);
}

TEST(StandardGame, AnyAcceptedFinishCompletesTheGame) {
  // Whatever the finishing turn of the set, the last stage takes any finish of
  // the score left: here always a single followed by a double or the bull. Each
  // seed's 301 game: the number of turns, the finish included, and the score
  // left for the last stage.
  struct Seeded {
    qword seed;
    qword count;
    qword left;
  };
  const Seeded games[] = {
      {1, 5, 61},  {2, 7, 35},  {3, 7, 11},  {4, 5, 34},  {5, 6, 37},  {6, 6, 34},   {7, 6, 34},
      {8, 6, 82},  {9, 5, 12},  {10, 5, 3},  {11, 5, 25}, {12, 7, 27}, {13, 7, 2},   {14, 4, 63},
      {15, 6, 28}, {16, 7, 30}, {17, 4, 37}, {18, 5, 83}, {19, 6, 32}, {20, 7, 10},  {21, 5, 18},
      {22, 5, 40}, {23, 5, 33}, {24, 5, 9},  {25, 5, 35}, {26, 5, 18}, {27, 4, 114}, {28, 4, 53},
      {29, 7, 5},  {30, 5, 63}, {31, 4, 37}, {32, 5, 54}, {33, 6, 25}, {34, 5, 49},  {35, 7, 5},
      {36, 6, 39}, {37, 7, 15}, {38, 5, 46}, {39, 5, 43}, {40, 6, 23},
  };
  for (const Seeded& game : games) {
    std::string input = "1\n";
    for (qword t = 0; t + 1 < game.count; ++t) input += "a\na\n";
    const qword left = game.left;
    std::string finish;
    if (left == 50) {
      finish = "b";
    } else if (left <= 40 && left % 2 == 0) {
      finish = "d" + number(left / 2);
    } else if (left < 40) {
      finish = "s1d" + number((left - 1) / 2);
    } else if (left <= 60) {
      finish = "s" + number(left - 40) + "d20";
    } else {
      continue;
    }
    const Session run = play(input + finish + "\nn\n", game.seed);
    EXPECT_THAT(run.out, HasSubstr("    You have " + number(left) + " left. What should"))
        << game.seed;
    EXPECT_THAT(run.out,
                HasSubstr("*** Correct!!! ***\n\n    You have completed the game. You scored 1"))
        << game.seed << " " << finish;
  }
}

}  // namespace
