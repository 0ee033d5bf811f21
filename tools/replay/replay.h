// The replay runner: start-up as the game does it, then one frame-driver call
// per pass of the message loop, on the virtual clock with scripted input,
// writing a trace line per call.
//
//   kestrelon-replay --dir DIR --script FILE --trace FILE [--frames N]
//                    [--start novice|hero] [--render] [--draws]
//
// Exit status: 0 when the run ended by itself, the game's own exit code when
// it posted one, 1 when start-up failed, 2 for bad arguments or a bad script.
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
