// The two frame-by-frame screens: the main menu and the difficulty choice.
// Each call draws and presents one frame, reads the keys of this frame's
// poll, acts on them and sleeps 50 ms.
#pragma once

void runMainMenu();
void runDifficultySelection();

// The credits roll shown on Quit, and the game-over screen at the end of a
// game (with name entry when the score earns a place). Both block.
void runCreditsScreen();
void runGameOverScreen();
