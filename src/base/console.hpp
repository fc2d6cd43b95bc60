// Console input and output, and the string builders used for file names and
// file contents. Every read and write of the dialogue goes through here, so a
// test can point the console at in-memory text and replay a whole session.
#pragma once

#include <array>
#include <cstdio>
#include <span>
#include <string_view>

#include "base/limits.hpp"
#include "base/qword.hpp"

// The two token buffers. Each keeps the last token read into it until the next
// read into the same buffer; the menu and short answers use inputbuffer, dart
// answers and the calculator and export requests use longinputbuffer.
extern std::array<char, shorttokenroom> inputbuffer;
extern std::array<char, longtokenroom> longinputbuffer;

// Where the console reads and writes; null means standard input and output.
extern std::FILE* consolein;
extern std::FILE* consoleout;

// Formatted printing to the console, with printf's conventions.
[[gnu::format(printf, 1, 2)]] int printtext(const char* format, ...);

// Reads one whitespace-delimited token into buffer, as "%s" would, after
// flushing the output so that a prompt is visible while the program waits.
// At the end of the input, and once a read has failed, the token is "q".
void readtoken(std::span<char> buffer);

// The number at the start of a token, when it starts with one to maxdigits
// decimal digits; whatever follows the digits is ignored. A token that starts
// with more digits, or with anything but a digit, gives 0.
qword readnumber(std::span<const char> token, qword maxdigits);

// String builders over a caller's zero-terminated buffer; each returns the new
// length. Text that would not fit (with its terminator) is cut off.
qword copystring(std::span<char> dest, std::string_view src);
qword appendstring(std::span<char> dest, std::string_view src);
qword appendqword(std::span<char> dest, qword value, qword minwidth);

// Records that the dialogue's output failed with error number error, as when
// standard output was closed at start-up. The first error is kept.
void failconsole(int error);

// Flushes the console at the end of a session and returns the exit status:
// status, or 1 when the dialogue could not be read or written to its end,
// which is then said in one line each on standard error, as GNU tools do.
int finishconsole(int status);

// Ends the process at once after an internal fatal error, with exit status 1.
[[noreturn]] void fatalexit();

// Ends the process with the given status after finishing the console (status
// 1 when the dialogue could not be written). Tests set exithook to regain
// control; it must not return.
[[noreturn]] void endprocess(int status);
extern void (*exithook)(int status);
