// Fuzzes the dart answer reader: any bytes as the answer to any wanted total.
// The first two bytes choose the total (0 to 65535, so 0 and totals above 180
// come up too); the rest is the typed answer.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "base/console.hpp"
#include "core/dartanswer.hpp"
#include "support/play.hpp"

namespace {

constexpr std::string_view correct = "\n    *** Correct!!! ***\n\n";

constexpr qword highestanswer = 180;

// The totals an accepted answer can make, worked out from the board rather than
// the table: up to two darts of any kind (or none) and a last dart that is a
// double or the bull. The reader also takes "double 0" as a last double, as in
// t20d0 for 60, so a double of nothing counts here too.
constexpr std::array<bool, highestanswer + 1> buildfinishes() {
  std::array<bool, highestanswer + 1> dartvalue{};
  dartvalue[0] = dartvalue[25] = dartvalue[50] = true;
  for (qword number = 1; number <= 20; ++number) {
    for (qword multiplier = 1; multiplier <= 3; ++multiplier) dartvalue[number * multiplier] = true;
  }
  std::array<bool, highestanswer + 1> finishes{};
  for (qword first = 0; first <= 60; ++first) {
    for (qword second = 0; second <= 60; ++second) {
      if (!dartvalue[first] || !dartvalue[second]) continue;
      for (qword last = 0; last <= 50; last += 2) {
        if (last > 40 && last != 50) continue;
        if (first + second + last <= highestanswer) finishes[first + second + last] = true;
      }
    }
  }
  finishes[0] = false;
  return finishes;
}

constexpr std::array<bool, highestanswer + 1> finishes = buildfinishes();

struct Verdict {
  qword result;
  std::string out;
};

Verdict judge(qword wanted, std::span<const char> text) {
  Verdict verdict{9, ""};
  verdict.out = capture([&] { verdict.result = checkdartsanswer(wanted, text); });
  return verdict;
}

// A verdict is 0 with the one "Correct" message, or 1 with another; and only a
// total that an answer can make is ever answered correctly.
void checkverdict(qword wanted, const Verdict& verdict) {
  if (verdict.result > 1) __builtin_trap();
  if ((verdict.result == 0) != (verdict.out == correct)) __builtin_trap();
  if (verdict.result == 0 && (wanted > highestanswer || !finishes[wanted])) __builtin_trap();
}

}  // namespace

// The answer is judged twice: as a game stores it, cut to what fits in
// longinputbuffer and zero-terminated, and whole in a buffer of exactly its
// size with no terminator, where the address sanitizer sees any read beyond
// the end. Up to the first terminator or the cut the two must agree.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const qword wanted = data[0] | static_cast<qword>(data[1]) << 8;
  const std::span<const char> answer(reinterpret_cast<const char*>(data) + 2, size - 2);

  const std::size_t kept = std::min(answer.size(), longinputbuffer.size() - 1);
  std::copy_n(answer.data(), kept, longinputbuffer.data());
  longinputbuffer[kept] = '\0';
  const Verdict stored = judge(wanted, longinputbuffer);
  checkverdict(wanted, stored);

  const auto whole = std::make_unique<char[]>(answer.size());
  std::copy_n(answer.data(), answer.size(), whole.get());
  const Verdict unterminated = judge(wanted, std::span<const char>(whole.get(), answer.size()));
  checkverdict(wanted, unterminated);

  const auto read = std::find(answer.begin(), answer.end(), '\0') - answer.begin();
  if (static_cast<std::size_t>(read) <= kept) {
    if (stored.result != unterminated.result || stored.out != unterminated.out) __builtin_trap();
  }
  return 0;
}
