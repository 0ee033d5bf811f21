// Playing a recording back: the clock, the keyboard and controller, the
// window system's messages, the device's resets and the sound's answers
// come from the recording instead of the machine. Pictures and sounds still
// go to the chosen video and sound backends (a window when watching, none
// in a headless check). Watching, the game's clock waits for real time to
// catch up before it moves, and the viewer's own window may still be
// closed; its keys and controller are never read.
//
// The recording is read as the game asks: each stream's answers are taken
// from the front of its queue, and lines are read from the file only when a
// queue runs dry. The writer flushes every stream at least once a second,
// so what waits in the queues stays small; a file whose streams stand
// further apart than kMostHeld answers is refused as damaged.
//
// When the game asks for more than the recording holds, the session was cut
// short there: time stops, every key is up, and the window is closed, as a
// player who walked away would leave it.
#include "platform/clock_service.h"
#include "platform/input_service.h"
#include "platform/sound_service.h"
#include "platform/tape.h"
#include "platform/video_service.h"
#include "platform/files.h"
#include "platform/recording.h"
#include "platform/recording_format.h"
#include "platform/replay_text.h"
#include "platform/tape/recording_writer.h"

#include <cstdio>

namespace {

const ClockService* realClock = nullptr;   // for the pace; null: as fast as possible
const InputService* viewer = nullptr;      // the viewer's window system; null: none
const VideoService* baseVideo = nullptr;
const SoundService* baseSound = nullptr;
ClockService clock;
InputService input;
VideoService video;
SoundService sound;

// More answers than this waiting in the queues: the streams stand too far
// apart for a recording the game wrote.
constexpr size_t kMostHeld = 1 << 18;

struct Playback {
    bool active = false;
    std::string path;
    std::FILE* file = nullptr;
    LineSource lines;
    Recording tape;            // the answers read and not yet taken
    std::string scoreTable;
    bool startsFullScreen = false;
    bool ranOut = false;
    bool damaged = false;
};

Playback playback;
Recording& tape() { return playback.tape; }

int64_t now = 0;
int64_t realStart = 0;
bool closeAsked = false;   // by the viewer
bool closeDelivered = false;

void ranOut()
{
    if (playback.ranOut)
        return;
    playback.ranOut = true;
    postMessage({MessageType::Close, 0});
}

// Reads the next line into the queues; false at the file's end or when the
// file turned out damaged after all (changed since it was checked: said
// once, and the recording ends there).
bool readLine()
{
    if (!playback.file)
        return false;
    std::string_view line;
    const LineSource::Got got = nextLine(playback.lines, line);
    std::string problem;
    if (got == LineSource::Got::TooLong)
        problem = "longer than " + std::to_string(kMaxLineBytes) + " bytes";
    else if (got == LineSource::Got::Line && playback.lines.number > 1)
        problem = parseRecordingLine(line, tape());
    if (problem.empty() && tape().held() > kMostHeld)
        problem = "its answers stand too far apart to have been written by the game";
    if (!problem.empty()) {
        std::fprintf(stderr, "kestrelon: %s: %s\n", playback.path.c_str(),
                     lineProblem(playback.lines.number, problem).c_str());
        playback.damaged = true;
    }
    if (got != LineSource::Got::Line || !problem.empty()) {
        std::fclose(playback.file);
        playback.file = nullptr;
        return false;
    }
    return true;
}

// True when `queue` has an answer at its front, reading on as needed.
template <typename Queue>
bool ready(Queue& queue)
{
    while (queue.empty())
        if (!readLine())
            return false;
    return true;
}

// Takes the next answer of a run-length coded stream; false at its end.
template <typename T>
bool takeRun(std::deque<Run<T>>& runs, T& value)
{
    if (!ready(runs))
        return false;
    value = runs.front().value;
    if (--runs.front().count == 0)
        runs.pop_front();
    return true;
}

// Takes the front answer of a stream; false at its end.
template <typename T>
bool take(std::deque<T>& queue, T& value)
{
    if (!ready(queue))
        return false;
    value = std::move(queue.front());
    queue.pop_front();
    return true;
}

int64_t realMicroseconds() { return microsecondsOf(*realClock); }

// The viewer closed the window (or pressed Ctrl+C): remembered for the next
// message read. Everything else the viewer's window says is not the game's.
void listenToViewer()
{
    SystemMessage message;
    while (!closeAsked && viewer && viewer->nextMessage(message))
        if (message.message.type == MessageType::Close)
            closeAsked = true;
}

// Waits until real time has caught up with the recording's.
void pace()
{
    if (!realClock)
        return;
    for (;;) {
        listenToViewer();
        const int64_t ahead = now - (realMicroseconds() - realStart);
        if (ahead <= 0 || closeAsked)
            return;
        realClock->sleep(static_cast<uint32_t>(ahead > 10000 ? 10 : ahead / 1000 + 1));
    }
}

void advanceClock()
{
    uint32_t step = 0;
    if (!take(tape().clock, step)) {
        ranOut();
        return;
    }
    now += step;
    pace();
}

// The next set-up answer, when it is of the kind asked; else the recording
// does not fit this game.
SoundAnswer soundAnswerTaken;
const SoundAnswer* nextSoundAnswer(SoundAnswer::Kind kind)
{
    if (!ready(tape().soundSetUp) || tape().soundSetUp.front().kind != kind) {
        ranOut();
        return nullptr;
    }
    take(tape().soundSetUp, soundAnswerTaken);
    return &soundAnswerTaken;
}

bool readWindowSystem(SystemMessage& message)
{
    listenToViewer();
    if (closeAsked && !closeDelivered) {
        closeDelivered = true;
        message = SystemMessage{{MessageType::Close, 0}};
        return true;
    }
    std::deque<WindowRead>& reads = tape().window;
    for (;;) {
        if (!ready(reads)) {
            ranOut();
            return false;
        }
        WindowRead& read = reads.front();
        if (read.nothingBefore > 0) {
            --read.nothingBefore;
            return false;
        }
        const WindowRead taken = read;
        reads.pop_front();
        if (taken.hasMessage) {
            message = taken.message;
            return true;
        }
    }
}

InputResult readKeyboard(uint8_t state[256])
{
    for (int code = 0; code < 256; ++code)
        state[code] = 0;
    KeyboardRead read;
    if (!takeRun(tape().keyboard, read)) {
        ranOut();
        return InputResult::Ok;
    }
    for (uint8_t code : read.keys)
        state[code] = 0x80;
    return read.result;
}

bool inputRanOut()
{
    if (playback.ranOut)
        return true;
    std::deque<EndedAnswers>& answers = tape().ended;
    for (;;) {
        if (!ready(answers)) {
            ranOut();
            return true;
        }
        if (answers.front().noes > 0) {
            --answers.front().noes;
            return false;
        }
        if (answers.front().yes)
            return true;
        answers.pop_front();
    }
}

} // namespace

