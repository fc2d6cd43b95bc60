// Console input. Every read takes one whitespace-delimited token into one of
// the two token buffers. A token longer than its buffer keeps what fits and the
// rest is dropped; at end of input every read yields "q", so each dialogue
// leaves by its usual way out and the program ends with "Bye!". A read that
// fails ends the input the same way, and is reported when the session ends.
#include "base/console.hpp"

#include "base/platform.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <cstring>

std::array<char, shorttokenroom> inputbuffer{};
std::array<char, longtokenroom> longinputbuffer{};

std::FILE* consolein = nullptr;
std::FILE* consoleout = nullptr;

void (*exithook)(int status) = nullptr;

namespace {

// The error numbers of the first read and the first write of the dialogue
// that failed, 0 while none has.
int inputerror = 0;
int outputerror = 0;

std::FILE* instream() {
  return consolein != nullptr ? consolein : stdin;
}
std::FILE* outstream() {
  return consoleout != nullptr ? consoleout : stdout;
}

// The white space of the "%s" conversion in the C locale.
bool iswhite(int c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

// Length of the zero-terminated string held in buffer.
qword stringlength(std::span<const char> buffer) {
  qword n = 0;
  // LCOV_EXCL_BR_START: every buffer keeps its terminator, before its end.
  while (n < buffer.size() && buffer[n] != '\0') ++n;
  // LCOV_EXCL_BR_STOP
  return n;
}

// Writes text at position at of dest and terminates it, cutting the text short
// if dest has no room for all of it. Returns the new length.
qword placestring(std::span<char> dest, qword at, std::string_view text) {
  // LCOV_EXCL_BR_START: no buffer is empty, and at is the length of the text
  // in dest, always below its size.
  if (dest.empty()) return 0;
  if (at >= dest.size()) at = dest.size() - 1;
  // LCOV_EXCL_BR_STOP
  const qword room = dest.size() - 1 - at;
  const qword n = text.size() < room ? text.size() : room;
  std::copy_n(text.data(), n, dest.data() + at);
  dest[at + n] = '\0';
  return at + n;
}

// After a read gave EOF: keeps the error number of the first read that
// failed, rather than reached the end. A stream may fail without saying why;
// it is then an input/output error.
void checkinput(std::FILE* in) {
  if (std::ferror(in) != 0 && inputerror == 0) inputerror = errno != 0 ? errno : EIO;
}

}  // namespace

int printtext(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int printed = std::vfprintf(outstream(), format, args);
  va_end(args);
  if (printed < 0) failconsole(errno);
  return printed;
}

void readtoken(std::span<char> buffer) {
  std::FILE* in = instream();
  if (std::fflush(outstream()) != 0) failconsole(errno);
  // An input that has failed is read no more: it stays at its end.
  int c = std::ferror(in) != 0 ? EOF : readchar(in);
  while (c != EOF && iswhite(c)) c = readchar(in);
  if (c == EOF) {
    // End of input reads as "q": every dialogue leaves on it.
    checkinput(in);
    placestring(buffer, 0, "q");
    return;
  }
  // The white space that ends the token is read with it: the next read
  // would pass over it anyway.
  qword n = 0;
  while (c != EOF && !iswhite(c)) {
    if (n + 1 < buffer.size()) buffer[n++] = static_cast<char>(c);
    c = readchar(in);
  }
  if (c == EOF) checkinput(in);
  buffer[n] = '\0';
}

qword readnumber(std::span<const char> token, qword maxdigits) {
  qword value = 0;
  qword digits = 0;
  // LCOV_EXCL_BR_START: a token's terminator comes before the end of its buffer.
  while (digits < token.size() && token[digits] >= '0' && token[digits] <= '9') {
    // LCOV_EXCL_BR_STOP
    if (digits == maxdigits) return 0;
    value = value * 10 + static_cast<qword>(token[digits] - '0');
    ++digits;
  }
  return value;
}

qword copystring(std::span<char> dest, std::string_view src) {
  return placestring(dest, 0, src);
}

qword appendstring(std::span<char> dest, std::string_view src) {
  return placestring(dest, stringlength(dest), src);
}

// Appends value in decimal with at least minwidth digits (at most 15 are
// padded). Values above ten to the nineteenth are refused with a message and
// appended as "nan"; ten to the nineteenth itself is written in full.
qword appendqword(std::span<char> dest, qword value, qword minwidth) {
  constexpr qword largest = 10000000000000000000ULL;
  if (minwidth > 15) minwidth = 15;
  std::array<char, 25> field{};
  field.fill('0');
  field[24] = '\0';
  std::string_view text;
  if (value > largest) {
    printtext("\n!!! appendqword => number too big to portray as text !!!\n\n");
    text = "nan";
  } else if (value == 0) {
    text = std::string_view(field.data(), minwidth >= 1 ? minwidth : 1);
  } else {
    qword at = 24;
    for (qword rest = value; rest != 0; rest /= 10)
      field[--at] = static_cast<char>('0' + rest % 10);
    const qword digits = 24 - at;
    if (digits < minwidth) at = 24 - minwidth;
    text = std::string_view(field.data() + at, 24 - at);
  }
  return placestring(dest, stringlength(dest), text);
}

void failconsole(int error) {
  // A stream may fail without saying why; it is then an input/output error.
  if (outputerror == 0) outputerror = error != 0 ? error : EIO;
}

// The session goes on to its end whatever its input and output met, so that
// every list asked for is written; only then is a failed read or write
// reported. Each error is reported once and forgotten.
int finishconsole(int status) {
  std::FILE* out = outstream();
  if (std::fflush(out) != 0) failconsole(errno);
  if (std::ferror(out) != 0) failconsole(0);
  if (inputerror == 0 && outputerror == 0) return status;
  if (inputerror != 0) {
    std::fprintf(stderr, "quiverly: read error: %s\n", std::strerror(inputerror));
  }
  if (outputerror != 0) {
    std::fprintf(stderr, "quiverly: write error: %s\n", std::strerror(outputerror));
  }
  inputerror = 0;
  outputerror = 0;
  return 1;
}

void endprocess(int status) {
  status = finishconsole(status);
  if (exithook != nullptr) exithook(status);
  std::exit(status);
}

void fatalexit() {
  endprocess(1);
}
