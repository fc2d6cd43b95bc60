// The score-list writer: text and comma-separated files of every combination
// of one to three darts, for one total or for every total, all of them or only
// those that can end a game, each written into a new file in the current
// directory.
#pragma once

#include "base/qword.hpp"
#include "core/throwtable.hpp"

// A text list (.txt) or a comma-separated one (.csv).
enum class ListFormat { text, comma };

// The total that asks writescorelist for the list of every total.
inline constexpr qword everytotal = 0;

// Writes one score list and reports the outcome on the console: all the
// combinations, or only those that contain a double or the bull (WayKind::
// finishing, that dart moved to the end), of one total from 1 to 180 or of
// everytotal. An existing file is never touched, and a file that could not be
// written completely is removed again.
void writescorelist(ListFormat format, WayKind kind, qword total);
