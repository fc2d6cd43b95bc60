// The platform's own calls on POSIX systems (Linux first). A list file is
// written where no list name shows it and named only once complete, by the
// strongest means the file system offers, none of which replaces a file:
// - unnamed (O_TMPFILE), then linked to its name through /proc/self/fd, or
//   through its descriptor where /proc is missing (ext4, tmpfs, btrfs, xfs);
// - else under a leftover's name beside it, NAME.unfinished-PID-N, linked to
//   the list's name where the file system has hard links;
// - where it has none, renamed without replacing (Linux's RENAME_NOREPLACE:
//   FAT and exFAT in the kernel), or else renamed over an empty file of the
//   list's name made exclusively just before (FAT and exFAT through FUSE on
//   libfuse 2). An unnamed file that cannot be linked is copied to a
//   leftover's name first.
#include "base/platform.hpp"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

FileSystemFaults filesystemfaults{};

namespace {

// Errors of a link that say the file system will not link here at all, not
// that this link met a problem: no hard links (FAT says EPERM), no such call,
// or no /proc to reach the unnamed file through (ENOENT).
constexpr std::array<int, 6> nolinkerrors = {EPERM, EOPNOTSUPP, ENOTSUP, EMLINK, ENOSYS, ENOENT};

// Errors of a rename without replacing that say the flag is not understood:
// an older kernel, or a file system that does not take it (FUSE file systems
// on libfuse 2 answer EINVAL).
constexpr std::array<int, 4> norenameerrors = {EINVAL, ENOSYS, EOPNOTSUPP, ENOTSUP};

template <std::size_t size>
bool isamong(const std::array<int, size>& errors, int error) {
  return std::find(errors.begin(), errors.end(), error) != errors.end();
}

// Closes descriptor, leaving errno as it was: for the paths that report an
// earlier error.
void closequietly(int descriptor) {
  const int error = errno;
  close(descriptor);
  errno = error;
}

// Leftovers' names: NAME.unfinished-PID-N. They say what they are, never end
// as a list's name does (.txt or .csv), and carry this process's number, so
// that the leftovers of writers killed before, however many, are never names
// this one needs: it passes over the few a process of the same number may
// have left. Only a file system that claims every name exists stops it.
unsigned long long tempcount = 0;
constexpr unsigned long long tempattempts = 1ULL << 20;

bool maketempname(NewFile& file, const char* name) {
  const int length =
      std::snprintf(file.tempname.data(), file.tempname.size(), "%s.unfinished-%ld-%llu", name,
                    static_cast<long>(getpid()), ++tempcount);
  return length > 0 && static_cast<std::size_t>(length) < file.tempname.size();
}

// Opens a file under a new leftover's name beside name, made exclusively.
// Returns its descriptor, or -1 with errno set.
int opentempfile(NewFile& file, const char* name) {
  for (unsigned long long attempt = 0; attempt < tempattempts; ++attempt) {
    if (!maketempname(file, name)) {
      errno = ENAMETOOLONG;
      return -1;
    }
    const int descriptor =
        open(file.tempname.data(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
    if (descriptor >= 0 || errno != EEXIST) return descriptor;
  }
  errno = EEXIST;
  return -1;
}

// Opens a stream on a descriptor just made, or closes it.
bool openstream(NewFile& file, int descriptor) {
  file.stream = fdopen(descriptor, "wb");
  if (file.stream != nullptr) return true;
  closequietly(descriptor);
  return false;
}

// An unnamed file in the current folder, readable too, so that its bytes can
// be copied out if it cannot be linked. -1 with errno set where there is none.
int openunnamedfile() {
#if defined(O_TMPFILE)
  if (filesystemfaults.tmpfile != 0) {
    errno = filesystemfaults.tmpfile;
    return -1;
  }
  return open(".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
#else
  errno = EOPNOTSUPP;
  return -1;
#endif
}

// Links the unnamed file to name: through /proc/self/fd, or where /proc is
// missing through the descriptor itself (which recent Linux allows the
// process that opened the file, older Linux privileged processes only). 0 or
// the error.
int linkunnamed(const NewFile& file, const char* name) {
  if (filesystemfaults.linkunnamed != 0) return filesystemfaults.linkunnamed;
  std::array<char, 40> path{};
  std::snprintf(path.data(), path.size(), "/proc/self/fd/%d", file.descriptor);
  if (linkat(AT_FDCWD, path.data(), AT_FDCWD, name, AT_SYMLINK_FOLLOW) == 0) return 0;
#if defined(AT_EMPTY_PATH)
  if (errno == ENOENT && linkat(file.descriptor, "", AT_FDCWD, name, AT_EMPTY_PATH) == 0) return 0;
#endif
  return errno;
}

// Links the file under its leftover's name to name. 0 or the error.
int linknamed(const NewFile& file, const char* name) {
  if (filesystemfaults.linknamed != 0) return filesystemfaults.linknamed;
  return link(file.tempname.data(), name) == 0 ? 0 : errno;
}

// Renames the file under its leftover's name to name unless name exists.
// 0 or the error; EINVAL where the system or file system cannot.
int renamenoreplace(const NewFile& file, const char* name) {
  if (filesystemfaults.renamenoreplace != 0) return filesystemfaults.renamenoreplace;
#if defined(__linux__) && defined(RENAME_NOREPLACE)
  return renameat2(AT_FDCWD, file.tempname.data(), AT_FDCWD, name, RENAME_NOREPLACE) == 0 ? 0
                                                                                          : errno;
#else
  (void)file;
  (void)name;
  return EINVAL;
#endif
}

// Where nothing links or renames without replacing: name is made exclusively,
// which fails with EEXIST when it exists, and the file under its leftover's
// name is renamed over that empty file of this call's own. A kill between the
// two leaves an empty file under the name, never part of a list; the empty
// file is closed only after the rename, which keeps that moment short (on
// FUSE, closing a new file may take milliseconds). 0 or the error; the empty
// file is removed again when the rename fails.
int renameoverreservation(const NewFile& file, const char* name) {
  const int reservation = open(name, O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
  if (reservation < 0) return errno;
  int error = filesystemfaults.rename;
  if (error == 0 && std::rename(file.tempname.data(), name) != 0) error = errno;
  if (error != 0) unlink(name);
  close(reservation);
  return error;
}

// The step a failure to name a file is reported as: a name found taken as at
// creation, anything else as a failed link.
FileStep namingfailure(int error) {
  errno = error;
  return error == EEXIST ? FileStep::create : FileStep::link;
}

// Gives the file under its leftover's name the list's name by the first means
// the file system has, and removes the leftover's name.
FileStep nametempfile(NewFile& file, const char* name) {
  int error = linknamed(file, name);
  if (error == 0) {
    unlink(file.tempname.data());
    return FileStep::none;
  }
  if (isamong(nolinkerrors, error)) {
    error = renamenoreplace(file, name);
    if (isamong(norenameerrors, error)) error = renameoverreservation(file, name);
    if (error == 0) return FileStep::none;
  }
  unlink(file.tempname.data());
  return namingfailure(error);
}

// One list is copied at a time.
std::array<char, 65536> copybuffer;

// Writes size bytes of copybuffer to descriptor, going on after a short
// write. 0 or the error.
int writeall(int descriptor, std::size_t size) {
  for (std::size_t done = 0; done < size;) {
    const ssize_t put = write(descriptor, copybuffer.data() + done, size - done);
    if (put < 0) return errno;
    done += static_cast<std::size_t>(put);
  }
  return 0;
}

// The unnamed file cannot be linked here: its bytes go to a new file under a
// leftover's name, which is then named as any such file. Closes the unnamed
// file.
FileStep copyunnamedfile(NewFile& file, const char* name) {
  const int source = file.descriptor;
  file.descriptor = -1;
  const int target = opentempfile(file, name);
  if (target < 0) {
    closequietly(source);
    return FileStep::create;
  }
  FileStep failed = FileStep::none;
  int error = 0;
  for (off_t offset = 0;;) {
    const ssize_t got = pread(source, copybuffer.data(), copybuffer.size(), offset);
    if (got < 0) {
      failed = FileStep::write;
      error = errno;
    }
    if (got <= 0) break;
    offset += got;
    error = writeall(target, static_cast<std::size_t>(got));
    if (error != 0) {
      failed = FileStep::write;
      break;
    }
  }
  close(source);
  if (close(target) != 0 && failed == FileStep::none) {
    failed = FileStep::close;
    error = errno;
  }
  if (failed == FileStep::none) return nametempfile(file, name);
  unlink(file.tempname.data());
  errno = error;
  return failed;
}

}  // namespace

int reportederror(int error) {
  return error;
}

bool startplatform() {
  bool outputopen = true;
  for (int descriptor = 0; descriptor <= 2; ++descriptor) {
    if (fcntl(descriptor, F_GETFD) != -1 || errno != EBADF) continue;
    if (descriptor == 1) outputopen = false;
    // open takes the lowest free number, this one, as those below are open.
    // Without a null device (a bare chroot) the root folder holds the place:
    // reading it ends the input, writing to it fails.
    if (open("/dev/null", descriptor == 0 ? O_RDONLY : O_WRONLY) < 0) {
      open("/", O_RDONLY | O_DIRECTORY);
    }
  }
  signal(SIGXFSZ, SIG_IGN);
  return outputopen;
}

int readchar(std::FILE* stream) {
  return getc_unlocked(stream);
}

std::size_t writebytes(const char* data, std::size_t size, std::FILE* stream) {
#if defined(__GLIBC__)
  return fwrite_unlocked(data, 1, size, stream);
#else
  return std::fwrite(data, 1, size, stream);
#endif
}

bool createnewfile(NewFile& file, const char* name) {
  file = {nullptr, -1, {}};
  if (access(name, F_OK) == 0) {
    errno = EEXIST;
    return false;
  }
  const int unnamed = openunnamedfile();
  if (unnamed >= 0) {
    // The stream gets a descriptor of its own, so that the file can still be
    // linked, or read, once the stream is closed.
    file.descriptor = fcntl(unnamed, F_DUPFD_CLOEXEC, 0);
    if (file.descriptor < 0) {
      closequietly(unnamed);
      return false;
    }
    if (openstream(file, unnamed)) return true;
    closequietly(file.descriptor);
    file.descriptor = -1;
    return false;
  }
  // Where the file system has no unnamed files, or will not make one here, a
  // leftover's name serves; its failure tells what an ordinary file would
  // meet (ENOENT in a folder that is gone, where O_TMPFILE may say EPERM).
  const int named = opentempfile(file, name);
  if (named < 0) return false;
  if (openstream(file, named)) return true;
  const int error = errno;
  unlink(file.tempname.data());
  errno = error;
  return false;
}

FileStep namenewfile(NewFile& file, const char* name) {
  if (file.descriptor < 0) return nametempfile(file, name);
  const int error = linkunnamed(file, name);
  if (error != 0 && isamong(nolinkerrors, error)) return copyunnamedfile(file, name);
  // The file's bytes went out when its stream was closed; closing this other
  // descriptor of it has nothing left to report.
  close(file.descriptor);
  file.descriptor = -1;
  return error == 0 ? FileStep::none : namingfailure(error);
}

void discardnewfile(NewFile& file, const char* /*name*/) {
  if (file.descriptor >= 0) {
    close(file.descriptor);
    file.descriptor = -1;
  } else {
    unlink(file.tempname.data());
  }
}
