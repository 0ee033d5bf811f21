// Linux's side of system.h.
#include "platform/system.h"

#include "platform/files.h"
#include "platform/platform.h"
#include "platform/window.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string errorText(int error) { return std::strerror(error); }

std::string folderOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool writeAll(int fd, std::string_view contents)
{
    size_t done = 0;
    while (done < contents.size()) {
        const ssize_t wrote = write(fd, contents.data() + done, contents.size() - done);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0) {
            if (wrote == 0)
                errno = EIO;
            return false;
        }
        done += static_cast<size_t>(wrote);
    }
    return true;
}

void noteEndRequest(int) { countEndRequest(); }

volatile sig_atomic_t exitCodeOnSignal = 0;
volatile sig_atomic_t boxThread = 0;
constexpr int kEndSignals[3] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction beforeTheBox[3];

// The box may be a process of its own (SDL draws it in a child, or runs a
// dialog program): it goes too. Only async-signal-safe calls here.
void endOnSignal(int)
{
    char path[64] = "/proc/self/task/";
    char* at = path + 16;
    char digits[16];
    int length = 0;
    for (long tid = boxThread; tid > 0 && length < 15; tid /= 10)
        digits[length++] = static_cast<char>('0' + tid % 10);
    while (length > 0)
        *at++ = digits[--length];
    const char kChildren[] = "/children";
    for (const char* c = kChildren; *c; ++c)
        *at++ = *c;
    *at = '\0';
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        char list[512];
        ssize_t size = read(fd, list, sizeof list - 1);
        close(fd);
        long child = 0;
        for (ssize_t i = 0; i < size; ++i) {
            if (list[i] >= '0' && list[i] <= '9') {
                child = child * 10 + (list[i] - '0');
            } else if (child > 0) {
                kill(static_cast<pid_t>(child), SIGKILL);
                child = 0;
            }
        }
    }
    _exit(exitCodeOnSignal);
}


} // namespace

#ifndef KESTRELON_INSTALLED_DATA
#define KESTRELON_INSTALLED_DATA "../share/kestrelon"
#endif

namespace {

// The folder the running program's file is in, ending in a separator;
// empty when it cannot be told.
std::string executableFolder()
{
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return {};
    path[length] = '\0';
    std::string file(path);
    return file.substr(0, file.find_last_of('/') + 1);
}


// An XDG base folder: the variable when it names an absolute path, else
// the default under the home folder; empty when there is no home.
std::string xdgFolder(const char* variable, const char* underHome)
{
    const char* set = std::getenv(variable);
    if (set && set[0] == '/')
        return set;
    const char* home = std::getenv("HOME");
    return home && home[0] == '/' ? std::string(home) + "/" + underHome : std::string();
}

// $XDG_DATA_HOME, else ~/.local/share; empty when there is no home.
std::string userDataFolder() { return xdgFolder("XDG_DATA_HOME", ".local/share"); }

// Where a lock that lives as long as the session belongs; empty when none.
std::string runtimeFolder()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    return runtime && runtime[0] == '/' ? std::string(runtime) : std::string();
}

} // namespace

