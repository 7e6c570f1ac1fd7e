#include "tools/skin_gen/image_io.h"

#include <zlib.h>

#include <cstdio>

namespace skin {

namespace {

void Put16(std::vector<std::uint8_t>& b, std::uint32_t v) {
    b.push_back(std::uint8_t(v));
    b.push_back(std::uint8_t(v >> 8));
}
void Put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}
void Put32BE(std::vector<std::uint8_t>& b, std::uint32_t v) {
    b.push_back(std::uint8_t(v >> 24));
    b.push_back(std::uint8_t(v >> 16));
    b.push_back(std::uint8_t(v >> 8));
    b.push_back(std::uint8_t(v));
}

// File header and BITMAPINFOHEADER; bottom-up rows.
std::vector<std::uint8_t> Header(int w, int h, int bpp, std::uint32_t compression, std::uint32_t paletteCount,
                                                                  std::uint32_t imageSize) {
    std::vector<std::uint8_t> b;
    std::uint32_t offset = 14 + 40 + 4 * paletteCount;
    b.push_back('B');
    b.push_back('M');
    Put32(b, offset + imageSize);
    Put32(b, 0);
    Put32(b, offset);
    Put32(b, 40);
    Put32(b, std::uint32_t(w));
    Put32(b, std::uint32_t(h));
    Put16(b, 1);
    Put16(b, std::uint32_t(bpp));
    Put32(b, compression);
    Put32(b, imageSize);
    Put32(b, 2835);
    Put32(b, 2835);
    Put32(b, paletteCount);
    Put32(b, paletteCount);
    return b;
}

// One row of indices, run-length encoded (RLE8 or RLE4), without the end-of-line mark.
void EncodeRleRow(std::vector<std::uint8_t>& out, const std::uint8_t* row, int w, int bpp) {
    int i = 0;
    while (i < w) {
        int run = 1;
        while (i + run < w && run < 255 && row[i + run] == row[i]) ++run;
        if (run >= 2 || w - i < 3) {
            out.push_back(std::uint8_t(run));
            out.push_back(bpp == 8 ? row[i] : std::uint8_t((row[i] << 4) | row[i]));
            i += run;
            continue;
        }
        // A literal stretch: until two equal neighbours start a run.
        int n = 1;
        while (i + n < w && n < 255) {
            if (i + n + 1 < w && row[i + n] == row[i + n + 1]) break;
            ++n;
        }
        if (n < 3) {
            for (int k = 0; k < n; ++k) {
                out.push_back(1);
                out.push_back(bpp == 8 ? row[i + k] : std::uint8_t((row[i + k] << 4) | row[i + k]));
            }
            i += n;
            continue;
        }
        out.push_back(0);
        out.push_back(std::uint8_t(n));
        std::size_t start = out.size();
        if (bpp == 8) {
            for (int k = 0; k < n; ++k) out.push_back(row[i + k]);
        } else {
            for (int k = 0; k < n; k += 2)
                out.push_back(std::uint8_t((row[i + k] << 4) | (k + 1 < n ? row[i + k + 1] : 0)));
        }
        if ((out.size() - start) & 1) out.push_back(0);
        i += n;
    }
}

std::uint32_t Crc(const std::uint8_t* p, std::size_t n, std::uint32_t crc = 0) {
    return std::uint32_t(crc32(crc, p, uInt(n)));
}

void PngChunk(std::vector<std::uint8_t>& out, const char* type, const std::vector<std::uint8_t>& data) {
    Put32BE(out, std::uint32_t(data.size()));
    std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    Put32BE(out, Crc(out.data() + start, out.size() - start));
}

}  // namespace

std::vector<std::uint8_t> EncodeBmp24(const Image& img) {
    int stride = (img.width * 3 + 3) & ~3;
    std::vector<std::uint8_t> b = Header(img.width, img.height, 24, 0, 0, std::uint32_t(stride * img.height));
    for (int y = img.height - 1; y >= 0; --y) {
        std::size_t start = b.size();
        for (int x = 0; x < img.width; ++x) {
            Rgb c = img.Get(x, y);
            b.push_back(std::uint8_t(BlueOf(c)));
            b.push_back(std::uint8_t(GreenOf(c)));
            b.push_back(std::uint8_t(RedOf(c)));
        }
        while (b.size() - start < std::size_t(stride)) b.push_back(0);
    }
    return b;
}

std::vector<std::uint8_t> EncodeBmpIndexed(const IndexedImage& img, int bpp, BmpCompression compression) {
    std::uint32_t count = std::uint32_t(img.palette.size());
    std::vector<std::uint8_t> pixels;
    if (compression == BmpCompression::kRle) {
        for (int y = img.height - 1; y >= 0; --y) {
            EncodeRleRow(pixels, &img.idx[std::size_t(y) * std::size_t(img.width)], img.width, bpp);
            pixels.push_back(0);
            pixels.push_back(0);
        }
        pixels.push_back(0);
        pixels.push_back(1);
    } else {
        int stride = ((img.width * bpp + 31) / 32) * 4;
        for (int y = img.height - 1; y >= 0; --y) {
            std::size_t start = pixels.size();
            for (int x = 0; x < img.width; ++x) {
                std::uint8_t v = img.At(x, y);
                if (bpp == 8) {
                    pixels.push_back(v);
                } else if (x % 2 == 0) {
                    pixels.push_back(std::uint8_t(v << 4));
                } else {
                    pixels.back() |= v;
                }
            }
            while (pixels.size() - start < std::size_t(stride)) pixels.push_back(0);
        }
    }
    std::uint32_t kind = compression == BmpCompression::kNone ? 0 : (bpp == 8 ? 1 : 2);
    std::vector<std::uint8_t> b = Header(img.width, img.height, bpp, kind, count, std::uint32_t(pixels.size()));
    for (Rgb c : img.palette) {
        b.push_back(std::uint8_t(BlueOf(c)));
        b.push_back(std::uint8_t(GreenOf(c)));
        b.push_back(std::uint8_t(RedOf(c)));
        b.push_back(0);
    }
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
}

std::vector<std::uint8_t> EncodePng(const Image& img) {
    std::vector<std::uint8_t> raw;
    raw.reserve(std::size_t(img.height) * (std::size_t(img.width) * 3 + 1));
    for (int y = 0; y < img.height; ++y) {
        raw.push_back(0);
        for (int x = 0; x < img.width; ++x) {
            Rgb c = img.Get(x, y);
            raw.push_back(std::uint8_t(RedOf(c)));
            raw.push_back(std::uint8_t(GreenOf(c)));
            raw.push_back(std::uint8_t(BlueOf(c)));
        }
    }
    uLongf zlen = compressBound(uLong(raw.size()));
    std::vector<std::uint8_t> z(zlen);
    compress2(z.data(), &zlen, raw.data(), uLong(raw.size()), 6);
    z.resize(zlen);
    std::vector<std::uint8_t> out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> ihdr;
    Put32BE(ihdr, std::uint32_t(img.width));
    Put32BE(ihdr, std::uint32_t(img.height));
    ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});
    PngChunk(out, "IHDR", ihdr);
    PngChunk(out, "IDAT", z);
    PngChunk(out, "IEND", {});
    return out;
}

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace skin
