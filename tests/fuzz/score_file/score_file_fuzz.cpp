// Fuzz target for reading the score file: any bytes must read without fault into clean
// names, whatever is read must write out and read back unchanged, and what the game
// writes always reads cleanly (so its own file is never kept as damaged).

#include "scores/score_table.h"
#include "../../scores/score_checks.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace {

void check(bool holds) {
    if (!holds) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ScoreEntry table[kScoreTableSize];
    std::memset(table, 0xA5, sizeof table);
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    readScoresFromText(input, table);
    for (const ScoreEntry& e : table) check(nameIsClean(e));

    const std::string text = writeScoresToText(table);
    ScoreEntry again[kScoreTableSize];
    check(readScoresFromText(text, again));
    for (int place = 0; place < kScoreTableSize; ++place) {
        check(table[place].rank == again[place].rank && table[place].score == again[place].score &&
              std::memcmp(table[place].name, again[place].name, sizeof table[place].name) == 0);
    }
    check(writeScoresToText(again) == text);
    return 0;
}
