// List files on every kind of file system, played through the POSIX platform's
// faults (no unnamed files, no hard links, no /proc, no renaming without
// replacing), with the descriptors counted before and after; and the built
// program run as a child under a file-size limit, with its output on a full
// device, and with standard input or output closed.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "base/filesystemfaults.hpp"
#include "base/platform.hpp"
#include "export/scorelist.hpp"
#include "support/play.hpp"
#include "support/scorelists.hpp"
#include "support/scratch.hpp"

namespace {

// The number of open descriptors among the first 1024.
int opendescriptors() {
  int count = 0;
  for (int descriptor = 0; descriptor < 1024; ++descriptor) {
    count += fcntl(descriptor, F_GETFD) != -1 ? 1 : 0;
  }
  return count;
}

// A file system as the list writer meets it: the errors its calls give.
struct FileSystem {
  const char* name;
  FileSystemFaults faults;
};

constexpr FileSystem filesystems[] = {
    {"ext4, tmpfs, btrfs, xfs", {0, 0, 0, 0, 0}},
    {"no /proc", {0, ENOENT, 0, 0, 0}},
    {"unnamed files without hard links", {0, EPERM, EPERM, 0, 0}},
    {"hard links without unnamed files (fuse2fs)", {EOPNOTSUPP, 0, 0, 0, 0}},
    {"FAT32 or exFAT in the kernel", {EOPNOTSUPP, 0, EPERM, 0, 0}},
    {"FAT32 or exFAT through libfuse 2", {EOPNOTSUPP, 0, EPERM, EINVAL, 0}},
    // A kernel older than O_TMPFILE opens the folder itself, and refuses.
    {"no O_TMPFILE, no renameat2 (old kernel)", {EISDIR, 0, EOPNOTSUPP, ENOSYS, 0}},
    {"no /proc, no hard links, no renameat2", {0, ENOENT, EMLINK, EINVAL, 0}},
};

// Each test opens the console's scratch files before it counts descriptors
// (a total above the table writes nothing), and leaves the platform's calls
// as they were.
class ListFiles : public ::testing::Test {
 protected:
  void SetUp() override { request(0, 0, 181); }
  void TearDown() override { filesystemfaults = {}; }
};

std::string linkfailure(const std::string& name, int error) {
  return "Cannot create the output file.\nfilename: " + name +
         "\nlink failed, errno: " + std::to_string(error) + "\n\n";
}

TEST_F(ListFiles, WritesEveryListAndNeverReplacesAFileOnEveryFileSystem) {
  for (const FileSystem& system : filesystems) {
    SCOPED_TRACE(system.name);
    ScratchDir dir;
    filesystemfaults = system.faults;
    const int descriptors = opendescriptors();
    EXPECT_EQ(request(0, 1, 20), success("darts-score020-doubles.txt"));
    EXPECT_EQ(request(0, 0, 0), success("darts-score-everything.txt"));
    EXPECT_EQ(filetext("darts-score020-doubles.txt"), *expectedone(false, true, 20));
    EXPECT_EQ(filetext("darts-score-everything.txt"), expectedeverything(false, false));
    EXPECT_EQ(request(0, 1, 20),
              createfailure("darts-score020-doubles.txt", EEXIST, "File already exists\n\n"));
    EXPECT_EQ(filetext("darts-score020-doubles.txt"), *expectedone(false, true, 20));
    EXPECT_EQ(filecount(), 2U);
    EXPECT_EQ(opendescriptors(), descriptors);
  }
}

// A file that takes the name while the list is written is kept; the new file
// goes, under whichever name it had.
TEST_F(ListFiles, KeepsAFileThatTookTheNameMeanwhile) {
  for (const FileSystem& system : filesystems) {
    SCOPED_TRACE(system.name);
    ScratchDir dir;
    filesystemfaults = system.faults;
    const int descriptors = opendescriptors();
    NewFile file{};
    ASSERT_TRUE(createnewfile(file, "list.txt"));
    std::fputs("the list\n", file.stream);
    { std::ofstream("list.txt", std::ios::binary) << "mine\n"; }
    errno = 0;
    const FileStep step = finishnewfile(file, "list.txt");
    const int error = errno;
    EXPECT_EQ(step, FileStep::create);
    EXPECT_EQ(error, EEXIST);
    EXPECT_EQ(filetext("list.txt"), "mine\n");
    EXPECT_EQ(filecount(), 1U);
    EXPECT_EQ(opendescriptors(), descriptors);
  }
}

// A naming that fails for another reason than a missing feature is reported
// as a failed link with its own error number, and leaves nothing behind.
TEST_F(ListFiles, ReportsAFailedLinkWithItsError) {
  const struct {
    FileSystemFaults faults;
    int error;
  } failures[] = {
      {{0, EIO, 0, 0, 0}, EIO},
      {{EOPNOTSUPP, 0, EDQUOT, 0, 0}, EDQUOT},
      {{EOPNOTSUPP, 0, EPERM, EACCES, 0}, EACCES},
      {{EOPNOTSUPP, 0, EPERM, EINVAL, EIO}, EIO},
      {{0, EPERM, EPERM, EINVAL, EXDEV}, EXDEV},
  };
  for (const auto& failure : failures) {
    SCOPED_TRACE(failure.error);
    ScratchDir dir;
    filesystemfaults = failure.faults;
    const int descriptors = opendescriptors();
    EXPECT_EQ(request(1, 0, 60), linkfailure("darts-score060.csv", failure.error));
    EXPECT_EQ(filecount(), 0U);
    EXPECT_EQ(opendescriptors(), descriptors);
  }
}

// Old leftovers, of this process's number or any other, and the names of the
// old .partN scheme are passed over and kept.
TEST_F(ListFiles, LeftoversNeverBlockALaterRequest) {
  ScratchDir dir;
  filesystemfaults = {EOPNOTSUPP, 0, 0, 0, 0};
  const std::string name = "darts-score020.txt";
  for (int n = 1; n <= 1000; ++n) std::ofstream(name + ".part" + std::to_string(n)) << "old";
  for (int n = 1; n <= 300; ++n) {
    std::ofstream(name + ".unfinished-" + std::to_string(getpid()) + "-" + std::to_string(n))
        << "old";
    std::ofstream(name + ".unfinished-1-" + std::to_string(n)) << "old";
  }
  const std::size_t before = filecount();
  EXPECT_EQ(request(0, 0, 20), success(name));
  EXPECT_EQ(filetext(name), *expectedone(false, false, 20));
  EXPECT_EQ(filecount(), before + 1);
}

// With every descriptor limit from what is open now to a few more, a request
// either writes the list or reports that it could not (errno 24), and leaves
// no descriptor open and no file but the list.
TEST_F(ListFiles, LeaksNoDescriptorAtTheDescriptorLimit) {
  rlimit original{};
  ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &original), 0);
  for (const FileSystem& system : filesystems) {
    SCOPED_TRACE(system.name);
    ScratchDir dir;
    filesystemfaults = system.faults;
    const int lowestfree = dup(0);
    close(lowestfree);
    const int descriptors = opendescriptors();
    int written = 0;
    for (int more = 0; more <= 3; ++more) {
      // The transcript is read back once the limit is lifted again.
      const std::string printed = capture([&] {
        const rlimit limit{static_cast<rlim_t>(lowestfree + more), original.rlim_max};
        setrlimit(RLIMIT_NOFILE, &limit);
        writescorelist(ListFormat::comma, WayKind::finishing, 40);
        setrlimit(RLIMIT_NOFILE, &original);
      });
      EXPECT_EQ(opendescriptors(), descriptors) << more << " more: " << printed;
      if (printed == success("darts-score040-doubles.csv")) {
        ++written;
        EXPECT_EQ(filetext("darts-score040-doubles.csv"), *expectedone(true, true, 40));
        std::filesystem::remove("darts-score040-doubles.csv");
      } else {
        EXPECT_NE(printed.find("errno: " + std::to_string(EMFILE) + "\n"), std::string::npos)
            << more << " more: " << printed;
      }
      EXPECT_EQ(filecount(), 0U) << more << " more";
    }
    EXPECT_GT(written, 0);
  }
}

