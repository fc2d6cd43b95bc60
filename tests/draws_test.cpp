// The generator and the four draws: the generator's sequence, each mapping
// over all 32768 generator values against the stated distributions, and each
// draw taking exactly one generator value.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <utility>

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

TEST(Generator, GivesTheClassicSequence) {
  seedgenerator(1);
  const qword expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};
  for (qword value : expected) EXPECT_EQ(nextrandom(), value);
  seedgenerator(0x100000001ULL);  // only the low 32 bits seed
  EXPECT_EQ(nextrandom(), 41U);
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

TEST(Draws, MultiplierIsSingleDoubleTrebleFourToThreeToOne) {
  EXPECT_EQ(tally(multiplierfor), (std::map<qword, qword>{{1, 16384}, {2, 12288}, {3, 4096}}));
  // Only the low three bits count.
  for (qword r = 0; r < generatorvalues; ++r)
    ASSERT_EQ(multiplierfor(r), multiplierfor(r % 8)) << r;
  EXPECT_EQ(multiplierfor(2), 2U);
  EXPECT_EQ(multiplierfor(3), 3U);
}

TEST(Draws, DartCountIsTwoOneTimeInFive) {
  EXPECT_EQ(tally(dartcountfor), (std::map<qword, qword>{{2, 6554}, {3, 26214}}));
  for (qword r : {0, 1, 10, 11, 32760, 32761}) EXPECT_EQ(dartcountfor(r), 2U) << r;
  for (qword r : {2, 3, 4, 5, 6, 7, 8, 9, 32767}) EXPECT_EQ(dartcountfor(r), 3U) << r;
}

// Each draw advances the generator once. From each state the generator's next
// value is written beside what each draw gives for it.
TEST(Draws, EachTakesExactlyOneGeneratorValue) {
  struct Drawn {
    std::uint32_t state;
    qword value, uniform, weighted, multiplier, dartcount;
  };
  const Drawn table[] = {
      {0U, 38, 17, 6, 2, 3},          {1U, 41, 20, 9, 1, 2},
      {12345U, 7584, 17, 7, 1, 3},    {0xDEADBEEFU, 18337, 12, 1, 1, 3},
      {0xFFFFFFFFU, 35, 14, 3, 3, 3},
  };
  for (const Drawn& d : table) {
    const std::uint32_t after = d.state * 214013U + 2531011U;
    const std::pair<qword (*)(), qword> draws[] = {{nextrandom, d.value},
                                                   {randomuniformnumber, d.uniform},
                                                   {randomweightednumber, d.weighted},
                                                   {randommultiplier, d.multiplier},
                                                   {randomdartcount, d.dartcount}};
    for (const auto& [draw, expected] : draws) {
      generatorstate = d.state;
      EXPECT_EQ(draw(), expected) << d.state;
      EXPECT_EQ(generatorstate, after);
    }
  }
}

}  // namespace
