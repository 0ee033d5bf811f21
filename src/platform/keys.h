// The keys of a standard keyboard: DirectInput code, SDL scancode number and
// the name replay scripts use.
#pragma once

struct KeyInfo {
    int code;          // DirectInput key code
    int scancode;      // SDL_Scancode value
    const char* name;
};

extern const KeyInfo kKeys[];
extern const int kKeyCount;
