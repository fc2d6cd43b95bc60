// The platform's own calls in a browser (Emscripten). Standard input is the
// page's lines, waited for with Asyncify; the file system lives in memory and
// ends with the page, so a list file is made under its name at once, and the
// page offers it as a download once it is complete.
#include "base/platform.hpp"

#include <emscripten.h>
#include <stdio_ext.h>

#include <cerrno>
#include <cstdio>

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

// The lists of the player's visit stand in the current folder of every
// session, as a console program's lists stay in its folder: before a list is
// made, the page puts back the one of that name it holds, if any, so that it
// is refused as it would be natively.
EM_JS(void, browserrestorelist, (const char* name), {
  const path = UTF8ToString(name);
  const data = Module['quiverlyListData'](path);
  if (data) FS.writeFile(path, data);
});

// The page gives the program its standard streams and no size limit.
bool startplatform() {
  return true;
}

bool createnewfile(NewFile& file, const char* name) {
  browserrestorelist(name);
  file = {std::fopen(name, "wbx"), -1, {}};
  return file.stream != nullptr;
}

// Hands the page a list that is complete in the memory file system, by name
// and contents, for the page to offer as a download.
EM_JS(void, browserofferlist, (const char* name), {
  const path = UTF8ToString(name);
  Module['quiverlyOfferList'](path, FS.readFile(path));
});

// The file has had its name from the start; now that it is complete the player
// is offered it.
FileStep namenewfile(NewFile& /*file*/, const char* name) {
  browserofferlist(name);
  return FileStep::none;
}

void discardnewfile(NewFile& /*file*/, const char* name) {
  std::remove(name);
}
