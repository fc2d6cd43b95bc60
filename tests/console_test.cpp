// The console: the token reader, the flushing of output, the number reader
// and the string builders.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <span>
#include <string>

#include "base/console.hpp"
#include "support/play.hpp"

namespace {

// Reads tokens from input into the given buffer, one per call of read.
std::string tokens(std::string_view input, int count, bool longbuffer = false) {
  std::string seen;
  capture(
      [&] {
        for (int i = 0; i < count; ++i) {
          if (longbuffer) {
            readtoken(longinputbuffer);
            seen += longinputbuffer.data();
          } else {
            readtoken(inputbuffer);
            seen += inputbuffer.data();
          }
          seen += '|';
        }
      },
      input);
  return seen;
}

TEST(ReadToken, SplitsOnWhiteSpaceAndYieldsQuitAtTheEnd) {
  EXPECT_EQ(tokens("  abc  de\n\n\tf", 5), "abc|de|f|q|q|");
  EXPECT_EQ(tokens("", 2), "q|q|");
  EXPECT_EQ(tokens("a\r\nb\vc\fd", 4), "a|b|c|d|");
  // Control characters below the white space are part of a token.
  EXPECT_EQ(tokens("a\x01"
                   "b\x08 c",
                   2),
            "a\x01"
            "b\x08|c|");
}

TEST(ReadToken, KeepsWhatFitsOfALongToken) {
  EXPECT_EQ(tokens("abcdefghijklmnopqrstuvwxyz next", 2), "abcdefghijklmno|next|");
  const std::string longtoken(150, 'x');
  EXPECT_EQ(tokens(longtoken + " y", 2, true), std::string(103, 'x') + "|y|");
  EXPECT_EQ(tokens(std::string(103, 'z') + " y", 2, true), std::string(103, 'z') + "|y|");
}

// The console's output file is fully buffered, so the prompt reaches it only
// if the read flushes it; the same holds for the end of the process.
TEST(Console, FlushesPendingOutputBeforeWaitingAndAtTheEnd) {
  {
    ConsoleRedirect console("x");
    printtext("prompt> ");
    readtoken(inputbuffer);
    EXPECT_EQ(console.written(), "prompt> ");
  }
  const Session ended = captureexit([] {
    printtext("last words\n");
    fatalexit();
  });
  EXPECT_EQ(ended.out, "last words\n");
  EXPECT_EQ(ended.status, 1);
}

std::string built(qword value, qword minwidth, std::string start = "") {
  std::array<char, 64> buffer{};
  copystring(buffer, start);
  const qword length = appendqword(buffer, value, minwidth);
  std::string text = buffer.data();
  EXPECT_EQ(length, text.size());
  return text;
}

TEST(StringBuilders, AppendQwordPadsAndRefuses) {
  EXPECT_EQ(built(0, 0), "0");
  EXPECT_EQ(built(0, 3), "000");
  EXPECT_EQ(built(7, 3), "007");
  EXPECT_EQ(built(1234, 3), "1234");
  EXPECT_EQ(built(5, 40), "000000000000005");
  EXPECT_EQ(built(20, 3, "darts-score"), "darts-score020");
  EXPECT_EQ(built(9999999999999999999ULL, 0), "9999999999999999999");
  EXPECT_EQ(built(10000000000000000000ULL, 0), "10000000000000000000");
}

TEST(StringBuilders, AppendQwordAboveTenToTheNineteenthIsNan) {
  std::string text;
  const std::string printed = capture([&] { text = built(10000000000000000001ULL, 3, "n="); });
  EXPECT_EQ(text, "n=nan");
  EXPECT_EQ(printed, "\n!!! appendqword => number too big to portray as text !!!\n\n");
  EXPECT_EQ(capture([&] { text = built(18446744073709551615ULL, 0); }),
            "\n!!! appendqword => number too big to portray as text !!!\n\n");
  EXPECT_EQ(text, "nan");
  EXPECT_EQ(capture([] { built(10000000000000000000ULL, 3); }), "");
}

TEST(StringBuilders, CopyAndAppendReturnTheNewLength) {
  std::array<char, 32> buffer{};
  EXPECT_EQ(copystring(buffer, "darts"), 5U);
  EXPECT_EQ(appendstring(buffer, ""), 5U);
  EXPECT_EQ(appendstring(buffer, "-score"), 11U);
  EXPECT_STREQ(buffer.data(), "darts-score");
  EXPECT_EQ(copystring(buffer, ""), 0U);
  EXPECT_STREQ(buffer.data(), "");
  // Text that does not fit is cut short and stays terminated.
  std::array<char, 6> small{};
  EXPECT_EQ(copystring(small, "abcdefgh"), 5U);
  EXPECT_EQ(appendstring(small, "xyz"), 5U);
  EXPECT_STREQ(small.data(), "abcde");
}

TEST(ReadNumber, TakesOnlyShortRunsOfLeadingDigits) {
  auto number = [](const char* token, qword maxdigits) {
    return readnumber(std::span<const char>(token, std::strlen(token) + 1), maxdigits);
  };
  EXPECT_EQ(number("007", 3), 7U);
  EXPECT_EQ(number("45x", 3), 45U);
  EXPECT_EQ(number("1000", 3), 0U);
  EXPECT_EQ(number("1000", 4), 1000U);
  EXPECT_EQ(number("10000", 4), 0U);
  EXPECT_EQ(number("0123", 3), 0U);
  EXPECT_EQ(number("-5", 3), 0U);
  EXPECT_EQ(number("", 3), 0U);
  EXPECT_EQ(number("9", 3), 9U);
}

}  // namespace
