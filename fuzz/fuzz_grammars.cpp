// Fuzzes the request grammars of the calculator and the export dialogue: the
// same bytes are typed first into the calculator, then into the export menu,
// each run on its own with the console reading them. Score lists are written
// into a scratch directory (see scratch.hpp), each list only once.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "export/exportmenu.hpp"
#include "games/calculator.hpp"
#include "scratch.hpp"
#include "support/play.hpp"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  fuzzscratch::enter(argc, argv);
  return 0;
}

// Each dialogue must come back (at the latest at the end of the input, which
// reads as "q") with its own way out as the last thing printed.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::string calculator = capture(dartscalculator, input);
  if (!calculator.starts_with("\n    ****")) __builtin_trap();
  const std::string exported = capture(exportmenu, input);
  if (!exported.ends_with("Enter at, dt, ac, dc -> \n\n")) __builtin_trap();
  return 0;
}
