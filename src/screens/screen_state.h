// Which screen runs: the flags the frame driver dispatches on, and the
// cursors of the two menus (never reset between visits).
#pragma once
#include <cstdint>

extern bool menuActive;
extern bool difficultyMenuActive;
extern bool getReadyPending;
extern bool gameInProgress;
extern bool quitRequested;
extern int32_t menuCursor;          // 1 Continue, 2 New game, 3 Highscore, 4 Screen mode, 5 Quit
extern int32_t difficultyCursor;    // 1 Novice, 2 Hero
