// The score-list writer: the example files byte for byte, every list (of every
// total, and of each total) against lists built here independently from the
// raw table words, the refusals, and the reports of failed creation and
// failed writing.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <fstream>
#include <functional>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "core/throwtable.hpp"
#include "export/scorelist.hpp"
#include "support/play.hpp"
#include "support/scratch.hpp"

using ::testing::StartsWith;

namespace {

const std::string address = "https://example.org/quiverly";
const std::string commaheader = "total,first dart,second dart,third dart\n";

std::string request(qword format, qword doubles, qword total) {
  return capture([&] { writescorelist(format, doubles, total); });
}

std::string success(const std::string& name) {
  return "Successfully written to " + name + "\n";
}

std::string createfailure(const std::string& name, int error, const std::string& note) {
  return "Cannot create the output file.\nfilename: " + name +
         "\nfopen returned null, errno: " + std::to_string(error) + "\n" + note + "\n";
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> result;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) result.push_back(line);
  return result;
}

// --- the lists as this test builds them, from the bits of each table word ---

struct Dart {
  qword multiplier;
  qword number;
};

// The darts present in a word, in stored order (A, B, C).
std::vector<Dart> rawdarts(ThrowEntry word) {
  std::vector<Dart> darts;
  const int fields[3][2] = {{28, 16}, {26, 8}, {24, 0}};  // multiplier and number bits
  for (const auto& field : fields) {
    const qword number = (word >> field[1]) & 0xFF;
    if (number != 0) darts.push_back({(word >> field[0]) & 3, number});
  }
  return darts;
}

bool finishes(const Dart& dart) {
  return dart.multiplier == 2 || dart.number == 50;
}

qword sum(const std::vector<Dart>& darts) {
  qword total = 0;
  for (const Dart& dart : darts) total += dart.multiplier * dart.number;
  return total;
}

std::string dartword(const Dart& dart) {
  if (dart.number == 50) return "bullseye";
  if (dart.number == 25) return "outer bullseye";
  const char* kinds[] = {"?", "single", "double", "treble"};
  return std::string(kinds[dart.multiplier]) + " " + std::to_string(dart.number);
}

// The darts as a line shows them: in a doubles list, unless the last dart
// finishes, the first finishing dart from the front changes place with it.
std::vector<Dart> shown(ThrowEntry word, bool doubles) {
  std::vector<Dart> darts = rawdarts(word);
  if (doubles && !finishes(darts.back())) {
    for (std::size_t i = 0; i + 1 < darts.size(); ++i) {
      if (!finishes(darts[i])) continue;
      std::swap(darts[i], darts.back());
      break;
    }
  }
  return darts;
}

std::string dartstext(const std::vector<Dart>& darts, bool comma) {
  std::string text;
  for (std::size_t i = 0; i < 3; ++i) {
    if (comma) {
      text += ',';
      text += i < darts.size() ? dartword(darts[i]) : "no dart";
    } else if (i == 0) {
      std::string word = dartword(darts[0]);
      word[0] = static_cast<char>(std::toupper(word[0]));
      text += ": ";
      text += word;
    } else if (i < darts.size()) {
      text += ", ";
      text += dartword(darts[i]);
    }
  }
  text += '\n';
  return text;
}

// The words of a list in table order, by total (index 0 holds them all):
// every word, or only those with a double or the bull. Built once.
using Listing = std::vector<std::vector<ThrowEntry>>;

Listing buildlisting(bool doubles) {
  Listing bytotal(181);
  for (std::size_t i = 0; throwtable[i] != 0; ++i) {
    const std::vector<Dart> darts = rawdarts(throwtable[i]);
    bool finishing = false;
    for (const Dart& dart : darts) finishing = finishing || finishes(dart);
    if (doubles && !finishing) continue;
    bytotal[0].push_back(throwtable[i]);
    bytotal.at(sum(darts)).push_back(throwtable[i]);
  }
  return bytotal;
}

const std::vector<ThrowEntry>& listed(bool doubles, qword total) {
  static const Listing listings[2] = {buildlisting(false), buildlisting(true)};
  static const std::vector<ThrowEntry> none;
  return total < listings[doubles].size() ? listings[doubles][total] : none;
}

// The note of the totals from 1 to 180 that a list has no line for.
std::string impossiblenote(bool doubles) {
  std::set<qword> present;
  for (ThrowEntry word : listed(doubles, 0)) present.insert(sum(rawdarts(word)));
  std::vector<std::string> missing;
  for (qword total = 1; total <= 180; ++total) {
    if (present.count(total) == 0) missing.push_back(std::to_string(total));
  }
  std::string note = "\n[You cannot score ";
  for (std::size_t i = 0; i < missing.size(); ++i) {
    note += (i + 1 == missing.size() ? "or " : "") + missing[i];
    note += i + 1 == missing.size() ? "" : ", ";
  }
  return note + (doubles ? " with three darts and end on a double or the bullseye.]\n"
                         : " with three darts.]\n");
}

