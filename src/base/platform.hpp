// What ISO C++ and ISO C lack, behind a few plain functions: readying the
// standard descriptors at start-up, reading the console a character at a time
// without locking it, and score-list files that appear under their names
// complete or not at all. One source per system implements it
// (platform_posix.cpp, platform_windows.cpp, platform_web.cpp), chosen by the
// build; they are the only files of the program that call anything outside
// the two standards.
#pragma once

#include <array>
#include <cstddef>
#include <cstdio>

// The next character of stream, as getc gives it, without taking the stream's
// lock where the platform allows. In a browser, reading standard input waits
// for the player's next line.
int readchar(std::FILE* stream);

// Writes size bytes of data to stream, as fwrite does, without taking the
// stream's lock where the platform allows. Returns the number written.
std::size_t writebytes(const char* data, std::size_t size, std::FILE* stream);

// The number reported for the error number error: the one Linux gives that
// error, so that a report reads the same on every system. The browser's C
// library numbers errors its own way (EEXIST is 20 there, not 17).
int reportederror(int error);

// Readies the process once, before anything is read or written. A standard
// descriptor (input, output, errors) found closed is held open on the null
// device, so that no file the program opens ever takes its number, and a
// file-size limit makes a write fail (EFBIG) instead of killing the program.
// False when standard output was closed: nothing of the dialogue was shown.
bool startplatform();

// A new file while it is written. Until it is named it has no name of its own
// (or a leftover's name that says so), so that a list cut short by a crash or
// a kill never stands under the list's name.
struct NewFile {
  std::FILE* stream;
  int descriptor;                  // of the unnamed file, where it has one
  std::array<char, 240> tempname;  // its leftover's name, where it has one
};

// The step at which making a list file failed, so that the report can name
// it: creating the file (or finding its name taken), writing it, closing it,
// or giving it its name. none when nothing failed.
enum class FileStep { none, create, write, close, link };

// Creates a new file in the current folder, to be named name once complete,
// and opens file.stream on it for writing in binary mode. False, with errno
// set, when name exists already (EEXIST) or no file can be made there (ENOENT
// when the folder is gone). In a browser the list is written in memory, and a
// name is taken when the page holds a list of that name from this visit.
bool createnewfile(NewFile& file, const char* name);

// After file.stream is closed: gives the file name, unless a file of that name
// exists already, which is never replaced. Returns FileStep::none, or the step
// that failed with errno set (create with EEXIST when the name exists); the
// new file is then removed. In a browser the named file is offered to the
// player as a download.
FileStep namenewfile(NewFile& file, const char* name);

// After file.stream is closed: removes the file, which was never named.
void discardnewfile(NewFile& file, const char* name);

// For tests, and defined by the POSIX source only: error numbers that the
// list-file calls return instead of being made, to play on any file system
// one that lacks unnamed files, hard links or renaming without replacing, or
// a system without /proc. 0 leaves a call as it is.
struct FileSystemFaults {
  int tmpfile;          // making an unnamed file (O_TMPFILE)
  int linkunnamed;      // linking the unnamed file to its name
  int linknamed;        // linking a leftover's name to the list's name
  int renamenoreplace;  // renaming to the list's name without replacing
  int rename;           // renaming over the empty file made under that name
};
extern FileSystemFaults filesystemfaults;
