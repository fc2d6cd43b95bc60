// The platform's own calls in a browser (Emscripten). Standard input is the
// page's lines, waited for with Asyncify; standard output and errors go to the
// page as they are written (web/quiverly-library.js); a list is written in
// memory and the page offers it as a download once it is complete. The
// program has no file system there.
#include "base/platform.hpp"

#include <emscripten.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

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
EM_ASYNC_JS(int, browserreadchar, (), { return await Module['quiverlyReadChar'](); });

// Standard input is never read through its stream, whose descriptor has nothing
// behind it: its characters come from the page.
int readchar(std::FILE* stream) {
  if (stream == stdin) {
    const int c = browserreadchar();
    return c < 0 ? EOF : c;
  }
  return getc_unlocked(stream);
}

std::size_t writebytes(const char* data, std::size_t size, std::FILE* stream) {
  return std::fwrite(data, 1, size, stream);
}

// The page gives the program its standard streams and no size limit.
bool startplatform() {
  return true;
}

// A page has no files: a list is written into memory, and once complete it is
// handed to the page, which offers it as a download and keeps it for the rest
// of the visit. One list is written at a time.
namespace {
char* listbytes = nullptr;
std::size_t listsize = 0;

void freelist() {
  std::free(listbytes);
  listbytes = nullptr;
  listsize = 0;
}
}  // namespace

// Whether the page holds a list of that name from this visit: as a console
// program's lists stay in its folder, each later session refuses to make it
// again.
EM_JS(bool, browserhaslist, (const char* name),
      { return Module['quiverlyHasList'](UTF8ToString(name)); });

bool createnewfile(NewFile& file, const char* name) {
  file = {nullptr, true, {}};
  if (browserhaslist(name)) {
    errno = EEXIST;
    return false;
  }
  freelist();
  file.stream = open_memstream(&listbytes, &listsize);
  return file.stream != nullptr;
}

// Hands the page a complete list, by name and contents, for the page to offer
// as a download.
EM_JS(void, browserofferlist, (const char* name, const char* bytes, std::size_t size),
      { Module['quiverlyOfferList'](UTF8ToString(name), HEAPU8.slice(bytes, bytes + size)); });

// The list is complete once its stream is closed: the player is offered it.
FileStep finishnewfile(NewFile& file, const char* name) {
  if (std::fclose(file.stream) != 0) {
    freelist();
    return FileStep::close;
  }
  browserofferlist(name, listbytes, listsize);
  freelist();
  return FileStep::none;
}

void discardnewfile(NewFile& file) {
  std::fclose(file.stream);
  freelist();
}