// --- the program itself ---------------------------------------------------------

// How a child runs the program: its standard output (a pipe, the full device
// or closed), whether standard input is closed, and its file-size limit.
enum class Output { pipe, full, closed };

struct Child {
  std::string out;
  std::string err;
  int status;  // the exit status, or 128 plus the signal that ended it
};

// Reads everything from descriptor until its end, and closes it.
std::string readall(int descriptor) {
  std::string text;
  char block[4096];
  for (ssize_t n; (n = read(descriptor, block, sizeof block)) > 0;) text.append(block, n);
  close(descriptor);
  return text;
}

// Runs the program in the current folder on input.
Child runprogram(std::string_view input, Output output, bool inputclosed = false,
                 rlim_t sizelimit = RLIM_INFINITY) {
  int in[2], out[2], err[2];
  if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0) return {"", "(no pipes)", -1};
  const pid_t child = fork();
  if (child == 0) {
    dup2(in[0], 0);
    dup2(out[1], 1);
    dup2(err[1], 2);
    for (int descriptor : {in[0], in[1], out[0], out[1], err[0], err[1]}) close(descriptor);
    if (inputclosed) close(0);
    if (output == Output::closed) close(1);
    if (output == Output::full) {
      const int full = open("/dev/full", O_WRONLY);
      dup2(full, 1);
      close(full);
    }
    const rlimit limit{sizelimit, sizelimit};
    setrlimit(RLIMIT_FSIZE, &limit);
    execl(QUIVERLY_PROGRAM, QUIVERLY_PROGRAM, static_cast<char*>(nullptr));
    _exit(126);
  }
  close(in[0]);
  close(out[1]);
  close(err[1]);
  // Every input here fits in a pipe's buffer, and the program reads it all.
  signal(SIGPIPE, SIG_IGN);
  if (write(in[1], input.data(), input.size()) < 0) return {"", "(no input)", -1};
  close(in[1]);
  Child run{readall(out[0]), readall(err[0]), -1};
  int status = 0;
  waitpid(child, &status, 0);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return run;
}

