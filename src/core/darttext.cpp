// Building a line of a long list from the prepared dart texts.
#include "core/darttext.hpp"

#include "base/console.hpp"

void nolineroom() {
  printtext("Error: putdarts: no room in the line\n");
  fatalexit();
}
