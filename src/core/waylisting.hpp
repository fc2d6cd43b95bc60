// The way listing: how a total can be scored with at most three darts, counted
// from the throw table, summarised in one or two lines and, on request, listed
// way by way. The calculator, the hints and the answers of the drills print it.
#pragma once

#include "base/qword.hpp"

// Prints the summary for total and, when showlist is 1, its ways: every way
// when showall is 1, else at most ten followed by "etc...". Option 0 counts and
// lists all ways; option 1 lists only those that can end on a double or the
// bull, each printed with a finishing dart last. Other options are refused
// with an error line.
void statsproc(qword total, qword option, qword showlist, qword showall);
