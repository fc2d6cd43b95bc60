// The dart answer parser. A token is read dart by dart with the dart words of
// one table, tried in order; one separator may stand before a dart and one
// between a word and its number. Reading never goes past the token's
// terminator, nor past the end of the buffer holding it.
#include "core/dartanswer.hpp"

#include <array>
#include <cstring>
#include <string_view>

#include "base/console.hpp"
#include "core/throwtable.hpp"

namespace {

// A dart word and what it reads. A word may require that the next character is
// not a given letter (so "bu" does not read as the bull) or that a digit
// follows (so "d" alone is no double); the required digit is not consumed. A
// number of 0 means the dart's number is still to be read.
struct DartWord {
  std::string_view word;
  char notfollowedby;
  bool digitfollows;
  qword multiplier;
  qword number;
};

// The first rule that matches wins: each word comes before its first letter,
// which stands for it. The last rule, with no letters, reads a bare number as
// a single.
// clang-format off
constexpr std::array<DartWord, 12> dartwords = {{
    {"bull", '\0', false, 1, bullnumber},      {"b", 'u', false, 1, bullnumber},
    {"outerbull", '\0', false, 1, outerbullnumber}, {"o", 'u', false, 1, outerbullnumber},
    {"double", '\0', false, 2, 0},     {"d", '\0', true, 2, 0},
    {"treble", '\0', false, 3, 0},     {"triple", '\0', false, 3, 0},  {"t", '\0', true, 3, 0},
    {"single", '\0', false, 1, 0},     {"s", '\0', true, 1, 0},
    {"", '\0', true, 1, 0},
}};
// clang-format on

constexpr std::string_view separators = " .,;-";

// The token and the reading position. at() gives the terminator for any
// position at or beyond the end of the buffer, so no lookahead can leave it,
// and the position only ever moves over characters that are not the
// terminator, so it stays within the buffer.
struct Token {
  std::span<const char> text;
  qword p;

  char at(qword offset) const { return p + offset < text.size() ? text[p + offset] : '\0'; }
  bool isdigit(qword offset) const { return at(offset) >= '0' && at(offset) <= '9'; }
  void skipseparator() {
    if (at(0) != '\0' && separators.find(at(0)) != std::string_view::npos) ++p;
  }
  // The characters left, up to the terminator.
  qword restlength() const {
    qword n = 0;
    while (at(n) != '\0') ++n;
    return n;
  }
};

// Whether rule matches at the token's position. The word is compared a
// character at a time and the comparison stops at the first difference, so a
// terminator ends it.
bool matches(const DartWord& rule, const Token& token) {
  for (qword i = 0; i < rule.word.size(); ++i) {
    if (token.at(i) != rule.word[i]) return false;
  }
  const qword next = rule.word.size();
  if (rule.notfollowedby != '\0' && token.at(next) == rule.notfollowedby) return false;
  return !rule.digitfollows || token.isdigit(next);
}

// Reads one dart at the token's position into dart; false after printing the
// message for a dart that cannot be read.
bool readdart(Token& token, Segment& dart) {
  token.skipseparator();
  bool numbertoread = true;
  for (const DartWord& rule : dartwords) {
    if (!matches(rule, token)) continue;
    dart = {rule.multiplier, rule.number};
    token.p += rule.word.size();
    numbertoread = rule.number == 0;
    break;
  }
  if (!numbertoread) return true;
  token.skipseparator();
  if (!token.isdigit(0)) {
    printtext("\n    I don't understand: %.*s\n", static_cast<int>(token.restlength()),
              token.text.data() + token.p);
    printtext(
        "    You can type such things as: s7t19d2, t7bd7\n"
        "    single7,treble19,double2 etc (but no spaces)\n"
        "    and I will understand.\n");
    return false;
  }
  qword number = static_cast<qword>(token.at(0) - '0');
  ++token.p;
  if (token.isdigit(0)) {
    number = number * 10 + static_cast<qword>(token.at(0) - '0');
    ++token.p;
  }
  dart.number = number;
  if (number > highestboardnumber) {
    printtext("    Nowhere on the dartboard scores more than 20, apart from the bullseyes.\n");
    return false;
  }
  return true;
}

}  // namespace

// Reads the darts, then judges them: a zero value first, then the finishing
// rule on the last dart typed, then the total. Text after a third dart is
// ignored. A slot that nothing was read into stays nodart.
qword checkdartsanswer(qword wanted, std::span<const char> text) {
  std::array<Segment, 3> darts = {nodart, nodart, nodart};
  Token token{text, 0};
  for (Segment& dart : darts) {
    if (token.at(0) == '\0') break;
    if (!readdart(token, dart)) return 1;
  }
  qword value = 0;
  Segment last = nodart;
  for (const Segment& dart : darts) {
    value += dart.multiplier * dart.number;
    if (ispresent(dart)) last = dart;
  }
  if (value == 0) {
    printtext("    You entered zero - that won't help\n");
    return 1;
  }
  if (!isfinishingdart(last)) {
    printtext("    No, the final dart must be a double or the bull\n");
    return 1;
  }
  if (value != wanted) {
    printtext("\n    Wrong - that would add up to %llu, while you need %llu.\n    Try again.\n",
              value, wanted);
    return 1;
  }
  printtext("\n    *** Correct!!! ***\n\n");
  return 0;
}

qword checkdartsanswer(qword wanted, const char* text) {
  return checkdartsanswer(wanted, std::span<const char>(text, std::strlen(text) + 1));
}

void showentryhelp() {
  printtext(
      "\n    ------------------------------------------------------------------\n"
      "    Help:\n"
      "    Type your answer on one line using text and numbers but no spaces.\n"
      "\n"
      "    You can type single, double, treble, bull, outerbull in full or\n"
      "    just the first letter of each word instead:\n"
      "        s for single, d for double, t for treble\n"
      "        b for bull, o for outerbull\n"
      "\n"
      "    Examples:\n"
      "        d7s6t3 (meaning: double 7, single 6, treble 3.)\n"
      "        t20b (meaning: treble 20 and bull.)\n"
      "        obs3 (meaning: outerbull, bullseye, single 3\n"
      "        single9treble20double8 (you can't use spaces)\n"
      "        double5,treble7,single2 (you can use commas)\n"
      "        single3,outerbull,bull\n"
      "    ------------------------------------------------------------------\n");
}
