// One JSON line per frame-driver call: the screen flags, the world, what was
// heard, slept and presented, and (optionally) the last presented frame's
// draws.
#pragma once
#include <cstdint>
#include <string>

// Appends the line for call number `callNumber` (ending in '\n') to `out`.
void appendTraceLine(std::string& out, int64_t callNumber, bool withDraws);

// The trace file of a run (opened as an output: never over an input, the
// score table or a data file), written a line per frame-driver call. A
// write that fails ends the run (endRunForFailedWrite).
bool openTraceFile(const std::string& path, std::string& error);
bool traceFileOpen();
void writeTraceLine(int64_t callNumber, bool withDraws);
// False when the file could not be completed (said on stderr).
bool closeTraceFile();
