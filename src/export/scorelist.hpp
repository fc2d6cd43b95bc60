// The score-list writer: text and comma-separated files of every combination
// of one to three darts, for one total or for every total, all of them or only
// those that can end a game, each written into a new file in the current
// directory.
#pragma once

#include "base/qword.hpp"

// Writes one score list and reports the outcome on the console. format is 0
// for a text list and anything else for a comma-separated one; doubles is 1
// for the combinations that contain a double or the bull (that dart moved to
// the end), 0 for all; total is 1 to 180 for one total's list, 0 for every
// total. An existing file is never touched, and a file that could not be
// written completely is removed again.
void writescorelist(qword format, qword doubles, qword total);
