// A scratch game folder for the score file's tests: every test runs in a fresh folder
// holding an empty data/, with the table cleared; and small file helpers.
#pragma once
#include "scores/score_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

inline std::string readFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

inline void writeFile(const char* path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

inline bool exists(const char* path) {
    struct stat info;
    return lstat(path, &info) == 0;
}

inline bool load() {
    std::string error;
    return loadScores(error);
}

// The names in a folder, sorted: no temporary file may be left behind.
inline std::vector<std::string> namesIn(const char* folder) {
    std::vector<std::string> names;
    for (const auto& item : std::filesystem::directory_iterator(folder))
        names.push_back(item.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Every test runs in a fresh folder holding an empty data/, with the table cleared.
struct ScoreFileTest : testing::Test {
    std::string folder;
    std::string previousFolder;

    void SetUp() override {
        std::memset(scoreTable, 0, sizeof scoreTable);
        std::memset(&pendingEntry, 0, sizeof pendingEntry);
        char cwd[PATH_MAX];
        ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
        previousFolder = cwd;
        char scratch[] = "/tmp/score-table-test-XXXXXX";
        ASSERT_NE(mkdtemp(scratch), nullptr);
        folder = scratch;
        ASSERT_EQ(chdir(scratch), 0);
        ASSERT_EQ(mkdir("data", 0755), 0);
    }

    void TearDown() override {
        chmod("data", 0755);
        ASSERT_EQ(chdir(previousFolder.c_str()), 0);
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
};

