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

#include "base/leftover.hpp"

// The next character of stream, as getc gives it, without taking the stream's
// lock where the platform allows. An input that is not ready yet (a
// non-blocking one) is waited for, not taken for the end; in a browser,
// reading standard input waits for the player's next line.
int readchar(std::FILE* stream);

// Writes size bytes of data to stream, as fwrite does, without taking the
// stream's lock where the platform allows. Returns the number written.
std::size_t writebytes(const char* data, std::size_t size, std::FILE* stream);

// The number reported for the error number error: the one Linux gives that
// error, so that a report reads the same on every system. The browser's C
// library numbers errors its own way (EEXIST is 20 there, not 17).
int reportederror(int error);

// Readies the process once, before anything is read or written. A standard
// descriptor (input, output, errors) found closed is held open (input at its
// end, output on the null device), so that no file the program opens ever
// takes its number. A file-size limit or a closed pipe makes a write fail
// (EFBIG, EPIPE) instead of ending the program, and every signal that ends a
// program by default and can be caught (an interrupt, a terminate, a hang-up
// and their kin) that arrives while a list is written under a leftover's name
// removes that file before the program ends by the signal. An output that is
// not ready (non-blocking) is waited for. False when standard output was
// closed: nothing of the dialogue was shown.
bool startplatform();

// A new file while it is written. Until it is complete it has no name of its
// own (or a leftover's name that says so), so that a list cut short never
// stands under the list's name.
struct NewFile {
  std::FILE* stream;
  bool unnamed;           // written without a name, where the platform can
  LeftoverName leftover;  // else the leftover's name it is written under
};

// The step at which making a list file failed, so that the report can name
// it: creating the file (or finding its name taken), writing it (putting it
// on the device included), closing it, or giving it its name. none when
// nothing failed.
enum class FileStep { none, create, write, close, link };

// Creates a new file in the current folder, to be named name once complete,
// and opens file.stream on it for writing in binary mode. False, with errno
// set, when no file can be made there (ENOENT when the folder is gone). In a
// browser the list is written in memory, and refused with EEXIST when the page
// holds a list of that name from this visit.
bool createnewfile(NewFile& file, const char* name);

// Once every byte is put to file.stream: flushes it, puts it on the device,
// closes it and gives the file name, unless a file of that name exists, which
// is never replaced; the name too is on the device when this returns.
// Returns FileStep::none, or the step that failed with errno set (create with
// EEXIST when the name is taken, ENOENT when the folder is gone); the new file
// is then removed. In a browser
// the list is offered to the player as a download.
FileStep finishnewfile(NewFile& file, const char* name);

// Closes file.stream and removes the file, which is never named: a list that
// could not be written completely.
void discardnewfile(NewFile& file);
