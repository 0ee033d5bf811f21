// Number formatting for the screens' texts.
#include "render/format.h"

#include <charconv>

std::string formatInt(int32_t value)
{
    char digits[16];
    auto result = std::to_chars(digits, digits + sizeof digits, value);
    return std::string(digits, result.ptr);
}
