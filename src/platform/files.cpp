// The game's folders and the rules for what it writes (see files.h).
#include "platform/files.h"

#include "platform/platform.h"
#include "platform/system.h"
#include "platform/window.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kScoreTableName = "data/scores.txt";

GameFolderPlaces folders;
std::vector<std::string> inputs;
std::vector<std::string> outputs;
bool writeFailed = false;

void startRun()
{
    folders = GameFolderPlaces{};
    inputs.clear();
    outputs.clear();
    writeFailed = false;
}

std::string under(const std::string& folder, std::string_view name)
{
    return folder == "." ? std::string(name) : folder + "/" + std::string(name);
}

// The game's paths are UTF-8, whatever the system's own encoding.
fs::path pathOf(const std::string& utf8)
{
    return fs::path(reinterpret_cast<const char8_t*>(utf8.data()),
                    reinterpret_cast<const char8_t*>(utf8.data() + utf8.size()));
}

std::string utf8Of(const fs::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

bool sameFile(const std::string& a, const std::string& b)
{
    std::error_code error;
    return fs::equivalent(pathOf(a), pathOf(b), error) && !error;
}

// Every file in the data folders, by the name it has there.
std::vector<std::string> dataFiles()
{
    std::vector<std::string> files;
    for (const std::string& folder : {gameFilePath("data"), playerFilePath("data")}) {
        std::error_code error;
        for (fs::recursive_directory_iterator it(pathOf(folder), error), end; !error && it != end; it.increment(error))
            if (it->is_regular_file(error))
                files.push_back(utf8Of(it->path()));
    }
    return files;
}

// What an output would write over, said as the message's end; empty when
// it writes over nothing of the run's.
std::string whatItWouldWriteOver(const std::string& path)
{
    for (const std::string& input : inputs)
        if (sameFile(path, input))
            return "it is an input of this run (" + input + ")";
    if (sameFile(path, playerFilePath(kScoreTableName)))
        return "it is the score table";
    for (const std::string& output : outputs)
        if (sameFile(path, output))
            return "it is already an output of this run (" + output + ")";
    for (const std::string& file : dataFiles())
        if (sameFile(path, file))
            return "it is one of the game's data files (" + file + ")";
    return {};
}

// The file a link names, through a chain of links; the path itself when it
// is not a link.
std::string followLinks(const std::string& path)
{
    fs::path at = pathOf(path);
    std::error_code error;
    for (int hops = 0; hops < 40 && fs::is_symlink(at, error); ++hops) {
        const fs::path target = fs::read_symlink(at, error);
        if (error)
            break;
        at = target.is_absolute() ? target : at.parent_path() / target;
    }
    return utf8Of(at);
}

// The file's contents, or its first `limit` bytes.
bool readWholeFile(const std::string& path, std::string& contents, std::string& error,
                   size_t limit = std::string::npos)
{
    std::FILE* file = openRegularFile(path, error);
    if (!file)
        return false;
    contents.clear();
    char block[65536];
    size_t got;
    while (contents.size() < limit
           && (got = std::fread(block, 1, std::min(sizeof block, limit - contents.size()), file)) > 0)
        contents.append(block, got);
    const bool whole = !std::ferror(file);
    std::fclose(file);
    if (!whole)
        error = "a read failed";
    return whole;
}

bool writeNewFile(const std::string& path, std::string_view contents, std::string& error)
{
    std::FILE* file = createNewFile(path, error);
    if (!file)
        return false;
    const bool written = std::fwrite(contents.data(), 1, contents.size(), file) == contents.size();
    if (std::fclose(file) != 0 || !written) {
        error = "the write failed";
        std::error_code ignored;
        fs::remove(pathOf(path), ignored);
        return false;
    }
    return true;
}

// The first start of an installed game: the player's own copy of the
// default table, unless something (a file, a link, even a dangling one)
// already has its name.
bool giveThePlayerATable(std::string& error)
{
    const std::string table = playerFilePath(kScoreTableName);
    std::error_code status;
    if (fs::symlink_status(pathOf(table), status).type() != fs::file_type::not_found)
        return true;
    std::string contents;
    std::string problem;
    if (!readWholeFile(gameFilePath(kScoreTableName), contents, problem)
        || !writeNewFile(table, contents, problem)) {
        error = "cannot give you a score table " + table + ": " + problem;
        return false;
    }
    return true;
}

} // namespace

bool findGameFolders(std::string& error)
{
    startRun();
    if (!findGameFolderPlaces(folders, error))
        return false;
    if (!folders.installed)
        return true;   // a game folder: everything where it is
    std::error_code status;
    fs::create_directories(pathOf(folders.player + "/data"), status);
    if (status) {
        error = "cannot make your game folder " + folders.player + "/data: " + status.message();
        return false;
    }
    return giveThePlayerATable(error);
}

