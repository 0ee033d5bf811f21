// The table of the ten best results over the star map, until Space.
#pragma once

void runHighScoreScreen();
