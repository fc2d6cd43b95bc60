// The way listing: how a total can be scored with at most three darts, counted
// from the throw table, summarised in one or two lines and, on request, listed
// way by way. The calculator, the hints and the answers of the drills print it.
#pragma once

#include "base/qword.hpp"
#include "core/throwtable.hpp"

// How much statsproc prints: the summary alone; the summary and at most
// listlimit ways, then "etc..." if there are more; or the summary and every way.
enum class WayList { summary, firstten, every };

// Prints the summary for total and, as list asks, its ways. WayKind::all
// counts and lists every way; WayKind::finishing lists only those that can end
// on a double or the bull, each printed with a finishing dart last.
void statsproc(qword total, WayKind kind, WayList list);
