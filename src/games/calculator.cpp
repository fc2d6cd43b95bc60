// The darts calculator. Each request is a score with the letters "d" (or "f")
// for ways ending on a double or the bull and "a" for every way; the way
// listing prints the answer. A refused request ends with its own prompt, or
// with none, and the instructions are not repeated after it.
#include "games/calculator.hpp"

#include <array>
#include <span>

#include "base/console.hpp"
#include "base/limits.hpp"
#include "base/qword.hpp"
#include "core/throwtable.hpp"
#include "core/waylisting.hpp"

namespace {

// What one token asks for.
struct CalculatorRequest {
  qword number;
  bool finishing;
  bool all;
};

// The letters a request may carry, and the flags each sets.
struct RequestLetter {
  char letter;
  bool finishing;
  bool all;
};

constexpr std::array<RequestLetter, 3> requestletters = {{
    {'d', true, false},
    {'f', true, false},
    {'a', false, true},
}};

// Reads a request from the start of token: digits and request letters in any
// order, the digits forming one number, up to the first other character.
CalculatorRequest parserequest(std::span<const char> token) {
  CalculatorRequest request{0, false, false};
  // The token buffer, of 104 bytes, is never shorter than a request.
  // LCOV_EXCL_BR_START
  for (qword i = 0; i < requestlength && i < token.size() && token[i] != '\0'; ++i) {
    // LCOV_EXCL_BR_STOP
    const char c = token[i];
    if (c >= '0' && c <= '9') {
      request.number = request.number * 10 + static_cast<qword>(c - '0');
      continue;
    }
    const RequestLetter* found = nullptr;
    for (const RequestLetter& letter : requestletters) {
      if (letter.letter == c) found = &letter;
    }
    if (found == nullptr) break;
    request.finishing = request.finishing || found->finishing;
    request.all = request.all || found->all;
  }
  return request;
}

}  // namespace

// Prints the banner once, then answers requests until "q". The instructions
// come before every read except the one straight after a refused request.
void dartscalculator() {
  printtext(
      "\n    **********************************************************\n"
      "    Darts calculator:\n\n");
  bool promptsuppressed = false;
  for (;;) {
    if (promptsuppressed) {
      promptsuppressed = false;
    } else {
      printtext(
          "    Enter a number from 1 to 180 to see how to achieve that score.\n"
          "    'd' with the number to end in a double or bull e.g. d35 or 35d\n"
          "    'a' with the number for all results e.g. a6 or 6a (might scroll off screen)\n"
          "    You can use both 'd' and 'a' e.g. da6 or ad6 or 6da or 6ad.\n"
          "    Enter 'q' to return to the main menu.\n"
          "> ");
    }
    readtoken(longinputbuffer);
    if (longinputbuffer[0] == 'q') return;
    const CalculatorRequest request = parserequest(longinputbuffer);
    if (request.number > highestscore) {
      printtext("\n    You can't score more than 180 with three darts.\n\n");
      promptsuppressed = true;
    } else if (request.number == 0) {
      printtext(
          "\n    I don't understand - type a number, with/without 'd' and/or 'a'\n"
          "    e.g. 120 or 120d or 120da etc. 'q' to return to the main menu.\n"
          "> ");
      promptsuppressed = true;
    } else {
      statsproc(request.number, request.finishing ? WayKind::finishing : WayKind::all,
                request.all ? WayList::every : WayList::firstten);
    }
  }
}
