// The platform's own calls on Windows (MinGW-w64 and its C runtime). A list
// file is written under a temporary name beside its own and renamed to it at
// the end: rename on Windows never replaces an existing file.
#include "base/platform.hpp"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

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
