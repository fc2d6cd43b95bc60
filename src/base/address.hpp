// The author's web address, shown in the banner and in the header of every text
// score list.
#pragma once

inline constexpr const char* authoraddress = "https://example.org/quiverly";
