// Fuzzes the dart answer reader: any bytes as the answer to any wanted total.
// The first two bytes choose the total (0 to 65535, so 0 and totals above 180
// come up too); the rest is the typed answer.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "core/dartanswer.hpp"
#include "core/throwtable.hpp"
#include "shell/console.hpp"
#include "support/play.hpp"

namespace {

constexpr std::string_view correct = "\n    *** Correct!!! ***\n\n";

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
// total that some finish makes can be answered correctly.
void checkverdict(qword wanted, const Verdict& verdict) {
  if (verdict.result > 1) __builtin_trap();
  if ((verdict.result == 0) != (verdict.out == correct)) __builtin_trap();
  if (verdict.result == 0 && (wanted > 180 || !hasfinishingway(wanted))) __builtin_trap();
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

  const std::size_t read = std::find(answer.begin(), answer.end(), '\0') - answer.begin();
  if (read <= kept) {
    if (stored.result != unterminated.result || stored.out != unterminated.out) __builtin_trap();
  }
  return 0;
}
