// Replay scripts: each step is what one poll of the input sees.
//
//   # comment                 blank lines are skipped
//   .                         nothing held
//   RIGHT SPACE               keys held during the poll, by name
//   PAD=-3000,0               the left stick for the poll
//   40* RIGHT SPACE           the line repeated 40 times
//   @CLOSE @FOCUS-LOST @FOCUS-GAINED @MINIMIZE @RESTORE
//   @DEVICE-LOST=N @DRIVER-ERROR @TARGETS-RESET
//                             window and device events, delivered as the
//                             line is polled
//
// While the game is inactive (minimised, unfocused) nothing polls, so each
// pass of the message loop reads one line instead.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class ScriptEvent { Close, FocusLost, FocusGained, Minimize, Restore, DeviceLost, DriverError, TargetsReset };

struct ScriptStep {
    std::vector<uint8_t> keysDown;   // DirectInput codes held
    bool padSet = false;
    int16_t padX = 0;
    int16_t padY = 0;
    std::vector<ScriptEvent> events;
    int deviceLostTests = 0;         // for DeviceLost
    int64_t repeat = 1;
    int line = 0;
};

// Parses a whole script. On a malformed line returns false and names the
// line in `error`; nothing is run then.
bool parseReplayScript(std::string_view text, std::vector<ScriptStep>& steps, std::string& error);

// The steps as script lines that parse back to the same steps (line
// numbers aside).
std::string printReplayScript(const std::vector<ScriptStep>& steps);

// The scripted input's own controls (headless/input_script.cpp).
// Hands the steps to the scripted input; polls then read them in order, and
// every poll after the last step reads all keys up.
void loadInputScript(std::vector<ScriptStep> steps);
// Adds a step after the others (a player program deciding as it goes).
void appendInputScriptStep(ScriptStep step);
// True when every line of the script has been read.
bool inputScriptExhausted();
