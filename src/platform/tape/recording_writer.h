// The writer of a session's recording: each answer the game was given, as
// it is given. Runs of equal answers are kept open until something else
// comes (or a flush), so a long stretch of the same keys costs one line.
// The recording backends call these; with no recording started they write
// nothing.
#pragma once
#include "platform/recording_format.h"

void recordSoundAnswer(const SoundAnswer& answer);
void recordClock(uint32_t microseconds);
void recordKeyboard(const KeyboardRead& read);
void recordAcquisition(InputResult result);
void recordPad(const PadRead& read);
void recordChannel(char answer);
void recordWindow(bool hasMessage, const SystemMessage& message);
void recordReset(bool done);
void recordEnded(bool ended);
// A check is due once a second of the session's clock has passed since the last.
bool recordingWantsCheck();
void recordCheck(uint64_t frame, uint32_t hash);
