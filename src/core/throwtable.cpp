// The throw table, built by the compiler for the console program and on first
// use in the web page, with the same code. The multisets of segments are
// enumerated in ascending key order (lowest dart outermost), which is already
// the order wanted within one total and dart count; a counting pass then
// distributes them into their (total, dart count) groups, so no comparison
// sort is needed.
#include "core/throwtable.hpp"

#include <cstdint>

namespace {

constexpr int segments = static_cast<int>(boardtargets);

// The segment of an order key: singles 1 to 20, the outer bull, the bull,
// doubles 1 to 20, trebles 1 to 20.
constexpr Segment segmentofkey(int key) {
  const auto at = static_cast<std::size_t>(key);
  if (at < outerbullkey) return {1, at + 1};
  if (at == outerbullkey) return {1, outerbullnumber};
  if (at == bullkey) return {1, bullnumber};
  if (at < firsttreblekey) return {2, at - firstdoublekey + 1};
  return {3, at - firsttreblekey + 1};
}

constexpr bool keysroundtrip() {
  for (int key = 0; key < segments; ++key) {
    if (segmentorderkey(segmentofkey(key)) != static_cast<std::size_t>(key)) return false;
  }
  return true;
}
static_assert(keysroundtrip(), "segmentofkey and segmentorderkey must be inverses");

// How the table stores an absent dart: multiplier code 1, number 0.
constexpr Segment storedabsent{1, 0};

// Packs darts A >= B >= C (by key); a negative key is an absent dart.
constexpr ThrowEntry packentry(int a, int b, int c) {
  const std::array<Segment, 3> darts = {segmentofkey(a), b < 0 ? storedabsent : segmentofkey(b),
                                        c < 0 ? storedabsent : segmentofkey(c)};
  qword total = 0;
  qword flag = 0;
  for (const Segment& dart : darts) {
    total += dartpoints(dart);
    if (isfinishingdart(dart)) flag = 1;
  }
  return flag << 56U | total << 48U | darts[0].multiplier << 28U | darts[1].multiplier << 26U |
         darts[2].multiplier << 24U | darts[0].number << 16U | darts[1].number << 8U |
         darts[2].number;
}

// Calls visit(a, b, c) for every multiset of one to three segments: one-dart
// entries, then two-dart, then three-dart, each in ascending order of the
// lowest dart's key, then the next, then the highest.
template <class Visit>
constexpr void eachcombination(Visit visit) {
  for (int a = 0; a < segments; ++a) visit(a, -1, -1);
  for (int b = 0; b < segments; ++b) {
    for (int a = b; a < segments; ++a) visit(a, b, -1);
  }
  for (int c = 0; c < segments; ++c) {
    for (int b = c; b < segments; ++b) {
      for (int a = b; a < segments; ++a) visit(a, b, c);
    }
  }
}

// The group of a combination: its total, then its number of darts.
constexpr int groupof(ThrowEntry entry, int c, int b) {
  const int darts = c >= 0 ? 2 : (b >= 0 ? 1 : 0);
  return static_cast<int>(entrytotal(entry)) * 3 + darts;
}

// Fills table, which holds zeros.
constexpr void filltable(std::array<ThrowEntry, throwtablesize>& table) {
  std::array<int, static_cast<std::size_t>(highestscore + 1) * 3> next{};
  eachcombination([&next](int a, int b, int c) { ++next[groupof(packentry(a, b, c), c, b)]; });
  int start = 0;
  for (int& slot : next) {
    const int size = slot;
    slot = start;
    start += size;
  }
  eachcombination([&](int a, int b, int c) {
    const ThrowEntry entry = packentry(a, b, c);
    table[next[groupof(entry, c, b)]++] = entry;
  });
  // The first entry of each total carries the length of its run.
  std::size_t first = 0;
  while (first < throwentries) {
    std::size_t end = first;
    while (end < throwentries && entrytotal(table[end]) == entrytotal(table[first])) ++end;
    table[first] |= static_cast<qword>(end - first) << 32U;
    first = end;
  }
}

// Where each total's run starts, and its first finishing entry; throwentries
// where there is none. Totals above 180 never occur.
struct TableIndex {
  std::array<std::uint16_t, highestscore + 1> first;
  std::array<std::uint16_t, highestscore + 1> finishing;
};

constexpr TableIndex buildindex(const std::array<ThrowEntry, throwtablesize>& table) {
  TableIndex index{};
  index.first.fill(static_cast<std::uint16_t>(throwentries));
  index.finishing.fill(static_cast<std::uint16_t>(throwentries));
  for (std::size_t i = throwentries; i-- > 0;) {
    const qword total = entrytotal(table[i]);
    index.first[total] = static_cast<std::uint16_t>(i);
    if (entryflag(table[i]) != 0) index.finishing[total] = static_cast<std::uint16_t>(i);
  }
  return index;
}

static_assert(throwentries < 0xFFFF, "the index holds positions in 16 bits");

// The totals from 1 to highestscore whose first entry, or first finishing
// entry, the index does not find.
constexpr TotalSet missingtotals(const std::array<std::uint16_t, highestscore + 1>& index) {
  TotalSet set{};
  for (std::size_t total = 1; total < index.size(); ++total) {
    if (index[total] == throwentries) set.totals[set.count++] = total;
  }
  return set;
}

// The table, its index and the facts derived from them.
struct TableFacts {
  std::array<ThrowEntry, throwtablesize> table;
  TableIndex index;
  TotalSet unmakeable;
  TotalSet unfinishable;
};

// Each part is filled in place: a local initialised from a constant
// expression would be computed by the compiler even where this runs at run
// time.
constexpr TableFacts buildfacts() {
  TableFacts facts{};
  filltable(facts.table);
  facts.index = buildindex(facts.table);
  facts.unmakeable = missingtotals(facts.index.first);
  facts.unfinishable = missingtotals(facts.index.finishing);
  return facts;
}

#ifndef QUIVERLY_TABLE_AT_RUN_TIME
// The console program carries what the compiler built.
constexpr TableFacts compiledfacts = buildfacts();

static_assert(compiledfacts.table[throwentries] == 0 && compiledfacts.table[throwentries + 1] == 0);
static_assert(compiledfacts.table[0] == 0x0001000115010000ULL);

const TableFacts& facts() {
  return compiledfacts;
}
#else
// The web page builds them with the same code when the table is first used:
// built by the compiler they would be 349 KB of the page's download, and
// building them at start-up would hold back its first text, while no question
// needs them before the player has chosen an activity. A static initialised
// straight from buildfacts would be computed by the compiler, so it is
// initialised through a function that is not constexpr.
[[gnu::noinline]] TableFacts buildfactsnow() {
  return buildfacts();
}

// The static's guard has a branch for a second thread that finds it being
// initialised; the program has one thread.
const TableFacts& facts() {
  static const TableFacts built = buildfactsnow();  // LCOV_EXCL_BR_LINE
  return built;
}
#endif

}  // namespace

const std::array<ThrowEntry, throwtablesize>& throwtable() {
  return facts().table;
}

const TotalSet& unmakeabletotals() {
  return facts().unmakeable;
}

const TotalSet& unfinishabletotals() {
  return facts().unfinishable;
}

qword firstentry(qword total) {
  return total <= highestscore ? facts().index.first[total] : throwentries;
}

qword firstfinishingentry(qword total) {
  return total <= highestscore ? facts().index.finishing[total] : throwentries;
}

qword numberofways(qword total) {
  return entrycount(throwtable()[firstentry(total)]);
}

qword numberoffinishingways(qword total) {
  const std::array<ThrowEntry, throwtablesize>& table = throwtable();
  const qword first = firstentry(total);
  const qword end = first + entrycount(table[first]);
  qword ways = 0;
  for (qword i = first; i < end; ++i) ways += entryflag(table[i]) != 0 ? 1 : 0;
  return ways;
}

bool hasfinishingway(qword total) {
  return firstfinishingentry(total) != throwentries;
}
