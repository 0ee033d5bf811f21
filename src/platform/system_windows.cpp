// Windows' side of system.h. Paths are UTF-8 in the game and UTF-16 to
// Windows; files are opened through the wide calls and handed to the C
// library as FILE*.
#include "platform/system.h"

#include "platform/files.h"
#include "platform/platform.h"
#include "platform/window.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

namespace {

std::wstring wide(const std::string& utf8)
{
    if (utf8.empty())
        return {};
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), length);
    return text;
}

std::string utf8(const wchar_t* text, int length = -1)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return {};
    std::string result(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, length, result.data(), size, nullptr, nullptr);
    if (length < 0)
        result.pop_back();   // the terminating zero, counted in `size`
    return result;
}

// The system's own words for an error, on one line.
std::string errorText(DWORD error)
{
    wchar_t* message = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM
                                            | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, error, 0, reinterpret_cast<wchar_t*>(&message), 0, nullptr);
    std::string text = length > 0 ? utf8(message, static_cast<int>(length)) : "error " + std::to_string(error);
    LocalFree(message);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.'))
        text.pop_back();
    return text;
}

// A handle opened with the wide calls, as a C library stream; the handle is
// the stream's from then on. Null (handle closed) when that fails.
std::FILE* streamOf(HANDLE handle, bool writing, std::string& error)
{
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), writing ? _O_WRONLY | _O_BINARY : _O_RDONLY | _O_BINARY);
    if (fd < 0) {
        CloseHandle(handle);
        error = "cannot hand the file over to the C library";
        return nullptr;
    }
    std::FILE* file = _fdopen(fd, writing ? "wb" : "rb");
    if (!file) {
        _close(fd);
        error = "cannot hand the file over to the C library";
    }
    return file;
}

std::string programFolder()
{
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            std::string file = utf8(path.data(), static_cast<int>(length));
            return file.substr(0, file.find_last_of("\\/"));
        }
        path.resize(path.size() * 2);
    }
}

std::string knownFolder(REFKNOWNFOLDERID which, std::string& error)
{
    wchar_t* folder = nullptr;
    const HRESULT result = SHGetKnownFolderPath(which, KF_FLAG_CREATE, nullptr, &folder);
    std::string path;
    if (SUCCEEDED(result))
        path = utf8(folder);
    else
        error = "Windows does not say where your application data folder is (" + errorText(static_cast<DWORD>(result)) + ")";
    CoTaskMemFree(folder);
    return path;
}

bool exists(const std::string& path) { return GetFileAttributesW(wide(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

std::atomic<bool> endAtOnce{false};
std::atomic<int> exitCodeAtOnce{0};

// Runs on a thread of its own. Closing the console (or logging off) gives
// the game a few seconds before Windows ends it: enough for the message loop
// to take the request and end the game as a close of its window does.
BOOL WINAPI noteEndRequest(DWORD event)
{
    if (endAtOnce.load())
        ExitProcess(static_cast<UINT>(exitCodeAtOnce.load()));
    countEndRequest();
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT)
        Sleep(INFINITE);   // the game's own end ends the process first
    return TRUE;
}

} // namespace

bool findGameFolderPlaces(GameFolderPlaces& places, std::string& error)
{
    places = GameFolderPlaces{};
    const std::string program = programFolder();
    if (program.empty()) {
        error = "Windows does not say where the game is (" + errorText(GetLastError()) + ")";
        return false;
    }
    places.game = program;
    places.player = program;
    // The installer leaves this mark beside the program; the unpacked zip
    // has none and keeps everything in its own folder.
    if (!exists(program + "\\kestrelon.installed"))
        return true;
    const std::string data = knownFolder(FOLDERID_LocalAppData, error);
    if (data.empty())
        return false;
    places.player = data + "\\Kestrelon";
    places.installed = true;
    return true;
}

// Settings follow the player from machine to machine (the roaming folder,
// where SDL's per-user path is too); so does the screen mode last chosen.
std::string settingsFolder()
{
    std::string error;
    const std::string roaming = knownFolder(FOLDERID_RoamingAppData, error);
    return roaming.empty() ? roaming : roaming + "\\Kestrelon";
}

std::string stateFolder() { return settingsFolder(); }

const char* displayDriversToTry() { return nullptr; }

const char* noDisplayAdvice() { return "Windows gave the game no window to draw in"; }

const char* playerFilesHelp()
{
    return "Your files, in %LOCALAPPDATA%\\Kestrelon when the game is installed, or in the\n"
           "game's own folder (unpacked from the zip), beside kestrelon.exe:\n"
           "  data\\scores.txt   the high-score table (a copy of a damaged one is kept as\n"
           "                    data\\scores.txt.bak before the game writes over it)\n"
           "  screen000.bmp     the last F12 screenshot\n";
}

const char* settingsFilesHelp()
{
    return "The settings file is %APPDATA%\\Kestrelon\\settings.conf; the game never writes\n"
           "it. The mode last chosen is kept in %APPDATA%\\Kestrelon\\state.\n";
}

void argumentsInUtf8(int& argc, char**& argv)
{
    static std::vector<std::string> texts;
    static std::vector<char*> pointers;
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments)
        return;   // the C library's, in the system's code page, then
    texts.clear();
    for (int i = 0; i < count; ++i)
        texts.push_back(utf8(arguments[i]));
    LocalFree(arguments);
    pointers.clear();
    for (std::string& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    argc = count;
    argv = pointers.data();
}

void useStartingConsole()
{
    // A windowed program started from cmd or PowerShell joins that console:
    // Ctrl+C there, or closing it, reaches the game, and its output shows
    // there unless it was taken elsewhere (a pipe, a file), where it stays.
    const bool hasOutput = GetStdHandle(STD_OUTPUT_HANDLE) != nullptr;
    const bool hasErrors = GetStdHandle(STD_ERROR_HANDLE) != nullptr;
    if (!AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    if (!hasOutput)
        std::freopen("CONOUT$", "w", stdout);
    if (!hasErrors)
        std::freopen("CONOUT$", "w", stderr);
}

bool acquireSingleInstanceGuard(const char* name)
{
    // Kept for the life of the process; Windows lets go of it at the end.
    HANDLE mutex = CreateMutexW(nullptr, FALSE, wide(name).c_str());
    const DWORD error = GetLastError();
    if (mutex && error == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return false;
    }
    if (!mutex) {
        // No guard to be had: run rather than refuse, but say so.
        std::fprintf(stderr, "kestrelon: cannot make the mutex %s (%s); a second copy of the game will not be noticed\n",
                     name, errorText(error).c_str());
    }
    return true;
}

std::FILE* openRegularFile(const std::string& path, std::string& error)
{
    const std::wstring name = wide(path);
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        error = "it is a folder, not a file";
        return nullptr;
    }
    HANDLE handle = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        error = errorText(GetLastError());
        return nullptr;
    }
    // A device (NUL, CON, COM1) or a pipe is not a file of the game's.
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        CloseHandle(handle);
        error = "it is not a plain file";
        return nullptr;
    }
    return streamOf(handle, false, error);
}

