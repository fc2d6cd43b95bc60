// A seam for the tests of the POSIX platform, which no other code includes:
// error numbers that its list-file calls return instead of being made, so that
// any file system can play one that lacks unnamed files, hard links or renaming
// without replacing, or a system without /proc, or one whose syncs or closes
// fail. 0 leaves a call as it is.
#pragma once

struct FileSystemFaults {
  int tmpfile = 0;          // making an unnamed file (O_TMPFILE)
  int linkunnamed = 0;      // linking an unnamed file through /proc, asked before it is written
  int linknamed = 0;        // linking a leftover's name to the list's name
  int renamenoreplace = 0;  // renaming to the list's name without replacing
  int rename = 0;           // renaming over the empty file made under that name
  int syncfile = 0;         // syncing the list's data before it is named
  int syncfolder = 0;       // syncing the folder once the list is named
  int close = 0;            // closing the list (the file is closed all the same)
  // Called, when set, inside the two steps that hold the ending signals back:
  // once a leftover's name is claimed, and once the list's name is made empty
  // before the leftover is renamed over it. A test sends a signal from here.
  void (*insidehold)() = nullptr;
};
extern FileSystemFaults filesystemfaults;
