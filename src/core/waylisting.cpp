// The way listing. One scan finds the total's run in the throw table; the run is
// then walked once to count the ways that can finish and once more to print
// them, so a request costs at most the 659 entries of the longest run. The
// lines are built from prepared dart texts and printed a block at a time.
#include "core/waylisting.hpp"

#include <array>
#include <cstring>
#include <string_view>

#include "base/console.hpp"
#include "core/darttext.hpp"
#include "core/throwtable.hpp"

namespace {

// A line of the list: the indent, the first dart capitalised, each further
// present dart after a comma, and a full stop.
constexpr std::string_view wayindent = "        ";
constexpr LineTexts waytexts = buildlinetexts({"", true, ""}, {", ", false, ""}, ".\n", false);

// The lines gathered for one print; the longest list takes two.
std::array<char, 16384> wayblock;

void printblock(qword length) {
  printtext("%.*s", static_cast<int>(length), wayblock.data());
}

// Prints the summary lines; false when a finishing listing finds no finishing
// way, in which case the summary has ended the output.
bool printsummary(qword total, WayKind kind, qword count, qword ways) {
  if (count == 1) {
    printtext("\n    There is just one way");
  } else {
    printtext("\n    There are %llu different ways", count);
  }
  if (kind == WayKind::all) {
    printtext(" to achieve %llu.\n", total);
    return true;
  }
  if (ways == 0) {
    printtext(
        " to achieve %llu generally,\n"
        "    but there are no ways that end on a double or a bullseye.\n\n",
        total);
    return false;
  }
  printtext(" to achieve %llu generally,\n", total);
  if (ways == 1) {
    printtext("    and one way ending on a double or a bullseye.\n");
  } else {
    printtext("    and %llu ways ending on a double or a bullseye.\n", ways);
  }
  return true;
}

}  // namespace

// Finds the total's run, counts its ways and finishing ways, prints the summary
// and then, if asked, the list in table order. A finishing listing passes over
// entries without the finishing flag and reorders each listed way so that a
// double or the bull is thrown last.
void statsproc(qword total, WayKind kind, WayList list) {
  const qword first = firstentry(total);
  if (first == throwentries) {
    printtext("\n    You can't score %llu with three darts.\n\n", total);
    return;
  }
  const qword count = entrycount(throwtable()[first]);
  const qword ways = numberoffinishingways(total);
  if (!printsummary(total, kind, count, ways)) return;
  if (list == WayList::summary) {
    printtext("\n");
    return;
  }
  const qword listed = kind == WayKind::finishing ? ways : count;
  const bool cut = list != WayList::every && listed > listlimit;
  qword lines = cut ? listlimit : listed;
  qword length = 0;
  const std::array<ThrowEntry, throwtablesize>& table = throwtable();
  for (qword i = first; lines > 0; ++i) {
    if (!takesentry(kind, table[i])) continue;
    std::array<Segment, 3> darts = decodeentry(table[i]);
    if (kind == WayKind::finishing) finishinglast(darts);
    if (wayblock.size() - length < wayindent.size() + dartsroom) {
      printblock(length);
      length = 0;
    }
    std::memcpy(wayblock.data() + length, wayindent.data(), wayindent.size());
    length = putdarts(wayblock, length + wayindent.size(), darts, waytexts);
    --lines;
  }
  printblock(length);
  if (cut) printtext("        etc...\n");
  printtext("\n");
}
