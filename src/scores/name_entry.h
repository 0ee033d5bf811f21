// Name entry: a qualifying player types up to six letters A to Z; Enter
// (or the sixth letter) confirms, and the table is saved.
#pragma once

// Runs only when the score qualifies. If the window is closed while the name
// is typed, the letters so far are entered and saved.
void runNameEntry();

// Puts the player's score into the table under `name` and saves the file.
void enterScore(const char* name);

// From the game-over screen on, a score that earns a place is owed to the
// table until it is entered: should the process be ended meanwhile by
// something the game cannot stop (the display going away), keepOwedPlace
// enters it with the letters typed so far. It does nothing when nothing is
// owed.
void owePlace();
void keepOwedPlace();