std::string expectedeverything(bool comma, bool doubles) {
  std::string text = commaheader;
  if (!comma) {
    text = "Jandro Pellowin's darts program - " + address +
           "\n\nAll the possible scores you can achieve with three darts" +
           (doubles ? " while ending on a double or a bull:\n" : ":\n") + impossiblenote(doubles);
  }
  qword previous = 0;
  for (ThrowEntry word : listed(doubles, 0)) {
    const qword total = sum(rawdarts(word));
    if (!comma && total != previous) text += "\n";
    previous = total;
    text += std::to_string(total) + dartstext(shown(word, doubles), comma);
  }
  return text;
}

// The list of one total, or nothing when the list has no lines.
std::optional<std::string> expectedone(bool comma, bool doubles, qword total) {
  const std::vector<ThrowEntry> words = listed(doubles, total);
  if (words.empty()) return std::nullopt;
  const std::string n = std::to_string(words.size());
  std::string text = commaheader;
  if (!comma) {
    text = words.size() == 1 ? "Jandro's Pellowin's darts program - " + address +
                                   "\n\nThe one way you can achieve "
                             : "Jandro Pellowin's darts program - " + address + "\n\nAll the " + n +
                                   " ways you can achieve ";
    text += std::to_string(total) + (doubles ? " with three darts and end on a double or bull:\n\n"
                                             : " with three darts:\n\n");
  }
  qword number = 0;
  for (ThrowEntry word : words) {
    ++number;
    text += std::to_string(comma ? total : number) + dartstext(shown(word, doubles), comma);
  }
  return text;
}

std::string filename(bool comma, bool doubles, qword total) {
  char number[8];
  std::snprintf(number, sizeof number, "%03llu", total);
  return std::string("darts-score") + (total == 0 ? "-everything" : number) +
         (doubles ? "-doubles" : "") + (comma ? ".csv" : ".txt");
}

// --- the examples -------------------------------------------------------------

TEST(ScoreList, WritesTheFourListsOfFour) {
  ScratchDir dir;
  const std::string opening = "Jandro Pellowin's darts program - " + address + "\n\n";
  EXPECT_EQ(request(0, 0, 4), success("darts-score004.txt"));
  EXPECT_EQ(filetext("darts-score004.txt"),
            opening +
                "All the 9 ways you can achieve 4 with three darts:\n\n"
                "1: Single 4\n2: Double 2\n3: Single 3, single 1\n4: Treble 1, single 1\n"
                "5: Single 2, single 2\n6: Double 1, single 2\n7: Double 1, double 1\n"
                "8: Single 2, single 1, single 1\n9: Double 1, single 1, single 1\n");
  EXPECT_EQ(request(0, 1, 4), success("darts-score004-doubles.txt"));
  EXPECT_EQ(filetext("darts-score004-doubles.txt"),
            opening +
                "All the 4 ways you can achieve 4 with three darts and end on a double or bull:\n\n"
                "1: Double 2\n2: Single 2, double 1\n3: Double 1, double 1\n"
                "4: Single 1, single 1, double 1\n");
  EXPECT_EQ(request(1, 0, 4), success("darts-score004.csv"));
  EXPECT_EQ(filetext("darts-score004.csv"),
            commaheader +
                "4,single 4,no dart,no dart\n4,double 2,no dart,no dart\n"
                "4,single 3,single 1,no dart\n4,treble 1,single 1,no dart\n"
                "4,single 2,single 2,no dart\n4,double 1,single 2,no dart\n"
                "4,double 1,double 1,no dart\n4,single 2,single 1,single 1\n"
                "4,double 1,single 1,single 1\n");
  EXPECT_EQ(request(1, 1, 4), success("darts-score004-doubles.csv"));
  EXPECT_EQ(filetext("darts-score004-doubles.csv"),
            commaheader +
                "4,double 2,no dart,no dart\n4,single 2,double 1,no dart\n"
                "4,double 1,double 1,no dart\n4,single 1,single 1,double 1\n");
}

