// Dart texts prepared for the long lists: the text of every dart at its place in
// a line, made by the compiler, so that a line is built with one fixed-size copy
// per dart instead of formatting. The way listing and the score lists build
// their lines this way.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>

#include "base/qword.hpp"
#include "core/throwtable.hpp"

// A piece of a line: a fixed-size field of which the first length bytes count.
// A line takes it with one copy of the whole field; the bytes after its length
// are overwritten by whatever follows on the line.
struct Snippet {
  std::array<char, 24> text;
  qword length;
};

// The key that stands for an absent dart, after the segment order keys.
inline constexpr std::size_t absentkey = boardtargets;

// The order keys by multiplier code and number, absentkey where no dart is.
using SegmentKeys = std::array<std::array<std::uint8_t, bullnumber + 1>, highestmultiplier + 1>;

// Whether a multiplier code and number name a board segment; the code does
// not matter for the bulls.
constexpr bool istarget(const Segment& dart) {
  return ispresent(dart) && ((dart.number >= 1 && dart.number <= highestboardnumber) ||
                             dart.number == outerbullnumber || dart.number == bullnumber);
}

constexpr SegmentKeys buildsegmentkeys() {
  SegmentKeys keys{};
  for (qword multiplier = 0; multiplier < keys.size(); ++multiplier) {
    for (qword number = 0; number < keys[multiplier].size(); ++number) {
      const Segment dart{multiplier, number};
      keys[multiplier][number] =
          static_cast<std::uint8_t>(istarget(dart) ? segmentorderkey(dart) : absentkey);
    }
  }
  return keys;
}

inline constexpr SegmentKeys segmentkeys = buildsegmentkeys();

// The key of a dart: a board target's order key, absentkey for no dart.
constexpr std::size_t segmentkey(const Segment& dart) {
  return segmentkeys[dart.multiplier][dart.number];
}

// Adds text to a snippet. The snippets are made by the compiler, which refuses
// one that would not fit its field.
constexpr void appendsnippet(Snippet& snippet, std::string_view text) {
  for (const char c : text) snippet.text[snippet.length++] = c;
}

// How a dart is written at one place in a line: what stands before its name,
// whether the name is capitalised, and what stands for an absent dart.
struct DartStyle {
  std::string_view separator;
  bool capitalised;
  std::string_view absent;
};

// The text of dart in style, followed by ending (the line end after a line's
// last dart). Numbers of named darts run from 1 to 20.
constexpr Snippet darttext(const Segment& dart, const DartStyle& style, std::string_view ending) {
  Snippet snippet{};
  if (!ispresent(dart)) {
    appendsnippet(snippet, style.absent);
  } else {
    const DartName name = dartname(dart);
    appendsnippet(snippet, style.separator);
    appendsnippet(snippet, style.capitalised ? name.capital : name.lower);
    if (name.numbered) {
      appendsnippet(snippet, " ");
      if (dart.number >= 10) {
        snippet.text[snippet.length++] = static_cast<char>('0' + dart.number / 10);
      }
      snippet.text[snippet.length++] = static_cast<char>('0' + dart.number % 10);
    }
  }
  appendsnippet(snippet, ending);
  return snippet;
}

// The texts of one kind of line: by place (the first dart, a later dart),
// whether the dart ends the line, and segment key (absentkey last). A line
// with all fields writes absent darts too; otherwise only the darts present.
struct LineTexts {
  std::array<std::array<std::array<Snippet, absentkey + 1>, 2>, 2> darts;
  bool allfields;
};

constexpr LineTexts buildlinetexts(const DartStyle& first, const DartStyle& later,
                                   std::string_view ending, bool allfields) {
  LineTexts texts{};
  texts.allfields = allfields;
  for (std::size_t place = 0; place < 2; ++place) {
    for (std::size_t last = 0; last < 2; ++last) {
      auto build = [&](const Segment& dart) {
        texts.darts[place][last][segmentkey(dart)] =
            darttext(dart, place == 0 ? first : later, last != 0 ? ending : "");
      };
      for (qword multiplier = 1; multiplier <= highestmultiplier; ++multiplier) {
        for (qword number = 1; number <= highestboardnumber; ++number) build({multiplier, number});
      }
      build({1, outerbullnumber});
      build({1, bullnumber});
      build(nodart);
    }
  }
  return texts;
}

// Room a line needs after its lead for the darts of one way.
inline constexpr qword dartsroom = 3 * sizeof(Snippet::text);

// Reports a line too short for its darts and ends the program.
[[noreturn]] void nolineroom();

// Puts the darts after the lead that ends at length and returns the line's new
// length. The darts are in the order wanted; an absent one is nodart. Each
// dart is one copy of a whole snippet field to the known end of the line: this
// is the hot loop of the long lists, where formatting or a general copy per
// dart would cost more than writing the line out. A line without dartsroom
// bytes free after its lead is a fault in the caller, so it stops the program
// rather than write past it.
inline qword putdarts(std::span<char> line, qword length, const std::array<Segment, 3>& darts,
                      const LineTexts& texts) {
  if (length > line.size() || line.size() - length < dartsroom) nolineroom();
  const std::array<std::size_t, 3> keys = {segmentkey(darts[0]), segmentkey(darts[1]),
                                           segmentkey(darts[2])};
  std::size_t fields = 3;
  if (!texts.allfields) fields = keys[2] != absentkey ? 3 : (keys[1] != absentkey ? 2 : 1);
  auto put = [&line, &length](const Snippet& snippet) {
    std::memcpy(line.data() + length, snippet.text.data(), snippet.text.size());
    length += snippet.length;
  };
  put(texts.darts[0][fields == 1 ? 1 : 0][keys[0]]);
  if (fields >= 2) put(texts.darts[1][fields == 2 ? 1 : 0][keys[1]]);
  if (fields == 3) put(texts.darts[1][1][keys[2]]);
  return length;
}
