// The export dialogue behind the main menu's "s": explains the score lists and
// turns requests such as "at", "dc" or "20dt" into calls of the list writer.
#pragma once

// Runs the dialogue until the player types a token beginning with "q".
void exportmenu();
