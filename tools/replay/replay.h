// The replay runner: start-up as the game does it, then one frame-driver call
// per pass of the message loop, writing a trace line per call. The input is
// a script, on the virtual clock; or a recording of a session (kestrelon
// --record), whose own clock and input it plays back as fast as it can.
//
//   kestrelon-replay --script FILE --trace FILE [--dir DIR] [--frames N]
//                    [--start novice|hero] [--render] [--draws] [--record OUT]
//
// DIR (the game's folder, with data/) is the current folder unless given.
// A script runs 10000 frames unless --frames says otherwise, a recording to
// its end. --record writes the scripted run as a recording.
//
// Exit status: 0 when the run ended by itself, the game's own exit code when
// it posted one, 1 when start-up failed, 2 for bad arguments or a bad script
// or recording.
#pragma once
#include <cstdint>
#include <cstdio>
#include <vector>

constexpr int kReplayUsageExitCode = 2;

int runReplay(int argc, char** argv);

// What Enter on a choice of the difficulty screen does (1 Novice, 2 Hero),
// so that a run starts at the countdown.
void startNewGameAt(int chosenDifficulty);

// Writes the keys held at each poll as replay script lines ("." for none),
// a run of equal polls folded into one "N* KEYS" line.
void writeScriptPolls(std::FILE* out, const std::vector<std::vector<uint8_t>>& polls);
