// Leftovers' names: NAME.unfinished-PID-N, the name a list is written under
// where the file system cannot write it unnamed, until it takes its own. Such
// a name says what it is, never ends as a list's name does (.txt or .csv), and
// carries the writer's process number, so that only an earlier writer of the
// same number, killed outright, can have left a name this one would choose.
#pragma once

#include <array>
#include <cerrno>

// Room for a list's name (34 characters at most) and the suffix with the
// largest process and counter numbers (53), with room to spare.
using LeftoverName = std::array<char, 128>;

// The names tried before a request is refused as if its own name were taken
// (EEXIST): each earlier writer of this process number killed outright leaves
// at most one of them, so a thousand taken means a file system that claims
// every name exists.
inline constexpr int leftoverattempts = 1000;

// Puts the next leftover's name for the list name and the process number pid
// into leftover. False when it does not fit.
bool nextleftovername(LeftoverName& leftover, const char* name, long pid);

// Tries leftovers' names for name until claim(path), which makes a file of one
// exclusively and returns 0 or more, or -1 with errno set, does not find it
// taken. Returns claim's result, or -1 with errno set (ENAMETOOLONG, EEXIST).
template <class Claim>
int claimleftover(LeftoverName& leftover, const char* name, long pid, Claim claim) {
  int result = -1;
  errno = EEXIST;
  for (int attempt = 0; attempt < leftoverattempts && result < 0 && errno == EEXIST; ++attempt) {
    errno = ENAMETOOLONG;
    if (nextleftovername(leftover, name, pid)) result = claim(leftover.data());
  }
  return result;
}
