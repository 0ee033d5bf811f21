// The keys of a standard keyboard: DirectInput code and the name replay
// scripts use.
#pragma once

struct KeyInfo {
    int code;          // DirectInput key code
    const char* name;
};

extern const KeyInfo kKeys[];
extern const int kKeyCount;

// Key names used by replay scripts and tests ("ESCAPE", "A", "F12", ...).
// Returns -1 for an unknown name.
int keyCodeForName(const char* name, int length);
