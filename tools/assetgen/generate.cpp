#include "assetgen.h"

#include "art.h"
#include "contact.h"
#include "sound.h"

#include <sys/stat.h>

#include <cerrno>
#include <algorithm>
#include <cstring>
#include <functional>
#include <thread>

namespace assetgen {

namespace {

enum class Format { Png, Bmp, Tga };

struct ImageJob {
    const char* name;
    int width, height;
    Format format;
    uint32_t key;
    std::function<void(Canvas&)> draw;
};

const std::vector<ImageJob>& imageJobs()
{
    static const std::vector<ImageJob> jobs = {
        {"spaceship.png", 635, 304, Format::Png, kKeyBlack, drawSpaceship},
        {"bullets.png", 256, 256, Format::Png, kKeyWhite, drawBullets},
        {"asteroid.tga", 480, 480, Format::Tga, kKeyBlack, drawAsteroids},
        {"bosstest.png", 219, 144, Format::Png, kKeyBlack, drawBoss},
        {"gamelogo.bmp", 900, 300, Format::Bmp, kKeyBlack, drawLogo},
        {"gameover.bmp", 336, 95, Format::Bmp, kKeyBlack, drawGameOver},
        {"skill1.bmp", 64, 64, Format::Bmp, kKeyWhite, [](Canvas& c) { drawSkillBadge(c, false); }},
        {"skill2.bmp", 64, 64, Format::Bmp, kKeyWhite, [](Canvas& c) { drawSkillBadge(c, true); }},
        {"1up.bmp", 120, 120, Format::Bmp, kKeyBlack, drawOneUp},
        {"levelup.bmp", 120, 120, Format::Bmp, kKeyBlack, drawLevelUp},
        {"bosshealth.bmp", 32, 32, Format::Bmp, kKeyBlack, drawBossHealth},
        {"ammogui.bmp", 32, 32, Format::Bmp, kKeyBlack, [](Canvas& c) { drawAmmo(c, false); }},
        {"ammogui2.bmp", 32, 32, Format::Bmp, kKeyBlack, [](Canvas& c) { drawAmmo(c, true); }},
    };
    return jobs;
}

struct SoundJob {
    const char* name;
    Sound (*make)();
    bool slow = false;
};

const std::vector<SoundJob>& soundJobs()
{
    static const std::vector<SoundJob> jobs = {
        {"sound/_shoot.wav", makeShoot},       {"sound/_score.wav", makeScore},
        {"sound/_hit.wav", makeHit},           {"sound/_gameover.wav", makeGameOverTune, true},
        {"sound/_countdown.wav", makeCountdown}, {"sound/_1up.wav", makeOneUp},
        {"sound/_levelup.wav", makeLevelUp},   {"sound/_bossshoot.wav", makeBossShoot},
        {"sound/_menubgnd.wav", makeMenuTune, true},
    };
    return jobs;
}

bool makeFolder(const std::string& path, std::string& error)
{
    if (mkdir(path.c_str(), 0755) == 0 || errno == EEXIST) {
        struct stat st{};
        if (stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
            return true;
        error = path + " exists and is not a folder";
        return false;
    }
    error = "cannot create folder " + path + ": " + std::strerror(errno);
    return false;
}

bool makeFolders(const std::string& path, std::string& error)
{
    // Creates every missing parent, like mkdir -p.
    for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        struct stat st{};
        if (stat(part.c_str(), &st) != 0 && !makeFolder(part, error))
            return false;
    }
    return makeFolder(path, error);
}

bool fileExists(const std::string& path)
{
    struct stat st{};
    return stat(path.c_str(), &st) == 0;
}

struct Rendered {
    std::vector<uint8_t> bytes;
    ContactItem item;
};

Rendered renderImage(const ImageJob& job)
{
    Canvas canvas(job.width, job.height);
    job.draw(canvas);
    Rendered out;
    out.item.name = job.name;
    out.item.key = job.key;
    switch (job.format) {
    case Format::Png:
        out.item.picture = keyedWithAlpha(canvas, job.key);
        keyPremultiplied(canvas, job.key);
        out.bytes = encodePng(canvas);
        break;
    case Format::Tga:
        out.item.picture = keyedWithAlpha(canvas, job.key);
        out.bytes = encodeTga32(out.item.picture);
        break;
    case Format::Bmp:
        out.item.picture = flattenedForBmp(canvas, job.key);
        out.bytes = encodeBmp24(out.item.picture);
        break;
    }
    return out;
}

std::vector<uint8_t> starMapBmp(ContactItem& item)
{
    const std::vector<uint32_t> atlas = starMapAtlas(starMapPicture());
    item.name = "spacemap.bmp";
    item.key = kKeyBlack;
    item.picture = Picture{kStarMapWidth, kStarMapHeight + kStarTile, atlas};
    return encodeBmp24(item.picture);
}

} // namespace

const std::vector<std::string>& generatedFiles()
{
    static const std::vector<std::string> names = [] {
        std::vector<std::string> n;
        for (const auto& job : imageJobs())
            n.push_back(job.name);
        n.push_back("spacemap.bmp");
        for (const auto& job : soundJobs())
            n.push_back(job.name);
        return n;
    }();
    return names;
}

std::string defaultScores()
{
    // Ten places from a few thousand down to a score a first game can beat.
    static const struct { const char* name; int score; } places[10] = {
        {"ACE", 5000}, {"VEGA", 4200}, {"NOVA", 3500}, {"ORION", 2800}, {"LYRA", 2200},
        {"RIGEL", 1600}, {"ALTAIR", 1100}, {"DENEB", 700}, {"MIRA", 400}, {"SOL", 150},
    };
    std::string text;
    for (int i = 0; i < 10; ++i)
        text += std::to_string(i + 1) + " " + places[i].name + " " + std::to_string(places[i].score) + "\r\n";
    return text;
}

bool generate(const Options& options, std::string& error)
{
    if (options.outDir.empty()) {
        error = "no output folder given";
        return false;
    }
    std::string dir = options.outDir;
    while (dir.size() > 1 && dir.back() == '/')
        dir.pop_back();
    if (!makeFolders(dir, error))
        return false;

    auto wanted = [&options](const std::string& name) {
        return options.only.empty() || std::find(options.only.begin(), options.only.end(), name) != options.only.end();
    };

    const std::string scores = dir + "/scores.txt";
    if (!fileExists(scores)) {
        const std::string text = defaultScores();
        if (!writeFileAtomic(scores, std::vector<uint8_t>(text.begin(), text.end()), error))
            return false;
    }
    if (options.scoresOnly)
        return true;
    if (!makeFolder(dir + "/sound", error))
        return false;

    // The two tunes take the longest: each gets a thread of its own while the
    // pictures and the short effects are made here.
    std::vector<std::vector<uint8_t>> wavs(soundJobs().size());
    auto makeWav = [&wavs](size_t i) { wavs[i] = encodeWav(soundJobs()[i].make()); };
    std::vector<size_t> here;
    std::vector<std::thread> workers;
    for (size_t i = 0; i < soundJobs().size(); ++i) {
        if (!wanted(soundJobs()[i].name))
            continue;
        if (soundJobs()[i].slow)
            workers.emplace_back(makeWav, i);
        else
            here.push_back(i);
    }

    std::vector<ContactItem> items;
    bool ok = true;
    for (const auto& job : imageJobs()) {
        if (!wanted(job.name))
            continue;
        Rendered r = renderImage(job);
        if (r.bytes.empty()) {
            error = std::string("cannot encode ") + job.name;
            ok = false;
            break;
        }
        if (!writeFileAtomic(dir + "/" + job.name, r.bytes, error)) {
            ok = false;
            break;
        }
        items.push_back(std::move(r.item));
    }
    if (ok && wanted("spacemap.bmp")) {
        ContactItem map;
        ok = writeFileAtomic(dir + "/spacemap.bmp", starMapBmp(map), error);
        items.push_back(std::move(map));
    }
    for (size_t i : here)
        makeWav(i);
    for (auto& w : workers)
        w.join();
    if (!ok)
        return false;
    for (size_t i = 0; i < soundJobs().size(); ++i)
        if (!wavs[i].empty() && !writeFileAtomic(dir + "/" + soundJobs()[i].name, wavs[i], error))
            return false;

    if (!options.contactSheet.empty()) {
        std::vector<uint8_t> png = contactSheet(items);
        if (png.empty()) {
            error = "cannot encode the contact sheet";
            return false;
        }
        if (!writeFileAtomic(options.contactSheet, png, error))
            return false;
    }
    return true;
}

bool writeIcons(const std::string& iconsDir, const std::string& name, std::string& error)
{
    if (iconsDir.empty() || name.empty()) {
        error = "no icon folder or icon name given";
        return false;
    }
    // The sizes desktops look for in the hicolor theme.
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const std::string folder = iconsDir + "/hicolor/" + std::to_string(size) + "x" + std::to_string(size) + "/apps";
        if (!makeFolders(folder, error))
            return false;
        // Each size is drawn from the shapes themselves rather than shrunk
        // from the biggest picture, so small icons are not blurred twice.
        Canvas canvas(size, size);
        drawShipIcon(canvas);
        const std::vector<uint8_t> png = encodePng(canvas);
        if (png.empty()) {
            error = "cannot encode the " + std::to_string(size) + " px icon";
            return false;
        }
        if (!writeFileAtomic(folder + "/" + name + ".png", png, error))
            return false;
    }
    return true;
}

} // namespace assetgen
