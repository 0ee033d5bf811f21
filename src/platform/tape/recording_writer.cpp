// Writing a session's recording as it goes.
#include "platform/tape/recording_writer.h"

#include "platform/files.h"
#include "platform/recording.h"

#include <cerrno>
#include <cstring>

namespace {

constexpr size_t kClockPerLine = 64;
constexpr size_t kChannelRunsPerLine = 64;
// Flushed once a second of the session's own clock: a session cut short
// leaves a recording that plays up to its last second, and a replay writes
// the same file however fast it runs.
constexpr uint64_t kFlushEveryMicroseconds = 1000000;

struct Writer {
    std::FILE* file = nullptr;     // null: no recording being written
    std::string path;
    std::string pending;           // lines not yet in the file
    std::vector<uint32_t> clock;
    Run<KeyboardRead> keyboard;
    Run<PadRead> pad;
    Run<char> channel;
    std::vector<Run<char>> channels;
    uint64_t emptyWindowReads = 0;
    uint64_t notEnded = 0;
    uint64_t sinceFlush = 0;   // microseconds of the session's clock
    uint64_t sinceCheck = 0;
};

Writer writer;

bool recording() { return writer.file != nullptr; }

void closeClockLine()
{
    if (writer.clock.empty())
        return;
    writer.pending += printClock(writer.clock);
    writer.clock.clear();
}

void closeKeyboardRun()
{
    if (writer.keyboard.count == 0)
        return;
    writer.pending += printKeyboard(writer.keyboard);
    writer.keyboard.count = 0;
}

void closePadRun()
{
    if (writer.pad.count == 0)
        return;
    writer.pending += printPad(writer.pad);
    writer.pad.count = 0;
}

void closeChannelLine()
{
    if (writer.channel.count > 0)
        writer.channels.push_back(writer.channel);
    writer.channel.count = 0;
    if (writer.channels.empty())
        return;
    writer.pending += printChannels(writer.channels);
    writer.channels.clear();
}

// A run of channel answers ends; the line ends once it holds enough of them.
void closeChannelRun()
{
    if (writer.channel.count > 0)
        writer.channels.push_back(writer.channel);
    writer.channel.count = 0;
    if (writer.channels.size() == kChannelRunsPerLine)
        closeChannelLine();
}

void closeWindowCount()
{
    if (writer.emptyWindowReads == 0)
        return;
    writer.pending += printWindow({writer.emptyWindowReads, false, {}});
    writer.emptyWindowReads = 0;
}

void closeEndedCount()
{
    if (writer.notEnded == 0)
        return;
    writer.pending += printEnded({writer.notEnded, false});
    writer.notEnded = 0;
}

void closeOpenRuns()
{
    closeClockLine();
    closeKeyboardRun();
    closePadRun();
    closeChannelLine();
    closeWindowCount();
    closeEndedCount();
}

// What is pending goes into the file, and the file to the system; false
// (errno telling why) when that fails.
bool writePending()
{
    const bool written = std::fwrite(writer.pending.data(), 1, writer.pending.size(), writer.file) == writer.pending.size()
                         && std::fflush(writer.file) == 0;
    writer.pending.clear();
    writer.sinceFlush = 0;
    return written;
}

// The recording ends; a failed write (`failed`, errno telling why) or a
// failed close ends the run too.
void stopRecording(bool failed)
{
    int error = errno;
    if (std::fclose(writer.file) != 0 && !failed) {
        failed = true;
        error = errno;
    }
    if (failed)
        endRunForFailedWrite(writer.path, std::strerror(error));
    writer = Writer{};
}

// Everything open goes into the file.
void flush()
{
    closeOpenRuns();
    if (!writePending())
        stopRecording(true);
}

// Keeps a run open while the same answer comes again.
template <typename T>
void addToRun(Run<T>& run, const T& value, void (*close)())
{
    if (run.count > 0 && run.value == value) {
        ++run.count;
    } else {
        close();
        run.value = value;
        run.count = 1;
    }
}

} // namespace

bool startRecording(std::FILE* file, const std::string& path, std::string& error)
{
    writer = Writer{};
    writer.file = file;
    writer.path = path;
    writer.pending = std::string(kRecordingHeader) + "\n" + kMadeByComment + "kestrelon " KESTRELON_VERSION "\n";
    if (writePending())
        return true;
    error = "cannot write the recording " + path + ": " + std::strerror(errno);
    std::fclose(file);
    writer = Writer{};
    return false;
}

void recordScoreTable(std::string_view text)
{
    if (recording())
        writer.pending += printScoreTable(text);
}

void recordStartingScreenMode(bool fullScreen)
{
    if (recording() && fullScreen)
        writer.pending += "screen fullscreen\n";
}

void recordSoundAnswer(const SoundAnswer& answer)
{
    if (recording())
        writer.pending += printSoundAnswer(answer);
}

void recordClock(uint32_t microseconds)
{
    if (!recording())
        return;
    writer.clock.push_back(microseconds);
    if (writer.clock.size() == kClockPerLine)
        closeClockLine();
    writer.sinceFlush += microseconds;
    writer.sinceCheck += microseconds;
    if (writer.sinceFlush >= kFlushEveryMicroseconds)
        flush();
}

void recordKeyboard(const KeyboardRead& read)
{
    if (recording())
        addToRun(writer.keyboard, read, closeKeyboardRun);
}

void recordAcquisition(InputResult result)
{
    if (recording())
        writer.pending += printAcquisition(result);
}

void recordPad(const PadRead& read)
{
    if (recording())
        addToRun(writer.pad, read, closePadRun);
}

void recordChannel(char answer)
{
    if (!recording())
        return;
    addToRun(writer.channel, answer, closeChannelRun);
}

void recordWindow(bool hasMessage, const SystemMessage& message)
{
    if (!recording())
        return;
    if (!hasMessage) {
        ++writer.emptyWindowReads;
        return;
    }
    if (!windowSystemSends(message))
        return;
    writer.pending += printWindow({writer.emptyWindowReads, true, message});
    writer.emptyWindowReads = 0;
    // A message is rare and may be the last thing before a crash.
    flush();
}

void recordReset(bool done)
{
    if (recording())
        writer.pending += printReset(done);
}

void recordEnded(bool ended)
{
    if (!recording())
        return;
    if (!ended) {
        ++writer.notEnded;
        return;
    }
    writer.pending += printEnded({writer.notEnded, true});
    writer.notEnded = 0;
}

bool recordingWantsCheck() { return recording() && writer.sinceCheck >= kFlushEveryMicroseconds; }

void recordCheck(uint64_t frame, uint32_t hash)
{
    if (!recording())
        return;
    writer.pending += printCheck({frame, hash});
    writer.sinceCheck = 0;
}

bool finishRecording()
{
    if (!recording())
        return !aWriteFailed();
    closeOpenRuns();
    writer.pending += "end\n";
    const bool written = writePending();
    stopRecording(!written);
    return written && !aWriteFailed();
}
