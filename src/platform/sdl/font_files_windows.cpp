// Windows' fonts: the face's file in the system's Fonts folder, else the
// one shipped with the game in fonts/ (Liberation, made to the same metrics,
// for a Windows without them).
#include "platform/sdl/sdl_internal.h"

#include "platform/files.h"

#include <cstring>
#include <string>

#include <windows.h>
#include <shlobj.h>

namespace {

struct FaceFiles {
    const char* face;
    const wchar_t* system;   // in the Fonts folder
    const char* shipped;     // in the game's fonts/
};

constexpr FaceFiles kFaceFiles[] = {
    {"Arial", L"arial.ttf", "fonts/LiberationSans-Regular.ttf"},
    {"Courier New", L"cour.ttf", "fonts/LiberationMono-Regular.ttf"},
};

std::string utf8(const std::wstring& text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1)
        return {};
    std::string result(static_cast<size_t>(size - 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, result.data(), size, nullptr, nullptr);
    return result;
}

std::wstring systemFontsFolder()
{
    wchar_t* folder = nullptr;
    std::wstring path;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Fonts, 0, nullptr, &folder)))
        path = folder;
    CoTaskMemFree(folder);
    return path;
}

} // namespace

std::string fontFileFor(const char* face)
{
    for (const FaceFiles& files : kFaceFiles) {
        if (std::strcmp(files.face, face) != 0)
            continue;
        const std::wstring folder = systemFontsFolder();
        if (!folder.empty()) {
            const std::wstring system = folder + L"\\" + files.system;
            if (GetFileAttributesW(system.c_str()) != INVALID_FILE_ATTRIBUTES)
                return utf8(system);
        }
        return gameFilePath(files.shipped);
    }
    return {};
}

void forgetFontFiles() {}
