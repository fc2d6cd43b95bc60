// The platform's own calls on POSIX systems (Linux first). A list file is
// written unnamed and linked to its name when complete: on Linux it is made
// with O_TMPFILE, invisible until linked; elsewhere under a temporary name
// beside it, linked to its name at the end. link, unlike rename, never
// replaces an existing file.
#include "base/platform.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace {

// Makes a temporary name beside name: name.part1, name.part2 and so on. A
// name left by a writer that was killed is passed over, not reused.
bool maketempname(NewFile& file, const char* name, unsigned attempt) {
  const int length =
      std::snprintf(file.tempname.data(), file.tempname.size(), "%s.part%u", name, attempt);
  return length > 0 && static_cast<std::size_t>(length) < file.tempname.size();
}

constexpr unsigned tempattempts = 1000;

}  // namespace

int reportederror(int error) {
  return error;
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

namespace {

// Opens a stream on a descriptor just made, or undoes it.
bool openstream(NewFile& file, int descriptor) {
  file.stream = fdopen(descriptor, "wb");
  if (file.stream != nullptr) return true;
  const int error = errno;
  close(descriptor);
  errno = error;
  return false;
}

// A temporary name beside the list, made exclusively.
bool createtempfile(NewFile& file, const char* name) {
  for (unsigned attempt = 1; attempt <= tempattempts; ++attempt) {
    if (!maketempname(file, name, attempt)) break;
    const int descriptor =
        open(file.tempname.data(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
    if (descriptor >= 0) {
      if (openstream(file, descriptor)) return true;
      unlink(file.tempname.data());
      return false;
    }
    if (errno != EEXIST) return false;
  }
  errno = EEXIST;
  return false;
}

}  // namespace

bool createnewfile(NewFile& file, const char* name) {
  file = {nullptr, -1, {}};
  if (access(name, F_OK) == 0) {
    errno = EEXIST;
    return false;
  }
#if defined(O_TMPFILE)
  // A file with no name in the current folder; the stream gets a descriptor of
  // its own, so the file can still be linked once the stream is closed.
  const int descriptor = open(".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
  if (descriptor >= 0) {
    file.descriptor = fcntl(descriptor, F_DUPFD_CLOEXEC, 0);
    if (file.descriptor >= 0 && openstream(file, descriptor)) return true;
    const int error = errno;
    if (file.descriptor >= 0) close(file.descriptor);
    file.descriptor = -1;
    errno = error;
    return false;
  }
  // Where the file system has no unnamed files, or will not make one here, a
  // temporary name serves; its failure tells what an ordinary file would meet
  // (ENOENT in a folder that is gone, where O_TMPFILE may say EPERM).
#endif
  return createtempfile(file, name);
}

// link, unlike rename, fails when the name exists.
bool namenewfile(NewFile& file, const char* name) {
  int result = 0;
  if (file.descriptor >= 0) {
    std::array<char, 40> path{};
    std::snprintf(path.data(), path.size(), "/proc/self/fd/%d", file.descriptor);
    result = linkat(AT_FDCWD, path.data(), AT_FDCWD, name, AT_SYMLINK_FOLLOW);
    const int error = errno;
    close(file.descriptor);
    file.descriptor = -1;
    errno = error;
  } else {
    result = link(file.tempname.data(), name);
    const int error = errno;
    unlink(file.tempname.data());
    errno = error;
  }
  return result == 0;
}

void discardnewfile(NewFile& file, const char* /*name*/) {
  if (file.descriptor >= 0) {
    close(file.descriptor);
    file.descriptor = -1;
  } else {
    unlink(file.tempname.data());
  }
}
