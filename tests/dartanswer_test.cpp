// The dart answer parser: the dart words, separators and digits, the order of
// the judging tests, and every finish of the table typed back in.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "core/dartanswer.hpp"
#include "core/throwtable.hpp"
#include "support/play.hpp"
#include "support/scorelists.hpp"

namespace {

const std::string correct = "\n    *** Correct!!! ***\n\n";
const std::string nofinish = "    No, the final dart must be a double or the bull\n";
const std::string zero = "    You entered zero - that won't help\n";
const std::string toobig =
    "    Nowhere on the dartboard scores more than 20, apart from the bullseyes.\n";

std::string notunderstood(const std::string& rest) {
  return "\n    I don't understand: " + rest +
         "\n    You can type such things as: s7t19d2, t7bd7\n"
         "    single7,treble19,double2 etc (but no spaces)\n"
         "    and I will understand.\n";
}

std::string wrong(qword value, qword wanted) {
  return "\n    Wrong - that would add up to " + std::to_string(value) + ", while you need " +
         std::to_string(wanted) + ".\n    Try again.\n";
}

// Judges token in a buffer of exactly its length plus the terminator, so that
// the address sanitizer sees any read beyond it.
std::string judged(const std::string& token, qword wanted, qword* result = nullptr) {
  auto buffer = std::make_unique<char[]>(token.size() + 1);
  token.copy(buffer.get(), token.size());
  buffer[token.size()] = '\0';
  qword r = 9;
  const std::string out = capture([&] { r = checkdartsanswer(wanted, buffer.get()); });
  qword viaspan = 9;
  const std::string again = capture([&] {
    viaspan = checkdartsanswer(wanted, std::span<const char>(buffer.get(), token.size() + 1));
  });
  EXPECT_EQ(out, again) << token;
  EXPECT_EQ(r, viaspan) << token;
  EXPECT_EQ(r, out == correct ? 0U : 1U) << token;
  if (result != nullptr) *result = r;
  return out;
}

struct Case {
  const char* token;
  qword wanted;
  std::string expected;
};

TEST(DartAnswer, ReadsAndJudgesTypedDarts) {
  const std::vector<Case> cases = {
      {"t20d20", 100, correct},
      {"t7bd7", 85, correct},
      {"single9treble20double8", 85, correct},
      {"triple20double20", 100, correct},
      {"t20b", 110, correct},
      {"bullbull", 100, correct},
      {"outerbullbull", 75, correct},
      {"b", 50, correct},
      {"20d10", 40, correct},
      {"d07", 14, correct},
      {"d7", 14, correct},
      {"double7", 14, correct},
      {"double-7", 14, correct},
      {"double,7", 14, correct},
      {"d20;d5", 50, correct},
      {"d20.d5", 50, correct},
      {"d20 d5", 50, correct},
      {"d20d20d20d20", 120, correct},  // the fourth dart is ignored
      {"d20d20d20,", 120, correct},
      {"d20d20d20xyz", 120, correct},
      {"t20,,5d20", 100, correct},  // the bare 5 scores nothing
      {"t20d0", 60, correct},
      {"d20", 41, wrong(40, 41)},
      {"obd3", 1, wrong(81, 1)},  // outer bull, bull, double 3
      // The last dart typed decides, before the total is looked at.
      {"double5,treble7,single2", 33, nofinish},
      {"d5t7s2", 33, nofinish},
      {"t20o", 85, nofinish},
      {"obs3", 78, nofinish},
      {"o", 25, nofinish},
      {"20", 20, nofinish},
      {"t200", 60, nofinish},  // the third digit is a single 0
      {"t20,,5", 65, nofinish},
      {"t20t20s0", 120, nofinish},
      {"t10s10", 40, nofinish},
      {"0", 0, zero},
      {"s0", 0, zero},
      {"d0", 0, zero},
      {"t25", 75, toobig},
      {"s50", 50, toobig},
      {"d99", 40, toobig},
      {"T20D20", 100, notunderstood("T20D20")},
      {"Bull", 50, notunderstood("Bull")},
      {"D20", 40, notunderstood("D20")},
      {"bux", 50, notunderstood("bux")},
      {"bu", 50, notunderstood("bu")},
      {"outer", 25, notunderstood("outer")},
      {"tr5", 15, notunderstood("tr5")},
      {"d,7", 14, notunderstood("d,7")},
      {"d", 2, notunderstood("d")},
      {"t20d20,", 100, notunderstood("")},   // the comma opens a third dart
      {"d20,,d5", 50, notunderstood("d5")},  // only one separator is skipped
      {"double", 2, notunderstood("")},
      {"", 0, zero},
  };
  for (const Case& c : cases) EXPECT_EQ(judged(c.token, c.wanted), c.expected) << c.token;
}

TEST(DartAnswer, StaysWithinLongTokensAndShortBuffers) {
  EXPECT_EQ(judged("d20d20d20" + std::string(94, 'x'), 120), correct);
  EXPECT_EQ(judged(std::string(103, '-'), 1), notunderstood(std::string(101, '-')));
  // A buffer without a terminator ends where the buffer ends.
  const char unterminated[] = {'d', '2', '0', 'b', 'u'};
  std::string out =
      capture([&] { EXPECT_EQ(checkdartsanswer(40, std::span(unterminated, 3)), 0U); });
  EXPECT_EQ(out, correct);
  out = capture([&] { EXPECT_EQ(checkdartsanswer(90, std::span(unterminated, 5)), 1U); });
  EXPECT_EQ(out, notunderstood("bu"));
}

// A dart as the player would type it, in short or in full.
std::string typed(const Segment& dart, bool full) {
  if (dart.number == 50) return full ? "bull" : "b";
  if (dart.number == 25) return full ? "outerbull" : "o";
  static const char* const words[] = {"", "single", "double", "treble"};
  static const char* const letters[] = {"", "s", "d", "t"};
  return (full ? words : letters)[dart.multiplier] + std::to_string(dart.number);
}

// Every combination of the table, read from its word's bits, typed in its
// stored order in short and in reverse order in full: right exactly when the
// dart typed last is a double or the bull.
TEST(DartAnswer, JudgesEveryCombinationOfTheTableByItsLastDart) {
  for (qword i = 0; i < throwentries; ++i) {
    std::vector<Segment> darts = rawdarts(throwtable()[i]);
    const qword total = (throwtable()[i] >> 48) & 0xFF;
    for (const bool full : {false, true}) {
      if (full) std::reverse(darts.begin(), darts.end());
      std::string token;
      for (const Segment& dart : darts) {
        if (full && !token.empty()) token += ',';
        token += typed(dart, full);
      }
      const bool finishes = darts.back().multiplier == 2 || darts.back().number == 50;
      ASSERT_EQ(judged(token, total), finishes ? correct : nofinish) << token;
    }
  }
}

}  // namespace
