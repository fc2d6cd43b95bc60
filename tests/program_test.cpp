// The built program run as a child, as a player's shell runs it: its input a
// directory, a non-blocking pipe or closed, its output a full device, a closed
// pipe, a non-blocking pipe read slowly or closed, under a file-size limit or
// with one free descriptor, and interrupted while it waits. Every failure
// must show in standard error and the exit status; a session whose input and
// output worked ends with 0.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <thread>

#include "support/play.hpp"
#include "support/sametext.hpp"
#include "support/scorelists.hpp"
#include "support/scratch.hpp"
#include "support/signals.hpp"

namespace {

// Where the child's standard output goes: a pipe read to its end, the full
// device, a pipe whose reader is gone, or nowhere.
enum class Output { pipe, full, broken, closed };

// How a child runs the program, beside its input.
struct Setup {
  Output output = Output::pipe;
  const char* inputfrom = nullptr;   // a path opened as standard input instead of the pipe
  bool inputclosed = false;          // standard input closed
  bool nonblocking = false;          // standard input O_NONBLOCK, its lines 300 ms apart
  bool slowreader = false;           // standard output O_NONBLOCK, read a block a millisecond
  rlim_t sizelimit = RLIM_INFINITY;  // the file-size limit
  rlim_t descriptors = 0;            // the descriptor limit, 0 for the usual
};

struct Child {
  std::string out;
  std::string err;
  int status;  // the exit status, or 128 plus the signal that ended it
};

// Reads everything from descriptor until its end, and closes it; slowly, a
// block a millisecond, if asked.
std::string readall(int descriptor, bool slowly = false) {
  std::string text;
  char block[4096];
  for (ssize_t n; (n = read(descriptor, block, sizeof block)) > 0;) {
    text.append(block, n);
    if (slowly) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  close(descriptor);
  return text;
}

int exitstatus(int status) {
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Sets up the child's standard descriptors and limits, then runs the program.
[[noreturn]] void runaschild(const Setup& setup, const int (&in)[2], const int (&out)[2],
                             const int (&err)[2]) {
  dup2(in[0], 0);
  dup2(out[1], 1);
  dup2(err[1], 2);
  for (const int descriptor : {in[0], in[1], out[0], out[1], err[0], err[1]}) close(descriptor);
  if (setup.inputfrom != nullptr) {
    const int from = open(setup.inputfrom, O_RDONLY);
    dup2(from, 0);
    close(from);
  }
  if (setup.inputclosed) close(0);
  if (setup.nonblocking) fcntl(0, F_SETFL, fcntl(0, F_GETFL) | O_NONBLOCK);
  if (setup.slowreader) fcntl(1, F_SETFL, fcntl(1, F_GETFL) | O_NONBLOCK);
  if (setup.output == Output::closed) close(1);
  if (setup.output == Output::full) {
    const int full = open("/dev/full", O_WRONLY);
    dup2(full, 1);
    close(full);
  }
  // Nothing of this process's own is passed on, and the program starts with
  // the signals' usual actions, whatever this process was started with.
  for (int descriptor = 3; descriptor < 1024; ++descriptor) close(descriptor);
  usualsignals();
  signal(SIGPIPE, SIG_DFL);
  const rlimit size{setup.sizelimit, setup.sizelimit};
  setrlimit(RLIMIT_FSIZE, &size);
  if (setup.descriptors != 0) {
    const rlimit descriptors{setup.descriptors, setup.descriptors};
    setrlimit(RLIMIT_NOFILE, &descriptors);
  }
  execl(QUIVERLY_PROGRAM, QUIVERLY_PROGRAM, static_cast<char*>(nullptr));
  _exit(126);
}

// Runs the program in the current folder on input.
Child runprogram(std::string_view input, const Setup& setup = {}) {
  int in[2], out[2], err[2];
  if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0) return {"", "(no pipes)", -1};
  const pid_t child = fork();
  if (child == 0) runaschild(setup, in, out, err);
  close(in[0]);
  close(out[1]);
  close(err[1]);
  if (setup.output == Output::broken) close(out[0]);
  // The inputs here fit in a pipe's buffer, and their errors in another's, so
  // the input can be written whole before the output is read, then the errors.
  signal(SIGPIPE, SIG_IGN);
  for (std::size_t from = 0; from < input.size();) {
    const std::size_t line = setup.nonblocking ? input.find('\n', from) : std::string_view::npos;
    const std::size_t end = line == std::string_view::npos ? input.size() : line + 1;
    if (setup.nonblocking) std::this_thread::sleep_for(std::chrono::milliseconds(300));
    if (write(in[1], input.data() + from, end - from) < 0) return {"", "(no input)", -1};
    from = end;
  }
  close(in[1]);
  Child run{setup.output == Output::broken ? "" : readall(out[0], setup.slowreader),
            readall(err[0]), -1};
  int status = 0;
  waitpid(child, &status, 0);
  run.status = exitstatus(status);
  return run;
}

// Whether the built program can be run as a child here: not where it is
// cross-compiled and runs only under an emulator.
bool programruns() {
  return !std::string_view(QUIVERLY_PROGRAM).empty();
}

#define SKIP_UNLESS_THE_PROGRAM_RUNS() \
  if (!programruns()) GTEST_SKIP() << "the program runs only under an emulator here"

std::string writeerror(int error) {
  return std::string("quiverly: write error: ") + std::strerror(error) + "\n";
}

std::string readerror(int error) {
  return std::string("quiverly: read error: ") + std::strerror(error) + "\n";
}

TEST(Program, EndsWithStatusZeroWhenItsInputAndOutputWorked) {
  SKIP_UNLESS_THE_PROGRAM_RUNS();
  ScratchDir dir;
  const Child normal = runprogram("s\n20dt\nq\nq\n");
  EXPECT_EQ(normal.status, 0);
  EXPECT_EQ(normal.err, "");
  EXPECT_NE(normal.out.find(success("darts-score020-doubles.txt")), std::string::npos);
  // A closed standard input is the end of the input.
  const Child noinput = runprogram("", {.inputclosed = true});
  EXPECT_EQ(noinput.status, 0);
  EXPECT_EQ(noinput.err, "");
  EXPECT_TRUE(noinput.out.ends_with("> Bye!\n")) << noinput.out;
}

// When the dialogue cannot be written (a full device, standard output closed,
// a reader that has gone away), the session still goes on to its end and
// writes every list, and only then says so, with status 1.
TEST(Program, ReportsADialogueItCouldNotWriteAfterTheSession) {
  SKIP_UNLESS_THE_PROGRAM_RUNS();
  const struct {
    Output output;
    int error;
  } failures[] = {{Output::full, ENOSPC}, {Output::closed, EBADF}, {Output::broken, EPIPE}};
  for (const auto& failure : failures) {
    SCOPED_TRACE(std::strerror(failure.error));
    if (failure.output == Output::full && !std::filesystem::exists("/dev/full")) continue;
    ScratchDir dir;
    const Child run = runprogram("s\n20dt\nat\nq\nq\n", {.output = failure.output});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, writeerror(failure.error));
    EXPECT_TRUE(sametext(filetext("darts-score020-doubles.txt"), *expectedone(false, true, 20)));
    EXPECT_TRUE(sametext(filetext("darts-score-everything.txt"), expectedeverything(false, false)));
    EXPECT_EQ(filecount(), 2U);
  }
}

// A read that fails (here: standard input is a folder) ends the input as its
// end does, and is reported after the session with status 1.
TEST(Program, ReportsAnInputItCouldNotReadAfterTheSession) {
  SKIP_UNLESS_THE_PROGRAM_RUNS();
  ScratchDir dir;
  const Child folder = runprogram("", {.inputfrom = "/"});
  EXPECT_EQ(folder.status, 1);
  EXPECT_EQ(folder.err, readerror(EISDIR));
  EXPECT_TRUE(folder.out.ends_with(menu + "Bye!\n")) << folder.out;
  EXPECT_EQ(folder.out.find("I don't understand"), std::string::npos);
  // Reading and writing failed both: one line each.
  if (!std::filesystem::exists("/dev/full")) return;
  const Child both = runprogram("", {.output = Output::full, .inputfrom = "/"});
  EXPECT_EQ(both.status, 1);
  EXPECT_EQ(both.err, readerror(EISDIR) + writeerror(ENOSPC));
}

// An input or output another program made non-blocking plays as a blocking
// one, however late the input's lines come and however slowly the output (1 MB
// of the calculator's lists) is read.
TEST(Program, WaitsForANonBlockingInputOrOutput) {
  SKIP_UNLESS_THE_PROGRAM_RUNS();
  std::string lists = "c\n";
  for (int n = 0; n < 40; ++n) lists += "60a\n";
  const struct {
    std::string input;
    ::Setup setup;
  } runs[] = {{"c\n40\n7d\nq\ns\n20dc\nq\nq\n", {.nonblocking = true}},
              {lists + "q\nq\n", {.slowreader = true}}};
  for (const auto& run : runs) {
    const Child blocking = [&] {
      ScratchDir dir;
      return runprogram(run.input);
    }();
    ScratchDir dir;
    const Child waited = runprogram(run.input, run.setup);
    EXPECT_EQ(waited.status, 0);
    EXPECT_EQ(waited.err, "");
    EXPECT_TRUE(sametext(waited.out, blocking.out));
    EXPECT_TRUE(waited.out.ends_with("> Bye!\n"));
  }
}

// The limit's signal arrives at the first write past it; the program reports
// the list with errno 27, removes it and goes on.
TEST(Program, GoesOnPastTheFileSizeLimit) {
  SKIP_UNLESS_THE_PROGRAM_RUNS();
  ScratchDir dir;
  const Child limited = runprogram("s\nat\n20at\nq\nq\n", {.sizelimit = 102400});
  EXPECT_EQ(limited.status, 0);
  EXPECT_EQ(limited.err, "");
  EXPECT_NE(limited.out.find("Cannot write the output file.\nfilename: "
                             "darts-score-everything.txt\nwrite error, errno: 27\n\n"),
            std::string::npos)
      << limited.out;
  EXPECT_NE(limited.out.find(success("darts-score020.txt")), std::string::npos);
  EXPECT_EQ(filecount(), 1U);
}

// Three standard descriptors and one more are all a list needs, on the file
// system the tests run on.
TEST(Program, WritesAListWithOneFreeDescriptor) {
  SKIP_UNLESS_THE_PROGRAM_RUNS();
  ScratchDir dir;
  const Child limited = runprogram("s\n20at\nac\nq\nq\n", {.descriptors = 4});
  EXPECT_EQ(limited.status, 0);
  EXPECT_EQ(limited.err, "");
  EXPECT_TRUE(sametext(filetext("darts-score020.txt"), *expectedone(false, false, 20)));
  EXPECT_TRUE(sametext(filetext("darts-score-everything.csv"), expectedeverything(true, false)));
  EXPECT_EQ(filecount(), 2U);
}

// --- the program while it waits for input ------------------------------------

// A child waiting at its first prompt, its input a pipe held open here.
struct Waiting {
  pid_t pid;
  int input;   // the write end of its input
  int output;  // the read end of its output
};

// Starts the program with the given descriptors closed and the given signal
// ignored (0: none), and waits until it has shown the main menu's prompt.
Waiting startwaiting(std::initializer_list<int> closed, int ignored = 0) {
  int in[2], out[2];
  if (pipe(in) != 0 || pipe(out) != 0) return {-1, -1, -1};
  const pid_t child = fork();
  if (child == 0) {
    dup2(in[0], 0);
    dup2(out[1], 1);
    for (const int descriptor : {in[0], in[1], out[0], out[1]}) close(descriptor);
    for (const int descriptor : closed) close(descriptor);
    usualsignals();
    if (ignored != 0) signal(ignored, SIG_IGN);
    execl(QUIVERLY_PROGRAM, QUIVERLY_PROGRAM, static_cast<char*>(nullptr));
    _exit(126);
  }
  close(in[0]);
  close(out[1]);
  std::string shown;
  char block[4096];
  for (ssize_t n; !shown.ends_with(menu) && (n = read(out[0], block, sizeof block)) > 0;) {
    shown.append(block, n);
  }
  return {child, in[1], out[0]};
}

// Ends a waiting child by closing its input, and returns its exit status.
int finishwaiting(const Waiting& waiting) {
  close(waiting.input);
  readall(waiting.output);
  int status = 0;
  waitpid(waiting.pid, &status, 0);
  return exitstatus(status);
}

// Where the child's descriptor points, as /proc shows it.
std::string target(pid_t pid, int descriptor) {
  std::error_code error;
  const auto path = std::filesystem::read_symlink(
      "/proc/" + std::to_string(pid) + "/fd/" + std::to_string(descriptor), error);
  return error ? "(none)" : path.string();
}

// A standard descriptor closed at start-up is held, so that no list file can
// take its number: errors on the null device, input on a pipe that ends.
TEST(Program, HoldsClosedStandardDescriptorsOpen) {
  SKIP_UNLESS_THE_PROGRAM_RUNS();
  if (!std::filesystem::exists("/proc/self/fd")) GTEST_SKIP() << "no /proc here";
  const Waiting errorsclosed = startwaiting({2});
  EXPECT_EQ(target(errorsclosed.pid, 2), "/dev/null");
  EXPECT_EQ(finishwaiting(errorsclosed), 0);
}

// At any moment but the writing of a list, the ending signals act as they
// always did: they end the program, unless it was started with them ignored.
TEST(Program, EndsByASignalWhileItWaits) {
  SKIP_UNLESS_THE_PROGRAM_RUNS();
  for (const int ending : endingsignals()) {
    SCOPED_TRACE(strsignal(ending));
    const Waiting waiting = startwaiting({});
    kill(waiting.pid, ending);
    EXPECT_EQ(finishwaiting(waiting), 128 + ending);
    const Waiting ignoring = startwaiting({}, ending);
    kill(ignoring.pid, ending);
    EXPECT_EQ(finishwaiting(ignoring), 0);
  }
}

}  // namespace
