// The subtraction and final three darts drills played through the whole
// program with fixed seeds. The questions a seed gives are predicted here from
// the generator's sequence by the drills' drawing rules, written out anew.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "random/generator.hpp"
#include "support/play.hpp"
#include "support/sametext.hpp"

using ::testing::EndsWith;
using ::testing::HasSubstr;

namespace {

// --- subtraction game -------------------------------------------------------

struct Pair {
  qword small;
  qword large;
};

// The pairs of the first questions after start-up with seed.
std::vector<Pair> pairsfor(qword seed, int count) {
  seedgenerator(seed);
  std::vector<Pair> pairs;
  while (static_cast<int>(pairs.size()) < count) {
    const qword a = nextrandom() % 179 + 1;
    const qword b = nextrandom() % 491 + 10;
    if (a != b) pairs.push_back({std::min(a, b), std::max(a, b)});
  }
  return pairs;
}

const std::string subtractionbanner =
    "\n\n    ********************************************************\n"
    "    Subtraction game\n"
    "    You need to answer 20 questions.\n\n";

std::string subtractionquestion(int n, const Pair& p) {
  return "    " + number(n) + ": What is " + number(p.small) + " subtracted from " +
         number(p.large) + "?\n    'h' for hint, 'a' for answer; 'q' to return to main menu.\n> ";
}

constexpr qword seed = 77;

TEST(SubtractionGame, QuestionDialogue) {
  const std::vector<Pair> p = pairsfor(seed, 3);
  const qword d0 = p[0].large - p[0].small;
  const qword d1 = p[1].large - p[1].small;
  const std::string range = "\n    You must type a number from 1 to 600 (or a, h, q)\n> ";
  const Session run = play(
      "4\n0\n601\nQ\n000\n" + number(d0 + 1) + "\n" + number(d0) + "x\nanswer\nhint\nquit\n", seed);
  // After the hints, back to the question; leaving counts the open question.
  EXPECT_TRUE(sametext(
      run.out, banner + menu + subtractionbanner + subtractionquestion(1, p[0]) + range + range +
                   range + range + "\n    Wrong - " + number(d0 + 1) + " is too high. (" +
                   number(p[0].small) + " + " + number(d0 + 1) + " = " +
                   number(p[0].small + d0 + 1) + ").\n    Try again.\n> " + "\n    " + number(d0) +
                   " is correct!!!\n\n" + subtractionquestion(2, p[1]) + "    The answer is " +
                   number(d1) + ".\n\n" + subtractionquestion(3, p[2]) + subtractionpage +
                   "\n    Back to the question: What is " + number(p[2].small) +
                   " subtracted from " + number(p[2].large) +
                   "?\n    'h' for hint, 'a' for answer; 'q' to return to main menu.\n> " +
                   "\n    You scored 1 out of 3.\n" + percentline("33.3", 3) + "\n" + menu + bye));
}

// The first question of seed 77 takes 112 from 444. An answer runs from 1 to
// 600 and has at most three digits: a fourth, even a leading zero, refuses it.
TEST(SubtractionGame, AnswersRunFromOneTo600InThreeDigits) {
  const Session run = play("4\n600\n601\n0332\n032\n332\nq\nq\n", seed);
  const std::string range = "\n    You must type a number from 1 to 600 (or a, h, q)\n> ";
  EXPECT_TRUE(sametext(
      run.out, banner + menu + subtractionbanner + subtractionquestion(1, {112, 444}) +
                   "\n    Wrong - 600 is too high. (112 + 600 = 712).\n    Try again.\n> " + range +
                   range +
                   "\n    Wrong - 32 is far too low. (112 + 32 = 144).\n"
                   "    Did you forget about the hundreds?\n    Try again.\n> "
                   "\n    332 is correct!!!\n\n" +
                   subtractionquestion(2, {118, 183}) + "\n    You scored 1 out of 2.\n" +
                   percentline("50.0", 2) + "\n" + menu + bye));
}

// Seed 282 draws 65 and 65 first: equal numbers are drawn again, so the first
// question takes 133 from 415.
TEST(SubtractionGame, DrawsEqualNumbersAgain) {
  EXPECT_TRUE(sametext(play("4\nq\nq\n", 282).out, banner + menu + subtractionbanner +
                                                       subtractionquestion(1, {133, 415}) +
                                                       "\n    You scored 0 out of 1.\n" +
                                                       percentline("0.0", 1) + "\n" + menu + bye));
}

TEST(SubtractionGame, TwentyCorrectAnswersThenAnotherGame) {
  const std::vector<Pair> p = pairsfor(seed, 21);
  std::string input = "4\n";
  for (int i = 0; i < 20; ++i) input += number(p[i].large - p[i].small) + "\n";
  const Session run = play(input + "y\nq\nq\n", seed);
  EXPECT_THAT(run.out, HasSubstr(subtractionquestion(20, p[19])));
  EXPECT_THAT(
      run.out,
      HasSubstr(" is correct!!!\n\n    You have finished the game. You scored 20 out "
                "of 20.\n" +
                percentline("100.0", 20) + "\n    Do you want to play again? y/n\n> \n" +
                subtractionbanner + subtractionquestion(1, p[20]) +
                "\n    You scored 0 out of 1.\n" + percentline("95.2", 21) + "\n" + menu + bye));
}

TEST(SubtractionGame, DecliningReturnsToTheMenu) {
  std::string input = "4\n";
  for (int i = 0; i < 20; ++i) input += "a\n";
  const Session run = play(input + "Y\n7\n", seed);
  EXPECT_THAT(run.out,
              EndsWith("    You have finished the game. You scored 0 out of 20.\n" +
                       percentline("0.0", 20) + "\n    Do you want to play again? y/n\n> \n\n" +
                       menu + percentline("0.0", 20) + "> " + bye));
}

// --- final three darts game -------------------------------------------------

struct Throw {
  std::string typed;  // the darts as the player would type them
  qword total;
};

// The darts of each question after start-up with seed: a first dart (single,
// double or treble, or a bull), maybe a second, and a double or the bull last.
std::vector<Throw> throwsfor(qword seed, int count) {
  seedgenerator(seed);
  auto board = [] { return nextrandom() % 22 + 1; };
  auto dart = [](qword multiplier, qword n, Throw& t) {
    if (n == 21) {
      t.typed += "o";
      t.total += 25;
    } else if (n == 22) {
      t.typed += "b";
      t.total += 50;
    } else {
      t.typed += std::string(multiplier == 1 ? "s" : multiplier == 2 ? "d" : "t") + number(n);
      t.total += multiplier * n;
    }
  };
  auto finish = [](qword n, Throw& t) {
    if (n > 20) {
      t.typed += "b";
      t.total += 50;
    } else {
      t.typed += "d" + number(n);
      t.total += 2 * n;
    }
  };
  std::vector<Throw> throws;
  for (int i = 0; i < count; ++i) {
    Throw t{"", 0};
    const qword m1 = nextrandom() % 3 + 1;
    dart(m1, board(), t);
    if (nextrandom() % 10 < 2) {
      finish(board(), t);
    } else {
      const qword m2 = nextrandom() % 3 + 1;
      const qword n2 = board();
      dart(m2, n2, t);
      finish(board(), t);
    }
    throws.push_back(t);
  }
  return throws;
}

const std::string finalbanner =
    "\n    **********************************************************\n"
    "    Final three darts game. Say which darts you need to throw.\n"
    "    (20 questions). '?' to see how to enter answers.\n\n";

std::string finalquestion(int n, qword total) {
  return "    " + number(n) + ": What should you aim for if you have " + number(total) +
         " left to finish?\n    (a for answer, h for a hint, ? for help, q to quit)\n> ";
}

// Seed 77 asks for 71, 46 and 52 first. The hint counts the ways of 46 and
// its finishes, and names the first dart of the first finish in the table.
TEST(FinalThreeDarts, QuestionDialogue) {
  const std::vector<Throw> t = throwsfor(seed, 3);
  ASSERT_EQ(t[0].total, 71U);
  ASSERT_EQ(t[1].total, 46U);
  ASSERT_EQ(t[2].total, 52U);
  const Session run = play("5\n" + t[0].typed + "\nh\n?\ns20\n" + t[1].typed + "\nq\n7\n", seed);
  const std::string correct = "\n    *** Correct!!! ***\n\n";
  // q leaves at once; the open third question is not counted.
  EXPECT_TRUE(sametext(
      run.out,
      banner + menu + finalbanner + finalquestion(1, 71) + correct + finalquestion(2, 46) +
          "    Hint:\n    There are 606 different ways to achieve 46 generally,\n"
          "    and 445 ways ending on a double or a bullseye.\n\n"
          "    Try starting with: single 6 (s6)\n> " +
          entryhelp +
          "    Back to the question: what should you aim for if you have 46 left to finish?\n> "
          "    No, the final dart must be a double or the bull\n> " +
          correct + finalquestion(3, 52) + "Bye!\n" + menu + percentline("100.0", 2) + "> " + bye));
}

TEST(FinalThreeDarts, AnswersEverythingThenPlaysAgainWithoutTheBanner) {
  const std::vector<Throw> t = throwsfor(seed, 21);
  std::string input = "5\n";
  for (int i = 0; i < 20; ++i) input += (i % 2 == 0 ? t[i].typed : "a") + "\n";
  const Session run = play(input + "yes\nq\n7\n", seed);
  EXPECT_THAT(run.out, HasSubstr(finalquestion(20, t[19].total)));
  EXPECT_THAT(run.out,
              HasSubstr("    You have answered 10 out of 20 questions correctly.\n" +
                        percentline("50.0", 20) + "\n    Do you want to play again? y/n\n> \n\n" +
                        finalquestion(1, t[20].total) + "Bye!\n" + menu + percentline("50.0", 20) +
                        "> " + bye));
  EXPECT_EQ(run.out.find(finalbanner), run.out.rfind(finalbanner));
}

TEST(FinalThreeDarts, EveryQuestionCanBeFinished) {
  // Over many questions, the drawn darts themselves are always a finish.
  for (qword s = 1; s <= 30; ++s) {
    const std::vector<Throw> t = throwsfor(s, 20);
    std::string input = "5\n";
    for (const Throw& one : t) input += one.typed + "\n";
    const Session run = play(input + "n\n", s);
    EXPECT_THAT(run.out, HasSubstr("    You have answered 20 out of 20 questions correctly.\n"))
        << s;
  }
}

// --- counters across activities ---------------------------------------------

TEST(Score, CountsCarryAcrossActivities) {
  // The 101 game: one correct answer, one question left open. The final three
  // darts game: two answers revealed. The subtraction game: one revealed, one
  // left open.
  seedgenerator(seed);
  const qword have = nextrandom() % 98 + 1;
  const Session run = play("6\n" + number(101 - have) + "\nq\n7\n5\na\na\nq\n4\na\nq\n7\n", seed);
  EXPECT_THAT(run.out, HasSubstr(percentline("50.0", 2) + "> "));
  EXPECT_THAT(run.out, EndsWith(percentline("16.7", 6) + "> " + bye));
}

}  // namespace
