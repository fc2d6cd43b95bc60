// The subtraction drill: twenty differences of two random numbers up to 500.
#pragma once

void subtractiongame();