const ClockService& playbackClock(const ClockService* paceBy)
{
    realClock = paceBy;
    clock = ClockService{
        .start =
            [] {
                now = 0;
                closeAsked = closeDelivered = false;
                if (realClock) {
                    realClock->start();
                    realStart = realMicroseconds();
                }
            },
        .performanceCounter =
            [] {
                advanceClock();
                return now;
            },
        .peekCounter = [] { return now; },
        .performanceFrequency = [] { return int64_t{1000000}; },
        .tickCount = [] { return static_cast<uint32_t>(now / 1000); },
        .sleep = [](uint32_t) { advanceClock(); },
        .yield = [] { advanceClock(); },
        .newPass = [] {},
    };
    return clock;
}

const InputService& playbackInput(const InputService* viewerInput)
{
    viewer = viewerInput;
    input = InputService{
        .start = [](const PlatformConfig&) { return true; },
        .stop = [] {},
        .keyboardStart = [] { return true; },
        .keyboardStop = [] {},
        .beginPoll = [] {},
        .idlePass = [] {},
        .ended = inputRanOut,
        .nextMessage = readWindowSystem,
        .keyboardGetState = readKeyboard,
        .keyboardAcquire =
            [] {
                InputResult result = InputResult::Ok;
                if (!take(tape().acquisitions, result))
                    ranOut();
                return result;
            },
        .keyboardUnacquire = [] {},
        .padGetState =
            [](PadState& state) {
                PadRead read;
                if (!takeRun(tape().pads, read)) {
                    ranOut();
                    return false;
                }
                state.thumbLX = read.x;
                state.thumbLY = read.y;
                return read.connected;
            },
    };
    return input;
}

const VideoService& playbackVideo(const VideoService& base)
{
    baseVideo = &base;
    video = base;
    video.resetDevice = [](bool windowed, bool texturesLost) {
        const bool done = baseVideo->resetDevice(windowed, texturesLost);
        bool recorded = done;
        if (!take(tape().resets, recorded))
            ranOut();
        return recorded;
    };
    // The viewer's folder gets no screenshots of someone else's session.
    video.screenshot = [](bool, std::string&) { return false; };
    return video;
}

