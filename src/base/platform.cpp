// The platform's own calls, for POSIX systems (Linux first), Windows and the
// browser. A list file is written unnamed and linked to its name when complete:
// on Linux it is made with O_TMPFILE, invisible until linked; elsewhere under a
// temporary name beside it, linked (or on Windows renamed, which there never
// replaces a file) to its name at the end. In the browser the file system lives
// in memory and ends with the page, so the file is made under its name at once.
#include "base/platform.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#elif defined(__EMSCRIPTEN__)
#include <emscripten.h>
#include <stdio_ext.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

// A name that exists already is refused before anything is written; the
// naming at the end, which never replaces a file, settles a name taken
// meanwhile.

#if !defined(__EMSCRIPTEN__)
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
#endif

#if defined(_WIN32)

int reportederror(int error) {
  return error;
}

int readchar(std::FILE* stream) {
  return std::getc(stream);
}

std::size_t writebytes(const char* data, std::size_t size, std::FILE* stream) {
  return std::fwrite(data, 1, size, stream);
}

bool createnewfile(NewFile& file, const char* name) {
  file = {nullptr, -1, {}};
  if (std::FILE* existing = std::fopen(name, "rb")) {
    std::fclose(existing);
    errno = EEXIST;
    return false;
  }
  for (unsigned attempt = 1; attempt <= tempattempts; ++attempt) {
    if (!maketempname(file, name, attempt)) break;
    const int descriptor = _open(file.tempname.data(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY,
                                 _S_IREAD | _S_IWRITE);
    if (descriptor < 0) {
      if (errno == EEXIST) continue;
      return false;
    }
    file.stream = _fdopen(descriptor, "wb");
    if (file.stream != nullptr) return true;
    _close(descriptor);
    std::remove(file.tempname.data());
    return false;
  }
  errno = EEXIST;
  return false;
}

// rename on Windows refuses an existing target; the runtime may report it as
// EACCES, so an existing name is reported as EEXIST, as everywhere else.
bool namenewfile(NewFile& file, const char* name) {
  if (std::rename(file.tempname.data(), name) == 0) return true;
  int error = errno;
  if (std::FILE* existing = std::fopen(name, "rb")) {
    std::fclose(existing);
    error = EEXIST;
  }
  std::remove(file.tempname.data());
  errno = error;
  return false;
}

void discardnewfile(NewFile& file, const char* /*name*/) {
  std::remove(file.tempname.data());
}

#elif defined(__EMSCRIPTEN__)

int reportederror(int error) {
  struct Number {
    int here;
    int onlinux;
  };
  static constexpr Number numbers[] = {
      {EPERM, 1},   {ENOENT, 2}, {EIO, 5},     {EBADF, 9},    {EAGAIN, 11},       {ENOMEM, 12},
      {EACCES, 13}, {EBUSY, 16}, {EEXIST, 17}, {ENOTDIR, 20}, {EISDIR, 21},       {EINVAL, 22},
      {EMFILE, 24}, {EFBIG, 27}, {ENOSPC, 28}, {EROFS, 30},   {ENAMETOOLONG, 36}, {EDQUOT, 122},
  };
  for (const Number& number : numbers) {
    if (number.here == error) return number.onlinux;
  }
  return error;
}

// The page keeps the bytes of the lines the player has entered. This gives the
// next of them: while there is none, the program's stack is unwound (Asyncify)
// and the page runs on; once a line is entered the read resumes with its first
// byte. -1 would be the end of the input, which the page never sends.
EM_ASYNC_JS(int, browserreadchar, (), { return await Module.quiverlyReadChar(); });

// Standard input is never read through its stream, whose descriptor has nothing
// behind it, but a character put back with ungetc waits in the stream's buffer
// and is given first, as getc would.
int readchar(std::FILE* stream) {
  if (stream == stdin && __freadahead(stdin) == 0) {
    const int c = browserreadchar();
    return c < 0 ? EOF : c;
  }
  return getc_unlocked(stream);
}

std::size_t writebytes(const char* data, std::size_t size, std::FILE* stream) {
  return std::fwrite(data, 1, size, stream);
}

bool createnewfile(NewFile& file, const char* name) {
  file = {std::fopen(name, "wbx"), -1, {}};
  return file.stream != nullptr;
}

bool namenewfile(NewFile& /*file*/, const char* /*name*/) {
  return true;
}

void discardnewfile(NewFile& /*file*/, const char* name) {
  std::remove(name);
}

#else

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

#endif
