// The calculator played from the main menu: what each kind of token asks the
// way listing for, the refusals and when the instructions are repeated.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/waylisting.hpp"
#include "support/play.hpp"

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

// What the way listing prints for a request, as the calculator should ask it.
std::string ways(qword total, qword option, qword showall) {
  return capture([=] { statsproc(total, option, 1, showall); });
}

// A session that opens the calculator, types token, leaves and quits.
std::string session(const std::string& token) {
  return play("c\n" + token + "\nq\nq\n").out;
}

std::string answered(const std::string& reply) {
  return banner + menu + calculator + instructions + reply + instructions + menu + bye;
}

TEST(Calculator, PassesEachRequestToTheWayListing) {
  struct Request {
    const char* token;
    qword total;
    qword option;
    qword showall;
  };
  const std::vector<Request> requests = {
      {"35", 35, 0, 0},     {"d35", 35, 1, 0},   {"35d", 35, 1, 0},  {"f35", 35, 1, 0},
      {"3d5", 35, 1, 0},    {"a6", 6, 0, 1},     {"6a", 6, 0, 1},    {"da6", 6, 1, 1},
      {"ad6", 6, 1, 1},     {"6da", 6, 1, 1},    {"6ad", 6, 1, 1},   {"000035", 3, 0, 0},
      {"180da", 180, 1, 1}, {"35x9", 35, 0, 0},  {"180", 180, 0, 0}, {"d180", 180, 1, 0},
      {"179", 179, 0, 0},   {"7dddd9", 7, 1, 0},
  };
  for (const Request& r : requests) {
    EXPECT_EQ(session(r.token), answered(ways(r.total, r.option, r.showall))) << r.token;
  }
}

TEST(Calculator, RefusesWhatIsNotAScore) {
  for (const char* token : {"0", "d", "a", "x", "-5", "D35", "ddddd35", "Q", "hello"}) {
    EXPECT_EQ(session(token),
              banner + menu + calculator + instructions + notunderstood + menu + bye)
        << token;
  }
}

TEST(Calculator, RefusesScoresAboveTheMaximumWithoutReprompting) {
  for (const char* token : {"181", "1800", "99999"}) {
    EXPECT_EQ(session(token), banner + menu + calculator + instructions + toomuch + menu + bye)
        << token;
  }
  EXPECT_EQ(play("c\n181\n20\nx\n20\nquit\nq\n").out,
            banner + menu + calculator + instructions + toomuch + ways(20, 0, 0) + instructions +
                notunderstood + ways(20, 0, 0) + instructions + menu + bye);
}

TEST(Calculator, AnswersANewPlayer) {
  EXPECT_EQ(play("c\n60\nd60\na60\nda170\n179\n181\nhello\nq\nq\n").out,
            banner + menu + calculator + instructions + ways(60, 0, 0) + instructions +
                ways(60, 1, 0) + instructions + ways(60, 0, 1) + instructions + ways(170, 1, 1) +
                instructions + "\n    You can't score 179 with three darts.\n\n" + instructions +
                toomuch + notunderstood + menu + bye);
  // The banner comes once per visit; end of input leaves the calculator too.
  EXPECT_EQ(play("c\nq\nc").out, banner + menu + calculator + instructions + menu + calculator +
                                     instructions + menu + bye);
}

}  // namespace
