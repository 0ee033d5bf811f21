// Recordings: everything a session of the game read from the outside world,
// in order, so that the same program fed with it makes exactly the same
// calls and plays the same game. A recording is plain text, an extension of
// the replay script format (its keyboard lines are script lines), and is
// written as the session goes, so a session cut short leaves a recording
// that plays up to where it stops.
//
//   # kestrelon recording 1        the first line: the format and its version
//   # ...                          comments and blank lines are skipped
//   scores 1 ACE 5000              the score table as the game read it, a line each
//   sound version 279571           the sound set-up's answers, in the order asked
//   sound drivers 1
//   sound caps 1 2                 (capability bits, speakers)
//   sound name Built-in Audio
//   sound open 0                   (0: the output opened; else the error's number)
//   t 1043 20133 417 ...           the clock: microseconds from one reading to the next
//   k 3000* RIGHT SPACE            keyboard reads as script lines: keys held ("." none);
//   k @NOT-ACQUIRED                  @NOT-ACQUIRED or @LOST when it could not be read
//   acquire ok                     keyboard acquisitions: ok, not-acquired or lost
//   p 6000* -                      controller reads: "-" none, or X,Y of the left stick
//   s 40*y n 3*-                   "is this channel playing?": y, n, or - (no output:
//                                    the sound's length on the clock decides)
//   m 5123 FOCUS-LOST              window-system reads: that many with nothing, then a
//                                    message (CLOSE MINIMIZE RESTORE FOCUS-GAINED
//                                    FOCUS-LOST TARGETS-RESET DEVICE-RESET), if any
//   reset 1                        device resets: 1 done, 0 failed
//   ended 12                       "has input run out?": that many noes; "ended N yes"
//                                    for the first yes (only a scripted session has one)
//   end                            the session ended here
//
// "N*" before a keyboard, controller or channel answer repeats it N times.
// The clock is read by the game at its own moments (each frame, after each
// sleep and each breather in a wait); the tick count is the last reading.
#pragma once
#include "platform/backends.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

constexpr const char* kRecordingHeader = "# kestrelon recording 1";

// One read of the keyboard: its result and the keys held.
struct KeyboardRead {
    InputResult result = InputResult::Ok;
    std::vector<uint8_t> keys;   // DirectInput codes, in the key table's order
    bool operator==(const KeyboardRead&) const = default;
};

struct PadRead {
    bool connected = false;
    int16_t x = 0, y = 0;
    bool operator==(const PadRead&) const = default;
};

// The same answer `count` times in a row.
template <typename T>
struct Run {
    T value{};
    uint64_t count = 0;
};

struct WindowRead {
    uint64_t nothingBefore = 0;   // reads that found no message
    bool hasMessage = false;
    SystemMessage message;
};

struct SoundAnswer {
    enum class Kind { Version, Drivers, Caps, Name, Open };
    Kind kind = Kind::Version;
    int64_t first = 0, second = 0;   // version, drivers, open result; caps and speakers
    std::string name;
};

struct Recording {
    std::string scoreTable;                    // the score file's text, as read
    std::vector<SoundAnswer> soundSetUp;
    std::vector<uint32_t> clock;
    std::vector<Run<KeyboardRead>> keyboard;
    std::vector<InputResult> acquisitions;
    std::vector<Run<PadRead>> pads;
    std::vector<Run<char>> channels;           // 'y' playing, 'n' not, '-' no output to ask
    std::vector<WindowRead> window;
    std::vector<bool> resets;
    uint64_t notEnded = 0;                     // "has input run out?" answered no
    bool ended = false;                        // ... and then yes
    bool finished = false;                     // the "end" line: the whole session
};

// Reads a whole recording. A last line without its line end (a session cut
// short while writing it) is left out. On a wrong first line or a damaged
// line returns false and names the line in `error` ("line 7: ...").
bool parseRecording(std::string_view text, Recording& recording, std::string& error);

// True when `text` starts the way a recording of any version does.
bool looksLikeRecording(std::string_view text);

// The session's recording, written as the game goes (the recording
// backends call these; recordScoreTable does nothing when no session is
// being recorded). The file is flushed at least once a second.
bool startRecording(const std::string& path, std::string& error);
void recordScoreTable(std::string_view text);
void recordSoundAnswer(const SoundAnswer& answer);
void recordClock(uint32_t microseconds);
void recordKeyboard(const KeyboardRead& read);
void recordAcquisition(InputResult result);
void recordPad(const PadRead& read);
void recordChannel(char answer);
void recordWindow(bool hasMessage, const SystemMessage& message);
void recordReset(bool done);
void recordEnded(bool ended);
// Writes "end" and closes the file; nothing is recorded after it.
void finishRecording();

// The recording a session plays back. False with one line naming the file
// (and the line) when it cannot be read or is not a recording of this
// version, or is damaged.
bool startPlayback(const std::string& path, std::string& error);
const Recording& playbackRecording();
// Set once the game asked for more than the recording holds: the session
// was cut short there (the game is then closed, as a player who left).
void notePlaybackRanOut();
bool playbackRanOut();
// The score table as the recorded session read it; false when not playing
// back a recording.
bool recordedScoreTable(std::string& text);
// True when the viewer closed the window before the recording ended
// (tape/playback_tape.cpp).
bool playbackStoppedByViewer();
