// Recording a session of the game, and playing one back (the format is
// recording_format.h's; the tape, platform/tape/, does the work).
#pragma once
#include <cstdio>
#include <string>
#include <string_view>

// The session's recording goes to `file` (opened by the caller, through
// openOutput) as the game goes, flushed at least once a second. A write
// that fails ends the run (endRunForFailedWrite). False, with `error` set,
// when even the first lines cannot be written.
bool startRecording(std::FILE* file, const std::string& path, std::string& error);
// The score table as the game read it, into the recording; nothing when no
// session is being recorded.
void recordScoreTable(std::string_view text);
// The screen mode the session starts in, into the recording; only a
// full-screen start is written (a recording without it starts in a window,
// as every one did before).
void recordStartingScreenMode(bool fullScreen);
// Writes "end" and closes the file; nothing is recorded after it. False
// when the recording could not be completed (said on stderr).
bool finishRecording();

// The recording a session plays back, read as the game asks for it (in
// bounded memory, whatever its size). The whole file is checked first:
// false, with one line naming the file (and the line) in `error`, when it
// cannot be read, is not a recording of this version, or is damaged.
bool startPlayback(const std::string& path, std::string& error);
void finishPlayback();
// The score table as the recorded session read it; false when not playing
// back a recording.
bool recordedScoreTable(std::string& text);
// Whether the recorded session started full screen; false when not playing
// back a recording.
bool recordedStartingScreenMode(bool& fullScreen);
// True when the viewer closed the window before the recording ended.
bool playbackStoppedByViewer();
// True when the recording ended before the game did (cut short, or it
// turned out damaged while being played).
bool playbackRanOut();
// True when it ended so because it turned out damaged, or the game no
// longer plays the recorded game (said on stderr).
bool playbackFoundDamage();

// Checks of the game's state. About once a second of play a recording
// notes, after a frame, a short hash of the game's state that the game
// makes (only it knows its world); played back, the game's own hash after
// that frame must be the same, or the playback stops there, with a line
// naming the frame and the program that made the recording. The message
// loop asks after each frame whether a check is due there, and if so hands
// the hash over.
bool stateCheckDue(uint64_t frame);
void checkState(uint64_t frame, uint32_t hash);
