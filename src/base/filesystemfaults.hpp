// A seam for the tests of the POSIX platform, which no other code includes:
// error numbers that its list-file calls return instead of being made, so that
// any file system can play one that lacks unnamed files, hard links or renaming
// without replacing, or a system without /proc. 0 leaves a call as it is.
#pragma once

struct FileSystemFaults {
  int tmpfile;          // making an unnamed file (O_TMPFILE)
  int linkunnamed;      // linking an unnamed file through /proc, asked before it is written
  int linknamed;        // linking a leftover's name to the list's name
  int renamenoreplace;  // renaming to the list's name without replacing
  int rename;           // renaming over the empty file made under that name
};
extern FileSystemFaults filesystemfaults;
