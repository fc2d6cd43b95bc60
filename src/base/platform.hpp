// What ISO C++ and ISO C lack, behind a few plain functions: reading the
// console a character at a time without locking it, and score-list files that
// appear under their names complete or not at all. One source per system
// implements it (platform_posix.cpp, platform_windows.cpp, platform_web.cpp),
// chosen by the build; they are the only files of the program that call
// anything outside the two standards.
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

// A new file while it is written. Until it is named it has no name of its own
// (or a temporary one), so that a list cut short by a crash or a kill never
// stands under the list's name.
struct NewFile {
  std::FILE* stream;
  int descriptor;                  // of the unnamed file, where it has one
  std::array<char, 240> tempname;  // its temporary name, where it has one
};

// Creates a new file in the current folder, to be named name once complete,
// and opens file.stream on it for writing in binary mode. False, with errno
// set, when name exists already (EEXIST) or no file can be made there (ENOENT
// when the folder is gone).
bool createnewfile(NewFile& file, const char* name);

// After file.stream is closed: gives the file name, unless a file of that name
// exists already, which is never replaced. False, with errno set (EEXIST when
// the name exists), and the new file is removed. In a browser the named file
// is offered to the player as a download.
bool namenewfile(NewFile& file, const char* name);

// After file.stream is closed: removes the file, which was never named.
void discardnewfile(NewFile& file, const char* name);
