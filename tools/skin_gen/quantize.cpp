#include "tools/skin_gen/quantize.h"

#include <algorithm>
#include <map>
#include <set>
#include <unordered_map>

namespace skin {

namespace {

struct Entry {
    Rgb c;
    std::uint64_t n;
};

int Channel(Rgb c, int axis) { return axis == 0 ? RedOf(c) : axis == 1 ? GreenOf(c) : BlueOf(c); }

struct Box {
    std::vector<Entry> e;
    int Range(int axis) const {
        int lo = 255, hi = 0;
        for (const Entry& x : e) {
            lo = std::min(lo, Channel(x.c, axis));
            hi = std::max(hi, Channel(x.c, axis));
        }
        return hi - lo;
    }
    std::uint64_t Count() const {
        std::uint64_t s = 0;
        for (const Entry& x : e) s += x.n;
        return s;
    }
    Rgb Mean() const {
        double r = 0, g = 0, b = 0, n = 0;
        for (const Entry& x : e) {
            r += double(RedOf(x.c)) * double(x.n);
            g += double(GreenOf(x.c)) * double(x.n);
            b += double(BlueOf(x.c)) * double(x.n);
            n += double(x.n);
        }
        return MakeRgb(int(r / n + 0.5), int(g / n + 0.5), int(b / n + 0.5));
    }
};

}  // namespace

std::vector<Rgb> BuildPalette(const std::vector<const Image*>& images, int maxColours,
                                                            const std::vector<Rgb>& keep) {
    std::map<Rgb, std::uint64_t> hist;
    for (const Image* img : images)
        for (Rgb c : img->px) ++hist[c];
    std::set<Rgb> kept(keep.begin(), keep.end());
    if (int(hist.size() + kept.size()) <= maxColours) {
        std::set<Rgb> all(kept);
        for (auto& [c, n] : hist) all.insert(c);
        return std::vector<Rgb>(all.begin(), all.end());
    }
    Box first;
    for (auto& [c, n] : hist)
        if (!kept.count(c)) first.e.push_back({c, n});
    std::vector<Box> boxes{first};
    int target = maxColours - int(kept.size());
    while (int(boxes.size()) < target) {
        // Split the box whose widest channel, weighted by its population, is largest.
        int best = -1;
        double bestScore = 0;
        int bestAxis = 0;
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            if (boxes[i].e.size() < 2) continue;
            for (int axis = 0; axis < 3; ++axis) {
                double score = double(boxes[i].Range(axis)) * double(boxes[i].Count());
                if (score > bestScore) {
                    bestScore = score;
                    best = int(i);
                    bestAxis = axis;
                }
            }
        }
        if (best < 0) break;
        Box& b = boxes[std::size_t(best)];
        std::sort(b.e.begin(), b.e.end(), [&](const Entry& p, const Entry& q) {
            return Channel(p.c, bestAxis) < Channel(q.c, bestAxis);
        });
        std::uint64_t half = b.Count() / 2, acc = 0;
        std::size_t cut = 1;
        for (std::size_t i = 0; i + 1 < b.e.size(); ++i) {
            acc += b.e[i].n;
            cut = i + 1;
            if (acc >= half) break;
        }
        Box other;
        other.e.assign(b.e.begin() + std::ptrdiff_t(cut), b.e.end());
        b.e.resize(cut);
        boxes.push_back(std::move(other));
    }
    std::set<Rgb> out(kept);
    for (const Box& b : boxes) out.insert(b.Mean());
    return std::vector<Rgb>(out.begin(), out.end());
}

IndexedImage MapToPalette(const Image& img, const std::vector<Rgb>& palette) {
    IndexedImage out;
    out.width = img.width;
    out.height = img.height;
    out.palette = palette;
    out.idx.resize(img.px.size());
    std::unordered_map<Rgb, std::uint8_t> cache;
    for (std::size_t i = 0; i < img.px.size(); ++i) {
        Rgb c = img.px[i];
        auto it = cache.find(c);
        if (it == cache.end()) {
            int best = 0;
            long bestD = -1;
            for (std::size_t p = 0; p < palette.size(); ++p) {
                long dr = RedOf(c) - RedOf(palette[p]);
                long dg = GreenOf(c) - GreenOf(palette[p]);
                long db = BlueOf(c) - BlueOf(palette[p]);
                long d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
                if (bestD < 0 || d < bestD) {
                    bestD = d;
                    best = int(p);
                }
            }
            it = cache.emplace(c, std::uint8_t(best)).first;
        }
        out.idx[i] = it->second;
    }
    return out;
}

Image Expand(const IndexedImage& img) {
    Image out(img.width, img.height);
    for (std::size_t i = 0; i < img.idx.size(); ++i) out.px[i] = img.palette[img.idx[i]];
    return out;
}

}  // namespace skin