const SoundService& playbackSound(const SoundService& base)
{
    baseSound = &base;
    sound = base;
    sound.version = [] {
        const SoundAnswer* answer = nextSoundAnswer(SoundAnswer::Kind::Version);
        return answer ? static_cast<uint32_t>(answer->first) : baseSound->version();
    };
    sound.driverCount = [] {
        const SoundAnswer* answer = nextSoundAnswer(SoundAnswer::Kind::Drivers);
        return answer ? static_cast<int>(answer->first) : baseSound->driverCount();
    };
    sound.driverCaps = [](int driver, uint32_t* caps, int* speakerChannels) {
        baseSound->driverCaps(driver, caps, speakerChannels);
        if (const SoundAnswer* answer = nextSoundAnswer(SoundAnswer::Kind::Caps)) {
            *caps = static_cast<uint32_t>(answer->first);
            *speakerChannels = static_cast<int>(answer->second);
        }
    };
    sound.driverName = [](int driver) {
        const SoundAnswer* answer = nextSoundAnswer(SoundAnswer::Kind::Name);
        return answer ? answer->name.c_str() : baseSound->driverName(driver);
    };
    // The output is opened for real, so the sounds are heard; whether the
    // game thinks it opened is the recording's.
    sound.open = [](const SoundSetup& setup, int channels) {
        const SoundResult opened = baseSound->open(setup, channels);
        const SoundAnswer* answer = nextSoundAnswer(SoundAnswer::Kind::Open);
        return answer ? static_cast<SoundResult>(answer->first) : opened;
    };
    sound.playing = [](int, bool* playing) {
        char answer = '-';
        if (!takeRun(tape().channels, answer))
            ranOut();
        *playing = answer == 'y';
        return answer != '-';
    };
    return sound;
}

bool playbackStoppedByViewer() { return closeAsked; }
bool playbackRanOut() { return playback.ranOut; }

bool stateCheckDue(uint64_t frame)
{
    if (!playback.active)
        return recordingWantsCheck();
    // A check of a frame the game has passed without one is due at once:
    // it cannot agree.
    return !playback.ranOut && ready(tape().checks) && tape().checks.front().frame <= frame;
}

void checkState(uint64_t frame, uint32_t hash)
{
    if (!playback.active) {
        recordCheck(frame, hash);
        return;
    }
    StateCheck recorded;
    if (!take(tape().checks, recorded) || (recorded.frame == frame && recorded.hash == hash))
        return;
    std::fprintf(stderr, "kestrelon: %s: the game no longer plays as recorded: it differs after frame %llu "
                         "(the recording was made by %s)\n",
                 playback.path.c_str(), static_cast<unsigned long long>(recorded.frame),
                 tape().madeBy.empty() ? "an unknown program" : tape().madeBy.c_str());
    playback.damaged = true;
    ranOut();
}
bool playbackFoundDamage() { return playback.damaged; }

bool startPlayback(const std::string& path, std::string& error)
{
    finishPlayback();
    playback = Playback{};
    std::string problem;
    std::FILE* file = openInput(path, problem);
    if (!file) {
        error = "cannot read the recording " + path + ": " + problem;
        return false;
    }
    // The whole file is checked before the game starts, a line at a time.
    LineSource check = linesOfFile(file);
    Recording scratch;
    if (!readRecording(check, scratch, false, problem) || std::ferror(file) || std::fseek(file, 0, SEEK_SET) != 0) {
        error = path + ": " + (problem.empty() ? "cannot be read" : problem);
        std::fclose(file);
        return false;
    }
    playback = Playback{};
    playback.active = true;
    playback.path = path;
    playback.file = file;
    playback.lines = linesOfFile(file);
    playback.scoreTable = scratch.scoreTable;
    playback.startsFullScreen = scratch.startsFullScreen;
    return true;
}

void finishPlayback()
{
    if (playback.file)
        std::fclose(playback.file);
    playback.file = nullptr;
    playback.active = false;
}

bool recordedStartingScreenMode(bool& fullScreen)
{
    if (!playback.active)
        return false;
    fullScreen = playback.startsFullScreen;
    return true;
}

bool recordedScoreTable(std::string& text)
{
    if (!playback.active)
        return false;
    text = playback.scoreTable;
    return true;
}
