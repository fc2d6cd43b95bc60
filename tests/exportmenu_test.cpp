// The export dialogue, played through the whole program in a scratch
// directory: its texts, the request grammar and the lists it asks for.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "support/play.hpp"
#include "support/sametext.hpp"
#include "support/scratch.hpp"

using ::testing::HasSubstr;

namespace {

const std::string introduction =
    "\n"
    "***************************************************************************\n"
    "Create files containing all the possible ways to achieve particular scores.\n"
    "A .txt file can be opened in Wordpad, Notepad, Word etc.\n"
    "A .csv file can be imported into Excel etc.\n"
    "\n"
    "Type (with no spaces):\n"
    "'at' for a .txt file with all the scores (= all, text)\n"
    "'dt' for a .txt file with all scores ending in doubles/bulls (= doubles, text)\n"
    "'ac' for a .csv file with all the scores (= all, csv)\n"
    "'dc' for a .csv file with all scores ending in doubles/bulls (= doubles, csv)\n"
    "Or put a number from 1 to 180 before at, dt, ac or dc to see the results for\n"
    "just that number (but don't put in any spaces).\n"
    " e.g. 'ac' creates a .csv file with every possible combination of dart scores.\n"
    "      '20ac' does the same but just for results that add up to 20.\n"
    "      'dt' creates a .txt file with every combination ending in a double/bull.\n"
    "      '20dt' does the same but just for results that add up to 20.\n"
    "'?' for some more examples.\n"
    "'q' to return to the main menu.\n";

const std::string examples =
    "\nExamples:\n"
    "40at creates a .txt file with every way to score 40.\n"
    "60dt creates a .txt file with every way to score 60 ending on a double/bull.\n"
    "180ac creates a .csv file with every way to score 180.\n"
    "10dc creates a .csv file with every way to score 10 ending on a double/bull.\n"
    "at creates a .txt file listing all scores.\n"
    "dt creates a .txt file listing all scores ending on a double/bull.\n"
    "ac creates a .csv file listing all scores.\n"
    "dc creates a .csv file listing all scores ending on a double/bull.\n\n";

const std::string prompt = "Enter at, dt, ac, dc -> ";
const std::string leave = "\n\n";
const std::string notunderstood =
    "\nI didn't understand what you typed.\n"
    "Type at, dt, ac, dc, maybe preceded by a number. '?' for help.\n\n";
const std::string toohigh = "\nThe most you can score with three darts is 180.\n";
const std::string zero = "\nYou need to enter a number higher than zero.\n";

// A whole session that enters the export menu, types the given requests and
// leaves; returns what the export menu printed between its introduction and
// its goodbye, each reply followed by the prompt.
std::string replies(const std::string& requests) {
  const Session run = play("s\n" + requests + "q\nq\n");
  const std::string start = banner + menu + introduction + prompt;
  const std::string end = leave + menu + bye;
  EXPECT_TRUE(run.out.starts_with(start) && run.out.ends_with(end)) << run.out;
  if (run.out.size() < start.size() + end.size()) return "(cut)";
  return run.out.substr(start.size(), run.out.size() - start.size() - end.size());
}

std::string written(const std::string& name) {
  return "Successfully written to " + name + "\n" + prompt;
}

TEST(ExportMenu, IntroducesItselfAndLeavesOnQ) {
  ScratchDir dir;
  EXPECT_TRUE(
      sametext(play("s\nq\nq\n").out, banner + menu + introduction + prompt + leave + menu + bye));
  EXPECT_TRUE(sametext(replies("?\n?more\n"), examples + prompt + examples + prompt));
  EXPECT_TRUE(sametext(play("s\nquit\nq\n").out,
                       banner + menu + introduction + prompt + leave + menu + bye));
  // The end of input leaves the export menu and then the program.
  EXPECT_TRUE(
      sametext(play("s\n").out, banner + menu + introduction + prompt + leave + menu + bye));
}

TEST(ExportMenu, ReadsTheRequestGrammar) {
  const struct {
    std::string_view request;
    std::string reply;
  } cases[] = {
      {"at", written("darts-score-everything.txt")},
      {"dt", written("darts-score-everything-doubles.txt")},
      {"ac", written("darts-score-everything.csv")},
      {"dc", written("darts-score-everything-doubles.csv")},
      {"20at", written("darts-score020.txt")},
      {"020at", written("darts-score020.txt")},
      {"20xat", written("darts-score020.txt")},
      {"20-at", written("darts-score020.txt")},
      {"20atxyz", written("darts-score020.txt")},
      {"5dc", written("darts-score005-doubles.csv")},
      {"180ac", written("darts-score180.csv")},
      {"20dtat", written("darts-score020-doubles.txt")},
      {"5atdc", written("darts-score005.txt")},
      {"7dt", written("darts-score007-doubles.txt")},
      {"1000at", notunderstood + prompt},
      {"181dt", toohigh + prompt},
      {"999", toohigh + prompt},
      {"180", notunderstood + prompt},
      {"0at", zero + prompt},
      {"00dc", zero + prompt},
      {"0", zero + prompt},
      {"50", notunderstood + prompt},
      {"50x", notunderstood + prompt},
      {"20xxxat", notunderstood + prompt},
      {"atx", notunderstood + prompt},
      {"a", notunderstood + prompt},
      {"d", notunderstood + prompt},
      {"dtt", notunderstood + prompt},
      {"x20at", notunderstood + prompt},
      {"-20at", notunderstood + prompt},
      {"AT", notunderstood + prompt},
      {"20AT", notunderstood + prompt},
      {"20Dc", notunderstood + prompt},
      {std::string_view("\0", 1), notunderstood + prompt},
  };
  for (const auto& c : cases) {
    ScratchDir dir;
    EXPECT_TRUE(sametext(replies(std::string(c.request) + "\n"), c.reply)) << c.request;
  }
}

TEST(ExportMenu, PassesRefusalsOfTheWriterOn) {
  ScratchDir dir;
  EXPECT_TRUE(sametext(replies("163at\n180dt\n1dc\n"),
                       "\nYou can't score 163 with three darts.\n" + prompt +
                           "\nYou can't score 180 while ending on a double/bullseye\n" + prompt +
                           "\nYou can't score 1 while ending on a double/bullseye\n" + prompt));
  EXPECT_EQ(filecount(), 0U);
}

TEST(ExportMenu, AnEarlierTokenNeverLeaksIntoALaterOne) {
  ScratchDir dir;
  EXPECT_TRUE(
      sametext(replies("180at\n5\n"), written("darts-score180.txt") + notunderstood + prompt));
}

TEST(ExportMenu, ASecondRequestForTheSameListLeavesTheFirstFile) {
  ScratchDir dir;
  const std::string twice = replies("20at\n20at\nac\nac\n");
  EXPECT_THAT(twice, HasSubstr(written("darts-score020.txt") +
                               "Cannot create the output file.\nfilename: darts-score020.txt\n"
                               "fopen returned null, errno: 17\nFile already exists\n\n\n" +
                               prompt));
  EXPECT_THAT(twice, HasSubstr(written("darts-score-everything.csv") +
                               "Cannot create the output file.\n"
                               "filename: darts-score-everything.csv\n"
                               "fopen returned null, errno: 17\nFile already exists.\n\n\n" +
                               prompt));
  EXPECT_THAT(filetext("darts-score020.txt"),
              ::testing::StartsWith("Jandro Pellowin's darts program - "));
}

TEST(ExportMenu, ANewPlayersSession) {
  ScratchDir dir;
  const Session run = play("s\nat\ndc\n20dt\n?\nq\nq\n");
  EXPECT_TRUE(sametext(
      run.out, banner + menu + introduction + prompt + written("darts-score-everything.txt") +
                   written("darts-score-everything-doubles.csv") +
                   written("darts-score020-doubles.txt") + examples + prompt + leave + menu + bye));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(filecount(), 3U);
}

}  // namespace
