// Tests that only a POSIX system can run: a folder removed while it is the
// current one (Windows refuses to remove it), and score lists written in a
// child process that meets a file-size limit or is killed while it writes.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include "base/console.hpp"
#include "export/scorelist.hpp"
#include "support/play.hpp"
#include "support/scorelists.hpp"
#include "support/scratch.hpp"

namespace {

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
    const rlimit size{limit, limit};
    setrlimit(RLIMIT_FSIZE, &size);
    consoleout = fdopen(channel[1], "w");
    body();
    _exit(consoleout != nullptr && std::fclose(consoleout) == 0 ? 0 : 1);
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
  // With room enough the same list is written.
  EXPECT_EQ(printedunderlimit(100000, [] { writescorelist(ListFormat::comma, WayKind::all, 60); }),
            success("darts-score060.csv"));
  EXPECT_EQ(filetext("darts-score060.csv"), *expectedone(true, false, 60));
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
  ASSERT_EQ(filetext(name), complete);
  std::filesystem::remove(name);

  constexpr int kills = 200;
  int absent = 0;
  int written = 0;
  for (int k = 0; k < kills; ++k) {
    writeandkill(whole * 5 / 4 * k / kills);
    if (!std::filesystem::exists(name)) {
      ++absent;
    } else {
      ASSERT_EQ(filetext(name), complete) << "killed at " << k << " of " << kills;
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
  EXPECT_EQ(filetext(name), complete);
}

}  // namespace
