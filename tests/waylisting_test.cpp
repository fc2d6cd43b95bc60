// The way listing, checked against ways counted and listed by brute force over
// the 62 segments, and against the exact texts of small totals.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "core/waylisting.hpp"
#include "support/play.hpp"
#include "support/sametext.hpp"

using ::testing::HasSubstr;

namespace {

using Way = std::vector<std::pair<qword, qword>>;  // (multiplier, number), sorted

std::vector<std::pair<qword, qword>> board() {
  std::vector<std::pair<qword, qword>> segments;
  for (qword m = 1; m <= 3; ++m) {
    for (qword n = 1; n <= 20; ++n) segments.push_back({m, n});
  }
  segments.push_back({1, 25});
  segments.push_back({1, 50});
  return segments;
}

bool finishes(const std::pair<qword, qword>& dart) {
  return dart.first == 2 || dart.second == 50;
}

// Every way of each total 0..255 as a sorted list of darts, by brute force.
const std::vector<std::vector<Way>>& waysbytotal() {
  static const std::vector<std::vector<Way>> ways = [] {
    std::vector<std::vector<Way>> byt(256);
    const auto s = board();
    const std::size_t n = s.size();
    auto add = [&byt](Way way) {
      qword total = 0;
      for (const auto& d : way) total += d.first * d.second;
      std::sort(way.begin(), way.end());
      byt[total].push_back(way);
    };
    for (std::size_t i = 0; i < n; ++i) {
      add({s[i]});
      for (std::size_t j = i; j < n; ++j) {
        add({s[i], s[j]});
        for (std::size_t k = j; k < n; ++k) add({s[i], s[j], s[k]});
      }
    }
    return byt;
  }();
  return ways;
}

std::vector<Way> finishingways(qword total) {
  std::vector<Way> found;
  for (const Way& way : waysbytotal()[total]) {
    if (std::any_of(way.begin(), way.end(), finishes)) found.push_back(way);
  }
  return found;
}

std::string listing(qword total, WayKind kind, WayList list) {
  return capture([=] { statsproc(total, kind, list); });
}

// The summary as the rules describe it, from the brute-force counts.
std::string summary(qword total, WayKind kind) {
  const std::size_t count = waysbytotal()[total].size();
  const std::size_t ways = finishingways(total).size();
  std::string text = count == 1 ? "\n    There is just one way"
                                : "\n    There are " + std::to_string(count) + " different ways";
  const std::string t = std::to_string(total);
  if (kind == WayKind::all) return text + " to achieve " + t + ".\n";
  if (ways == 0) {
    return text + " to achieve " + t +
           " generally,\n    but there are no ways that end on a double or a bullseye.\n\n";
  }
  return text + " to achieve " + t + " generally,\n" +
         (ways == 1
              ? "    and one way ending on a double or a bullseye.\n"
              : "    and " + std::to_string(ways) + " ways ending on a double or a bullseye.\n");
}

TEST(WayListing, SummariesOfEveryTotalMatchTheBruteForceCounts) {
  for (qword total = 0; total <= 255; ++total) {
    if (waysbytotal()[total].empty()) {
      const std::string cant =
          "\n    You can't score " + std::to_string(total) + " with three darts.\n\n";
      EXPECT_EQ(listing(total, WayKind::all, WayList::every), cant);
      EXPECT_EQ(listing(total, WayKind::finishing, WayList::summary), cant);
      continue;
    }
    EXPECT_EQ(listing(total, WayKind::all, WayList::summary), summary(total, WayKind::all) + "\n")
        << total;
    const bool none = finishingways(total).empty();
    EXPECT_EQ(listing(total, WayKind::finishing, WayList::summary),
              summary(total, WayKind::finishing) + (none ? "" : "\n"))
        << total;
  }
}

// Reads back the darts of the listed lines, in printed order, checking that
// only the first dart of a line is capitalised and that each ends with ".".
std::vector<Way> listedways(const std::string& text) {
  std::vector<Way> ways;
  for (std::size_t at = 0; (at = text.find("\n        ", at)) != std::string::npos;) {
    at += 9;
    std::string line = text.substr(at, text.find('\n', at) - at);
    if (line == "etc...") continue;
    EXPECT_EQ(line.back(), '.') << line;
    line.back() = ',';
    Way way;
    for (std::size_t start = 0, comma; (comma = line.find(',', start)) != std::string::npos;
         start = comma + 2) {
      std::string dart = line.substr(start, comma - start);
      EXPECT_EQ(std::isupper(dart[0]) != 0, start == 0) << line;
      dart[0] = static_cast<char>(std::tolower(dart[0]));
      char word[8] = {};
      unsigned n = 0;
      if (dart == "bullseye" || dart == "outer bullseye") {
        way.push_back({1, dart == "bullseye" ? 50 : 25});
      } else if (std::sscanf(dart.c_str(), "%7s %u", word, &n) == 2) {
        const std::string w = word;
        way.push_back({w == "single" ? 1 : w == "double" ? 2 : w == "treble" ? 3 : 0, n});
      } else {
        ADD_FAILURE() << line;
      }
    }
    ways.push_back(way);
  }
  return ways;
}

std::vector<Way> sorted(std::vector<Way> ways) {
  for (Way& way : ways) std::sort(way.begin(), way.end());
  std::sort(ways.begin(), ways.end());
  return ways;
}

TEST(WayListing, ListsEveryWayOnceAndFinishesLast) {
  for (qword total = 1; total <= 180; ++total) {
    EXPECT_EQ(sorted(listedways(listing(total, WayKind::all, WayList::every))),
              sorted(waysbytotal()[total]))
        << total;
    const std::vector<Way> finishing =
        listedways(listing(total, WayKind::finishing, WayList::every));
    for (const Way& way : finishing) EXPECT_TRUE(finishes(way.back())) << total;
    EXPECT_EQ(sorted(finishing), sorted(finishingways(total))) << total;
  }
}

TEST(WayListing, PrintsSmallTotalsExactly) {
  EXPECT_TRUE(sametext(listing(1, WayKind::all, WayList::firstten),
                       "\n    There is just one way to achieve 1.\n        Single 1.\n\n"));
  EXPECT_TRUE(sametext(listing(1, WayKind::finishing, WayList::firstten),
                       "\n    There is just one way to achieve 1 generally,\n"
                       "    but there are no ways that end on a double or a bullseye.\n\n"));
  EXPECT_TRUE(sametext(listing(2, WayKind::finishing, WayList::firstten),
                       "\n    There are 3 different ways to achieve 2 generally,\n"
                       "    and one way ending on a double or a bullseye.\n"
                       "        Double 1.\n\n"));
  EXPECT_TRUE(sametext(listing(4, WayKind::finishing, WayList::firstten),
                       "\n    There are 9 different ways to achieve 4 generally,\n"
                       "    and 4 ways ending on a double or a bullseye.\n"
                       "        Double 2.\n"
                       "        Single 2, double 1.\n"
                       "        Double 1, double 1.\n"
                       "        Single 1, single 1, double 1.\n\n"));
  EXPECT_TRUE(sametext(listing(170, WayKind::finishing, WayList::firstten),
                       "\n    There is just one way to achieve 170 generally,\n"
                       "    and one way ending on a double or a bullseye.\n"
                       "        Treble 20, treble 20, bullseye.\n\n"));
  EXPECT_TRUE(sametext(listing(180, WayKind::finishing, WayList::every),
                       "\n    There is just one way to achieve 180 generally,\n"
                       "    but there are no ways that end on a double or a bullseye.\n\n"));
  EXPECT_EQ(
      listing(180, WayKind::all, WayList::firstten),
      "\n    There is just one way to achieve 180.\n        Treble 20, treble 20, treble 20.\n\n");
}

TEST(WayListing, MovesOnlyOneFinishingDartLast) {
  const std::string out = listing(81, WayKind::finishing, WayList::every);
  EXPECT_THAT(out, HasSubstr("\n        Single 1, bullseye, double 15.\n"));
  EXPECT_THAT(out, HasSubstr("\n        Treble 10, single 1, bullseye.\n"));
  EXPECT_THAT(out, HasSubstr("\n        Treble 20, single 1, double 10.\n"));
}

std::size_t lines(const std::string& text) {
  std::size_t n = 0;
  for (std::size_t at = 0; (at = text.find("\n        ", at)) != std::string::npos; ++at) {
    if (text.compare(at, 15, "\n        etc...") != 0) ++n;
  }
  return n;
}

TEST(WayListing, CutsListsAfterTenLinesUnlessAllAreAsked) {
  const std::string six = listing(6, WayKind::finishing, WayList::firstten);
  EXPECT_EQ(lines(six), 10U);
  EXPECT_THAT(six, ::testing::Not(HasSubstr("etc...")));
  const std::string seven = listing(7, WayKind::finishing, WayList::firstten);
  EXPECT_EQ(lines(seven), 10U);
  EXPECT_TRUE(seven.ends_with(".\n        etc...\n\n"));
  const std::string five = listing(5, WayKind::all, WayList::firstten);
  EXPECT_EQ(lines(five), 10U);
  EXPECT_TRUE(five.ends_with(".\n        etc...\n\n"));
  const std::string fiveall = listing(5, WayKind::all, WayList::every);
  EXPECT_EQ(lines(fiveall), 12U);
  EXPECT_TRUE(fiveall.ends_with(".\n\n"));
  EXPECT_EQ(lines(listing(60, WayKind::all, WayList::every)), 659U);
}

TEST(WayListing, RefusesTotalsThatCannotBeMade) {
  EXPECT_EQ(listing(179, WayKind::finishing, WayList::every),
            "\n    You can't score 179 with three darts.\n\n");
  EXPECT_EQ(listing(300, WayKind::all, WayList::every),
            "\n    You can't score 300 with three darts.\n\n");
}

}  // namespace
