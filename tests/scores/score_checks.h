// Small helpers the score tests and the score-file fuzz target share.
#pragma once
#include "scores/score_table.h"

#include <algorithm>
#include <cstring>

// A place with the given fields (a name longer than 6 is cut, as the table holds it).
inline ScoreEntry entry(int32_t rank, const char* name, int32_t score)
{
    ScoreEntry e{};
    e.rank = rank;
    std::memcpy(e.name, name, std::min(std::strlen(name), sizeof e.name - 1));
    e.score = score;
    return e;
}

// 0 to 6 visible ASCII characters, then nothing but zero bytes.
inline bool nameIsClean(const ScoreEntry& e)
{
    size_t length = strnlen(e.name, sizeof e.name);
    if (length > static_cast<size_t>(kMaxNameLength))
        return false;
    for (size_t i = 0; i < sizeof e.name; ++i) {
        unsigned char c = static_cast<unsigned char>(e.name[i]);
        if (i < length ? (c < 0x21 || c > 0x7E) : c != 0)
            return false;
    }
    return true;
}
