// Reading and judging a typed finish such as t20d20 or single9treble20double8,
// and the help text that explains how darts are typed.
#pragma once

#include <span>

#include "base/qword.hpp"

// Reads up to three darts from the zero-terminated token text, in the order
// typed, and judges them as a finish of wanted: the last dart must be a double
// or the bull and the darts must add up to wanted. Prints its own verdict and
// returns 0 when the answer is correct, 1 otherwise. Reading stops at the
// terminator or at the end of text, whichever comes first.
qword checkdartsanswer(qword wanted, std::span<const char> text);
qword checkdartsanswer(qword wanted, const char* text);

// Prints the help on typing darts.
void showentryhelp();
