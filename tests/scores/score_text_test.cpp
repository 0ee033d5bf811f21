// Tests of reading and writing the score file's text, without touching files.

#include "scores/score_table.h"
#include "scores/score_checks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>

namespace {

using namespace std::string_literals;

struct Table {
    ScoreEntry places[kScoreTableSize];
};

Table readText(std::string_view text) {
    Table t;
    std::memset(t.places, 0x5A, sizeof t.places);  // reading must reset every place
    readScoresFromText(text, t.places);
    return t;
}

// Field by field, including the zero bytes after the name (not the padding).
bool samePlace(const ScoreEntry& a, const ScoreEntry& b) {
    return a.rank == b.rank && a.score == b.score && std::memcmp(a.name, b.name, sizeof a.name) == 0;
}

std::string describe(const ScoreEntry& e) {
    return std::to_string(e.rank) + " [" + std::string(e.name, strnlen(e.name, sizeof e.name)) +
           "] " + std::to_string(e.score);
}

// Compares a place, including the zero bytes after the name.
void expectPlace(const ScoreEntry& got, const ScoreEntry& want, int place) {
    EXPECT_TRUE(samePlace(got, want))
        << "place " << place + 1 << ": got " << describe(got) << ", want " << describe(want);
}

void expectPlaces(const Table& t, std::initializer_list<ScoreEntry> want) {
    int place = 0;
    for (const ScoreEntry& w : want) expectPlace(t.places[place], w, place), ++place;
    for (; place < kScoreTableSize; ++place) expectPlace(t.places[place], ScoreEntry{}, place);
}

const char* const kGameFile =
    "1 ACE 500\r\n2 BOB 400\r\n3 CAT 300\r\n4 DOG 200\r\n5 EEL 100\r\n"
    "6 FOX 90\r\n7 GNU 80\r\n8 HEN 70\r\n9 IBX 60\r\n10 JAY 50\r\n";

TEST(ReadScoresFromText, GameWrittenFileReadsAllTenPlaces) {
    Table t = readText(kGameFile);
    expectPlaces(t, {entry(1, "ACE", 500), entry(2, "BOB", 400), entry(3, "CAT", 300),
                     entry(4, "DOG", 200), entry(5, "EEL", 100), entry(6, "FOX", 90),
                     entry(7, "GNU", 80), entry(8, "HEN", 70), entry(9, "IBX", 60),
                     entry(10, "JAY", 50)});
}

TEST(ReadScoresFromText, EmptyNamesReadInStep) {
    // As the game writes unfilled places and names confirmed empty.
    Table t = readText("1 ACE 500\r\n2  0\r\n3 BOB 300\r\n4  -7\r\n5  0\r\n");
    expectPlaces(t, {entry(1, "ACE", 500), entry(2, "", 0), entry(3, "BOB", 300),
                     entry(4, "", -7), entry(5, "", 0)});

    // Every place empty, the way an all-zero table is written.
    std::string zeros;
    for (int i = 0; i < kScoreTableSize; ++i) zeros += "0  0\r\n";
    expectPlaces(readText(zeros), {});

    // Other white space between the two numbers, LF or CR line ends, no final line end.
    expectPlaces(readText("1 \t 5\n2\x0b\x0c 6\r3  7"),
                 {entry(1, "", 5), entry(2, "", 6), entry(3, "", 7)});
    // Control bytes and high bytes in place of the name are separators too.
    expectPlaces(readText("1 \x01\xff 5\r\n2 A 6"), {entry(1, "", 5), entry(2, "A", 6)});
}

TEST(ReadScoresFromText, ShortAndEmptyInputsLeaveTheRestEmpty) {
    expectPlaces(readText(""), {});
    expectPlaces(readText(" \r\n\t\r\n"), {});
    expectPlaces(readText("1 ACE 500\r\n"), {entry(1, "ACE", 500)});
    expectPlaces(readText("1 ACE 500\r\n2 BOB"), {entry(1, "ACE", 500), entry(2, "BOB", 0)});
    expectPlaces(readText("1 ACE 500\r\n2"), {entry(1, "ACE", 500), entry(2, "", 0)});
    expectPlaces(readText("7"), {entry(7, "", 0)});
}

TEST(ReadScoresFromText, MalformedFieldStopsReading) {
    // A score that is not a number: this place keeps what it read, later places stay empty.
    expectPlaces(readText("1 ACE abc\r\n2 BOB 400\r\n"), {entry(1, "ACE", 0)});
    // A rank that is not a number.
    expectPlaces(readText("1 ACE 500\r\nX BOB 400\r\n3 CAT 300\r\n"), {entry(1, "ACE", 500)});
    expectPlaces(readText("- ACE 5"), {});
    expectPlaces(readText("1 ACE +\r\n"), {entry(1, "ACE", 0)});
    expectPlaces(readText("1 ACE --5\r\n"), {entry(1, "ACE", 0)});
    // A number stops at the first other character, which starts the next field.
    expectPlaces(readText("1ACE 500\r\n2 BOB 400x\r\n3 CAT 300\r\n"),
                 {entry(1, "ACE", 500), entry(2, "BOB", 400)});
    expectPlaces(readText("0x10 9"), {entry(0, "x10", 9)});
}

TEST(ReadScoresFromText, OverLongNamesAndNumbers) {
    // The rest of a long name is skipped, not taken as the score.
    expectPlaces(readText("1 ABCDEFGHIJ 500\r\n2 1234567 400\r\n"),
                 {entry(1, "ABCDEF", 500), entry(2, "123456", 400)});

    // Numbers beyond 32 bits are clamped and reading goes on.
    expectPlaces(readText("99999999999999999999 A 2147483648\r\n"
                          "-99999999999999999999 B -2147483649\r\n"
                          "2147483647 C -2147483648\r\n"
                          "4  00000000000000000000000000000000000000123\r\n"
                          "5  -99999999999999999999999999999999999999999\r\n"
                          "6 D 7\r\n"),
                 {entry(INT32_MAX, "A", INT32_MAX), entry(INT32_MIN, "B", INT32_MIN),
                  entry(INT32_MAX, "C", INT32_MIN), entry(4, "", 123), entry(5, "", INT32_MIN),
                  entry(6, "D", 7)});

    // A 100 MB line: a name of that length, then its score and the following places.
    std::string huge = "1 ";
    huge.append(100u * 1024 * 1024, 'Q');
    huge += " 500\r\n2 BOB 400\r\n3  0\r\n";
    expectPlaces(readText(huge), {entry(1, "QQQQQQ", 500), entry(2, "BOB", 400), entry(3, "", 0)});

    // 100 MB of blanks between the fields.
    std::string blanks = "1 ACE";
    blanks.append(100u * 1024 * 1024, ' ');
    blanks += "500\r\n2 BOB 400";
    expectPlaces(readText(blanks), {entry(1, "ACE", 500), entry(2, "BOB", 400)});
}

TEST(ReadScoresFromText, ControlAndNonAsciiBytesNeverReachAName) {
    // They separate fields like white space.
    expectPlaces(readText("1\0ACE\0" "500\r\n2 BOB 400"s), {entry(1, "ACE", 500), entry(2, "BOB", 400)});
    expectPlaces(readText("1 \x01" "ACE\x7f 500\r\n"), {entry(1, "ACE", 500)});
    expectPlaces(readText("1 JOS\xc3\x89 500\r\n2 \xef\xbb\xbfZED 1"),
                 {entry(1, "JOS", 500), entry(2, "ZED", 1)});
    // A byte-order mark before the first place.
    expectPlaces(readText("\xef\xbb\xbf" "1 ACE 500\r\n2  0\r\n"), {entry(1, "ACE", 500), entry(2, "", 0)});
    // Inside a word a control byte splits it, so the rest is taken as the next field.
    expectPlaces(readText("1 AC\0E 500\r\n"s), {entry(1, "AC", 0)});

    // Random junk: whatever it reads, every name is visible ASCII, terminated, zero-filled.
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> byte(0, 255), length(0, 400);
    const std::string alphabet = "0123456789+- \r\n\tAZ\0\x80"s;
    std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
    for (int round = 0; round < 20000; ++round) {
        std::string junk(static_cast<size_t>(length(random)), '\0');
        bool biased = round % 2 == 0;  // half of the rounds mostly digits and separators
        for (char& c : junk) c = biased ? alphabet[pick(random)] : static_cast<char>(byte(random));
        Table t = readText(junk);
        for (int place = 0; place < kScoreTableSize; ++place) {
            ASSERT_TRUE(nameIsClean(t.places[place])) << "round " << round << " place " << place;
        }
    }
}

TEST(ReadScoresFromText, PlainWhiteSpaceLayoutsReadAsAStream) {
    // Tabs, runs of spaces, blank lines, leading blanks, LF-only and CR-only line ends.
    expectPlaces(readText("\n\n  1\tACE\t\t500  \n\n\t2   BOB 400\r3 CAT 300\r\n"),
                 {entry(1, "ACE", 500), entry(2, "BOB", 400), entry(3, "CAT", 300)});
    // Fields spread over lines or sharing a line.
    expectPlaces(readText("1\nACE\n500\n2\tBOB\n400 3 CAT\n300"),
                 {entry(1, "ACE", 500), entry(2, "BOB", 400), entry(3, "CAT", 300)});
    expectPlaces(readText("1 ACE 500 2 BOB 400"), {entry(1, "ACE", 500), entry(2, "BOB", 400)});
    // A rank alone on its line: the next line's first word is the name, even a number.
    expectPlaces(readText("1\n007 500\n2 BOB\n400\n"), {entry(1, "007", 500), entry(2, "BOB", 400)});
    // A name that looks like a number, with its score on the same line.
    expectPlaces(readText("1 007 500\r\n2 -12 400\r\n"), {entry(1, "007", 500), entry(2, "-12", 400)});
    // Signs and leading zeros.
    expectPlaces(readText("+1 ACE +0500\r\n02 BOB -0\r\n"), {entry(1, "ACE", 500), entry(2, "BOB", 0)});
    // A non-number word alone after the rank is the name; the score may follow on a later line.
    expectPlaces(readText("1 ACE\r\n500\r\n2  9\r\n"), {entry(1, "ACE", 500), entry(2, "", 9)});
    // The rank must be followed by a separator for the two-number rule: "1-5" is rank 1, name -5.
    expectPlaces(readText("1-5\r\n6\r\n"), {entry(1, "-5", 6)});
}

TEST(ReadScoresFromText, OnlyTheFirstTenPlacesAreRead) {
    std::string text = kGameFile;
    text += "11 KEA 40\r\n12 LYNX 30\r\n";
    Table t = readText(text);
    expectPlace(t.places[9], entry(10, "JAY", 50), 9);
    // Places are taken in file order, not sorted.
    t = readText("1 LOW 5\r\n2 HIGH 900\r\n3  0\r\n4 MID 50\r\n");
    expectPlaces(t, {entry(1, "LOW", 5), entry(2, "HIGH", 900), entry(3, "", 0), entry(4, "MID", 50)});
}

TEST(WriteScoresToText, ExactBytes) {
    Table t{};
    t.places[0] = entry(1, "ACE", 500);
    t.places[1] = entry(2, "", 0);
    t.places[2] = entry(3, "ZZZZZZ", -40);
    t.places[3] = entry(-4, "9", INT32_MIN);
    t.places[4] = entry(INT32_MAX, "B", INT32_MAX);
    EXPECT_EQ(writeScoresToText(t.places),
              "1 ACE 500\r\n2  0\r\n3 ZZZZZZ -40\r\n-4 9 -2147483648\r\n"
              "2147483647 B 2147483647\r\n0  0\r\n0  0\r\n0  0\r\n0  0\r\n0  0\r\n");

    // Names are written only up to their first character that would not read back, and
    // never past six characters even without a terminating zero.
    Table odd{};
    std::memcpy(odd.places[0].name, "ABCDEFG", 7);
    std::memcpy(odd.places[1].name, "AB CD", 6);
    std::memcpy(odd.places[2].name, "\tX", 3);
    std::memcpy(odd.places[3].name, "A\xe9", 3);
    const std::string start = "0 ABCDEF 0\r\n0 AB 0\r\n0  0\r\n0 A 0\r\n0  0\r\n";
    EXPECT_EQ(writeScoresToText(odd.places).substr(0, start.size()), start);
}

TEST(WriteScoresToText, RoundTripIsExact) {
    Table t{};
    t.places[0] = entry(1, "ACE", 500);
    t.places[1] = entry(2, "", 0);
    t.places[2] = entry(3, "007", -1);
    t.places[3] = entry(4, "", -2147483647 - 1);
    t.places[4] = entry(5, "-12", 12);
    t.places[5] = entry(-6, "+", 6);
    t.places[6] = entry(0, "", INT32_MAX);
    t.places[7] = entry(8, "~!@#$%", 8);
    t.places[8] = entry(9, "", -9);
    t.places[9] = entry(11, "Z", 0);
    std::string text = writeScoresToText(t.places);
    Table back = readText(text);
    for (int place = 0; place < kScoreTableSize; ++place) expectPlace(back.places[place], t.places[place], place);
    EXPECT_EQ(writeScoresToText(back.places), text);

    // Random tables of visible names from 0 to 6 characters and any numbers.
    std::mt19937 random(777);
    std::uniform_int_distribution<int> visible(0x21, 0x7E), nameLength(0, kMaxNameLength);
    std::uniform_int_distribution<int32_t> number(INT32_MIN, INT32_MAX), small(-3, 3);
    for (int round = 0; round < 2000; ++round) {
        Table r{};
        for (ScoreEntry& e : r.places) {
            e.rank = round % 3 == 0 ? small(random) : number(random);
            e.score = round % 2 == 0 ? small(random) : number(random);
            int n = round % 4 == 0 ? 0 : nameLength(random);
            for (int i = 0; i < n; ++i) e.name[i] = static_cast<char>(visible(random));
        }
        Table again = readText(writeScoresToText(r.places));
        for (int place = 0; place < kScoreTableSize; ++place) {
            ASSERT_TRUE(samePlace(again.places[place], r.places[place]))
                << "round " << round << " place " << place << ": " << describe(r.places[place])
                << " read back as " << describe(again.places[place]);
        }
    }
}

}  // namespace
