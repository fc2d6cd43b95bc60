// Score lists as the tests expect them, built here from the bits of each table
// word rather than by the writer's own code, and the writer's console replies.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/qword.hpp"
#include "core/throwtable.hpp"

extern const std::string address;
extern const std::string commaheader;

// What writescorelist prints for one request: a comma-separated list or a
// text list, of the finishing ways or of all, of one total or of all (0).
std::string request(bool comma, bool doubles, qword total);

std::string success(const std::string& name);
std::string createfailure(const std::string& name, int error, const std::string& note);

// The darts present in a table word, in stored order (A, B, C), read from the
// word's bits.
std::vector<Segment> rawdarts(ThrowEntry word);

// The lines of a text, without their line ends.
std::vector<std::string> lines(const std::string& text);

// The table words of a list in table order: of one total, or of all (total 0);
// every word, or only those with a double or the bull.
const std::vector<ThrowEntry>& listed(bool doubles, qword total);

// The list of every total, and the list of one total (nothing when it has no
// lines), as files hold them.
std::string expectedeverything(bool comma, bool doubles);
std::optional<std::string> expectedone(bool comma, bool doubles, qword total);

// The file name of a list.
std::string filename(bool comma, bool doubles, qword total);
