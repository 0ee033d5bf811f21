// The screen flags' start values.
#include "screens/screen_state.h"

bool menuActive = false;
bool difficultyMenuActive = false;
bool getReadyPending = false;
bool gameInProgress = false;
bool quitRequested = false;
int32_t menuCursor = 1;
int32_t difficultyCursor = 1;
