// The hints of the drills: which dart to start a finish with, and reminders of
// the doubles and trebles that are awkward to add up.
#pragma once

#include "base/qword.hpp"
#include "core/throwtable.hpp"

// Names the dart to throw first on the first way in the table to finish total
// on a double or the bull, says that one dart is enough, or prints an error
// line when total cannot be finished.
void lastdartshint(qword total);

// Prints a reminder line for each awkward double or treble among the turn's
// darts and for the outer bull, or says that the turn needs no hints.
void scorehints(const GameTurn& turn);
