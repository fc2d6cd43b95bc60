// List files on every kind of file system, played through the POSIX platform's
// faults (no unnamed files, no hard links, no /proc, no renaming without
// replacing), with the descriptors counted before and after.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>

#include "base/filesystemfaults.hpp"
#include "base/leftover.hpp"
#include "base/platform.hpp"
#include "export/scorelist.hpp"
#include "support/play.hpp"
#include "support/sametext.hpp"
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
    {"unnamed files that cannot be linked, no hard links", {0, EPERM, EPERM, 0, 0}},
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
    EXPECT_TRUE(sametext(filetext("darts-score020-doubles.txt"), *expectedone(false, true, 20)));
    EXPECT_TRUE(sametext(filetext("darts-score-everything.txt"), expectedeverything(false, false)));
    EXPECT_EQ(request(0, 1, 20),
              createfailure("darts-score020-doubles.txt", EEXIST, "File already exists\n\n"));
    EXPECT_TRUE(sametext(filetext("darts-score020-doubles.txt"), *expectedone(false, true, 20)));
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
      // The link failed first: a failed close after it is not what is reported.
      {{0, EIO, 0, 0, 0, 0, 0, EBADF}, EIO},
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

// A sync or a close that fails is a list that could not be written, on every
// file system: reported with its error number, and nothing is left, not even
// the name just made. A sync the file system cannot make at all, as some
// answer for a folder, is no failure.
TEST_F(ListFiles, ReportsAFailedSyncOrCloseAndRemovesTheList) {
  const struct {
    int FileSystemFaults::*call;
    int error;
    const char* step;  // as reported; nullptr: the list is written
  } failures[] = {
      {&FileSystemFaults::syncfile, EIO, "write error"},
      {&FileSystemFaults::syncfolder, EDQUOT, "write error"},
      {&FileSystemFaults::close, EIO, "close error"},
      {&FileSystemFaults::syncfile, EINVAL, nullptr},
      {&FileSystemFaults::syncfolder, ENOSYS, nullptr},
  };
  for (const FileSystem& system : filesystems) {
    for (const auto& failure : failures) {
      SCOPED_TRACE(std::string(system.name) + ", error " + std::to_string(failure.error));
      ScratchDir dir;
      filesystemfaults = system.faults;
      filesystemfaults.*failure.call = failure.error;
      const int descriptors = opendescriptors();
      const bool written = failure.step == nullptr;
      EXPECT_EQ(request(1, 0, 60),
                written ? success("darts-score060.csv")
                        : "Cannot write the output file.\nfilename: darts-score060.csv\n" +
                              std::string(failure.step) +
                              ", errno: " + std::to_string(failure.error) + "\n\n");
      EXPECT_EQ(filecount(), written ? 1U : 0U);
      EXPECT_EQ(opendescriptors(), descriptors);
    }
  }
}

// The leftover's name this process will try next for a list name, as
// nextleftovername makes it: its stem (".unfinished-PID-") and its count.
struct NextLeftover {
  std::string stem;
  long long count;
};

NextLeftover nextleftover() {
  LeftoverName probe{};
  EXPECT_TRUE(nextleftovername(probe, "", getpid()));
  const std::string taken(probe.data());
  const std::size_t dash = taken.rfind('-') + 1;
  return {taken.substr(0, dash), std::stoll(taken.substr(dash)) + 1};
}

// Old leftovers, of this process's number (among them the very names it
// tries next) or any other, and the names of the old .partN scheme are passed
// over and kept.
TEST_F(ListFiles, LeftoversNeverBlockALaterRequest) {
  ScratchDir dir;
  filesystemfaults = {EOPNOTSUPP, 0, 0, 0, 0};
  const std::string name = "darts-score020.txt";
  const NextLeftover next = nextleftover();
  for (int n = 1; n <= 1000; ++n) std::ofstream(name + ".part" + std::to_string(n)) << "old";
  for (int n = 0; n < 300; ++n) {
    std::ofstream(name + next.stem + std::to_string(next.count + n)) << "old";
    std::ofstream(name + ".unfinished-1-" + std::to_string(n)) << "old";
  }
  const std::size_t before = filecount();
  EXPECT_EQ(request(0, 0, 20), success(name));
  EXPECT_TRUE(sametext(filetext(name), *expectedone(false, false, 20)));
  EXPECT_EQ(filecount(), before + 1);
}

// A file system that claims every name exists is given up on after a
// thousand leftovers' names, as if the list's own name were taken; the next
// request tries the names after them. Nothing is left behind.
TEST_F(ListFiles, GivesUpOnLeftoversThatAreAllTaken) {
  ScratchDir dir;
  filesystemfaults = {EOPNOTSUPP, 0, 0, 0, 0};
  const NextLeftover next = nextleftover();
  for (int n = 0; n < 1000; ++n) {
    std::ofstream("darts-score020.txt" + next.stem + std::to_string(next.count + n)) << "old";
  }
  EXPECT_EQ(request(0, 0, 20),
            createfailure("darts-score020.txt", EEXIST, "File already exists\n\n"));
  EXPECT_EQ(filecount(), 1000U);
  EXPECT_EQ(request(0, 0, 20), success("darts-score020.txt"));
  EXPECT_EQ(filecount(), 1001U);
}

// A leftover's name of 127 characters fits its buffer; one of 128 is refused
// as too long, never cut short.
TEST_F(ListFiles, RefusesALeftoverNameTooLongForItsBuffer) {
  ScratchDir dir;
  filesystemfaults = {EOPNOTSUPP, 0, 0, 0, 0};
  for (const std::size_t length : {127U, 128U}) {
    SCOPED_TRACE(length);
    const NextLeftover next = nextleftover();
    const std::size_t suffix = next.stem.size() + std::to_string(next.count).size();
    const std::string name(length - suffix, 'x');
    NewFile file{};
    errno = 0;
    const bool created = createnewfile(file, name.c_str());
    EXPECT_EQ(created, length == 127);
    if (created) {
      EXPECT_EQ(filetext(name + next.stem + std::to_string(next.count)), "");
      discardnewfile(file);
    } else {
      EXPECT_EQ(errno, ENAMETOOLONG);
    }
    EXPECT_EQ(filecount(), 0U);
  }
}

// With every descriptor limit from what is open now to a few more, a request
// writes the list when one descriptor is free, or reports that it could not
// (errno 24), and leaves no descriptor open and no file but the list.
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
      if (more >= 1) {
        EXPECT_EQ(printed, success("darts-score040-doubles.csv")) << more << " more";
      }
      if (printed == success("darts-score040-doubles.csv")) {
        ++written;
        EXPECT_TRUE(sametext(filetext("darts-score040-doubles.csv"), *expectedone(true, true, 40)));
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

}  // namespace
