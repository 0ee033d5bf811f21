// Keyboard and game controller. The keyboard is a 256-byte snapshot indexed
// by DirectInput key code (bit 7 set = down); a key that went down and up
// between two reads still reads as down once. The controller is the left and
// right sticks, triggers and buttons of the first pad, in XInput's convention
// (sticks -32768..32767, y positive up); all zero without a pad.
#pragma once
#include <cstdint>

enum class InputResult { Ok, NotAcquired, InputLost };

struct PadState {
    uint16_t buttons = 0;
    uint8_t leftTrigger = 0;
    uint8_t rightTrigger = 0;
    int16_t thumbLX = 0;
    int16_t thumbLY = 0;
    int16_t thumbRX = 0;
    int16_t thumbRY = 0;
};

bool inputStart();                     // false when no keyboard can be had at all
void inputStop();
void inputBeginPoll();                 // once per poll of the game, before the reads below
// A pass of the message loop while the game is inactive and polls nothing:
// a script goes on by one line (its events happen, its keys are not seen);
// once the script is used up the window is closed, as a player who walked
// away would. Nothing for a player's keyboard.
void inputIdlePass();
// True once input has run out for good: a script read to its end. Never for
// a player's keyboard.
bool inputEnded();
InputResult keyboardGetState(uint8_t state[256]);
InputResult keyboardAcquire();
void keyboardUnacquire();
bool padGetState(PadState& state);    // false when no pad is connected
