// The exactly-101 drill: twenty questions of how many points take a score
// already reached to exactly 101.
#pragma once

// Plays games of twenty questions until the player declines another game or
// leaves with "q"; returns to the main menu.
void exactly101game();
