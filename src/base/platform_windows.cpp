// The platform's own calls on Windows (MinGW-w64 and its C runtime). A list
// file is written under a leftover's name beside its own,
// NAME.unfinished-PID-N, and renamed to it at the end: rename on Windows never
// replaces an existing file.
#include "base/platform.hpp"

#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>

namespace {

// Leftovers' names: NAME.unfinished-PID-N. They say what they are, never end
// as a list's name does, and carry this process's number, so that the
// leftovers of writers killed before, however many, are never names this one
// needs: it passes over the few a process of the same number may have left.
unsigned long long tempcount = 0;
constexpr unsigned long long tempattempts = 1ULL << 20;

bool maketempname(NewFile& file, const char* name) {
  const int length = std::snprintf(file.tempname.data(), file.tempname.size(),
                                   "%s.unfinished-%d-%llu", name, _getpid(), ++tempcount);
  return length > 0 && static_cast<std::size_t>(length) < file.tempname.size();
}

}  // namespace

int reportederror(int error) {
  return error;
}

int readchar(std::FILE* stream) {
  return std::getc(stream);
}

std::size_t writebytes(const char* data, std::size_t size, std::FILE* stream) {
  return std::fwrite(data, 1, size, stream);
}

// Windows sends no signal at a file-size limit, and its C runtime keeps the
// descriptors 0 to 2 for the standard streams from start-up, so there is
// nothing to ready.
bool startplatform() {
  return true;
}

bool createnewfile(NewFile& file, const char* name) {
  file = {nullptr, -1, {}};
  if (std::FILE* existing = std::fopen(name, "rb")) {
    std::fclose(existing);
    errno = EEXIST;
    return false;
  }
  for (unsigned long long attempt = 0; attempt < tempattempts; ++attempt) {
    if (!maketempname(file, name)) {
      errno = ENAMETOOLONG;
      return false;
    }
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
FileStep namenewfile(NewFile& file, const char* name) {
  if (std::rename(file.tempname.data(), name) == 0) return FileStep::none;
  int error = errno;
  if (std::FILE* existing = std::fopen(name, "rb")) {
    std::fclose(existing);
    error = EEXIST;
  }
  std::remove(file.tempname.data());
  errno = error;
  return error == EEXIST ? FileStep::create : FileStep::link;
}

void discardnewfile(NewFile& file, const char* /*name*/) {
  std::remove(file.tempname.data());
}
