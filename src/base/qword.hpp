// The one integer type of the program. Scores, totals, counts and typed numbers
// are unsigned 64-bit values printed with "%llu"; spelling the type as unsigned
// long long (rather than std::uint64_t, which is unsigned long on this platform)
// lets the compiler check every such conversion against its argument.
#pragma once

using qword = unsigned long long;

static_assert(sizeof(qword) == 8, "qword must be a 64-bit word");
