// The generated skin bitmaps, decoded once per test program, for tests that
// compare a painted picture against the sprite frames it should show.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <utility>

#include "res/bmp.h"

inline const DecodedBitmap& Skin(int id) {
    static std::map<int, DecodedBitmap> cache;
    auto it = cache.find(id);
    if (it == cache.end()) {
        DecodedBitmap b;
        EXPECT_TRUE(LoadSkinBitmap(id, b)) << id;
        it = cache.emplace(id, std::move(b)).first;
    }
    return it->second;
}
