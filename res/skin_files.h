// The program's built-in resources: the skin bitmaps (as Windows BMP files,
// by resource id) and the raw data blocks. The art is drawn at build time by
// the skin generator (tools/skin_gen) and linked into the program.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// The bytes of bitmap resource id (a whole BMP file); empty when there is none.
std::span<const std::uint8_t> FindSkinBitmapFile(int id);
// The bytes of RAWDATA resource id; empty when there is none.
std::span<const std::uint8_t> FindSkinRawData(int id);

// One entry of the generated resource table.
struct SkinFile {
    int kind;  // 0 bitmap, 1 raw data
    int id;
    const std::uint8_t* begin;
    const std::uint8_t* end;
};
extern const SkinFile g_skinFiles[];
extern const int g_skinFileCount;
