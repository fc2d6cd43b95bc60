// The score-list writer. Each piece of a file (the header, the note, each
// line) is built in one line buffer and goes out in one binary write, so the
// memory used is the same however long the list. The list is written unnamed
// and given its name only when every byte is written and the file closed, so
// a list is under its name complete or not at all, even when the program is
// killed while writing. Every write, the close and the naming are checked: a
// list cut short by a full disk or a file-size limit is reported and removed,
// never announced as written, and each report names the step that failed.
#include "export/scorelist.hpp"

#include <array>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "base/address.hpp"
#include "base/console.hpp"
#include "base/platform.hpp"
#include "core/darttext.hpp"
#include "core/throwtable.hpp"

namespace {

// Room for the longest piece: a text header with the web address.
using LineBuffer = std::array<char, 200>;

// Fixed pieces; the pairs are indexed by the kind of ways (all, finishing)
// or by the format (text, comma-separated).
constexpr std::string_view commaheader = "total,first dart,second dart,third dart\n";
// "Jandro's Pellowin's" beside "Jandro Pellowin's" is kept on purpose: files and scripts know it.
constexpr std::string_view onewayopening = "Jandro's Pellowin's darts program - ";
constexpr std::string_view manywaysopening = "Jandro Pellowin's darts program - ";
constexpr std::array<std::string_view, 2> onetotalendings = {
    " with three darts:\n\n", " with three darts and end on a double or bull:\n\n"};
constexpr std::array<std::string_view, 2> everytotalendings = {
    ":\n", " while ending on a double or a bull:\n"};
constexpr std::array<std::string_view, 2> impossibleendings = {
    " with three darts.]\n", " with three darts and end on a double or the bullseye.]\n"};
constexpr std::array<std::string_view, 2> doublessuffixes = {"", "-doubles"};
constexpr std::array<std::string_view, 2> extensions = {".txt", ".csv"};

constexpr std::size_t index(WayKind kind) {
  return kind == WayKind::finishing ? 1 : 0;
}
constexpr std::size_t index(ListFormat format) {
  return format == ListFormat::comma ? 1 : 0;
}

// The explanation that follows a failed creation or naming, for the two error
// numbers that have one: for the list of one total, and for the list of every
// total.
struct CreateFailureNote {
  int error;
  std::string_view onetotal;
  std::string_view everytotal;
};

constexpr std::array<CreateFailureNote, 2> createfailurenotes = {{
    // With and without a full stop, on purpose: players' scripts match both as they stand.
    {EEXIST, "File already exists\n\n", "File already exists.\n\n"},
    {ENOENT, "Probably corrupted filename\n\n", "Probably corrupted filename\n\n"},
}};

// A list file being written and the error number of its first failed write,
// if any.
struct ListFile {
  NewFile file;
  bool failed;
  int error;
};

// The file's stdio buffer. One list file is open at a time; sixteen times the
// usual block size, it spares most system calls of the long lists.
std::array<char, 65536> filebuffer;

// Writes the piece of line from from up to end with one binary write. Once a
// write has failed nothing more is written, and the first error number is
// kept for the report. (The writers stop at a failed write, and their first
// pieces go into the stream's buffer, which cannot fail before it is flushed,
// so no piece comes after a failure.)
void writepiece(ListFile& list, const LineBuffer& line, qword from, qword end) {
  if (list.failed) return;  // LCOV_EXCL_BR_LINE
  const auto size = static_cast<std::size_t>(end - from);
  if (writebytes(line.data() + from, size, list.file.stream) != size) {
    list.failed = true;
    list.error = errno;
  }
}

// The two kinds of line after their lead: a text line has only the darts
// present, the first after ": " and capitalised, the others after ", "; a
// comma-separated line always has three dart fields, an absent dart as
// "no dart". Indexed by the format.
constexpr std::array<LineTexts, 2> linetexts = {
    buildlinetexts({": ", true, ""}, {", ", false, ""}, "\n", false),
    buildlinetexts({",", false, ",no dart"}, {",", false, ",no dart"}, "\n", true)};

// An entry's line is its lead (an empty line and a total, or a line number up
// to five digits) and the darts: it always fits.
static_assert(1 + 5 + dartsroom < sizeof(LineBuffer));

// Completes the line of one entry after the lead already in the line (which
// ends at length): the darts, the last of them with the line end. A doubles
// list has a finishing dart moved last. Returns the line's length.
qword finishentryline(LineBuffer& line, qword length, ThrowEntry entry, ListFormat format,
                      WayKind kind) {
  std::array<Segment, 3> darts = decodeentry(entry);
  if (kind == WayKind::finishing) finishinglast(darts);
  length = putdarts(line, length, darts, linetexts[index(format)]);
  line[length] = '\0';
  return length;
}

// darts-score020-doubles.csv for one total, darts-score-everything.txt and its
// kin for every total.
void buildfilename(LineBuffer& name, ListFormat format, WayKind kind, qword total) {
  copystring(name, "darts-score");
  if (total != everytotal) {
    appendqword(name, total, 3);
  } else {
    appendstring(name, "-everything");
  }
  appendstring(name, doublessuffixes[index(kind)]);
  appendstring(name, extensions[index(format)]);
}

// The note of a text list of every total: the totals the list cannot hold,
// as the table has them, "1, 2, or 3".
qword putimpossiblenote(LineBuffer& line, WayKind kind) {
  const TotalSet& missing = kind == WayKind::finishing ? unfinishabletotals() : unmakeabletotals();
  copystring(line, "\n[You cannot score ");
  for (std::size_t i = 0; i < missing.count; ++i) {
    if (i > 0) appendstring(line, ", ");
    if (i > 0 && i + 1 == missing.count) appendstring(line, "or ");
    appendqword(line, missing.totals[i], 0);
  }
  return appendstring(line, impossibleendings[index(kind)]);
}

// The list of one total: the header, then lines numbered from 1, taking the
// total's run from its first entry and skipping entries that cannot finish in
// a doubles list, until all lines are written.
void writeonetotal(ListFile& list, ListFormat format, WayKind kind, qword total, qword first,
                   qword lines) {
  const bool comma = format == ListFormat::comma;
  LineBuffer line{};
  qword length = 0;
  if (comma) {
    length = copystring(line, commaheader);
  } else {
    copystring(line, lines == 1 ? onewayopening : manywaysopening);
    appendstring(line, authoraddress);
    if (lines == 1) {
      appendstring(line, "\n\nThe one way you can achieve ");
    } else {
      appendstring(line, "\n\nAll the ");
      appendqword(line, lines, 0);
      appendstring(line, " ways you can achieve ");
    }
    appendqword(line, total, 0);
    length = appendstring(line, onetotalendings[index(kind)]);
  }
  writepiece(list, line, 0, length);
  const std::array<ThrowEntry, throwtablesize>& table = throwtable();
  qword written = 0;
  // The longest list of one total (60, 30 KB) fits the file's buffer, so its
  // writes cannot fail: only the flush can.
  for (qword at = first; written < lines && !list.failed; ++at) {  // LCOV_EXCL_BR_LINE
    const ThrowEntry entry = table[at];
    if (!takesentry(kind, entry)) continue;
    ++written;
    copystring(line, "");
    length = appendqword(line, comma ? total : written, 0);
    writepiece(list, line, 0, finishentryline(line, length, entry, format, kind));
  }
}

// The list of every total: the header, for text the note of the totals that
// cannot be made, then the whole table up to its zero word, each line led by
// its total. Text lists open each total's group with an empty line.
void writeeverytotal(ListFile& list, ListFormat format, WayKind kind) {
  const bool comma = format == ListFormat::comma;
  LineBuffer line{};
  if (comma) {
    writepiece(list, line, 0, copystring(line, commaheader));
  } else {
    copystring(line, manywaysopening);
    appendstring(line, authoraddress);
    appendstring(line, "\n\nAll the possible scores you can achieve with three darts");
    writepiece(list, line, 0, appendstring(line, everytotalendings[index(kind)]));
    writepiece(list, line, 0, putimpossiblenote(line, kind));
  }
  // The line buffer keeps the lead of the current total, an empty line and the
  // total, and each entry's darts are put after it. Only the first line of a
  // text group is written with the empty line. No total is 0.
  qword previous = 0;
  qword leadend = 0;
  bool opensgroup = false;
  const std::array<ThrowEntry, throwtablesize>& table = throwtable();
  for (qword at = 0; table[at] != 0 && !list.failed; ++at) {
    const ThrowEntry entry = table[at];
    if (!takesentry(kind, entry)) continue;
    if (entrytotal(entry) != previous) {
      previous = entrytotal(entry);
      copystring(line, "\n");
      leadend = appendqword(line, previous, 0);
      opensgroup = !comma;
    }
    const qword length = finishentryline(line, leadend, entry, format, kind);
    writepiece(list, line, opensgroup ? 0 : 1, length);
    opensgroup = false;
  }
}

// The report of each failed step: its heading and the words before the error
// number. A file not made under its name cannot be created; one cut short
// cannot be written.
struct FailureReport {
  FileStep step;
  std::string_view heading;
  std::string_view what;
};

constexpr std::array<FailureReport, 4> failurereports = {{
    // "fopen returned null" though no fopen is made: the words players and scripts know, kept.
    {FileStep::create, "Cannot create the output file.\n", "fopen returned null"},
    {FileStep::link, "Cannot create the output file.\n", "link failed"},
    {FileStep::write, "Cannot write the output file.\n", "write error"},
    {FileStep::close, "Cannot write the output file.\n", "close error"},
}};

// Reports the step that failed and its error number, with the explanation
// for the error numbers that have one (the list of every total has its own
// wording).
void reportfailure(const LineBuffer& name, FileStep step, int error, bool everytotal) {
  for (const FailureReport& report : failurereports) {
    if (report.step != step) continue;
    printtext("%.*s", static_cast<int>(report.heading.size()), report.heading.data());
    printtext("filename: %s\n", name.data());
    printtext("%.*s, errno: %d\n", static_cast<int>(report.what.size()), report.what.data(),
              reportederror(error));
  }
  for (const CreateFailureNote& note : createfailurenotes) {
    if (note.error != error) continue;
    const std::string_view text = everytotal ? note.everytotal : note.onetotal;
    printtext("%.*s", static_cast<int>(text.size()), text.data());
  }
  printtext("\n");
}

// Completes the file and gives it its name, and reports the outcome. A list
// that could not be written completely is removed, and so is one whose name
// has been taken meanwhile: the request is then refused as if the name had
// been taken before it began. Only this call's own file is ever removed.
void finishlist(ListFile& list, const LineBuffer& name, bool everytotal) {
  FileStep failed = FileStep::write;
  int error = list.error;
  if (list.failed) {
    discardnewfile(list.file);
  } else {
    failed = finishnewfile(list.file, name.data());
    error = errno;
  }
  if (failed != FileStep::none) {
    reportfailure(name, failed, error, everytotal);
    return;
  }
  printtext("Successfully written to %s\n", name.data());
}

}  // namespace

