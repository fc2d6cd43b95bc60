// Fuzzes the whole program: any bytes as the player's input, from start-up
// through the main menu and every activity, with a fixed seed. Score lists are
// written into a scratch directory (see scratch.hpp), each list only once.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "scratch.hpp"
#include "support/play.hpp"

namespace {

// Lines that only an internal error prints; no input may lead to one.
constexpr std::string_view internalerrors[] = {"Error: ", "Fatal error", "!!! appendqword"};

constexpr qword seed = 1;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  fuzzscratch::enter(argc, argv);
  return 0;
}

// Whatever is typed, the session ends with "Bye!" and exit status 0 (at the
// latest at the end of the input, which reads as "q"), without an internal
// error on the way.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const Session run = play(std::string_view(reinterpret_cast<const char*>(data), size), seed);
  if (run.status != 0 || !run.out.ends_with(bye)) __builtin_trap();
  for (std::string_view error : internalerrors) {
    if (run.out.find(error) != std::string_view::npos) __builtin_trap();
  }
  return 0;
}
