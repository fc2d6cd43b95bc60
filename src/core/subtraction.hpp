// Judging a subtraction answer with a graded verdict, and the page of
// subtraction hints; shared by the subtraction drill and the standard game.
#pragma once

#include "base/qword.hpp"

// Judges answer as minuend minus subtrahend (the minuend being the larger) and
// prints one verdict; a wrong verdict ends with a fresh prompt. Returns 0 when
// the answer is correct, 1 otherwise.
int checksubtraction(qword answer, qword minuend, qword subtrahend);

// Prints the page of advice on subtracting in one's head.
void subtractionhints();
