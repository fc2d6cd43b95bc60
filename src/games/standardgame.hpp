// The standard game of 301, 501 or 1001.
#pragma once

#include "base/qword.hpp"

void Main301Games(qword start);
