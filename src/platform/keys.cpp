// DirectInput codes of a standard 105-key keyboard and their names. Letters
// follow the physical key positions, as DirectInput's codes do.
#include "platform/keys.h"

#include <cstring>

const KeyInfo kKeys[] = {
    {0x01, "ESCAPE"}, {0x02, "1"}, {0x03, "2"}, {0x04, "3"}, {0x05, "4"}, {0x06, "5"}, {0x07, "6"},
    {0x08, "7"}, {0x09, "8"}, {0x0A, "9"}, {0x0B, "0"}, {0x0C, "MINUS"}, {0x0D, "EQUALS"}, {0x0E, "BACK"},
    {0x0F, "TAB"}, {0x10, "Q"}, {0x11, "W"}, {0x12, "E"}, {0x13, "R"}, {0x14, "T"}, {0x15, "Y"}, {0x16, "U"},
    {0x17, "I"}, {0x18, "O"}, {0x19, "P"}, {0x1A, "LBRACKET"}, {0x1B, "RBRACKET"}, {0x1C, "RETURN"},
    {0x1D, "LCONTROL"}, {0x1E, "A"}, {0x1F, "S"}, {0x20, "D"}, {0x21, "F"}, {0x22, "G"}, {0x23, "H"},
    {0x24, "J"}, {0x25, "K"}, {0x26, "L"}, {0x27, "SEMICOLON"}, {0x28, "APOSTROPHE"}, {0x29, "GRAVE"},
    {0x2A, "LSHIFT"}, {0x2B, "BACKSLASH"}, {0x2C, "Z"}, {0x2D, "X"}, {0x2E, "C"}, {0x2F, "V"}, {0x30, "B"},
    {0x31, "N"}, {0x32, "M"}, {0x33, "COMMA"}, {0x34, "PERIOD"}, {0x35, "SLASH"}, {0x36, "RSHIFT"},
    {0x37, "MULTIPLY"}, {0x38, "LMENU"}, {0x39, "SPACE"}, {0x3A, "CAPITAL"}, {0x3B, "F1"}, {0x3C, "F2"},
    {0x3D, "F3"}, {0x3E, "F4"}, {0x3F, "F5"}, {0x40, "F6"}, {0x41, "F7"}, {0x42, "F8"}, {0x43, "F9"},
    {0x44, "F10"}, {0x45, "NUMLOCK"}, {0x46, "SCROLL"}, {0x47, "NUMPAD7"}, {0x48, "NUMPAD8"},
    {0x49, "NUMPAD9"}, {0x4A, "SUBTRACT"}, {0x4B, "NUMPAD4"}, {0x4C, "NUMPAD5"}, {0x4D, "NUMPAD6"},
    {0x4E, "ADD"}, {0x4F, "NUMPAD1"}, {0x50, "NUMPAD2"}, {0x51, "NUMPAD3"}, {0x52, "NUMPAD0"},
    {0x53, "DECIMAL"}, {0x56, "OEM_102"}, {0x57, "F11"}, {0x58, "F12"}, {0x9C, "NUMPADENTER"},
    {0x9D, "RCONTROL"}, {0xB5, "DIVIDE"}, {0xB7, "SYSRQ"}, {0xB8, "RMENU"}, {0xC5, "PAUSE"}, {0xC7, "HOME"},
    {0xC8, "UP"}, {0xC9, "PRIOR"}, {0xCB, "LEFT"}, {0xCD, "RIGHT"}, {0xCF, "END"}, {0xD0, "DOWN"},
    {0xD1, "NEXT"}, {0xD2, "INSERT"}, {0xD3, "DELETE"}, {0xDB, "LWIN"}, {0xDC, "RWIN"}, {0xDD, "APPS"},
};

const int kKeyCount = sizeof kKeys / sizeof kKeys[0];

int keyCodeForName(const char* name, int length)
{
    for (int i = 0; i < kKeyCount; ++i)
        if (static_cast<int>(std::strlen(kKeys[i].name)) == length && std::memcmp(kKeys[i].name, name, length) == 0)
            return kKeys[i].code;
    return -1;
}
