// The platform's own calls on POSIX systems (Linux first). A list is written
// where no list name shows it and named once complete, by the strongest means
// the file system offers, chosen before it is written; none replaces a file:
// - unnamed (O_TMPFILE) where /proc can link it (ext4, tmpfs, btrfs, xfs);
// - else under a leftover's name (base/leftover.hpp), linked to the list's
//   name where there are hard links, else renamed without replacing (FAT and
//   exFAT in the kernel), else renamed over an empty file of the list's name
//   made exclusively just before (FAT and exFAT through FUSE on libfuse 2).
// On every path the list's data is synced before its name is made and the
// folder after, so that a list announced as written is on the device: a
// pulled stick or a power cut after the message keeps it. Every signal that
// ends a program by default and can be caught removes a leftover: only
// SIGKILL, a crash or a power cut leaves one.
#include "base/console.hpp"
#include "base/filesystemfaults.hpp"
#include "base/platform.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>

FileSystemFaults filesystemfaults{};

namespace {

// Errors of a link that say the file system will not link here at all: no
// hard links (FAT says EPERM), no such call, or no /proc (ENOENT).
constexpr std::array<int, 6> nolinkerrors = {EPERM, EOPNOTSUPP, ENOTSUP, EMLINK, ENOSYS, ENOENT};
// Errors of a rename without replacing that say the flag is not understood: an
// older kernel, or FUSE on libfuse 2 (EINVAL).
constexpr std::array<int, 4> norenameerrors = {EINVAL, ENOSYS, EOPNOTSUPP, ENOTSUP};
// Errors of a sync that say the file system cannot sync that file or folder at
// all, as some answer for a folder: no failure of the list.
constexpr std::array<int, 4> nosyncerrors = {EINVAL, ENOTSUP, EOPNOTSUPP, ENOSYS};
// Errors of a read or a write that say that the input or output is not ready
// yet, or that a signal came.
constexpr std::array<int, 3> notreadyerrors = {EAGAIN, EWOULDBLOCK, EINTR};
// The signals that end a program by default and can be caught, beside the
// real-time ones: Ctrl-C, a terminate, a hang-up (a terminal window closed),
// Ctrl-\, the user's two, the timers, the processor-time limit and, where the
// system has them, asynchronous input, a power failure (elsewhere than Linux
// it is ignored by default) and a coprocessor's stack fault. Crashes are left
// to their default; SIGXFSZ and SIGPIPE are ignored, so that a write fails.
constexpr std::array endingsignals = {
    SIGINT,    SIGTERM, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM, SIGVTALRM, SIGPROF, SIGXCPU,
#if defined(SIGPOLL)
    SIGPOLL,
#endif
#if defined(SIGPWR) && defined(__linux__)
    SIGPWR,
#endif
#if defined(SIGSTKFLT)
    SIGSTKFLT,
#endif
};

template <std::size_t size>
bool isamong(const std::array<int, size>& errors, int error) {
  return std::find(errors.begin(), errors.end(), error) != errors.end();
}

// The leftover's name of the file being written, for the signal handler: set
// with the ending signals held back and cleared once the name is gone, so that
// the handler never removes a name this process does not hold.
std::atomic<const char*> pendingleftover{nullptr};
static_assert(std::atomic<const char*>::is_always_lock_free);

// The ending signals, the real-time ones included, as a set.
sigset_t endingset() {
  sigset_t set;
  sigemptyset(&set);
  for (const int ending : endingsignals) sigaddset(&set, ending);
#if defined(SIGRTMIN) && defined(SIGRTMAX)
  for (int ending = SIGRTMIN; ending <= SIGRTMAX; ++ending) sigaddset(&set, ending);
#endif
  return set;
}

// A build for coverage writes its counts before a signal ends the process,
// which would otherwise lose them.
#if defined(QUIVERLY_COVERAGE)
extern "C" void __gcov_dump();
#endif

// Removes the pending leftover, then ends the program by the same signal with
// its default action, so that the exit status tells of it: the signal, held
// back while its handler runs, ends the program as the handler returns.
// Async-signal-safe (but for the counts of a coverage build).
extern "C" void removeleftoverandend(int caught) {
  if (const char* leftover = pendingleftover.load()) unlink(leftover);
  signal(caught, SIG_DFL);
  raise(caught);
#if defined(QUIVERLY_COVERAGE)
  __gcov_dump();
#endif
}  // LCOV_EXCL_LINE: after the counts are written

sigset_t holdendingsignals() {
  const sigset_t held = endingset();
  sigset_t previous;
  sigprocmask(SIG_BLOCK, &held, &previous);
  return previous;
}

// Where the tests' faults ask for it, a moment inside a step that holds the
// ending signals back.
void insidehold() {
  if (filesystemfaults.insidehold != nullptr) filesystemfaults.insidehold();
}

// Removes the leftover and forgets its name. A removal that succeeds, as that
// of a file of one's own does, leaves errno to tell of the failure before it.
void dropleftover(NewFile& file) {
  unlink(file.leftover.data());
  pendingleftover.store(nullptr);
}

// An unnamed file in the current folder, or -1 with errno set.
int openunnamed() {
  errno = filesystemfaults.tmpfile != 0 ? filesystemfaults.tmpfile : EOPNOTSUPP;
#if defined(O_TMPFILE)
  if (filesystemfaults.tmpfile == 0) return open(".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
#endif
  return -1;
}

// The path through /proc to the unnamed file open on descriptor.
std::array<char, 32> procpath(int descriptor) {
  std::array<char, 32> path{};
  std::snprintf(path.data(), path.size(), "/proc/self/fd/%d", descriptor);
  return path;
}

// Whether the unnamed file open on descriptor can be linked once written: not
// without /proc (containers, chroots), which is asked before the list is
// written, so that none is written that could not then be named.
bool linkable(int descriptor) {
  const int fault = filesystemfaults.linkunnamed;
  if (fault != 0) return !isamong(nolinkerrors, fault);
  return access(procpath(descriptor).data(), F_OK) == 0;
}

// Links the unnamed file open on descriptor to name. 0, or -1 with errno set.
int linkunnamed(int descriptor, const char* name) {
  errno = filesystemfaults.linkunnamed;
  if (errno != 0) return -1;
  return linkat(AT_FDCWD, procpath(descriptor).data(), AT_FDCWD, name, AT_SYMLINK_FOLLOW);
}

// Renames the leftover to name unless name exists. 0 or the error; EINVAL
// where the system or the file system cannot.
int renamenoreplace(const NewFile& file, const char* name) {
  if (filesystemfaults.renamenoreplace != 0) return filesystemfaults.renamenoreplace;
#if defined(__linux__) && defined(RENAME_NOREPLACE)
  if (renameat2(AT_FDCWD, file.leftover.data(), AT_FDCWD, name, RENAME_NOREPLACE) == 0) return 0;
  return errno;
#else
  return EINVAL;
#endif
}

// Makes name exclusively (EEXIST when it exists) and renames the leftover over
// that empty file of its own. Only SIGKILL between the two leaves the empty
// file, never part of a list; it is closed after the rename, which keeps that
// moment short (on FUSE a close may take milliseconds). 0 or the error. The
// rename fails only on an input/output error, which the tests' faults play.
int renameoverreservation(const char* leftover, const char* name) {
  const int reservation = open(name, O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
  if (reservation < 0) return errno;
  insidehold();
  int error = filesystemfaults.rename;
  if (error == 0 && std::rename(leftover, name) != 0) error = errno;  // LCOV_EXCL_BR_LINE
  if (error != 0) unlink(name);
  close(reservation);
  return error;
}

// Names the closed leftover by the first means the file system has and lets
// the leftover's name go, with the signals held back (one caught after the
// reservation would remove the list and keep the empty file). 0 or the error.
int nameleftover(NewFile& file, const char* name) {
  const sigset_t previous = holdendingsignals();
  int error = filesystemfaults.linknamed;
  if (error == 0 && link(file.leftover.data(), name) != 0) error = errno;
  const bool renaming = isamong(nolinkerrors, error);
  if (renaming) error = renamenoreplace(file, name);
  if (renaming && isamong(norenameerrors, error))
    error = renameoverreservation(file.leftover.data(), name);
  if (renaming && error == 0) {
    pendingleftover.store(nullptr);
  } else {
    dropleftover(file);
  }
  sigprocmask(SIG_SETMASK, &previous, nullptr);
  return error;
}

// The error of a sync, 0 when it worked or the file system cannot sync there.
int syncerror(int error) {
  return isamong(nosyncerrors, error) ? 0 : error;
}

// Puts the data and size of the file open on descriptor on the device. 0 or
// the error.
int syncfile(int descriptor) {
  int error = filesystemfaults.syncfile;
  // LCOV_EXCL_BR_START: a sync fails only on a failing device; the faults play it.
  if (error == 0 && fsync(descriptor) != 0) error = errno;
  // LCOV_EXCL_BR_STOP
  return syncerror(error);
}

// Puts the current folder's names on the device, once a list is named there;
// the list's file is closed first, so that one free descriptor is enough. A
// folder that cannot be opened (one that may be written but not read) has
// every file system synced instead. 0 or the error.
int syncfolder() {
  if (filesystemfaults.syncfolder != 0) return syncerror(filesystemfaults.syncfolder);
  const int folder = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder < 0) {  // LCOV_EXCL_BR_LINE: the tests run where every folder can be read
    sync();          // LCOV_EXCL_LINE
    return 0;        // LCOV_EXCL_LINE
  }
  const int error = fsync(folder) == 0 ? 0 : errno;  // LCOV_EXCL_BR_LINE: the faults play it
  close(folder);
  return syncerror(error);
}

// Closes stream: 0, or the error of a close that fails (only where a file
// system defers its errors, NFS; the tests' faults play it).
int closestream(std::FILE* stream) {
  const int fault = filesystemfaults.close;
  if (std::fclose(stream) != 0) return errno;  // LCOV_EXCL_BR_LINE: not on the tests' file systems
  return fault;
}

#if defined(__GLIBC__)
// The writes of the stream the dialogue is printed through: standard output,
// waited for while it is not ready (another program on the terminal or the
// pipe may have made it non-blocking), as the input is. Returns the bytes
// written, fewer when a write failed, with errno set.
ssize_t writeoutput(void* /*cookie*/, const char* data, std::size_t size) {
  std::size_t written = 0;
  while (written < size) {
    const ssize_t n = write(STDOUT_FILENO, data + written, size - written);
    if (n >= 0) {
      written += static_cast<std::size_t>(n);
      continue;
    }
    if (!isamong(notreadyerrors, errno)) break;
    // A wait fails only without memory.
    pollfd output{STDOUT_FILENO, POLLOUT, 0};
    if (poll(&output, 1, -1) < 0 && errno != EINTR) break;  // LCOV_EXCL_BR_LINE
  }
  return static_cast<ssize_t>(written);
}
#endif

}  // namespace

int reportederror(int error) {
  return error;
}

bool startplatform() {
  bool outputopen = true;
  // A descriptor found closed (fcntl fails only so) takes the lowest number,
  // this one: input a pipe without a writer (its end; a pipe fails only without
  // descriptors), an output the null device or, in a bare chroot, the root.
  // Without a descriptor for the pipe, input is the null device, read.
  for (int descriptor = 0; descriptor <= 2; ++descriptor) {
    if (fcntl(descriptor, F_GETFD) != -1 || errno != EBADF) continue;  // LCOV_EXCL_BR_LINE
    if (descriptor == 1) outputopen = false;
    std::array<int, 2> ends{};
    if (descriptor == 0 && pipe(ends.data()) == 0) {
      close(ends[1]);
    } else if (open("/dev/null", descriptor == 0 ? O_RDONLY : O_WRONLY) < 0) {  // LCOV_EXCL_BR_LINE
      open("/", O_RDONLY | O_DIRECTORY);                                        // LCOV_EXCL_LINE
    }
  }
  signal(SIGXFSZ, SIG_IGN);
  signal(SIGPIPE, SIG_IGN);
  // A signal ignored from the start (nohup, a background job) stays ignored.
  // It is asked without changing it, so that none that comes meanwhile is
  // lost. The handler holds the other ending signals back while it runs.
  struct sigaction ending {};
  ending.sa_handler = removeleftoverandend;
  ending.sa_mask = endingset();
  ending.sa_flags = SA_RESTART;
  const auto catchending = [&ending](int caught) {
    struct sigaction start {};
    sigaction(caught, nullptr, &start);
    if (start.sa_handler != SIG_IGN) sigaction(caught, &ending, nullptr);
  };
  for (const int caught : endingsignals) catchending(caught);
#if defined(SIGRTMIN) && defined(SIGRTMAX)
  for (int caught = SIGRTMIN; caught <= SIGRTMAX; ++caught) catchending(caught);
#endif
#if defined(__GLIBC__)
  // The dialogue is printed through a stream of its own on standard output
  // (the C library's own stdout would drop what a non-blocking output refuses).
  consoleout = fopencookie(nullptr, "w", {nullptr, writeoutput, nullptr, nullptr});
#endif
  return outputopen;
}

// A non-blocking input (another program on the terminal or the pipe may have
// made it so) says EAGAIN while nothing is there: that is waited for. Any other
// failure stays in the stream, as does a failed wait (only without memory).
int readchar(std::FILE* stream) {
  for (;;) {
    const int c = getc_unlocked(stream);
    if (c != EOF || std::ferror(stream) == 0 || !isamong(notreadyerrors, errno)) return c;
    pollfd input{fileno(stream), POLLIN, 0};
    if (poll(&input, 1, -1) < 0 && errno != EINTR) return EOF;  // LCOV_EXCL_BR_LINE
    std::clearerr(stream);
  }
}

std::size_t writebytes(const char* data, std::size_t size, std::FILE* stream) {
#if defined(__GLIBC__)
  return fwrite_unlocked(data, 1, size, stream);
#else
  return std::fwrite(data, 1, size, stream);
#endif
}

bool createnewfile(NewFile& file, const char* name) {
  file = {nullptr, false, {}};
  int descriptor = openunnamed();
  file.unnamed = descriptor >= 0 && linkable(descriptor);
  if (descriptor >= 0 && !file.unnamed) close(descriptor);
  // A leftover's failure is what any file meets (ENOENT where the folder is gone).
  if (!file.unnamed) {
    const sigset_t previous = holdendingsignals();
    descriptor = claimleftover(file.leftover, name, getpid(), [](const char* path) {
      return open(path, O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
    });
    if (descriptor >= 0) {
      insidehold();
      pendingleftover.store(file.leftover.data());
    }
    sigprocmask(SIG_SETMASK, &previous, nullptr);
  }
  if (descriptor < 0) return false;
  file.stream = fdopen(descriptor, "wb");
  if (file.stream != nullptr) return true;  // LCOV_EXCL_BR_LINE: it fails only without memory
  // LCOV_EXCL_START: which leaves fdopen's errno
  close(descriptor);
  if (!file.unnamed) dropleftover(file);
  return false;
  // LCOV_EXCL_STOP
}

// The data is synced while the stream holds the file; an unnamed file is then
// linked, a leftover named once closed, and the folder synced after. A failed
// close (only where a file system defers its errors, NFS) takes the name away
// again, and so does a failed sync of the folder, as a failed write.
FileStep finishnewfile(NewFile& file, const char* name) {
  const int descriptor = fileno(file.stream);
  int error = std::fflush(file.stream) != 0 ? errno : syncfile(descriptor);
  if (error != 0) {
    errno = error;
    discardnewfile(file);
    return FileStep::write;
  }
  error = file.unnamed && linkunnamed(descriptor, name) != 0 ? errno : 0;
  const int closeerror = closestream(file.stream);
  if (closeerror != 0 && error == 0) {
    // The name just made goes, as the leftover does.
    if (file.unnamed) unlink(name);
    if (!file.unnamed) dropleftover(file);
    errno = closeerror;
    return FileStep::close;
  }
  if (!file.unnamed) error = nameleftover(file, name);
  errno = error;
  // A name taken, or a folder gone (tmpfs makes an unnamed file in a removed
  // folder, ext4 does not), is a file that cannot be created, as elsewhere.
  if (error != 0) return error == EEXIST || error == ENOENT ? FileStep::create : FileStep::link;
  error = syncfolder();
  if (error == 0) return FileStep::none;
  unlink(name);
  errno = error;
  return FileStep::write;
}

void discardnewfile(NewFile& file) {
  const int error = errno;
  std::fclose(file.stream);
  if (!file.unnamed) dropleftover(file);
  errno = error;
}
