// Tests that only a POSIX system can run: a folder removed while it is the
// current one (Windows refuses to remove it); score lists written in a child
// process that meets a file-size limit, or is killed or interrupted while it
// writes; a closed input without a descriptor for a pipe; and a console whose
// reads or writes fail.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "base/console.hpp"
#include "base/filesystemfaults.hpp"
#include "base/platform.hpp"
#include "export/scorelist.hpp"
#include "shell/menu.hpp"
#include "support/play.hpp"
#include "support/sametext.hpp"
#include "support/scorelists.hpp"
#include "support/scratch.hpp"
#include "support/signals.hpp"

// Where the tests are built for coverage, gcov's counts are written out by
// exit; a child that ends otherwise writes them first.
#if defined(QUIVERLY_COVERAGE)
extern "C" void __gcov_dump();
#endif

namespace {

void writecounts() {
#if defined(QUIVERLY_COVERAGE)
  __gcov_dump();
#endif
}

[[noreturn]] void exitchild(int status) {
  writecounts();
  _exit(status);
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
// EFBIG instead; returns what body printed, which comes back through a pipe.
std::string printedunderlimit(rlim_t limit, const std::function<void()>& body) {
  int channel[2];
  if (pipe(channel) != 0) return "(no pipe)";
  const pid_t child = fork();
  if (child == 0) {
    close(channel[0]);
    signal(SIGXFSZ, SIG_IGN);
    rlimit size{};
    getrlimit(RLIMIT_FSIZE, &size);
    const rlim_t unlimited = size.rlim_max;
    size.rlim_cur = limit;
    setrlimit(RLIMIT_FSIZE, &size);
    consoleout = fdopen(channel[1], "w");
    body();
    const int status = consoleout != nullptr && std::fclose(consoleout) == 0 ? 0 : 1;
    // Coverage counts are written past the limit.
    size.rlim_cur = unlimited;
    setrlimit(RLIMIT_FSIZE, &size);
    exitchild(status);
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
  EXPECT_EQ(
      printedunderlimit(100000, [] { writescorelist(ListFormat::text, WayKind::all, everytotal); }),
      writefailure("darts-score-everything.txt"));
  EXPECT_EQ(printedunderlimit(100, [] { writescorelist(ListFormat::comma, WayKind::all, 60); }),
            writefailure("darts-score060.csv"));
  EXPECT_EQ(filecount(), 0U);
  // Where it is written under a leftover's name, the leftover goes too.
  EXPECT_EQ(printedunderlimit(100,
                              [] {
                                filesystemfaults = {EOPNOTSUPP, 0, 0, 0, 0};
                                writescorelist(ListFormat::comma, WayKind::all, 60);
                              }),
            writefailure("darts-score060.csv"));
  EXPECT_EQ(filecount(), 0U);
  // With room enough the same list is written.
  EXPECT_EQ(printedunderlimit(100000, [] { writescorelist(ListFormat::comma, WayKind::all, 60); }),
            success("darts-score060.csv"));
  EXPECT_TRUE(sametext(filetext("darts-score060.csv"), *expectedone(true, false, 60)));
}

// Starts a child that writes the list of every total, the longest list (about
// 1.5 MB).
pid_t startwriter() {
  const pid_t child = fork();
  if (child == 0) {
    consoleout = std::fopen("/dev/null", "w");
    writescorelist(ListFormat::text, WayKind::all, everytotal);
    _exit(0);
  }
  return child;
}

// Kills a writer after delay, unless it has finished, and waits for it.
void writeandkill(std::chrono::microseconds delay) {
  const pid_t child = startwriter();
  std::this_thread::sleep_for(delay);
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
}

// A writer killed at any moment leaves the list's name absent or holding the
// whole list, and no file that a player would see; a later request writes it.
TEST(ScoreList, AKilledWriterLeavesTheListCompleteOrAbsent) {
  ScratchDir dir;
  const std::string name = "darts-score-everything.txt";
  const std::string complete = expectedeverything(false, false);
  // The time of one whole write, forking included, to spread the kills over.
  const auto start = std::chrono::steady_clock::now();
  waitpid(startwriter(), nullptr, 0);
  const auto whole = std::chrono::duration_cast<std::chrono::microseconds>(
      std::chrono::steady_clock::now() - start);
  ASSERT_TRUE(sametext(filetext(name), complete));
  std::filesystem::remove(name);

  constexpr int kills = 200;
  int absent = 0;
  int written = 0;
  for (int k = 0; k < kills; ++k) {
    writeandkill(whole * 5 / 4 * k / kills);
    if (!std::filesystem::exists(name)) {
      ++absent;
    } else {
      ASSERT_TRUE(sametext(filetext(name), complete)) << "killed at " << k << " of " << kills;
      ++written;
      std::filesystem::remove(name);
    }
    ASSERT_EQ(filecount(), 0U) << "killed at " << k << " of " << kills;
  }
  EXPECT_GT(absent, 0);
  EXPECT_GT(written, 0);
  std::printf("[          ] %d kills: %d left no list, %d a complete list\n", kills, absent,
              written);
  EXPECT_EQ(request(0, 0, 0), success(name));
  EXPECT_TRUE(sametext(filetext(name), complete));
}

// The names in the current folder that begin with prefix.
int countnames(const std::string& prefix) {
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(".")) {
    count += entry.path().filename().string().rfind(prefix, 0) == 0 ? 1 : 0;
  }
  return count;
}

// The signal a child sends itself, and the moments inside a hold of the
// ending signals (as the tests' faults give them) before it does.
int sent = 0;
int momentsleft = 0;

// A child that starts a list on a file system that makes it write under a
// leftover's name (faults), readied as the program is, and receives the signal
// ending half-way through the list, or at the moment-th moment inside a hold.
// Returns how it ended: 128 plus the signal.
int interruptwriter(FileSystemFaults faults, int ending, int moment = 0) {
  const pid_t child = fork();
  if (child == 0) {
    usualsignals();
    sent = ending;
    momentsleft = moment;
    faults.insidehold = [] {
      if (--momentsleft == 0) raise(sent);
    };
    filesystemfaults = faults;
    startplatform();
    NewFile file{};
    if (!createnewfile(file, "darts-score020.txt")) exitchild(2);
    std::fputs("Jandro Pellowin's darts program - ", file.stream);
    std::fflush(file.stream);
    // Its leftover's name says what it is and whose it is.
    const std::string leftover = "darts-score020.txt.unfinished-" + std::to_string(getpid()) + "-";
    if (countnames(leftover) != 1 || countnames("darts-score020.txt") != 1) exitchild(3);
    if (moment == 0) raise(sent);
    finishnewfile(file, "darts-score020.txt");
    exitchild(4);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
}

// Every signal that ends a program by default and can be caught, while a list
// is written under a leftover's name, removes the leftover, and the writer
// still ends by the signal.
TEST(ScoreList, AnInterruptedWriterRemovesItsLeftover) {
  const FileSystemFaults leftovers[] = {
      {EOPNOTSUPP, 0, 0, 0, 0},  // no unnamed files
      {0, ENOENT, 0, 0, 0},      // no /proc
  };
  for (const FileSystemFaults& faults : leftovers) {
    for (const int ending : endingsignals()) {
      SCOPED_TRACE(strsignal(ending));
      ScratchDir dir;
      EXPECT_EQ(interruptwriter(faults, ending), 128 + ending);
      EXPECT_EQ(filecount(), 0U);
    }
  }
}

// A signal that comes inside a step that holds the ending signals back waits
// for its end: a leftover's name just claimed is then removed, not left; a
// list whose name was made empty (FAT through libfuse 2) takes it whole
// before the program ends, rather than leave the empty file.
TEST(ScoreList, HoldsTheEndingSignalsWhileALeftoverIsClaimedOrNamed) {
  const FileSystemFaults reserving = {EOPNOTSUPP, 0, EPERM, EINVAL, 0};
  ScratchDir claimed;
  EXPECT_EQ(interruptwriter(reserving, SIGTERM, 1), 128 + SIGTERM);
  EXPECT_EQ(filecount(), 0U);
  ScratchDir named;
  EXPECT_EQ(interruptwriter(reserving, SIGTERM, 2), 128 + SIGTERM);
  EXPECT_EQ(filetext("darts-score020.txt"), "Jandro Pellowin's darts program - ");
  EXPECT_EQ(filecount(), 1U);
}

// A standard input found closed where no descriptor is left for a pipe
// (prlimit --nofile=3 quiverly <&-) is the null device, read: its end, not a
// read that fails. In a child, whose limit is lifted again for its counts.
TEST(Platform, ReadsAClosedInputAsItsEndWithoutADescriptorForAPipe) {
  const pid_t child = fork();
  if (child == 0) {
    rlimit usual{};
    getrlimit(RLIMIT_NOFILE, &usual);
    const rlimit three{3, usual.rlim_max};
    close(0);
    setrlimit(RLIMIT_NOFILE, &three);
    startplatform();
    char c = 0;
    const bool atitsend = (fcntl(0, F_GETFL) & O_ACCMODE) == O_RDONLY && read(0, &c, 1) == 0;
    setrlimit(RLIMIT_NOFILE, &usual);
    exitchild(atitsend ? 0 : 1);
  }
  int status = -1;
  waitpid(child, &status, 0);
  EXPECT_EQ(status, 0);
}

// --- a console whose reads or writes fail --------------------------------------

#if defined(__GLIBC__)

// A stream that gives its text in pieces, one a read; a piece that is empty
// is a read that fails with error (an error of 0 says nothing). Its writes
// all fail without saying why.
struct Faulty {
  std::vector<std::string_view> pieces;
  int error;
};

ssize_t faultyread(void* cookie, char* buffer, std::size_t size) {
  auto* faulty = static_cast<Faulty*>(cookie);
  if (faulty->pieces.empty()) return 0;
  const std::string_view piece = faulty->pieces.front();
  faulty->pieces.erase(faulty->pieces.begin());
  if (piece.empty()) {
    errno = faulty->error;
    return -1;
  }
  const std::size_t n = std::min(size, piece.size());
  std::memcpy(buffer, piece.data(), n);
  return static_cast<ssize_t>(n);
}

ssize_t faultywrite(void* /*cookie*/, const char* /*data*/, std::size_t /*size*/) {
  errno = 0;
  return -1;
}

// What the console printed on standard error while body ran.
template <class Body>
std::string printederrors(Body body) {
  ScratchFile errors;
  std::fflush(stderr);
  const int saved = dup(2);
  dup2(fileno(errors.stream()), 2);
  body();
  std::fflush(stderr);
  dup2(saved, 2);
  close(saved);
  return errors.written();
}

// Plays the program on a stream of pieces (Faulty) and returns what it printed
// on standard error and the exit status, with the transcript in out.
std::string playfaulty(Faulty& faulty, std::string& out, int& status) {
  consolein = fopencookie(&faulty, "r", {faultyread, nullptr, nullptr, nullptr});
  ScratchFile transcript;
  consoleout = transcript.stream();
  const std::string errors = printederrors([&] { status = finishconsole(quiverly(1)); });
  std::fclose(consolein);
  consolein = nullptr;
  consoleout = nullptr;
  out = transcript.written();
  return errors;
}

// The input ends for good at the first read that fails: the calculator and
// then the menu read "q", though the stream would give "4" (the subtraction
// drill) after it, and the session ends with the read error and status 1; so
// does a read that fails just after the last token, which is taken. A read
// that fails without saying why is an input/output error.
TEST(Console, EndsTheInputForGoodAtAFailedRead) {
  const struct {
    std::vector<std::string_view> pieces;
    std::string ending;
  } inputs[] = {
      {{"c\n", "", "4\n", "q\n"}, "main menu.\n> " + menu + "Bye!\n"},
      {{"q", ""}, banner + menu + "Bye!\n"},
  };
  for (const auto& input : inputs) {
    for (const int error : {EIO, 0}) {
      SCOPED_TRACE(error);
      Faulty faulty{input.pieces, error};
      std::string out;
      int status = -1;
      EXPECT_EQ(playfaulty(faulty, out, status), "quiverly: read error: Input/output error\n");
      EXPECT_EQ(status, 1);
      EXPECT_TRUE(out.ends_with(input.ending)) << out;
      EXPECT_EQ(out.find("Subtraction game"), std::string::npos);
    }
  }
  // Reported once: a later session whose input worked ends with 0.
  int status = -1;
  const std::string later = printederrors([&] {
    play("q\n");
    status = finishconsole(0);
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(later, "");
}

// A write that fails without an error number is an input/output error.
TEST(Console, ReportsAWriteThatFailsWithoutAReasonAsAnInputOutputError) {
  consoleout = fopencookie(nullptr, "w", {nullptr, faultywrite, nullptr, nullptr});
  // Unbuffered, so that the print itself fails.
  std::setvbuf(consoleout, nullptr, _IONBF, 0);
  int status = -1;
  const std::string errors = printederrors([&] {
    printtext("Bye!\n");
    status = finishconsole(0);
  });
  std::fclose(consoleout);
  consoleout = nullptr;
  EXPECT_EQ(status, 1);
  EXPECT_EQ(errors, "quiverly: write error: Input/output error\n");
}

#endif

}  // namespace
