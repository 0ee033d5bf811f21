// A review page: every picture on a grey checkerboard (keyed the way the game
// keys it), labelled, plus the game's draw scales on the star map.
#pragma once
#include "canvas.h"

#include <string>
#include <vector>

namespace assetgen {

struct ContactItem {
    std::string name;
    uint32_t key = kKeyBlack;
    Picture picture;  // straight alpha, as written
};

std::vector<uint8_t> contactSheet(const std::vector<ContactItem>& items);

} // namespace assetgen
