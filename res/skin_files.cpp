#include "res/skin_files.h"

namespace {

std::span<const std::uint8_t> Find(int kind, int id) {
    for (int i = 0; i < g_skinFileCount; ++i) {
        const SkinFile& b = g_skinFiles[i];
        if (b.kind == kind && b.id == id) return {b.begin, std::size_t(b.end - b.begin)};
    }
    return {};
}

}  // namespace

std::span<const std::uint8_t> FindSkinBitmapFile(int id) { return Find(0, id); }
std::span<const std::uint8_t> FindSkinRawData(int id) { return Find(1, id); }
