// The recording's format: everything a session of the game read from the
// outside world, in order, so that the same program fed with it makes
// exactly the same calls and plays the same game. Plain text, an extension
// of the replay script (its keyboard lines are script lines; the text rules
// are replay_text.h's), written as the session goes, so a session cut short
// leaves a recording that plays up to where it stops.
//
//   # kestrelon recording 1        the first line: the format and its version
//   # recorded by kestrelon 0.3    the program that made it (a comment that
//                                    names it when the game differs, below)
//   # ...                          comments and blank lines are skipped
//   scores 1 ACE 5000              the score table as the game read it, a line
//                                    each, the lines together
//   screen fullscreen              the session started full screen (without
//                                    this line, in a window)
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
//   c 350 1f3a09bc                 a check, about once a second: after frame 350
//                                    the game's state had this hash
//   end                            the session ended here
//
// "N*" before a keyboard, controller or channel answer repeats it N times.
// The clock is read by the game at its own moments (each frame, after each
// sleep and each breather in a wait); the tick count is the last reading.
#pragma once
#include "platform/input_service.h"

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

constexpr const char* kRecordingHeader = "# kestrelon recording 1";
constexpr const char* kMadeByComment = "# recorded by ";

// True when `text` starts the way a recording of any version does.
bool looksLikeRecording(std::string_view text);

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
    bool operator==(const Run&) const = default;
};

struct WindowRead {
    uint64_t nothingBefore = 0;   // reads that found no message
    bool hasMessage = false;
    SystemMessage message;
    bool operator==(const WindowRead& other) const
    {
        return nothingBefore == other.nothingBefore && hasMessage == other.hasMessage
               && message.message.type == other.message.message.type
               && message.message.param == other.message.message.param && message.lost == other.message.lost;
    }
};

struct SoundAnswer {
    enum class Kind { Version, Drivers, Caps, Name, Open };
    Kind kind = Kind::Version;
    int64_t first = 0, second = 0;   // version, drivers, open result; caps and speakers
    std::string name;
    bool operator==(const SoundAnswer&) const = default;
};

// The game's state after a frame, as a short hash the game makes of it.
struct StateCheck {
    uint64_t frame = 0;
    uint32_t hash = 0;
    bool operator==(const StateCheck&) const = default;
};

// "has input run out?": that many noes, then perhaps the yes.
struct EndedAnswers {
    uint64_t noes = 0;
    bool yes = false;
    bool operator==(const EndedAnswers&) const = default;
};

// A recording's answers, stream by stream, in the order they were given.
// Read whole (parseRecording) or a little at a time (the playback takes
// from the front of each stream as the game asks).
struct Recording {
    std::string scoreTable;   // the score file's text, as read
    bool startsFullScreen = false;
    std::deque<SoundAnswer> soundSetUp;
    std::deque<uint32_t> clock;
    std::deque<Run<KeyboardRead>> keyboard;
    std::deque<InputResult> acquisitions;
    std::deque<Run<PadRead>> pads;
    std::deque<Run<char>> channels;   // 'y' playing, 'n' not, '-' no output to ask
    std::deque<WindowRead> window;
    std::deque<bool> resets;
    std::deque<EndedAnswers> ended;
    std::deque<StateCheck> checks;
    std::string madeBy;               // the program that recorded it, when it says
    bool finished = false;            // the "end" line: the whole session
    // Where reading is, for the rules that span lines.
    bool scoresSeen = false, scoresClosed = false, yesSeen = false, screenSeen = false;

    // Every stream emptied; the score table and where reading is are kept.
    void forgetAnswers()
    {
        soundSetUp.clear(), clock.clear(), keyboard.clear(), acquisitions.clear(), pads.clear();
        channels.clear(), window.clear(), resets.clear(), ended.clear(), checks.clear();
    }
    // How many answers are held, over every stream.
    size_t held() const
    {
        return soundSetUp.size() + clock.size() + keyboard.size() + acquisitions.size() + pads.size()
               + channels.size() + window.size() + resets.size() + ended.size() + checks.size();
    }
    // The same answers (where reading is, aside).
    bool operator==(const Recording& other) const
    {
        return scoreTable == other.scoreTable && soundSetUp == other.soundSetUp && clock == other.clock
               && keyboard == other.keyboard && acquisitions == other.acquisitions && pads == other.pads
               && channels == other.channels && window == other.window && resets == other.resets
               && ended == other.ended && checks == other.checks && madeBy == other.madeBy
               && finished == other.finished;
    }
};

// Adds what a line (not the first) says to `recording`. Returns an empty
// string when it parsed, else what is wrong with it.
std::string parseRecordingLine(std::string_view line, Recording& recording);

// Checks the first line; empty when it is this version's, else the problem.
std::string checkRecordingHeader(std::string_view line);

// A score table longer than this is no score file the game read.
constexpr size_t kLongestScoreTable = 1 << 16;

// Reads a whole recording from `source` (replay_text.h). A last line without
// its line end (a session cut short while writing it) is left out. On a
// wrong first line or a damaged line returns false and names the line in
// `error` ("line 7: ..."). Without `keepAnswers` only the score table and
// the maker are kept: the file is checked in the memory of one line.
struct LineSource;
bool readRecording(LineSource& source, Recording& recording, bool keepAnswers, std::string& error);
// The same from a text in memory, keeping everything.
bool parseRecording(std::string_view text, Recording& recording, std::string& error);

// The lines of each kind, each ending in '\n', as the writer writes them.
std::string printScoreTable(std::string_view text);
std::string printSoundAnswer(const SoundAnswer& answer);
std::string printClock(const std::vector<uint32_t>& steps);
std::string printKeyboard(const Run<KeyboardRead>& run);
std::string printAcquisition(InputResult result);
std::string printPad(const Run<PadRead>& run);
std::string printChannels(const std::vector<Run<char>>& runs);
std::string printWindow(const WindowRead& read);
std::string printReset(bool done);
std::string printEnded(const EndedAnswers& answers);
std::string printCheck(const StateCheck& check);

// True for the messages a window line can hold (the window system's own).
bool windowSystemSends(const SystemMessage& message);

// A whole recording, stream after stream (whose lines are independent), so
// that parsing what is printed gives the same recording back.
std::string printRecording(const Recording& recording);
