// Reading and judging a typed finish such as t20d20 or single9treble20double8,
// and the help text that explains how darts are typed.
#pragma once

#include <span>

#include "shell/qword.hpp"

// One dart read from an answer: multiplier 0 (none), 1, 2 or 3 and the number
// as typed; the outer bull is single 25 and the bull single 50.
struct AnswerDart {
  qword multiplier;
  qword number;
};

// Reads up to three darts from the zero-terminated token text, in the order
// typed, and judges them as a finish of wanted: the last dart must be a double
// or the bull and the darts must add up to wanted. Prints its own verdict and
// returns 0 when the answer is correct, 1 otherwise. Reading stops at the
// terminator or at the end of text, whichever comes first.
qword checkdartsanswer(qword wanted, std::span<const char> text);
qword checkdartsanswer(qword wanted, const char* text);

// Prints the help on typing darts.
void showentryhelp();
