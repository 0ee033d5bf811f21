// Name entry: a qualifying player types up to six letters A to Z; Enter
// (or the sixth letter) confirms, and the table is saved.
#pragma once

// Runs only when the score qualifies. If the window is closed while the name
// is typed, the letters so far are entered and saved.
void runNameEntry();

// Puts the player's score into the table under `name` and saves the file.
void enterScore(const char* name);
