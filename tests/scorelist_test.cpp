// The score-list writer: the example files byte for byte, every list (of every
// total, and of each total) against lists built here independently from the
// raw table words, the refusals, and the reports of failed creation and
// failed writing.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cctype>
#include <cerrno>
#include <fstream>
#include <functional>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "core/throwtable.hpp"
#include "export/scorelist.hpp"
#include "support/play.hpp"
#include "support/sametext.hpp"
#include "support/scorelists.hpp"
#include "support/scratch.hpp"

using ::testing::StartsWith;

namespace {

// --- the examples -------------------------------------------------------------

TEST(ScoreList, WritesTheFourListsOfFour) {
  ScratchDir dir;
  const std::string opening = "Jandro Pellowin's darts program - " + address + "\n\n";
  EXPECT_EQ(request(0, 0, 4), success("darts-score004.txt"));
  EXPECT_TRUE(
      sametext(filetext("darts-score004.txt"),
               opening + "All the 9 ways you can achieve 4 with three darts:\n\n"
                         "1: Single 4\n2: Double 2\n3: Single 3, single 1\n4: Treble 1, single 1\n"
                         "5: Single 2, single 2\n6: Double 1, single 2\n7: Double 1, double 1\n"
                         "8: Single 2, single 1, single 1\n9: Double 1, single 1, single 1\n"));
  EXPECT_EQ(request(0, 1, 4), success("darts-score004-doubles.txt"));
  EXPECT_TRUE(sametext(
      filetext("darts-score004-doubles.txt"),
      opening + "All the 4 ways you can achieve 4 with three darts and end on a double or bull:\n\n"
                "1: Double 2\n2: Single 2, double 1\n3: Double 1, double 1\n"
                "4: Single 1, single 1, double 1\n"));
  EXPECT_EQ(request(1, 0, 4), success("darts-score004.csv"));
  EXPECT_TRUE(sametext(filetext("darts-score004.csv"),
                       commaheader + "4,single 4,no dart,no dart\n4,double 2,no dart,no dart\n"
                                     "4,single 3,single 1,no dart\n4,treble 1,single 1,no dart\n"
                                     "4,single 2,single 2,no dart\n4,double 1,single 2,no dart\n"
                                     "4,double 1,double 1,no dart\n4,single 2,single 1,single 1\n"
                                     "4,double 1,single 1,single 1\n"));
  EXPECT_EQ(request(1, 1, 4), success("darts-score004-doubles.csv"));
  EXPECT_TRUE(sametext(filetext("darts-score004-doubles.csv"),
                       commaheader +
                           "4,double 2,no dart,no dart\n4,single 2,double 1,no dart\n"
                           "4,double 1,double 1,no dart\n4,single 1,single 1,double 1\n"));
}

TEST(ScoreList, OneWayListsHaveTheirOwnHeader) {
  ScratchDir dir;
  EXPECT_EQ(request(0, 0, 180), success("darts-score180.txt"));
  EXPECT_TRUE(sametext(filetext("darts-score180.txt"),
                       "Jandro's Pellowin's darts program - " + address +
                           "\n\nThe one way you can achieve 180 with three darts:\n\n"
                           "1: Treble 20, treble 20, treble 20\n"));
  EXPECT_EQ(request(0, 1, 2), success("darts-score002-doubles.txt"));
  EXPECT_TRUE(
      sametext(filetext("darts-score002-doubles.txt"),
               "Jandro's Pellowin's darts program - " + address +
                   "\n\nThe one way you can achieve 2 with three darts and end on a double or bull:"
                   "\n\n1: Double 1\n"));
  EXPECT_EQ(request(1, 1, 3), success("darts-score003-doubles.csv"));
  EXPECT_TRUE(sametext(filetext("darts-score003-doubles.csv"),
                       commaheader + "3,single 1,double 1,no dart\n"));
}

TEST(ScoreList, DoublesListsEndOnTheFinishingDart) {
  ScratchDir dir;
  request(0, 1, 85);
  EXPECT_EQ(lines(filetext("darts-score085-doubles.txt")).at(8),
            "5: Treble 20, single 1, double 12");
  request(1, 1, 100);
  EXPECT_THAT(lines(filetext("darts-score100-doubles.csv")),
              ::testing::Contains("100,treble 16,single 2,bullseye"));
  // The outer bull never finishes.
  request(0, 1, 25);
  const std::vector<std::string> of25 = lines(filetext("darts-score025-doubles.txt"));
  EXPECT_EQ(of25.at(2),
            "All the 171 ways you can achieve 25 with three darts and end on a double or bull:");
  EXPECT_EQ(of25.at(4), "1: Single 1, double 12");
  EXPECT_EQ(of25.size(), 4U + 171U);
}

TEST(ScoreList, EveryTotalListsBeginAsShown) {
  ScratchDir dir;
  EXPECT_EQ(request(0, 0, 0), success("darts-score-everything.txt"));
  EXPECT_THAT(filetext("darts-score-everything.txt"),
              StartsWith("Jandro Pellowin's darts program - " + address +
                         "\n\nAll the possible scores you can achieve with three darts:\n"
                         "\n[You cannot score 163, 166, 169, 172, 173, 175, 176, 178, or 179 with "
                         "three darts.]\n"
                         "\n1: Single 1\n\n2: Single 2\n2: Double 1\n2: Single 1, single 1\n"
                         "\n3: Single 3\n"));
  EXPECT_EQ(request(0, 1, 0), success("darts-score-everything-doubles.txt"));
  EXPECT_THAT(filetext("darts-score-everything-doubles.txt"),
              StartsWith("Jandro Pellowin's darts program - " + address +
                         "\n\nAll the possible scores you can achieve with three darts while "
                         "ending on a double or a bull:\n"
                         "\n[You cannot score 1, 159, 162, 163, 165, 166, 168, 169, 171, 172, 173, "
                         "174, 175, 176, 177, 178, 179, or 180 with three darts and end on a "
                         "double or the bullseye.]\n"
                         "\n2: Double 1\n\n3: Single 1, double 1\n\n4: Double 2\n"
                         "4: Single 2, double 1\n4: Double 1, double 1\n"
                         "4: Single 1, single 1, double 1\n\n5: "));
}

// --- every list against the lists built here ----------------------------------

TEST(ScoreList, EveryTotalListsMatchTheTable) {
  ScratchDir dir;
  const std::size_t entrylines[2] = {43679, 30436};
  for (bool comma : {false, true}) {
    for (bool doubles : {false, true}) {
      const std::string name = filename(comma, doubles, 0);
      EXPECT_EQ(request(comma, doubles, 0), success(name));
      const std::string text = filetext(name);
      EXPECT_TRUE(sametext(text, expectedeverything(comma, doubles))) << name;
      std::size_t entries = 0;
      for (const std::string& line : lines(text)) {
        entries += !line.empty() && std::isdigit(static_cast<unsigned char>(line[0])) ? 1 : 0;
      }
      EXPECT_EQ(entries, entrylines[doubles]) << name;
      EXPECT_EQ(text.find('\r'), std::string::npos);
    }
  }
}

TEST(ScoreList, EveryListOfOneTotalMatchesTheTable) {
  ScratchDir dir;
  std::set<qword> oneway[2];
  for (qword total = 1; total <= 180; ++total) {
    const bool occurs = !listed(false, total).empty();
    for (bool comma : {false, true}) {
      for (bool doubles : {false, true}) {
        const std::string name = filename(comma, doubles, total);
        const std::optional<std::string> expected = expectedone(comma, doubles, total);
        const std::string printed = request(comma, doubles, total);
        if (!occurs) {
          EXPECT_EQ(printed, "\nYou can't score " + std::to_string(total) + " with three darts.\n");
        } else if (!expected) {
          EXPECT_EQ(printed, "\nYou can't score " + std::to_string(total) +
                                 " while ending on a double/bullseye\n");
        } else {
          EXPECT_EQ(printed, success(name));
          EXPECT_TRUE(sametext(filetext(name), *expected)) << name;
          if (!comma && lines(*expected).size() == 5) oneway[doubles].insert(total);
        }
        EXPECT_EQ(std::filesystem::exists(name), expected.has_value()) << name;
      }
    }
  }
  EXPECT_EQ(oneway[0], (std::set<qword>{1, 167, 170, 177, 180}));
  EXPECT_EQ(oneway[1], (std::set<qword>{2, 3, 153, 156, 167, 170}));
}

TEST(ScoreList, RefusesTotalsAboveTheTable) {
  ScratchDir dir;
  for (qword total : {181ULL, 260ULL, 1000ULL}) {
    for (qword kind : {0ULL, 1ULL, 2ULL, 3ULL}) {
      EXPECT_EQ(request(kind / 2, kind % 2, total),
                "\nYou can't score " + std::to_string(total) + " with three darts.\n");
    }
  }
  EXPECT_EQ(filecount(), 0U);
}

// --- failures ---------------------------------------------------------------

TEST(ScoreList, NeverTouchesAnExistingFile) {
  ScratchDir dir;
  EXPECT_EQ(request(0, 0, 4), success("darts-score004.txt"));
  const std::string first = filetext("darts-score004.txt");
  EXPECT_EQ(request(0, 0, 4),
            createfailure("darts-score004.txt", EEXIST, "File already exists\n\n"));
  EXPECT_TRUE(sametext(filetext("darts-score004.txt"), first));
  { std::ofstream("darts-score-everything-doubles.csv", std::ios::binary) << "my own notes\n"; }
  EXPECT_EQ(request(1, 1, 0), createfailure("darts-score-everything-doubles.csv", EEXIST,
                                            "File already exists.\n\n"));
  EXPECT_EQ(filetext("darts-score-everything-doubles.csv"), "my own notes\n");
}

}  // namespace
