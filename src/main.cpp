// The quiverly executable: hands the calendar time to the program's start-up.
#include <ctime>

#include "shell/menu.hpp"

int main() {
  return quiverly(static_cast<qword>(std::time(nullptr)));
}
