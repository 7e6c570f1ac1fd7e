// Writers for the picture files: Windows BMP (24-bit, and 4- or 8-bit with a
// palette, plain or run-length encoded) and PNG for people to look at.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/skin_gen/image.h"
#include "tools/skin_gen/quantize.h"

namespace skin {

enum class BmpCompression { kNone, kRle };

std::vector<std::uint8_t> EncodeBmp24(const Image& img);
// bitsPerPixel 4 or 8; the palette must fit (16 or 256 entries).
std::vector<std::uint8_t> EncodeBmpIndexed(const IndexedImage& img, int bitsPerPixel,
                                                                                      BmpCompression compression = BmpCompression::kNone);

std::vector<std::uint8_t> EncodePng(const Image& img);
bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace skin
