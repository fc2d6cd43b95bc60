// End of input at every read: one session that visits every activity and every
// kind of question is cut short after each of its bytes, and every shortened
// session must still leave each dialogue by its usual way out and end with
// "Bye!" and status 0, without hanging or looping.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>

#include "support/play.hpp"
#include "support/scratch.hpp"

using ::testing::HasSubstr;

namespace {

// Seed 1981 throws a 301 game of two turns and a last stage with 73 left, the
// shortest kind of game there is.
constexpr qword seed = 1981;

void add(std::string& input, std::initializer_list<const char*> tokens) {
  for (const char* token : tokens) input.append(token).append("\n");
}

void repeat(std::string& input, const char* token, int times) {
  for (int i = 0; i < times; ++i) input.append(token).append("\n");
}

// The session, one token per line. Each token answers the read named in the
// comment above it; a cut just before a token makes that read meet the end of
// input.
std::string longsession() {
  std::string input;
  // Main menu: a token it does not understand; "7" before any question, whose
  // own prompt is followed straight by the next menu read.
  add(input, {"x", "7"});
  // 301 game. First add-up question: hint, out of range, too low, reveal.
  // First subtraction question: hint, out of range, reveal. Second turn's
  // add-up and subtraction questions: reveal.
  add(input, {"1", "h", "0", "1", "a", "h", "0", "a", "a", "a"});
  // Last stage (73 left): entry help, hint, unreadable darts, a wrong finish,
  // reveal. Play-again question: yes; the new game's first add-up question:
  // leave.
  add(input, {"?", "h", "x", "d1", "a", "y", "q"});
  // Main menu: "7" after questions. 501 and 1001 games: leave at the first
  // add-up question.
  add(input, {"7", "2", "q", "3", "q"});
  // Subtraction game, first question: hint, out of range, a wrong answer,
  // reveal; the other nineteen: reveal. Play-again question: yes; the new
  // game's first question: leave.
  add(input, {"4", "h", "0", "1", "a"});
  repeat(input, "a", 19);
  add(input, {"y", "q"});
  // Final three darts game, first question: entry help, hint, unreadable darts,
  // a wrong finish, reveal; the other nineteen: reveal. Play-again question:
  // yes; the new game's first question: leave.
  add(input, {"5", "?", "h", "x", "d1", "a"});
  repeat(input, "a", 19);
  add(input, {"y", "q"});
  // Exactly-101 game, first question: out of range, too low, out of range,
  // reveal; the other nineteen: reveal. Play-again question: yes; the new
  // game's first question: leave.
  add(input, {"6", "0", "1", "101", "a"});
  repeat(input, "a", 19);
  add(input, {"y", "q"});
  // Calculator: a plain score, a finishing request, an all-ways request, both
  // letters, a refused score (the next read comes without the instructions),
  // an unreadable request (likewise), leave.
  add(input, {"c", "60", "d40", "a6", "da6", "181", "x", "q"});
  // Export menu: examples, an unreadable request, the list of one total,
  // leave. Main menu: quit.
  add(input, {"s", "?", "zz", "20at", "q", "q"});
  return input;
}

qword occurrences(const std::string& text, const std::string& part) {
  qword n = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// A run that does not end within the time allowed is a hang (a dialogue that
// keeps reading "q" without leaving it also prints without end, so the limit is
// kept short): the watchdog names the cut and ends the test process.
class Watchdog {
 public:
  explicit Watchdog(std::string note)
      : note_(std::move(note)), thread_([this] {
          std::unique_lock<std::mutex> lock(mutex_);
          if (!stopped_.wait_for(lock, std::chrono::seconds(10), [this] { return done_; })) {
            std::fputs(note_.c_str(), stderr);
            std::_Exit(1);
          }
        }) {}
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;
  ~Watchdog() {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      done_ = true;
    }
    stopped_.notify_one();
    thread_.join();
  }

 private:
  std::string note_;
  std::mutex mutex_;
  std::condition_variable stopped_;
  bool done_ = false;
  std::thread thread_;
};

// Plays the first cut bytes of input under the watchdog, in a fresh directory
// as a player's session would be.
Session playcut(const std::string& input, std::size_t cut) {
  const Watchdog watchdog("end of input: no end after byte " + std::to_string(cut) + " of " +
                          std::to_string(input.size()) + "\n");
  const ScratchDir scratch;
  return play(std::string_view(input).substr(0, cut), seed);
}

TEST(EndOfInput, TheFullSessionReachesEveryKindOfRead) {
  const std::string input = longsession();
  const Session run = playcut(input, input.size());
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(run.out.ends_with(menu + bye));
  EXPECT_EQ(occurrences(run.out, "    You haven't answered any questions yet.\n> "), 1U);
  EXPECT_EQ(occurrences(run.out, "    What do these add up to: "), 5U);
  EXPECT_EQ(occurrences(run.out, "    Back to the question:\n    What is "), 1U);
  EXPECT_THAT(run.out, HasSubstr("    You have 73 left. What should you aim for to finish?\n"));
  EXPECT_THAT(run.out, HasSubstr("    You have completed the game."));
  EXPECT_THAT(run.out, HasSubstr("    Full 501 darts game.\n"));
  EXPECT_THAT(run.out, HasSubstr("    Full 1001 darts game.\n"));
  EXPECT_EQ(occurrences(run.out, "    Help:\n"), 2U);
  EXPECT_EQ(occurrences(run.out, "    I don't understand: x\n"), 2U);
  EXPECT_THAT(run.out, HasSubstr("    You have finished the game. You scored 0 out of 20.\n"));
  EXPECT_THAT(run.out, HasSubstr("    You have answered 0 out of 20 questions correctly.\n"));
  EXPECT_THAT(run.out, HasSubstr("    You have completed 20 questions. You scored 0 out of 20.\n"));
  EXPECT_EQ(occurrences(run.out, "    Do you want to play again? y/n\n> "), 4U);
  EXPECT_THAT(run.out, HasSubstr("\n    You can't score more than 180 with three darts.\n\n"
                                 "\n    I don't understand - type a number"));
  EXPECT_THAT(run.out, HasSubstr("\nExamples:\n"));
  EXPECT_THAT(run.out, HasSubstr("\nI didn't understand what you typed.\n"));
  EXPECT_THAT(run.out, HasSubstr("Successfully written to darts-score020.txt\n"));
}

// Cuts after every byte: after each token's newline, before it (the last
// token then has none) and inside longer tokens. A shortened session's
// transcript may differ from the full one but cannot be much longer.
TEST(EndOfInput, EveryShortenedSessionEndsWithBye) {
  const std::string input = longsession();
  const std::size_t fullsize = playcut(input, input.size()).out.size();
  for (std::size_t cut = 0; cut < input.size(); ++cut) {
    const Session run = playcut(input, cut);
    ASSERT_EQ(run.status, 0) << "cut after byte " << cut;
    ASSERT_TRUE(run.out.ends_with(bye)) << "cut after byte " << cut;
    ASSERT_LE(run.out.size(), 2 * fullsize) << "cut after byte " << cut;
  }
}

}  // namespace
