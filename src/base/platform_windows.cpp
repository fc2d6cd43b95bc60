// The platform's own calls on Windows (MinGW-w64 and its C runtime). A list
// file is written under a leftover's name beside its own (base/leftover.hpp),
// put on the device, and renamed to it at the end: rename on Windows never
// replaces an existing file.
#include "base/platform.hpp"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>

int reportederror(int error) {
  return error;
}

int readchar(std::FILE* stream) {
  return std::getc(stream);
}

std::size_t writebytes(const char* data, std::size_t size, std::FILE* stream) {
  return std::fwrite(data, 1, size, stream);
}

// Windows sends no signal at a file-size limit or a closed pipe, and its C
// runtime keeps the descriptors 0 to 2 for the standard streams from
// start-up, so there is nothing to ready.
bool startplatform() {
  return true;
}

bool createnewfile(NewFile& file, const char* name) {
  file = {nullptr, false, {}};
  const int descriptor = claimleftover(file.leftover, name, _getpid(), [](const char* path) {
    return _open(path, _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _S_IREAD | _S_IWRITE);
  });
  if (descriptor < 0) return false;
  file.stream = _fdopen(descriptor, "wb");
  if (file.stream != nullptr) return true;
  _close(descriptor);
  std::remove(file.leftover.data());
  return false;
}

// The list is flushed to the device (FlushFileBuffers, which sets no error
// number: an input/output error) before it is named. rename on Windows
// refuses an existing target; the runtime may report it as EACCES, so an
// existing name is reported as EEXIST, as everywhere else.
FileStep finishnewfile(NewFile& file, const char* name) {
  if (std::fflush(file.stream) != 0) {
    discardnewfile(file);
    return FileStep::write;
  }
  if (FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file.stream)))) == 0) {
    errno = EIO;
    discardnewfile(file);
    return FileStep::write;
  }
  if (std::fclose(file.stream) != 0) {
    const int error = errno;
    std::remove(file.leftover.data());
    errno = error;
    return FileStep::close;
  }
  if (std::rename(file.leftover.data(), name) == 0) return FileStep::none;
  int error = errno;
  if (std::FILE* existing = std::fopen(name, "rb")) {
    std::fclose(existing);
    error = EEXIST;
  }
  std::remove(file.leftover.data());
  errno = error;
  return error == EEXIST ? FileStep::create : FileStep::link;
}

void discardnewfile(NewFile& file) {
  const int error = errno;
  std::fclose(file.stream);
  std::remove(file.leftover.data());
  errno = error;
}
