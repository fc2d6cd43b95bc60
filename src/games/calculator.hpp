// The darts calculator of the main menu: how to make any score from 1 to 180
// with up to three darts.
#pragma once

// Runs the calculator until the player types a token beginning with "q".
void dartscalculator();