// Refuses a total the table does not hold, and a doubles list of a total that
// cannot end on a double or the bull, before any file is created; otherwise
// writes the list and names it, never replacing an existing file.
void writescorelist(ListFormat format, WayKind kind, qword total) {
  const bool finishing = kind == WayKind::finishing;
  qword first = 0;
  qword lines = 0;
  if (total != everytotal) {
    first = firstentry(total);
    if (first == throwentries) {
      printtext("\nYou can't score %llu with three darts.\n", total);
      return;
    }
    const qword count = entrycount(throwtable()[first]);
    const qword flagged = numberoffinishingways(total);
    if (finishing && flagged == 0) {
      printtext("\nYou can't score %llu while ending on a double/bullseye\n", total);
      return;
    }
    lines = finishing ? flagged : count;
  }
  LineBuffer name{};
  buildfilename(name, format, kind, total);
  errno = 0;
  ListFile list{{}, false, 0};
  if (!createnewfile(list.file, name.data())) {
    reportfailure(name, FileStep::create, errno, total == everytotal);
    return;
  }
  // A buffer of its own, large enough that the long lists need few writes.
  std::setvbuf(list.file.stream, filebuffer.data(), _IOFBF, filebuffer.size());
  if (total != everytotal) {
    writeonetotal(list, format, kind, total, first, lines);
  } else {
    writeeverytotal(list, format, kind);
  }
  finishlist(list, name, total == everytotal);
}
