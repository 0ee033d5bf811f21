// The input calls, through the chosen backend.
#include "platform/input.h"

#include "platform/input_service.h"

namespace {
const InputService* input = &kScriptInput;
}

void useInput(const InputService& service) { input = &service; }

bool inputStart() { return input->keyboardStart(); }
void inputStop() { input->keyboardStop(); }
void inputBeginPoll() { input->beginPoll(); }
void inputIdlePass() { input->idlePass(); }
bool inputEnded() { return input->ended(); }
InputResult keyboardGetState(uint8_t state[256]) { return input->keyboardGetState(state); }
InputResult keyboardAcquire() { return input->keyboardAcquire(); }
void keyboardUnacquire() { input->keyboardUnacquire(); }

bool padGetState(PadState& state)
{
    state = PadState{};
    return input->padGetState(state);
}

bool nextWindowSystemMessage(SystemMessage& message) { return input->nextMessage(message); }
