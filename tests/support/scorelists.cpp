#include "support/scorelists.hpp"

#include <cctype>
#include <cstdio>
#include <set>
#include <sstream>

#include "export/scorelist.hpp"
#include "support/play.hpp"

const std::string address = "https://example.org/quiverly";
const std::string commaheader = "total,first dart,second dart,third dart\n";

std::string request(bool comma, bool doubles, qword total) {
  return capture([&] {
    writescorelist(comma ? ListFormat::comma : ListFormat::text,
                   doubles ? WayKind::finishing : WayKind::all, total);
  });
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

namespace {

// --- the lists as built here, from the bits of each table word ---

using Dart = Segment;

}  // namespace

std::vector<Dart> rawdarts(ThrowEntry word) {
  std::vector<Dart> darts;
  const int fields[3][2] = {{28, 16}, {26, 8}, {24, 0}};  // multiplier and number bits
  for (const auto& field : fields) {
    const qword number = (word >> field[1]) & 0xFF;
    if (number != 0) darts.push_back({(word >> field[0]) & 3, number});
  }
  return darts;
}

namespace {

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
  for (std::size_t i = 0; throwtable()[i] != 0; ++i) {
    const std::vector<Dart> darts = rawdarts(throwtable()[i]);
    bool finishing = false;
    for (const Dart& dart : darts) finishing = finishing || finishes(dart);
    if (doubles && !finishing) continue;
    bytotal[0].push_back(throwtable()[i]);
    bytotal.at(sum(darts)).push_back(throwtable()[i]);
  }
  return bytotal;
}

}  // namespace

const std::vector<ThrowEntry>& listed(bool doubles, qword total) {
  static const Listing listings[2] = {buildlisting(false), buildlisting(true)};
  static const std::vector<ThrowEntry> none;
  return total < listings[doubles].size() ? listings[doubles][total] : none;
}

namespace {

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

}  // namespace

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
