// The turns of a standard game: random three-dart turns in throwing order, the
// last replaced by a finish that ends on a double or the bull.
#pragma once

#include <array>

#include "core/throwtable.hpp"
#include "shell/qword.hpp"

// One turn: its total and its three darts in throwing order. An absent dart
// (only in a finishing turn) is multiplier 1, number 0; the outer bull and the
// bull are multiplier 1, numbers 25 and 50.
struct GameTurn {
  qword total;
  std::array<Segment, 3> darts;
};

// The turns of one game; the element after the last turn has total 0.
using GameArray = std::array<GameTurn, 100>;
