// The finishing drill: twenty scores to finish, answered by typing darts.
#pragma once

void finalthreedartsgame();
