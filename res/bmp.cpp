#include "res/bmp.h"

#include "res/skin_files.h"

namespace {

std::uint32_t Le16(std::span<const std::uint8_t> b, std::size_t at) {
    return std::uint32_t(b[at]) | (std::uint32_t(b[at + 1]) << 8);
}
std::uint32_t Le32(std::span<const std::uint8_t> b, std::size_t at) {
    return Le16(b, at) | (Le16(b, at + 2) << 16);
}

// Decodes RLE8 (bpp 8) or RLE4 (bpp 4) data into rows stored bottom-up order
// as given by the file (row 0 = first row of the file).
bool DecodeRle(std::span<const std::uint8_t> data, int w, int h, int bpp, std::vector<std::uint8_t>& rows) {
    rows.assign(std::size_t(w) * std::size_t(h), 0);
    std::size_t p = 0;
    int x = 0, y = 0;
    auto put = [&](std::uint8_t v) {
        if (x < w && y < h) rows[std::size_t(y) * std::size_t(w) + std::size_t(x)] = v;
        ++x;
    };
    while (p + 1 < data.size()) {
        std::uint8_t a = data[p], b = data[p + 1];
        p += 2;
        if (a > 0) {
            for (int i = 0; i < a; ++i) put(bpp == 8 ? b : std::uint8_t(i % 2 == 0 ? b >> 4 : b & 15));
            continue;
        }
        if (b == 0) {
            x = 0;
            ++y;
        } else if (b == 1) {
            return true;
        } else if (b == 2) {
            if (p + 1 >= data.size()) return false;
            x += data[p];
            y += data[p + 1];
            p += 2;
        } else {
            std::size_t bytes = bpp == 8 ? b : (std::size_t(b) + 1) / 2;
            if (p + bytes > data.size()) return false;
            for (int i = 0; i < b; ++i) {
                std::uint8_t v = bpp == 8 ? data[p + std::size_t(i)]
                                          : std::uint8_t(i % 2 == 0 ? data[p + std::size_t(i / 2)] >> 4
                                                                    : data[p + std::size_t(i / 2)] & 15);
                put(v);
            }
            p += bytes + (bytes & 1);
        }
    }
    return true;
}

}  // namespace

bool DecodeBmp(std::span<const std::uint8_t> f, DecodedBitmap& out) {
    if (f.size() < 54 || f[0] != 'B' || f[1] != 'M') return false;
    std::uint32_t offset = Le32(f, 10);
    std::uint32_t headerSize = Le32(f, 14);
    if (headerSize < 40 || 14 + headerSize > f.size()) return false;
    int w = int(Le32(f, 18));
    int h = int(std::int32_t(Le32(f, 22)));
    int bpp = int(Le16(f, 28));
    std::uint32_t compression = Le32(f, 30);
    std::uint32_t colours = Le32(f, 46);
    bool topDown = h < 0;
    if (topDown) h = -h;
    if (w <= 0 || h <= 0 || w > 16384 || h > 16384) return false;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24) return false;
    out = DecodedBitmap{};
    out.width = w;
    out.height = h;
    out.bitsPerPixel = bpp;
    if (bpp <= 8) {
        if (colours == 0) colours = 1u << bpp;
        std::size_t pal = 14 + headerSize;
        if (colours > 256 || pal + 4 * colours > f.size()) return false;
        for (std::uint32_t i = 0; i < colours; ++i) {
            std::size_t at = pal + 4 * i;
            out.palette.push_back((std::uint32_t(f[at + 2]) << 16) | (std::uint32_t(f[at + 1]) << 8) | f[at]);
        }
    }
    if (offset > f.size()) return false;
    std::span<const std::uint8_t> data = f.subspan(offset);
    std::size_t n = std::size_t(w) * std::size_t(h);
    std::vector<std::uint8_t> fileRows;  // indices in file row order
    out.pixels.assign(n, 0);
    if (compression == 1 || compression == 2) {
        if ((compression == 1 && bpp != 8) || (compression == 2 && bpp != 4) || topDown) return false;
        if (!DecodeRle(data, w, h, bpp, fileRows)) return false;
    } else if (compression == 0) {
        std::size_t stride = ((std::size_t(w) * std::size_t(bpp) + 31) / 32) * 4;
        if (data.size() < stride * std::size_t(h)) return false;
        if (bpp == 24) {
            for (int r = 0; r < h; ++r) {
                int y = topDown ? r : h - 1 - r;
                for (int x = 0; x < w; ++x) {
                    std::size_t at = std::size_t(r) * stride + std::size_t(x) * 3;
                    out.pixels[std::size_t(y) * std::size_t(w) + std::size_t(x)] =
                        (std::uint32_t(data[at + 2]) << 16) | (std::uint32_t(data[at + 1]) << 8) | data[at];
                }
            }
            return true;
        }
        fileRows.assign(n, 0);
        for (int r = 0; r < h; ++r)
            for (int x = 0; x < w; ++x) {
                std::size_t bit = std::size_t(x) * std::size_t(bpp);
                std::uint8_t byte = data[std::size_t(r) * stride + bit / 8];
                std::uint8_t v = bpp == 8 ? byte : std::uint8_t((byte >> (8 - bpp - bit % 8)) & ((1 << bpp) - 1));
                fileRows[std::size_t(r) * std::size_t(w) + std::size_t(x)] = v;
            }
    } else {
        return false;
    }
    out.indices.assign(n, 0);
    for (int r = 0; r < h; ++r) {
        int y = topDown ? r : h - 1 - r;
        for (int x = 0; x < w; ++x) {
            std::uint8_t v = fileRows[std::size_t(r) * std::size_t(w) + std::size_t(x)];
            std::size_t at = std::size_t(y) * std::size_t(w) + std::size_t(x);
            out.indices[at] = v;
            out.pixels[at] = v < out.palette.size() ? out.palette[v] : 0;
        }
    }
    return true;
}

bool LoadSkinBitmap(int id, DecodedBitmap& out) {
    std::span<const std::uint8_t> bytes = FindSkinBitmapFile(id);
    return !bytes.empty() && DecodeBmp(bytes, out);
}
