// Start-up and the main menu: the one place that knows every activity.
#pragma once

#include "base/qword.hpp"

// Runs the program: seeds the generator from now (calendar seconds), prints the
// banner and runs the main menu until the player quits. Returns the exit status.
int quiverly(qword now);
