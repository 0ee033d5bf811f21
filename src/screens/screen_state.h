// Which screen runs: the flags the frame driver dispatches on, and the
// cursors of the two menus (never reset between visits).
#pragma once
#include <cstdint>

// Listed once with their start values; the definitions, resetScreenState
// and the replay trace expand the list.
#define KESTRELON_SCREEN_STATE(X)                                                         \
    X(bool, menuActive, false)                                                            \
    X(bool, difficultyMenuActive, false)                                                  \
    X(bool, getReadyPending, false)                                                       \
    X(bool, gameInProgress, false)                                                        \
    X(bool, quitRequested, false)                                                         \
    X(int32_t, menuCursor, 1) /* 1 Continue, 2 New game, 3 Highscore, 4 Screen mode, 5 Quit */ \
    X(int32_t, difficultyCursor, 1) /* 1 Novice, 2 Hero */

#define KESTRELON_DECLARE_VARIABLE(type, name, start) extern type name;
KESTRELON_SCREEN_STATE(KESTRELON_DECLARE_VARIABLE)
#undef KESTRELON_DECLARE_VARIABLE

// Every flag and cursor back to its program-start value.
void resetScreenState();
