// The export dialogue. A request is one token: a code alone ("at", "dt",
// "ac", "dc") for the list of every total, or a number from 1 to 180 followed
// by a code, within the token's first five characters, for one total's list.
#include "export/exportmenu.hpp"

#include <array>
#include <cstddef>
#include <string_view>

#include "base/console.hpp"
#include "base/limits.hpp"
#include "base/qword.hpp"
#include "core/throwtable.hpp"
#include "export/scorelist.hpp"

namespace {

// The request codes, in the order they are searched for, with the format and
// kind they pass to the writer.
struct RequestCode {
  std::string_view code;
  ListFormat format;
  WayKind kind;
};

constexpr std::array<RequestCode, 4> requestcodes = {{
    {"at", ListFormat::text, WayKind::all},
    {"dt", ListFormat::text, WayKind::finishing},
    {"ac", ListFormat::comma, WayKind::all},
    {"dc", ListFormat::comma, WayKind::finishing},
}};

constexpr const char* introduction =
    "\n"
    "***************************************************************************\n"
    "Create files containing all the possible ways to achieve particular scores.\n"
    "A .txt file can be opened in Wordpad, Notepad, Word etc.\n"
    "A .csv file can be imported into Excel etc.\n"
    "\n"
    "Type (with no spaces):\n"
    "'at' for a .txt file with all the scores (= all, text)\n"
    "'dt' for a .txt file with all scores ending in doubles/bulls (= doubles, text)\n"
    "'ac' for a .csv file with all the scores (= all, csv)\n"
    "'dc' for a .csv file with all scores ending in doubles/bulls (= doubles, csv)\n"
    "Or put a number from 1 to 180 before at, dt, ac or dc to see the results for\n"
    "just that number (but don't put in any spaces).\n"
    " e.g. 'ac' creates a .csv file with every possible combination of dart scores.\n"
    "      '20ac' does the same but just for results that add up to 20.\n"
    "      'dt' creates a .txt file with every combination ending in a double/bull.\n"
    "      '20dt' does the same but just for results that add up to 20.\n"
    "'?' for some more examples.\n"
    "'q' to return to the main menu.\n";

constexpr const char* examples =
    "\n"
    "Examples:\n"
    "40at creates a .txt file with every way to score 40.\n"
    "60dt creates a .txt file with every way to score 60 ending on a double/bull.\n"
    "180ac creates a .csv file with every way to score 180.\n"
    "10dc creates a .csv file with every way to score 10 ending on a double/bull.\n"
    "at creates a .txt file listing all scores.\n"
    "dt creates a .txt file listing all scores ending on a double/bull.\n"
    "ac creates a .csv file listing all scores.\n"
    "dc creates a .csv file listing all scores ending on a double/bull.\n"
    "\n";

constexpr const char* notunderstood =
    "\nI didn't understand what you typed.\n"
    "Type at, dt, ac, dc, maybe preceded by a number. '?' for help.\n\n";

bool isdecimaldigit(char c) {
  return c >= '0' && c <= '9';
}

// Handles a request that starts with a digit: up to three digits make the
// total, and the first code (in search order) found at character pairs 2-3,
// 3-4 or 4-5 names the list, wherever the digits end. Without a usable code
// the number decides the message.
void handlenumbered(std::string_view request) {
  qword total = 0;
  for (std::size_t at = 0; at < 3 && at < request.size() && isdecimaldigit(request[at]); ++at) {
    total = total * 10 + static_cast<qword>(request[at] - '0');
  }
  if (total >= 1 && total <= highestscore) {
    for (const RequestCode& code : requestcodes) {
      for (std::size_t at = 1; at + 2 <= request.size(); ++at) {
        if (request.substr(at, 2) != code.code) continue;
        writescorelist(code.format, code.kind, total);
        return;
      }
    }
  }
  if (total > highestscore) {
    printtext("\nThe most you can score with three darts is 180.\n");
  } else if (total == 0) {
    printtext("\nYou need to enter a number higher than zero.\n");
  } else {
    printtext("%s", notunderstood);
  }
}

// Handles one request token: a code alone asks for the list of every total,
// a token that starts with a digit for the list of one total; anything else
// is not understood.
void handlerequest(std::string_view token) {
  for (const RequestCode& code : requestcodes) {
    if (token == code.code) {
      writescorelist(code.format, code.kind, everytotal);
      return;
    }
  }
  // A token is empty where a NUL byte was typed, which ends it as a string.
  if (!token.empty() && isdecimaldigit(token.front())) {
    handlenumbered(token.substr(0, requestlength));
  } else {
    printtext("%s", notunderstood);
  }
}

}  // namespace

// Prints the introduction once, then answers one request per prompt until a
// token that begins with "q"; nothing is kept between requests.
void exportmenu() {
  printtext("%s", introduction);
  for (;;) {
    printtext("Enter at, dt, ac, dc -> ");
    readtoken(longinputbuffer);
    const std::string_view token(longinputbuffer.data());
    if (token.starts_with('q')) {
      printtext("\n\n");
      return;
    }
    if (token.starts_with('?')) {
      printtext("%s", examples);
    } else {
      handlerequest(token);
    }
  }
}
