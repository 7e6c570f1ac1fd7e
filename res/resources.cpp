#include "res/resources.h"

namespace {

std::span<const std::uint8_t> Find(int kind, int id) {
    for (int i = 0; i < g_resourceBlobCount; ++i) {
        const ResourceBlob& b = g_resourceBlobs[i];
        if (b.kind == kind && b.id == id) return {b.begin, std::size_t(b.end - b.begin)};
    }
    return {};
}

}  // namespace

std::span<const std::uint8_t> FindBitmapResource(int id) { return Find(0, id); }
std::span<const std::uint8_t> FindRawDataResource(int id) { return Find(1, id); }