TEST(ScoreList, OneWayListsHaveTheirOwnHeader) {
  ScratchDir dir;
  EXPECT_EQ(request(0, 0, 180), success("darts-score180.txt"));
  EXPECT_EQ(filetext("darts-score180.txt"),
            "Jandro's Pellowin's darts program - " + address +
                "\n\nThe one way you can achieve 180 with three darts:\n\n"
                "1: Treble 20, treble 20, treble 20\n");
  EXPECT_EQ(request(0, 1, 2), success("darts-score002-doubles.txt"));
  EXPECT_EQ(filetext("darts-score002-doubles.txt"),
            "Jandro's Pellowin's darts program - " + address +
                "\n\nThe one way you can achieve 2 with three darts and end on a double or bull:"
                "\n\n1: Double 1\n");
  EXPECT_EQ(request(1, 1, 3), success("darts-score003-doubles.csv"));
  EXPECT_EQ(filetext("darts-score003-doubles.csv"), commaheader + "3,single 1,double 1,no dart\n");
}

TEST(ScoreList, DoublesListsEndOnTheFinishingDart) {
  ScratchDir dir;
  request(0, 1, 85);
  EXPECT_EQ(lines(filetext("darts-score085-doubles.txt")).at(8),
            "5: Treble 20, single 1, double 12");
  request(1, 1, 100);
  EXPECT_THAT(lines(filetext("darts-score100-doubles.csv")),
              ::testing::Contains("100,treble 16,single 2,bullseye"));
  // The outer bull never finishes.
  request(0, 1, 25);
  const std::vector<std::string> of25 = lines(filetext("darts-score025-doubles.txt"));
  EXPECT_EQ(of25.at(2),
            "All the 171 ways you can achieve 25 with three darts and end on a double or bull:");
  EXPECT_EQ(of25.at(4), "1: Single 1, double 12");
  EXPECT_EQ(of25.size(), 4U + 171U);
}

TEST(ScoreList, EveryTotalListsBeginAsShown) {
  ScratchDir dir;
  EXPECT_EQ(request(0, 0, 0), success("darts-score-everything.txt"));
  EXPECT_THAT(filetext("darts-score-everything.txt"),
              StartsWith("Jandro Pellowin's darts program - " + address +
                         "\n\nAll the possible scores you can achieve with three darts:\n"
                         "\n[You cannot score 163, 166, 169, 172, 173, 175, 176, 178, or 179 with "
                         "three darts.]\n"
                         "\n1: Single 1\n\n2: Single 2\n2: Double 1\n2: Single 1, single 1\n"
                         "\n3: Single 3\n"));
  EXPECT_EQ(request(0, 1, 0), success("darts-score-everything-doubles.txt"));
  EXPECT_THAT(filetext("darts-score-everything-doubles.txt"),
              StartsWith("Jandro Pellowin's darts program - " + address +
                         "\n\nAll the possible scores you can achieve with three darts while "
                         "ending on a double or a bull:\n"
                         "\n[You cannot score 1, 159, 162, 163, 165, 166, 168, 169, 171, 172, 173, "
                         "174, 175, 176, 177, 178, 179, or 180 with three darts and end on a "
                         "double or the bullseye.]\n"
                         "\n2: Double 1\n\n3: Single 1, double 1\n\n4: Double 2\n"
                         "4: Single 2, double 1\n4: Double 1, double 1\n"
                         "4: Single 1, single 1, double 1\n\n5: "));
}

// --- every list against the lists built here ----------------------------------

TEST(ScoreList, EveryTotalListsMatchTheTable) {
  ScratchDir dir;
  const std::size_t entrylines[2] = {43679, 30436};
  for (bool comma : {false, true}) {
    for (bool doubles : {false, true}) {
      const std::string name = filename(comma, doubles, 0);
      EXPECT_EQ(request(comma, doubles, 0), success(name));
      const std::string text = filetext(name);
      EXPECT_EQ(text, expectedeverything(comma, doubles)) << name;
      std::size_t entries = 0;
      for (const std::string& line : lines(text)) {
        entries += !line.empty() && std::isdigit(static_cast<unsigned char>(line[0])) ? 1 : 0;
      }
      EXPECT_EQ(entries, entrylines[doubles]) << name;
      EXPECT_EQ(text.find('\r'), std::string::npos);
    }
  }
}

