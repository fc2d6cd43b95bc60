// The calculator played from the main menu: what each kind of token asks the
// way listing for, the refusals and when the instructions are repeated.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "support/play.hpp"
#include "support/sametext.hpp"

namespace {

const std::string calculator =
    "\n    **********************************************************\n"
    "    Darts calculator:\n\n";
const std::string instructions =
    "    Enter a number from 1 to 180 to see how to achieve that score.\n"
    "    'd' with the number to end in a double or bull e.g. d35 or 35d\n"
    "    'a' with the number for all results e.g. a6 or 6a (might scroll off screen)\n"
    "    You can use both 'd' and 'a' e.g. da6 or ad6 or 6da or 6ad.\n"
    "    Enter 'q' to return to the main menu.\n"
    "> ";
const std::string toomuch = "\n    You can't score more than 180 with three darts.\n\n";
const std::string notunderstood =
    "\n    I don't understand - type a number, with/without 'd' and/or 'a'\n"
    "    e.g. 120 or 120d or 120da etc. 'q' to return to the main menu.\n"
    "> ";

// A session that opens the calculator, types token, leaves and quits.
std::string session(const std::string& token) {
  return play("c\n" + token + "\nq\nq\n").out;
}

// One answer of the calculator, read back from the transcript: the summary
// lines, the number of ways listed and whether "etc..." follows.
struct Reply {
  std::string summary;
  int listed;
  bool cut;
  bool operator==(const Reply&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Reply& reply) {
  return out << testing::PrintToString(reply.summary) << ", " << reply.listed << " listed"
             << (reply.cut ? ", cut" : "");
}

Reply readreply(const std::string& text) {
  const std::size_t list = text.find("\n        ");
  if (list == std::string::npos) return {text, 0, false};
  Reply reply{text.substr(0, list + 1), 0, false};
  std::size_t at = list + 1;
  for (; text.compare(at, 8, "        ") == 0; at = text.find('\n', at) + 1) {
    if (text.compare(at, 15, "        etc...\n") == 0) {
      reply.cut = true;
    } else {
      ++reply.listed;
    }
  }
  EXPECT_EQ(text.substr(at), "\n");
  return reply;
}

// The replies of a calculator session, each between two sets of instructions
// or a refusal that ends with its own prompt.
std::vector<Reply> replies(const std::string& input) {
  const std::string out = play("c\n" + input).out;
  const std::string opening = banner + menu + calculator + instructions;
  EXPECT_EQ(out.substr(0, opening.size()), opening);
  std::vector<Reply> found;
  for (std::size_t at = opening.size(), next; at < out.size(); at = next + instructions.size()) {
    next = out.find(instructions, at);
    if (next == std::string::npos) break;
    found.push_back(readreply(out.substr(at, next - at)));
  }
  return found;
}

std::string summary(int total, int ways) {
  return "\n    There are " + std::to_string(ways) + " different ways to achieve " +
         std::to_string(total) + ".\n";
}
std::string finishsummary(int total, int ways, int finishing) {
  return "\n    There are " + std::to_string(ways) + " different ways to achieve " +
         std::to_string(total) + " generally,\n    and " + std::to_string(finishing) +
         " ways ending on a double or a bullseye.\n";
}
const std::string nofinishof180 =
    "\n    There is just one way to achieve 180 generally,\n"
    "    but there are no ways that end on a double or a bullseye.\n\n";

TEST(Calculator, ReadsEachRequestAsTheWayListingIsAskedFor) {
  struct Request {
    const char* token;
    Reply reply;
  };
  const Reply plain35{summary(35, 453), 10, true};
  const Reply finishing35{finishsummary(35, 453, 290), 10, true};
  const Reply all6{summary(6, 21), 21, false};
  const Reply finishing6{finishsummary(6, 21, 10), 10, false};
  const std::vector<Request> requests = {
      {"35", plain35},
      {"d35", finishing35},
      {"35d", finishing35},
      {"f35", finishing35},
      {"3d5", finishing35},
      {"35x9", plain35},
      {"a6", all6},
      {"6a", all6},
      {"da6", finishing6},
      {"ad6", finishing6},
      {"6da", finishing6},
      {"6ad", finishing6},
      {"000035", {summary(3, 5), 5, false}},
      {"7dddd9", {finishsummary(7, 24, 11), 10, true}},
      {"180", {"\n    There is just one way to achieve 180.\n", 1, false}},
      {"180da", {nofinishof180, 0, false}},
      {"d180", {nofinishof180, 0, false}},
      {"179", {"\n    You can't score 179 with three darts.\n\n", 0, false}},
  };
  for (const Request& r : requests) {
    const std::string out = session(r.token);
    const std::string opening = banner + menu + calculator + instructions;
    const std::string closing = instructions + menu + bye;
    ASSERT_TRUE(out.starts_with(opening) && out.ends_with(closing)) << r.token;
    const std::string reply =
        out.substr(opening.size(), out.size() - opening.size() - closing.size());
    EXPECT_EQ(readreply(reply), r.reply) << r.token;
  }
}

TEST(Calculator, RefusesWhatIsNotAScore) {
  for (const char* token : {"0", "d", "a", "x", "-5", "D35", "ddddd35", "Q", "hello"}) {
    EXPECT_TRUE(sametext(session(token),
                         banner + menu + calculator + instructions + notunderstood + menu + bye))
        << token;
  }
}

TEST(Calculator, RefusesScoresAboveTheMaximumWithoutReprompting) {
  for (const char* token : {"181", "1800", "99999"}) {
    EXPECT_TRUE(
        sametext(session(token), banner + menu + calculator + instructions + toomuch + menu + bye))
        << token;
  }
  const std::string out = play("c\n181\n20\nx\n20\nquit\nq\n").out;
  const std::string opening = banner + menu + calculator + instructions + toomuch;
  const std::size_t first = out.find(instructions, opening.size());
  const std::size_t second = out.find(instructions, first + instructions.size());
  ASSERT_NE(second, std::string::npos);
  const std::string reply = out.substr(opening.size(), first - opening.size());
  EXPECT_EQ(readreply(reply), (Reply{summary(20, 212), 10, true}));
  EXPECT_TRUE(sametext(
      out, opening + reply + instructions + notunderstood + reply + instructions + menu + bye));
}

TEST(Calculator, AnswersANewPlayer) {
  const std::string out = play("c\n60\nd60\na60\nda170\n179\n181\nhello\nq\nq\n").out;
  EXPECT_EQ(replies("60\nd60\na60\nda170\n179\n181\nhello\nq\nq\n"),
            (std::vector<Reply>{
                {summary(60, 659), 10, true},
                {finishsummary(60, 659, 479), 10, true},
                {summary(60, 659), 659, false},
                {"\n    There is just one way to achieve 170 generally,\n"
                 "    and one way ending on a double or a bullseye.\n",
                 1, false},
                {"\n    You can't score 179 with three darts.\n\n", 0, false},
            }));
  EXPECT_TRUE(out.ends_with(instructions + toomuch + notunderstood + menu + bye));
  EXPECT_NE(out.find("\n        Treble 20, treble 20, bullseye.\n\n"), std::string::npos);
  // The banner comes once per visit; end of input leaves the calculator too.
  EXPECT_TRUE(sametext(play("c\nq\nc").out, banner + menu + calculator + instructions + menu +
                                                calculator + instructions + menu + bye));
}

}  // namespace
