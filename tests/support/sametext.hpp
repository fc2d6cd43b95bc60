// Comparison of long texts (a whole list, a whole transcript) that fails
// small: it reports the first line where the texts differ, a few lines of each
// around it, and the two lengths, and never builds a diff of the whole text,
// whose cost grows with the square of the length. Use it as
//   EXPECT_TRUE(sametext(run.out, expected));
#pragma once

#include <gtest/gtest.h>

#include <string_view>

::testing::AssertionResult sametext(std::string_view actual, std::string_view expected);