std::FILE* createNewFile(const std::string& path, std::string& error)
{
    HANDLE handle = CreateFileW(wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        error = errorText(GetLastError());
        return nullptr;
    }
    return streamOf(handle, true, error);
}

std::FILE* openForReplacing(const std::string& path, std::string& error)
{
    HANDLE handle = CreateFileW(wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        error = errorText(GetLastError());
        return nullptr;
    }
    return streamOf(handle, true, error);
}

bool fileIsReadOnly(const std::string& path)
{
    const std::wstring name = wide(path);
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    if (attributes & FILE_ATTRIBUTE_READONLY)
        return true;
    // Not marked, but the folder's permissions may still refuse a write.
    HANDLE handle = CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_ACCESS_DENIED;
    CloseHandle(handle);
    return false;
}

bool replaceFileAtomically(const std::string& path, std::string_view contents, std::string& error)
{
    const std::wstring name = wide(path);
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        error = "it is not a plain file";
        return false;
    }
    if (fileIsReadOnly(path)) {
        error = "it is read-only";
        return false;
    }
    const size_t slash = path.find_last_of("\\/");
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
    // A new name beside the file, made exclusively (nothing there is
    // followed or overwritten), written, flushed, then moved over the file.
    HANDLE handle = INVALID_HANDLE_VALUE;
    std::wstring temporary;
    for (unsigned attempt = 0; handle == INVALID_HANDLE_VALUE && attempt < 100; ++attempt) {
        temporary = name + L"." + std::to_wstring(GetCurrentProcessId()) + L"." + std::to_wstring(attempt) + L".new";
        handle = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) {
            error = "cannot write in " + folder + ": " + errorText(GetLastError());
            return false;
        }
    }
    if (handle == INVALID_HANDLE_VALUE) {
        error = "cannot write in " + folder + ": too many unfinished copies there";
        return false;
    }
    size_t done = 0;
    bool written = true;
    while (written && done < contents.size()) {
        DWORD wrote = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(contents.size() - done, 1u << 20));
        written = WriteFile(handle, contents.data() + done, chunk, &wrote, nullptr) && wrote > 0;
        done += wrote;
    }
    if (!written || !FlushFileBuffers(handle)) {
        error = errorText(GetLastError());
        CloseHandle(handle);
        DeleteFileW(temporary.c_str());
        return false;
    }
    CloseHandle(handle);
    if (!MoveFileExW(temporary.c_str(), name.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = errorText(GetLastError());
        DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}

void listenForEndRequests() { SetConsoleCtrlHandler(noteEndRequest, TRUE); }

void endAtOnceOnRequest(bool atOnce, int exitCode)
{
    exitCodeAtOnce = exitCode;
    endAtOnce = atOnce;
}