TEST(ScoreList, EveryListOfOneTotalMatchesTheTable) {
  ScratchDir dir;
  std::set<qword> oneway[2];
  for (qword total = 1; total <= 180; ++total) {
    const bool occurs = !listed(false, total).empty();
    for (bool comma : {false, true}) {
      for (bool doubles : {false, true}) {
        const std::string name = filename(comma, doubles, total);
        const std::optional<std::string> expected = expectedone(comma, doubles, total);
        const std::string printed = request(comma, doubles, total);
        if (!occurs) {
          EXPECT_EQ(printed, "\nYou can't score " + std::to_string(total) + " with three darts.\n");
        } else if (!expected) {
          EXPECT_EQ(printed, "\nYou can't score " + std::to_string(total) +
                                 " while ending on a double/bullseye\n");
        } else {
          EXPECT_EQ(printed, success(name));
          EXPECT_EQ(filetext(name), *expected) << name;
          if (!comma && lines(*expected).size() == 5) oneway[doubles].insert(total);
        }
        EXPECT_EQ(std::filesystem::exists(name), expected.has_value()) << name;
      }
    }
  }
  EXPECT_EQ(oneway[0], (std::set<qword>{1, 167, 170, 177, 180}));
  EXPECT_EQ(oneway[1], (std::set<qword>{2, 3, 153, 156, 167, 170}));
}

TEST(ScoreList, RefusesTotalsAboveTheTable) {
  ScratchDir dir;
  for (qword total : {181ULL, 260ULL, 1000ULL}) {
    for (qword kind : {0ULL, 1ULL, 2ULL, 3ULL}) {
      EXPECT_EQ(request(kind / 2, kind % 2, total),
                "\nYou can't score " + std::to_string(total) + " with three darts.\n");
    }
  }
  EXPECT_EQ(filecount(), 0U);
}

// --- failures ---------------------------------------------------------------

TEST(ScoreList, NeverTouchesAnExistingFile) {
  ScratchDir dir;
  EXPECT_EQ(request(0, 0, 4), success("darts-score004.txt"));
  const std::string first = filetext("darts-score004.txt");
  EXPECT_EQ(request(0, 0, 4),
            createfailure("darts-score004.txt", EEXIST, "File already exists\n\n"));
  EXPECT_EQ(filetext("darts-score004.txt"), first);
  { std::ofstream("darts-score-everything-doubles.csv") << "my own notes\n"; }
  EXPECT_EQ(request(1, 1, 0), createfailure("darts-score-everything-doubles.csv", EEXIST,
                                            "File already exists.\n\n"));
  EXPECT_EQ(filetext("darts-score-everything-doubles.csv"), "my own notes\n");
}

TEST(ScoreList, ExplainsAMissingDirectory) {
  ScratchDir dir;
  std::filesystem::create_directory("gone");
  std::filesystem::current_path("gone");
  std::filesystem::remove(dir.path() / "gone");
  EXPECT_EQ(request(0, 1, 20),
            createfailure("darts-score020-doubles.txt", ENOENT, "Probably corrupted filename\n\n"));
  std::filesystem::current_path(dir.path());
}

// Runs body in a child process whose files may grow to at most limit bytes,
// with the signal for oversized writes ignored so that the writes fail with
// EFBIG instead; returns what body printed.
std::string printedunderlimit(rlim_t limit, const std::function<void()>& body) {
  int channel[2];
  if (pipe(channel) != 0) return "(no pipe)";
  const pid_t child = fork();
  if (child == 0) {
    close(channel[0]);
    signal(SIGXFSZ, SIG_IGN);
    const rlimit size{limit, limit};
    setrlimit(RLIMIT_FSIZE, &size);
    const std::string printed = capture(body);
    const bool sent =
        write(channel[1], printed.data(), printed.size()) == static_cast<ssize_t>(printed.size());
    _exit(sent ? 0 : 1);
  }
  close(channel[1]);
  std::string printed;
  char block[4096];
  for (ssize_t n; (n = read(channel[0], block, sizeof block)) > 0;) printed.append(block, n);
  close(channel[0]);
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  return printed;
}

std::string writefailure(const std::string& name) {
  return "Cannot write the output file.\nfilename: " + name +
         "\nwrite error, errno: " + std::to_string(EFBIG) + "\n\n";
}

TEST(ScoreList, ReportsAndRemovesAListCutShort) {
  ScratchDir dir;
  // The long list fails at one of its writes, the short one when it is closed.
  EXPECT_EQ(printedunderlimit(100000, [] { writescorelist(0, 0, 0); }),
            writefailure("darts-score-everything.txt"));
  EXPECT_EQ(printedunderlimit(100, [] { writescorelist(1, 0, 60); }),
            writefailure("darts-score060.csv"));
  EXPECT_EQ(filecount(), 0U);
  // With room enough the same list is written.
  EXPECT_EQ(printedunderlimit(100000, [] { writescorelist(1, 0, 60); }),
            success("darts-score060.csv"));
  EXPECT_EQ(filetext("darts-score060.csv"), *expectedone(true, false, 60));
}

}  // namespace