bool findGameFolderPlaces(GameFolderPlaces& places, std::string& error)
{
    places = GameFolderPlaces{};
    const std::string executable = executableFolder();
    const std::string installation = executable + KESTRELON_INSTALLED_DATA;
    struct stat info {};
    if (executable.empty() || stat((installation + "/data").c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        return true;
    const std::string data = userDataFolder();
    if (data.empty()) {
        error = "no home folder to keep your scores in (HOME is not set)";
        return false;
    }
    char resolved[PATH_MAX];
    places.game = realpath(installation.c_str(), resolved) ? resolved : installation;
    places.player = data + "/kestrelon";
    places.installed = true;
    return true;
}

std::string settingsFolder()
{
    const std::string base = xdgFolder("XDG_CONFIG_HOME", ".config");
    return base.empty() ? base : base + "/kestrelon";
}

std::string stateFolder()
{
    const std::string base = xdgFolder("XDG_STATE_HOME", ".local/state");
    return base.empty() ? base : base + "/kestrelon";
}

const char* displayDriversToTry()
{
    // With neither WAYLAND_DISPLAY nor XDG_RUNTIME_DIR, Wayland cannot be
    // reached, and its library says so on stderr when SDL tries: only the
    // other drivers that show a window are tried.
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if ((wayland && *wayland) || (runtime && *runtime))
        return nullptr;
    return "x11,kmsdrm";
}

const char* noDisplayAdvice()
{
    return "run it from a desktop session (DISPLAY or WAYLAND_DISPLAY must name a running display)";
}

const char* playerFilesHelp()
{
    return "Your files, in ~/.local/share/kestrelon ($XDG_DATA_HOME/kestrelon) when the\n"
           "game is installed, or in the game's own folder (the source tree with play.sh):\n"
           "  data/scores.txt   the high-score table (a copy of a damaged one is kept as\n"
           "                    data/scores.txt.bak before the game writes over it)\n"
           "  screen000.bmp     the last F12 screenshot\n";
}

const char* settingsFilesHelp()
{
    return "The settings file is ~/.config/kestrelon/settings.conf ($XDG_CONFIG_HOME);\n"
           "the game never writes it. The mode last chosen is kept in\n"
           "~/.local/state/kestrelon/state ($XDG_STATE_HOME).\n";
}

void useStartingConsole() {}
void argumentsInUtf8(int&, char**&) {}

// The guard is an exclusive lock on a file where only the player can write:
// the session's runtime folder, else the player's own game folder (never a
// shared one such as /tmp, where anyone could hold the name).
bool acquireSingleInstanceGuard(const char* name)
{
    const std::string runtime = runtimeFolder();
    std::string file = name;
    for (char& c : file)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    file += ".lock";
    const std::string lock = runtime.empty() ? playerFilePath(file) : runtime + "/" + file;
    // Kept open for the life of the process: closing it would drop the lock,
    // and the kernel drops it when the process ends.
    const int fd = open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    int error = errno;
    if (fd >= 0) {
        if (flock(fd, LOCK_EX | LOCK_NB) == 0)
            return true;
        error = errno;
        close(fd);
        if (error == EWOULDBLOCK)
            return false;
    }
    // No lock to be had: run rather than refuse, but say so.
    std::fprintf(stderr, "kestrelon: cannot lock %s (%s); a second copy of the game will not be noticed\n",
                 lock.c_str(), errorText(error).c_str());
    return true;
}

std::FILE* openRegularFile(const std::string& path, std::string& error)
{
    // Not blocking, so that a FIFO is seen for what it is rather than waited on.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        error = errorText(errno);
        return nullptr;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        error = S_ISDIR(info.st_mode) ? "it is a folder, not a file" : "it is not a plain file";
        close(fd);
        return nullptr;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    std::FILE* file = fdopen(fd, "rb");
    if (!file) {
        error = errorText(errno);
        close(fd);
    }
    return file;
}

std::FILE* createNewFile(const std::string& path, std::string& error)
{
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
        error = errorText(errno);
        return nullptr;
    }
    std::FILE* file = fdopen(fd, "wb");
    if (!file) {
        error = errorText(errno);
        close(fd);
    }
    return file;
}

std::FILE* openForReplacing(const std::string& path, std::string& error)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        error = errorText(errno);
    return file;
}

bool fileIsReadOnly(const std::string& path)
{
    struct stat info {};
    if (stat(path.c_str(), &info) != 0)
        return false;
    return !(info.st_mode & S_IWUSR) || access(path.c_str(), W_OK) != 0;
}

bool replaceFileAtomically(const std::string& path, std::string_view contents, std::string& error)
{
    struct stat old {};
    const bool exists = stat(path.c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode)) {
        error = "it is not a plain file";
        return false;
    }
    if (exists && fileIsReadOnly(path)) {
        error = "it is read-only";
        return false;
    }
    const std::string folder = folderOf(path);
    const std::string name = path.substr(path.find_last_of('/') + 1);
    // A name no one can have put there beforehand, made exclusively: a link
    // planted in its place is never followed.
    std::string temporary = folder + "/." + name + ".XXXXXX";
    const int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        error = "cannot write in " + folder + ": " + errorText(errno);
        return false;
    }
    const mode_t mask = umask(0);
    umask(mask);
    const mode_t mode = exists ? old.st_mode & 07777 : 0666 & ~mask;
    if (fchmod(fd, mode) != 0 || !writeAll(fd, contents) || fsync(fd) != 0) {
        error = errorText(errno);
        close(fd);
        unlink(temporary.c_str());
        return false;
    }
    if (close(fd) != 0 || rename(temporary.c_str(), path.c_str()) != 0) {
        error = errorText(errno);
        unlink(temporary.c_str());
        return false;
    }
    // The rename is on the disk once the folder is; some file systems
    // cannot sync a folder, and the new file is in place either way.
    const int folderFd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        fsync(folderFd);
        close(folderFd);
    }
    return true;
}

void listenForEndRequests()
{
    struct sigaction action {};
    action.sa_handler = noteEndRequest;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : kEndSignals)
        sigaction(signal, &action, nullptr);
}

void endAtOnceOnRequest(bool atOnce, int exitCode)
{
    if (!atOnce) {
        for (int i = 0; i < 3; ++i)
            sigaction(kEndSignals[i], &beforeTheBox[i], nullptr);
        return;
    }
    exitCodeOnSignal = exitCode;
    boxThread = static_cast<sig_atomic_t>(gettid());
    struct sigaction ending {};
    ending.sa_handler = endOnSignal;
    sigemptyset(&ending.sa_mask);
    for (int i = 0; i < 3; ++i)
        sigaction(kEndSignals[i], &ending, &beforeTheBox[i]);
}