void useWorkingFolder() { startRun(); }

std::string settingsFilePath()
{
    // Joined with the system's own separator: the path is shown to the player.
    const std::string folder = settingsFolder();
    return folder.empty() ? folder : utf8Of(pathOf(folder) / "settings.conf");
}

std::string stateFilePath()
{
    const std::string folder = stateFolder();
    return folder.empty() ? folder : utf8Of(pathOf(folder) / "state");
}

bool readTextFile(const std::string& path, std::string& text, bool& missing, std::string& error)
{
    std::error_code status;
    missing = fs::symlink_status(pathOf(path), status).type() == fs::file_type::not_found;
    if (missing || !readWholeFile(path, text, error, kMaxTextFileBytes + 1))
        return false;
    if (text.size() > kMaxTextFileBytes) {
        error = "it is longer than " + std::to_string(kMaxTextFileBytes / 1024) + " KiB";
        text.clear();
        return false;
    }
    return true;
}

bool writeStateFile(std::string_view text, std::string& error)
{
    const std::string path = stateFilePath();
    if (path.empty()) {
        error = "there is no folder to keep it in";
        return false;
    }
    std::error_code status;
    fs::create_directories(pathOf(stateFolder()), status);
    if (status) {
        error = status.message();
        return false;
    }
    return replaceFileAtomically(path, text, error);
}

std::string absolutePath(const std::string& path)
{
    std::error_code error;
    const fs::path absolute = fs::absolute(pathOf(path), error);
    return error ? path : utf8Of(absolute);
}

bool enterFolder(const std::string& folder, std::string& error)
{
    std::error_code status;
    fs::current_path(pathOf(folder), status);
    if (status)
        error = status.message();
    return !status;
}
bool playingInstalled() { return folders.installed; }

std::string gameFilePath(std::string_view name) { return under(folders.game, name); }
std::string playerFilePath(std::string_view name) { return under(folders.player, name); }
std::string playerFolder() { return folders.player; }

std::FILE* openPlayerFile(std::string_view name, std::string& error)
{
    return openRegularFile(playerFilePath(name), error);
}

std::FILE* openInput(const std::string& path, std::string& error)
{
    std::FILE* file = openRegularFile(path, error);
    if (file)
        inputs.push_back(path);
    return file;
}

std::FILE* openOutput(const std::string& path, bool replace, std::string& error)
{
    std::error_code status;
    if (fs::exists(pathOf(path), status)) {
        const std::string over = whatItWouldWriteOver(path);
        if (!over.empty()) {
            error = "will not write " + path + ": " + over;
            return nullptr;
        }
        if (!replace && fs::is_regular_file(pathOf(path), status)) {
            error = path + " already exists (give --overwrite to replace it)";
            return nullptr;
        }
    }
    std::string problem;
    std::FILE* file = replace ? openForReplacing(path, problem) : createNewFile(path, problem);
    if (!file) {
        error = "cannot write " + path + ": " + problem;
        return nullptr;
    }
    outputs.push_back(path);
    return file;
}

void endRunForFailedWrite(const std::string& path, const std::string& reason)
{
    if (writeFailed)
        return;
    writeFailed = true;
    std::fprintf(stderr, "kestrelon: cannot write %s: %s\n", path.c_str(), reason.c_str());
    postQuitMessage(kWriteFailedExitCode);
}

bool aWriteFailed() { return writeFailed; }

bool replacePlayerFile(std::string_view name, std::string_view contents, std::string& error)
{
    return replaceFileAtomically(followLinks(playerFilePath(name)), contents, error);
}

bool keepCopyOfPlayerFile(std::string_view name, std::string& keptAs, std::string& error)
{
    const std::string path = playerFilePath(name);
    std::string original;
    if (!readWholeFile(path, original, error))
        return false;
    for (int number = 0; number < 1000; ++number) {
        keptAs = path + ".bak";
        if (number > 0) {
            keptAs += '.';
            keptAs += std::to_string(number);
        }
        std::error_code status;
        if (fs::symlink_status(pathOf(keptAs), status).type() == fs::file_type::not_found)
            return writeNewFile(keptAs, original, error);
        std::string kept;
        std::string unreadable;
        if (readWholeFile(keptAs, kept, unreadable) && kept == original)
            return true;   // this very copy is kept already
    }
    error = "too many copies kept already";
    return false;
}

namespace {
void (*keepAtExit)() = nullptr;
}

void keepOnAbruptExit(void (*keep)())
{
    if (!keepAtExit)
        std::atexit([] { keepAtExit(); });
    keepAtExit = keep;
}
