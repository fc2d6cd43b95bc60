// The line builder of the long lists: a line with room for a way's darts
// takes them, and one without stops the program instead of being written past
// its end.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "core/darttext.hpp"
#include "support/play.hpp"

namespace {

constexpr LineTexts texts = buildlinetexts({"", true, ""}, {", ", false, ""}, ".\n", false);
constexpr std::array<Segment, 3> single1 = {{{1, 1}, nodart, nodart}};

TEST(PutDarts, FillsALineWithRoomForThreeDarts) {
  std::array<char, 200> line{};
  line.fill('-');
  const qword length = putdarts(line, 200 - 72, single1, texts);
  EXPECT_EQ(length, 200U - 72U + 10U);
  EXPECT_EQ(std::string(line.data() + 126, 12), "--Single 1.\n");
}

TEST(PutDarts, StopsAtALineWithoutRoomForThreeDarts) {
  const auto tooshort = +[] {
    std::array<char, 71> line{};
    putdarts(line, 0, single1, texts);
  };
  const auto leadtoolong = +[] {
    std::array<char, 200> line{};
    putdarts(line, 200 - 71, single1, texts);
  };
  const auto leadbeyondtheend = +[] {
    std::array<char, 200> line{};
    putdarts(line, 201, single1, texts);
  };
  for (void (*body)() : {tooshort, leadtoolong, leadbeyondtheend}) {
    const Session run = captureexit(body);
    EXPECT_EQ(run.out, "Error: putdarts: no room in the line\n");
    EXPECT_EQ(run.status, 1);
  }
}

}  // namespace
