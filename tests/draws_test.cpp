// The four draws: each mapping over all 32768 generator values against the
// stated distributions, and each draw taking exactly one generator value.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "random/draws.hpp"
#include "random/generator.hpp"

namespace {

constexpr qword generatorvalues = 32768;

// How often each result comes over all generator values.
template <class Mapping>
std::map<qword, qword> tally(Mapping mapping) {
  std::map<qword, qword> counts;
  for (qword r = 0; r < generatorvalues; ++r) ++counts[mapping(r)];
  return counts;
}

TEST(Draws, UniformNumberGivesOneToTwentyTwoNearlyEvenly) {
  const auto counts = tally(uniformnumberfor);
  ASSERT_EQ(counts.size(), 22U);
  for (const auto& [number, count] : counts) {
    EXPECT_GE(number, 1U);
    EXPECT_LE(number, 22U);
    EXPECT_EQ(count, number <= 10 ? 1490U : 1489U) << number;
  }
  EXPECT_EQ(uniformnumberfor(21), 22U);
  EXPECT_EQ(uniformnumberfor(22), 1U);
  EXPECT_EQ(uniformnumberfor(0), 1U);
}

TEST(Draws, WeightedNumberDoublesTenNumbers) {
  const std::set<qword> twice = {7, 9, 11, 12, 13, 14, 16, 17, 18, 19};
  const auto counts = tally(weightednumberfor);
  ASSERT_EQ(counts.size(), 22U);
  for (const auto& [number, count] : counts) {
    EXPECT_GE(number, 1U);
    EXPECT_LE(number, 22U);
    // 1024 generator values per slot of 32.
    EXPECT_EQ(count, twice.contains(number) ? 2048U : 1024U) << number;
  }
  EXPECT_EQ(weightednumberfor(0), 7U);
  EXPECT_EQ(weightednumberfor(31), 9U);
  for (qword v = 1; v <= 22; ++v) EXPECT_EQ(weightednumberfor(v + 32 * 1000), v);
}

TEST(Draws, MultiplierFollowsTheLowThreeBits) {
  const qword sequence[8] = {1, 1, 2, 3, 1, 1, 2, 2};
  for (qword r = 0; r < generatorvalues; ++r) ASSERT_EQ(multiplierfor(r), sequence[r % 8]) << r;
  const auto counts = tally(multiplierfor);
  EXPECT_EQ(counts, (std::map<qword, qword>{{1, 16384}, {2, 12288}, {3, 4096}}));
}

TEST(Draws, DartCountIsTwoOneTimeInFive) {
  EXPECT_EQ(tally(dartcountfor), (std::map<qword, qword>{{2, 6554}, {3, 26214}}));
  for (qword r : {0, 1, 10, 11, 32760, 32761}) EXPECT_EQ(dartcountfor(r), 2U) << r;
  for (qword r : {2, 3, 4, 5, 6, 7, 8, 9, 32767}) EXPECT_EQ(dartcountfor(r), 3U) << r;
}

// Each draw advances the generator once and maps the value it took.
TEST(Draws, EachTakesExactlyOneGeneratorValue) {
  struct Draw {
    qword (*draw)();
    qword (*mapping)(qword);
  };
  const Draw draws[] = {{randomuniformnumber, uniformnumberfor},
                        {randomweightednumber, weightednumberfor},
                        {randommultiplier, multiplierfor},
                        {randomdartcount, dartcountfor}};
  for (const Draw& d : draws) {
    for (std::uint32_t state : {0U, 1U, 12345U, 0xDEADBEEFU, 0xFFFFFFFFU}) {
      generatorstate = state;
      const qword value = nextrandom();
      const std::uint32_t after = generatorstate;
      generatorstate = state;
      EXPECT_EQ(d.draw(), d.mapping(value));
      EXPECT_EQ(generatorstate, after);
    }
  }
}

}  // namespace
