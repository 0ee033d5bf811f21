// The screen flags' start values.
#include "screens/screen_state.h"

#define KESTRELON_DEFINE_VARIABLE(type, name, start) type name = start;
KESTRELON_SCREEN_STATE(KESTRELON_DEFINE_VARIABLE)

void resetScreenState()
{
#define KESTRELON_RESET_VARIABLE(type, name, start) name = start;
    KESTRELON_SCREEN_STATE(KESTRELON_RESET_VARIABLE)
}
