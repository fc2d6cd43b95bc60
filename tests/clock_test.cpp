// The calendar clock that seeds the games. It must hold times past 19 January
// 2038 on every platform, 32-bit ones included: a 32-bit time_t would wrap
// there, and a game started then would be seeded from a wrong clock.
#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>

namespace {

TEST(Clock, HoldsAndReadsATimePast2038) {
  // 2 November 2040, 12:46:45 UTC, more seconds than 31 bits hold.
  constexpr std::int64_t in2040 = 2235473205;
  EXPECT_EQ(sizeof(std::time_t), 8U);
  const auto clock = static_cast<std::time_t>(in2040);
  EXPECT_EQ(static_cast<std::int64_t>(clock), in2040);
  const std::tm* utc = std::gmtime(&clock);
  ASSERT_NE(utc, nullptr);
  EXPECT_EQ(utc->tm_year + 1900, 2040);
  EXPECT_EQ(utc->tm_mon + 1, 11);
  EXPECT_EQ(utc->tm_mday, 2);
  EXPECT_EQ(utc->tm_hour * 3600 + utc->tm_min * 60 + utc->tm_sec, 12 * 3600 + 46 * 60 + 45);
}

}  // namespace
