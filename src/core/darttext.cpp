// Building a line of a long list from the prepared dart texts.
#include "core/darttext.hpp"

#include <cstring>

#include "shell/console.hpp"

// Each dart is one copy of a whole snippet field to the known end of the line:
// this is the hot loop of the long lists, where formatting or a general copy
// per dart would cost more than writing the line out. A line without room is
// a fault in the caller, so it stops the program rather than write past it.
qword putdarts(std::span<char> line, qword length, const std::array<Segment, 3>& darts,
               const LineTexts& texts) {
  if (length > line.size() || line.size() - length < dartsroom) {
    printtext("Error: putdarts: no room in the line\n");
    fatalexit();
  }
  const std::array<std::size_t, 3> keys = {segmentkey(darts[0]), segmentkey(darts[1]),
                                           segmentkey(darts[2])};
  std::size_t fields = 3;
  if (!texts.allfields) fields = keys[2] != absentkey ? 3 : (keys[1] != absentkey ? 2 : 1);
  auto put = [&line, &length](const Snippet& snippet) {
    std::memcpy(line.data() + length, snippet.text.data(), snippet.text.size());
    length += snippet.length;
  };
  put(texts.darts[0][fields == 1 ? 1 : 0][keys[0]]);
  if (fields >= 2) put(texts.darts[1][fields == 2 ? 1 : 0][keys[1]]);
  if (fields == 3) put(texts.darts[1][1][keys[2]]);
  return length;
}
