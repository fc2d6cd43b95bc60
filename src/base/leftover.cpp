// Leftovers' names, shared by the platforms that write a list under one.
#include "base/leftover.hpp"

#include <cstddef>
#include <cstdio>

namespace {
// Counts the leftovers' names of this process, so that no two are the same.
unsigned long long leftovercount = 0;
}  // namespace

bool nextleftovername(LeftoverName& leftover, const char* name, long pid) {
  const int length = std::snprintf(leftover.data(), leftover.size(), "%s.unfinished-%ld-%llu", name,
                                   pid, ++leftovercount);
  // A negative length, an encoding error, converts to a size that never fits.
  return static_cast<std::size_t>(length) < leftover.size();
}
