// Plays whole sessions of the program on in-memory text: start-up, the main
// menu and every activity, with the generator seeded from a fixed value instead
// of the clock. Returns everything printed and the exit status.
#pragma once

#include <string>
#include <string_view>

#include "base/qword.hpp"

struct Session {
  std::string out;
  int status;
};

Session play(std::string_view input, qword seed = 1);

// Runs body with the console reading input and writing to a string, which is
// returned; for testing a single routine's dialogue outside the menu.
template <class Body>
std::string capture(Body body, std::string_view input = "");

// The fixed texts around every session.
extern const std::string banner;
extern const std::string menu;
inline const std::string bye = "Bye!\n";

// --- implementation of capture ---------------------------------------------
struct ConsoleRedirect {
  explicit ConsoleRedirect(std::string_view input);
  ConsoleRedirect(const ConsoleRedirect&) = delete;
  ConsoleRedirect& operator=(const ConsoleRedirect&) = delete;
  ~ConsoleRedirect();
  std::string output();

 private:
  std::string in_;
  char* outbuffer_ = nullptr;
  std::size_t outsize_ = 0;
};

template <class Body>
std::string capture(Body body, std::string_view input) {
  ConsoleRedirect console(input);
  body();
  return console.output();
}
