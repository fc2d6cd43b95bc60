#include "support/sametext.hpp"

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

constexpr std::size_t contextlines = 3;  // lines shown before and after the first difference
constexpr std::size_t shownwidth = 100;  // characters of a line shown, the rest cut

struct Place {
  std::size_t line;    // from 1
  std::size_t column;  // from 1
  std::size_t start;   // byte at which the line starts
};

// The line and column of byte at.
Place placeof(std::string_view text, std::size_t at) {
  Place place{1, 1, 0};
  for (std::size_t i = 0; i < at; ++i) {
    if (text[i] == '\n') {
      ++place.line;
      place.start = i + 1;
    }
  }
  place.column = at - place.start + 1;
  return place;
}

std::size_t linecount(std::string_view text) {
  const auto ends = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
  return ends + (!text.empty() && text.back() != '\n' ? 1 : 0);
}

// One line of text as C would write it in quotes, its line end included, cut
// to shownwidth characters from byte from of the line.
std::string quoted(std::string_view line, std::size_t from) {
  std::string shown = from > 0 ? "..." : "";
  shown += '"';
  std::size_t width = 0;
  for (std::size_t i = from; i < line.size(); ++i) {
    if (width >= shownwidth) return shown + "\"...";
    const auto c = static_cast<unsigned char>(line[i]);
    if (c == '\n') {
      shown += "\\n";
    } else if (c == '\t') {
      shown += "\\t";
    } else if (c == '\r') {
      shown += "\\r";
    } else if (c == '"' || c == '\\') {
      shown += '\\';
      shown += static_cast<char>(c);
    } else if (c < 0x20 || c == 0x7F) {
      char code[8];
      std::snprintf(code, sizeof code, "\\x%02x", c);
      shown += code;
    } else {
      shown += static_cast<char>(c);
    }
    ++width;
  }
  return shown + '"';
}

// The lines of text around line (from 1), numbered, the line itself marked;
// a line with the difference beyond the width shown is shown from near it.
std::string context(std::string_view text, std::size_t line, std::size_t column) {
  std::string shown;
  std::size_t number = 1;
  std::size_t start = 0;
  const std::size_t first = line > contextlines ? line - contextlines : 1;
  while (start < text.size() && number <= line + contextlines) {
    std::size_t end = text.find('\n', start);
    end = end == std::string_view::npos ? text.size() : end + 1;
    if (number >= first) {
      const std::size_t from = number == line && column > shownwidth / 2 ? column - 1 - 20 : 0;
      shown += (number == line ? "  > " : "    ") + std::to_string(number) + ": " +
               quoted(text.substr(start, end - start), from) + "\n";
    }
    start = end;
    ++number;
  }
  if (number <= line) shown += "  > " + std::to_string(line) + ": (the text has ended)\n";
  return shown;
}

std::string size(std::string_view text) {
  return std::to_string(linecount(text)) + " lines, " + std::to_string(text.size()) + " bytes";
}

}  // namespace

::testing::AssertionResult sametext(std::string_view actual, std::string_view expected) {
  if (actual == expected) return ::testing::AssertionSuccess();
  const auto differing =
      std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end()).first;
  const auto at = static_cast<std::size_t>(differing - actual.begin());
  const Place place = placeof(actual, at);
  return ::testing::AssertionFailure()
         << "the texts differ from line " << place.line << ", column " << place.column << " (byte "
         << at + 1 << ") on\nactual (" << size(actual) << "):\n"
         << context(actual, place.line, place.column) << "expected (" << size(expected) << "):\n"
         << context(expected, place.line, place.column);
}
