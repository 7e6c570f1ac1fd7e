#include "data/run_length.h"

#include <algorithm>
#include <cstring>

#include "shared/file_io.h"

uint8_t g_rleBuffer[kRleBufferBytes];

uint32_t PackRle(const uint8_t* block, uint32_t size) {
    size = std::min(size, kRleMaxBlock);
    uint32_t out = 0;
    uint32_t i = 0;
    while (i < size) {
        const uint8_t v = block[i];
        uint32_t n = 1;
        while (n < 255 && i + n < size && block[i + n] == v) ++n;
        if (v == kRleEscape || n >= 3) {
            g_rleBuffer[out++] = kRleEscape;
            g_rleBuffer[out++] = static_cast<uint8_t>(n);
            g_rleBuffer[out++] = v;
        } else {
            for (uint32_t k = 0; k < n; ++k) g_rleBuffer[out++] = v;
        }
        i += n;
    }
    return out;
}

bool UnpackRle(CArchive& ar, uint8_t* dest, uint32_t size) {
    uint32_t stored = 0;
    while (stored < size) {
        uint8_t token;
        if (ar.Read(&token, 1) != 1) return false;
        if (token != kRleEscape) {
            dest[stored++] = token;
            continue;
        }
        uint8_t run[2];  // count, value
        if (ar.Read(run, 2) != 2) return false;
        const uint32_t n = std::min<uint32_t>(run[0], size - stored);
        std::memset(dest + stored, run[1], n);
        stored += n;
    }
    return true;
}

bool CopyRle(CArchive& ar, std::vector<uint8_t>& packed, uint32_t size) {
    uint32_t stored = 0;
    while (stored < size) {
        uint8_t token[3];
        if (ar.Read(token, 1) != 1) return false;
        if (token[0] != kRleEscape) {
            packed.push_back(token[0]);
            ++stored;
            continue;
        }
        if (ar.Read(token + 1, 2) != 2) return false;
        packed.insert(packed.end(), token, token + 3);
        stored += std::min<uint32_t>(token[1], size - stored);
    }
    return true;
}
