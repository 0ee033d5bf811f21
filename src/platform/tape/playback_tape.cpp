// Playing a recording back: the clock, the keyboard and controller, the
// window system's messages, the device's resets and the sound's answers
// come from the recording instead of the machine. Pictures and sounds still
// go to the chosen video and sound backends (a window when watching, none
// in a headless check). Watching, the game's clock waits for real time to
// catch up before it moves, and the viewer's own window may still be
// closed; its keys and controller are never read.
//
// When the game asks for more than the recording holds, the session was cut
// short there: time stops, every key is up, and the window is closed, as a
// player who walked away would leave it.
#include "platform/backends.h"
#include "platform/recording.h"

namespace {

const ClockService* realClock = nullptr;   // for the pace; null: as fast as possible
const InputService* viewer = nullptr;      // the viewer's window system; null: none
const VideoService* baseVideo = nullptr;
const SoundService* baseSound = nullptr;
ClockService clock;
InputService input;
VideoService video;
SoundService sound;

// How far each of the recording's streams has been read.
struct Cursor {
    size_t clock = 0;
    size_t keyboard = 0;
    uint64_t keyboardTaken = 0;
    size_t acquisition = 0;
    size_t pad = 0;
    uint64_t padTaken = 0;
    size_t channel = 0;
    uint64_t channelTaken = 0;
    size_t window = 0;
    uint64_t windowNothingTaken = 0;
    size_t reset = 0;
    size_t soundAnswer = 0;
    uint64_t notEndedTaken = 0;
};

Cursor cursor;
int64_t now = 0;
int64_t realStart = 0;
bool closeAsked = false;   // by the viewer
bool closeDelivered = false;

const Recording& tape() { return playbackRecording(); }

void ranOut()
{
    if (playbackRanOut())
        return;
    notePlaybackRanOut();
    postMessage({MessageType::Close, 0});
}

// Takes the next of a run-length coded stream into `value`; false at its end.
template <typename T>
bool takeRun(const std::vector<Run<T>>& runs, size_t& index, uint64_t& taken, T& value)
{
    while (index < runs.size() && taken >= runs[index].count) {
        ++index;
        taken = 0;
    }
    if (index >= runs.size())
        return false;
    value = runs[index].value;
    ++taken;
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
    if (cursor.clock >= tape().clock.size()) {
        ranOut();
        return;
    }
    now += tape().clock[cursor.clock++];
    pace();
}

// The next set-up answer, when it is of the kind asked; else the recording
// does not fit this game.
const SoundAnswer* nextSoundAnswer(SoundAnswer::Kind kind)
{
    if (cursor.soundAnswer >= tape().soundSetUp.size() || tape().soundSetUp[cursor.soundAnswer].kind != kind) {
        ranOut();
        return nullptr;
    }
    return &tape().soundSetUp[cursor.soundAnswer++];
}

bool readWindowSystem(SystemMessage& message)
{
    listenToViewer();
    if (closeAsked && !closeDelivered) {
        closeDelivered = true;
        message = SystemMessage{{MessageType::Close, 0}};
        return true;
    }
    const std::vector<WindowRead>& reads = tape().window;
    for (;;) {
        if (cursor.window >= reads.size()) {
            ranOut();
            return false;
        }
        const WindowRead& read = reads[cursor.window];
        if (cursor.windowNothingTaken < read.nothingBefore) {
            ++cursor.windowNothingTaken;
            return false;
        }
        ++cursor.window;
        cursor.windowNothingTaken = 0;
        if (read.hasMessage) {
            message = read.message;
            return true;
        }
    }
}

InputResult readKeyboard(uint8_t state[256])
{
    for (int code = 0; code < 256; ++code)
        state[code] = 0;
    KeyboardRead read;
    if (!takeRun(tape().keyboard, cursor.keyboard, cursor.keyboardTaken, read)) {
        ranOut();
        return InputResult::Ok;
    }
    for (uint8_t code : read.keys)
        state[code] = 0x80;
    return read.result;
}

bool inputRanOut()
{
    if (playbackRanOut())
        return true;
    if (cursor.notEndedTaken < tape().notEnded) {
        ++cursor.notEndedTaken;
        return false;
    }
    if (!tape().ended)
        ranOut();
    return true;
}

} // namespace

const ClockService& playbackClock(const ClockService* paceBy)
{
    realClock = paceBy;
    clock = ClockService{
        .start =
            [] {
                cursor = Cursor{};
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
                if (cursor.acquisition >= tape().acquisitions.size()) {
                    ranOut();
                    return InputResult::Ok;
                }
                return tape().acquisitions[cursor.acquisition++];
            },
        .keyboardUnacquire = [] {},
        .padGetState =
            [](PadState& state) {
                PadRead read;
                if (!takeRun(tape().pads, cursor.pad, cursor.padTaken, read)) {
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
        if (cursor.reset >= tape().resets.size()) {
            ranOut();
            return done;
        }
        return static_cast<bool>(tape().resets[cursor.reset++]);
    };
    // The viewer's folder gets no screenshots of someone else's session.
    video.saveScreenshot = [](const char*, bool) { return false; };
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
        if (!takeRun(tape().channels, cursor.channel, cursor.channelTaken, answer))
            ranOut();
        *playing = answer == 'y';
        return answer != '-';
    };
    return sound;
}

bool playbackStoppedByViewer() { return closeAsked; }
