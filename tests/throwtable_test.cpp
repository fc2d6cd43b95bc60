// The throw table, checked against a table built independently by brute force:
// every ordered choice of up to three segments, reduced to multisets and put in
// order with a comparison sort.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <vector>

#include "core/throwtable.hpp"

namespace {

struct Brute {
  std::vector<Segment> segments;  // in key order
  std::vector<ThrowEntry> table;
};

Brute bruteforce() {
  Brute b;
  for (qword n = 1; n <= 20; ++n) b.segments.push_back({1, n});
  b.segments.push_back({1, 25});
  b.segments.push_back({1, 50});
  for (qword m = 2; m <= 3; ++m) {
    for (qword n = 1; n <= 20; ++n) b.segments.push_back({m, n});
  }
  const int none = -1;
  // Keys of the darts, highest first; none for an absent dart.
  std::set<std::vector<int>> multisets;
  const int count = static_cast<int>(b.segments.size());
  for (int x = 0; x < count; ++x) {
    for (int y = none; y < count; ++y) {
      for (int z = none; z < count; ++z) {
        if (y == none && z != none) continue;
        std::vector<int> keys = {x};
        if (y != none) keys.push_back(y);
        if (z != none) keys.push_back(z);
        std::sort(keys.rbegin(), keys.rend());
        multisets.insert(keys);
      }
    }
  }
  auto total = [&b](const std::vector<int>& keys) {
    qword sum = 0;
    for (int k : keys) sum += b.segments[k].multiplier * b.segments[k].number;
    return sum;
  };
  std::vector<std::vector<int>> order(multisets.begin(), multisets.end());
  std::sort(order.begin(), order.end(), [&](const auto& l, const auto& r) {
    if (total(l) != total(r)) return total(l) < total(r);
    if (l.size() != r.size()) return l.size() < r.size();
    // lowest dart first, then upwards
    return std::lexicographical_compare(l.rbegin(), l.rend(), r.rbegin(), r.rend());
  });
  std::map<qword, qword> runs;
  for (const auto& keys : order) ++runs[total(keys)];
  qword previous = 0;
  for (const auto& keys : order) {
    qword word = total(keys) << 48;
    bool finishing = false;
    const int shifts[3][2] = {{28, 16}, {26, 8}, {24, 0}};
    for (int i = 0; i < 3; ++i) {
      const Segment s = i < static_cast<int>(keys.size()) ? b.segments[keys[i]] : Segment{1, 0};
      finishing = finishing || (s.number != 0 && (s.multiplier == 2 || s.number == 50));
      word |= s.multiplier << shifts[i][0] | s.number << shifts[i][1];
    }
    if (finishing) word |= 1ULL << 56;
    if (total(keys) != previous) word |= runs[total(keys)] << 32;
    previous = total(keys);
    b.table.push_back(word);
  }
  b.table.push_back(0);
  b.table.push_back(0);
  return b;
}

const Brute& brute() {
  static const Brute b = bruteforce();
  return b;
}

TEST(ThrowTable, EqualsTheBruteForceTableWordForWord) {
  ASSERT_EQ(brute().table.size(), throwtable().size());
  for (std::size_t i = 0; i < throwtable().size(); ++i) {
    ASSERT_EQ(throwtable()[i], brute().table[i]) << "entry " << i;
  }
}

TEST(ThrowTable, CountsEntriesByDarts) {
  qword bydarts[4] = {};
  for (std::size_t i = 0; i < throwentries; ++i) ++bydarts[dartcount(throwtable()[i])];
  EXPECT_EQ(bydarts[0], 0U);
  EXPECT_EQ(bydarts[1], 62U);
  EXPECT_EQ(bydarts[2], 1953U);
  EXPECT_EQ(bydarts[3], 41664U);
  EXPECT_EQ(throwentries, 43679U);
  EXPECT_NE(throwtable()[throwentries - 1], 0U);
}

// Absent darts are stored as multiplier 1, number 0, and read back as nodart.
TEST(ThrowTable, HoldsTheExampleWordsAndReadsAbsentDartsAsNone) {
  EXPECT_EQ(throwtable()[firstentry(170)], 0x01AA00013D141432ULL);
  EXPECT_EQ(throwtable()[firstentry(180)], 0x00B400013F141414ULL);
  const std::array<Segment, 3> single1 = decodeentry(throwtable()[0]);
  EXPECT_EQ(single1[0].multiplier, 1U);
  EXPECT_EQ(single1[0].number, 1U);
  for (const Segment& absent : {single1[1], single1[2]}) {
    EXPECT_FALSE(ispresent(absent));
    EXPECT_EQ(absent.multiplier, 0U);
    EXPECT_EQ(absent.number, 0U);
  }
  EXPECT_TRUE(ispresent({1, 0})) << "a typed single 0 is a dart";
}

// Darts of entry i as "m:n" pairs, highest first, absent darts left out.
std::string darts(qword i) {
  std::string text;
  for (const Segment& dart : decodeentry(throwtable()[i])) {
    if (dart.number == 0) continue;
    if (!text.empty()) text += ' ';
    text += std::to_string(dart.multiplier) + ":" + std::to_string(dart.number);
  }
  return text;
}

TEST(ThrowTable, OrdersTheRunsOfFourAndSeven) {
  const char* four[] = {"1:4",     "2:2",     "1:3 1:1",     "3:1 1:1",    "1:2 1:2",
                        "2:1 1:2", "2:1 2:1", "1:2 1:1 1:1", "2:1 1:1 1:1"};
  const qword first4 = firstentry(4);
  EXPECT_EQ(entrycount(throwtable()[first4]), 9U);
  for (qword i = 0; i < 9; ++i) EXPECT_EQ(darts(first4 + i), four[i]) << i;
  EXPECT_NE(entrytotal(throwtable()[first4 + 9]), 4U);

  const char* seven[] = {"1:7",     "1:6 1:1", "2:3 1:1", "3:2 1:1", "1:5 1:2",
                         "1:4 1:3", "2:2 1:3", "3:1 1:4", "2:1 1:5", "3:1 2:2"};
  const qword first7 = firstentry(7);
  EXPECT_EQ(entrycount(throwtable()[first7]), 24U);
  for (qword i = 0; i < 10; ++i) EXPECT_EQ(darts(first7 + i), seven[i]) << i;
  EXPECT_EQ(dartcount(throwtable()[first7 + 10]), 3U);
}

TEST(ThrowTable, KnowsWhichTotalsOccurAndFinish) {
  const std::set<qword> missing = {163, 166, 169, 172, 173, 175, 176, 178, 179};
  const std::set<qword> nofinish = {1, 159, 162, 165, 168, 171, 174, 177, 180};
  qword longest = 0;
  qword longesttotal = 0;
  for (qword total = 0; total <= 300; ++total) {
    const bool occurs = total >= 1 && total <= 180 && !missing.contains(total);
    EXPECT_EQ(firstentry(total) != throwentries, occurs) << total;
    EXPECT_EQ(hasfinishingway(total), occurs && !nofinish.contains(total)) << total;
    if (numberofways(total) > longest) {
      longest = numberofways(total);
      longesttotal = total;
    }
  }
  EXPECT_EQ(longest, 659U);
  EXPECT_EQ(longesttotal, 60U);
  EXPECT_EQ(numberofways(1), 1U);
  EXPECT_EQ(numberofways(170), 1U);
  EXPECT_EQ(numberofways(180), 1U);
  EXPECT_EQ(numberofways(0), 0U);
  const std::vector<qword> unmakeable(unmakeabletotals().totals.begin(),
                                      unmakeabletotals().totals.begin() + unmakeabletotals().count);
  EXPECT_EQ(unmakeable, (std::vector<qword>{163, 166, 169, 172, 173, 175, 176, 178, 179}));
  const std::vector<qword> unfinishable(
      unfinishabletotals().totals.begin(),
      unfinishabletotals().totals.begin() + unfinishabletotals().count);
  EXPECT_EQ(unfinishable, (std::vector<qword>{1, 159, 162, 163, 165, 166, 168, 169, 171, 172, 173,
                                              174, 175, 176, 177, 178, 179, 180}));
}

TEST(ThrowTable, LookupsAgreeWithLinearScans) {
  for (qword total = 0; total <= 260; ++total) {
    qword first = throwentries;
    qword finishing = throwentries;
    qword count = 0;
    qword finishingcount = 0;
    for (qword i = 0; throwtable()[i] != 0; ++i) {
      if ((throwtable()[i] >> 48) == 256 + total) ++finishingcount;
      if ((throwtable()[i] >> 48 & 0xFF) == total && first == throwentries) first = i;
      if ((throwtable()[i] >> 48) == 256 + total && finishing == throwentries) finishing = i;
      if ((throwtable()[i] >> 48 & 0xFF) == total) ++count;
    }
    EXPECT_EQ(firstentry(total), first) << total;
    EXPECT_EQ(firstfinishingentry(total), finishing) << total;
    EXPECT_EQ(numberofways(total), count) << total;
    EXPECT_EQ(numberoffinishingways(total), finishingcount) << total;
  }
}

// The length of the run of entries from i on that share entry i's total, read
// from the total's bits.
qword runlength(qword i) {
  const auto total = [](qword at) { return (throwtable()[at] >> 48) & 0xFF; };
  qword end = i;
  while (end < throwentries && total(end) == total(i)) ++end;
  return end - i;
}

TEST(ThrowTable, EntriesAddUpSortAndFlagConsistently) {
  EXPECT_EQ(entrycount(throwtable()[0]), 1U);
  for (qword i = 0; i < throwentries; ++i) {
    const ThrowEntry entry = throwtable()[i];
    const auto d = decodeentry(entry);
    EXPECT_EQ(entrytotal(entry), dartpoints(d[0]) + dartpoints(d[1]) + dartpoints(d[2])) << i;
    EXPECT_EQ((entry >> 30) & 3U, 0U);
    bool finishing = false;
    for (const Segment& dart : d)
      finishing = finishing || (dart.number != 0 && isfinishingdart(dart));
    EXPECT_EQ(entryflag(entry), finishing ? 1U : 0U) << i;
    if (i > 0) {
      const ThrowEntry before = throwtable()[i - 1];
      EXPECT_LE(entrytotal(before), entrytotal(entry));
      if (entrytotal(before) == entrytotal(entry)) {
        EXPECT_LE(dartcount(before), dartcount(entry));
        EXPECT_EQ(entrycount(entry), 0U);
      } else {
        EXPECT_EQ(entrycount(entry), runlength(i)) << i;
      }
    }
  }
}

TEST(ThrowTable, FinishingDartGoesLastBySingleExchange) {
  auto ordered = [](std::array<Segment, 3> d) {
    finishinglast(d);
    std::string text;
    for (const Segment& s : d)
      text += std::to_string(s.multiplier) + ":" + std::to_string(s.number) + " ";
    return text;
  };
  // double 15, bull, single 1 -> single 1, bull, double 15
  EXPECT_EQ(ordered({{{2, 15}, {1, 50}, {1, 1}}}), "1:1 1:50 2:15 ");
  // treble 10, bull, single 1 -> treble 10, single 1, bull
  EXPECT_EQ(ordered({{{3, 10}, {1, 50}, {1, 1}}}), "3:10 1:1 1:50 ");
  EXPECT_EQ(ordered({{{3, 20}, {3, 20}, {1, 50}}}), "3:20 3:20 1:50 ");
  EXPECT_EQ(ordered({{{2, 1}, {1, 1}, nodart}}), "1:1 2:1 0:0 ");
  EXPECT_EQ(ordered({{{2, 20}, {2, 1}, nodart}}), "2:20 2:1 0:0 ");
  EXPECT_EQ(ordered({{{2, 20}, nodart, nodart}}), "2:20 0:0 0:0 ");
  // Darts without a finishing one stay as they are.
  EXPECT_EQ(ordered({{{3, 20}, {3, 19}, {1, 25}}}), "3:20 3:19 1:25 ");
}

}  // namespace