// Whether the built program can be run as a child here: not where it is
// cross-compiled and runs only under an emulator.
bool programruns() {
  return !std::string_view(QUIVERLY_PROGRAM).empty();
}

std::string writeerror(int error) {
  return std::string("quiverly: write error: ") + std::strerror(error) + "\n";
}

TEST(Program, ReportsADialogueItCouldNotWriteAfterTheSession) {
  if (!programruns()) GTEST_SKIP() << "the program runs only under an emulator here";
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  ScratchDir dir;
  const Child full = runprogram("s\n20dt\nq\nq\n", Output::full);
  EXPECT_EQ(full.status, 1);
  EXPECT_EQ(full.err, writeerror(ENOSPC));
  // The session went on to its end: the list is written.
  EXPECT_EQ(filetext("darts-score020-doubles.txt"), *expectedone(false, true, 20));
}

TEST(Program, TakesAClosedStandardOutputAsAFailedWrite) {
  if (!programruns()) GTEST_SKIP() << "the program runs only under an emulator here";
  ScratchDir dir;
  const Child closed = runprogram("s\n20dt\nq\nq\n", Output::closed);
  EXPECT_EQ(closed.status, 1);
  EXPECT_EQ(closed.err, writeerror(EBADF));
  EXPECT_EQ(filetext("darts-score020-doubles.txt"), *expectedone(false, true, 20));
  EXPECT_EQ(filecount(), 1U);
}

TEST(Program, EndsWithStatusZeroWhenItsOutputWasWritten) {
  if (!programruns()) GTEST_SKIP() << "the program runs only under an emulator here";
  ScratchDir dir;
  const Child normal = runprogram("s\n20dt\nq\nq\n", Output::pipe);
  EXPECT_EQ(normal.status, 0);
  EXPECT_EQ(normal.err, "");
  EXPECT_NE(normal.out.find(success("darts-score020-doubles.txt")), std::string::npos);
  // A closed standard input is the end of the input.
  const Child noinput = runprogram("", Output::pipe, true);
  EXPECT_EQ(noinput.status, 0);
  EXPECT_EQ(noinput.err, "");
  EXPECT_EQ(noinput.out.substr(noinput.out.size() - 7), "> Bye!\n");
}

// The limit's signal arrives at the first write past it; the program reports
// the list with errno 27, removes it and goes on.
TEST(Program, GoesOnPastTheFileSizeLimit) {
  if (!programruns()) GTEST_SKIP() << "the program runs only under an emulator here";
  ScratchDir dir;
  const Child limited = runprogram("s\nat\n20at\nq\nq\n", Output::pipe, false, 102400);
  EXPECT_EQ(limited.status, 0);
  EXPECT_EQ(limited.err, "");
  EXPECT_NE(limited.out.find("Cannot write the output file.\nfilename: "
                             "darts-score-everything.txt\nwrite error, errno: 27\n\n"),
            std::string::npos)
      << limited.out;
  EXPECT_NE(limited.out.find(success("darts-score020.txt")), std::string::npos);
  EXPECT_EQ(filecount(), 1U);
}

}  // namespace
