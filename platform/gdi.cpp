#include "platform/gdi.h"

#include <algorithm>
#include <cstdlib>

#include "platform/resources.h"

namespace {

uint32_t QuadToRgb(const RGBQUAD& q) {
    return (uint32_t(q.rgbRed) << 16) | (uint32_t(q.rgbGreen) << 8) | q.rgbBlue;
}
uint32_t ColorRefToRgb(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }
COLORREF RgbToColorRef(uint32_t rgb) { return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

// Nearest colour of a table (squared distance), for colour pixels copied into
// an indexed surface.
uint8_t NearestIndex(const std::vector<uint32_t>& palette, uint32_t rgb) {
    int best = 0;
    long bestDist = -1;
    for (size_t i = 0; i < palette.size(); ++i) {
        long dr = long((palette[i] >> 16) & 0xFF) - long((rgb >> 16) & 0xFF);
        long dg = long((palette[i] >> 8) & 0xFF) - long((rgb >> 8) & 0xFF);
        long db = long(palette[i] & 0xFF) - long(rgb & 0xFF);
        long d = dr * dr + dg * dg + db * db;
        if (bestDist < 0 || d < bestDist) {
            bestDist = d;
            best = int(i);
        }
    }
    return uint8_t(best);
}

int g_failBitmapCreations = 0;

bool CreationFails() {
    if (g_failBitmapCreations <= 0) return false;
    --g_failBitmapCreations;
    return true;
}

CBitmap& StockBitmap() {
    static CBitmap stock;
    if (stock.IsNull()) stock.AssignDevicePixels(1, 1, {0});
    return stock;
}

}  // namespace

void FailNextMonochromeBitmaps(int count) { g_failBitmapCreations = count; }

bool CBitmap::CreateBitmap(int w, int h) {
    if (w <= 0 || h <= 0) return false;
    AssignDevicePixels(w, h, std::vector<uint32_t>(size_t(w) * size_t(h), 0));
    return true;
}

bool CBitmap::CreateBitmap(int w, int h, UINT planes, UINT bitsPerPixel, const void* bits) {
    if (w <= 0 || h <= 0 || planes != 1 || bitsPerPixel != 1 || CreationFails()) return false;
    DeleteObject();
    kind_ = Kind::Mono;
    width_ = w;
    height_ = h;
    stride_ = ((w + 15) / 16) * 2;
    mono_.assign(size_t(stride_) * size_t(h), 0);
    if (bits) SetBitmapBits(DWORD(mono_.size()), bits);
    return true;
}

DWORD CBitmap::SetBitmapBits(DWORD count, const void* bits) {
    if (kind_ != Kind::Mono || !bits) return 0;
    const size_t n = std::min<size_t>(count, mono_.size());
    std::copy_n(static_cast<const uint8_t*>(bits), n, mono_.begin());
    return DWORD(n);
}

bool CBitmap::GetMonoBit(int x, int y) const {
    if (kind_ != Kind::Mono || x < 0 || y < 0 || x >= width_ || y >= height_) return false;
    return (mono_[size_t(y) * size_t(stride_) + size_t(x / 8)] & (0x80u >> (x % 8))) != 0;
}

void CBitmap::AssignDevicePixels(int w, int h, std::vector<uint32_t> pixels) {
    DeleteObject();
    kind_ = Kind::Device;
    width_ = w;
    height_ = h;
    stride_ = w * 4;
    device_ = std::move(pixels);
    device_.resize(size_t(w) * size_t(h), 0);
}

bool CBitmap::LoadBitmap(UINT resourceId) {
    const BitmapResource* res = FindBitmapResource(resourceId);
    if (!res || !res->render) return false;
    AssignDevicePixels(res->width, res->height, res->render());
    return true;
}

bool CBitmap::CreateDIBSection(const BITMAPINFO& info, UINT /*usage*/, uint8_t** bits) {
    if (bits) *bits = nullptr;
    const BITMAPINFOHEADER& h = info.bmiHeader;
    if (h.biBitCount != 8 || h.biCompression != BI_RGB || h.biWidth <= 0 || h.biHeight == 0) return false;
    DeleteObject();
    kind_ = Kind::Dib8;
    width_ = h.biWidth;
    height_ = std::abs(h.biHeight);
    topDown_ = h.biHeight < 0;
    stride_ = (width_ + 3) & ~3;
    dibHeader_ = h;
    dib_.assign(size_t(stride_) * size_t(height_), 0);
    uint32_t colours = h.biClrUsed ? std::min<uint32_t>(h.biClrUsed, 256) : 256;
    palette_.resize(colours);
    for (uint32_t i = 0; i < colours; ++i) palette_[i] = QuadToRgb(info.bmiColors[i]);
    if (bits) *bits = dib_.data();
    return true;
}

void CBitmap::DeleteObject() {
    kind_ = Kind::None;
    width_ = height_ = stride_ = 0;
    device_.clear();
    dib_.clear();
    mono_.clear();
    palette_.clear();
    dibHeader_ = {};
}

size_t CBitmap::DibOffset(int x, int y) const {
    int row = topDown_ ? y : height_ - 1 - y;
    return size_t(row) * size_t(stride_) + size_t(x);
}

uint32_t CBitmap::GetPixelRgb(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    if (kind_ == Kind::Device) return device_[size_t(y) * size_t(width_) + size_t(x)];
    if (kind_ == Kind::Dib8) {
        uint8_t i = dib_[DibOffset(x, y)];
        return i < palette_.size() ? palette_[i] : 0;
    }
    if (kind_ == Kind::Mono) return GetMonoBit(x, y) ? 0xFFFFFF : 0;
    return 0;
}

void CBitmap::SetPixelRgb(int x, int y, uint32_t rgb) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    if (kind_ == Kind::Device) device_[size_t(y) * size_t(width_) + size_t(x)] = rgb & 0xFFFFFF;
    else if (kind_ == Kind::Dib8) dib_[DibOffset(x, y)] = NearestIndex(palette_, rgb);
    else if (kind_ == Kind::Mono) {
        uint8_t& byte = mono_[size_t(y) * size_t(stride_) + size_t(x / 8)];
        const uint8_t bit = uint8_t(0x80u >> (x % 8));
        // Nearer to white than to black: set.
        const unsigned sum = ((rgb >> 16) & 0xFF) + ((rgb >> 8) & 0xFF) + (rgb & 0xFF);
        byte = sum >= 384 ? uint8_t(byte | bit) : uint8_t(byte & ~bit);
    }
}

uint8_t CBitmap::GetIndex(int x, int y) const {
    if (kind_ != Kind::Dib8 || x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    return dib_[DibOffset(x, y)];
}

CDC::~CDC() = default;

bool CDC::CreateCompatibleDC(CDC* /*pDC*/) {
    memory_ = true;
    window_ = nullptr;
    selected_ = &StockBitmap();
    return true;
}

CBitmap* CDC::SelectObject(CBitmap* bitmap) {
    if (!memory_ || !bitmap) return nullptr;
    CBitmap* old = selected_;
    selected_ = bitmap;
    return old;
}

int CDC::GetDeviceCaps(int index) const {
    if (index == NUMCOLORS) return -1;
    if (index == BITSPIXEL) return 32;
    return 0;
}

CBitmap* CDC::Target() const {
    if (memory_) return selected_;
    return window_ ? window_->DrawSurface() : nullptr;
}

void CDC::Touched(const CRect& r) {
    if (!window_ || r.IsRectEmpty()) return;
    if (touched_.IsRectEmpty()) {
        touched_ = r;
    } else {
        touched_.left = std::min(touched_.left, r.left);
        touched_.top = std::min(touched_.top, r.top);
        touched_.right = std::max(touched_.right, r.right);
        touched_.bottom = std::max(touched_.bottom, r.bottom);
    }
}

void CDC::FlushTouched() {
    if (window_ && !touched_.IsRectEmpty()) window_->SurfaceChanged(touched_);
    touched_ = {};
}

bool CDC::BitBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, DWORD rop) {
    CBitmap* dst = Target();
    CBitmap* from = src ? src->Target() : nullptr;
    if (rop != SRCCOPY || !dst || !from || dst->IsNull() || from->IsNull()) return false;
    // Clip against both bitmaps.
    if (x < 0) { w += x; sx -= x; x = 0; }
    if (y < 0) { h += y; sy -= y; y = 0; }
    if (sx < 0) { w += sx; x -= sx; sx = 0; }
    if (sy < 0) { h += sy; y -= sy; sy = 0; }
    w = std::min({w, dst->Width() - x, from->Width() - sx});
    h = std::min({h, dst->Height() - y, from->Height() - sy});
    if (w <= 0 || h <= 0) return true;

    // Only the rows whose pixels the copy changed are reported to a window:
    // copying what a picture already shows presents nothing again.
    int firstChanged = h, lastChanged = -1;
    auto changedRow = [&](int r) {
        firstChanged = std::min(firstChanged, r);
        lastChanged = std::max(lastChanged, r);
    };
    auto allRowsChanged = [&] {
        firstChanged = 0;
        lastChanged = h - 1;
    };
    const CBitmap::Kind dstKind = dst->GetKind(), fromKind = from->GetKind();
    uint32_t* d = dst->DevicePixels();
    const size_t dstW = size_t(dst->Width());
    if (fromKind == CBitmap::Kind::Mono && dstKind != CBitmap::Kind::Mono) {
        // Set bits take this context's background colour, clear bits its text colour.
        const uint32_t set = ColorRefToRgb(background_), clear = ColorRefToRgb(text_);
        if (d) {
            for (int r = 0; r < h; ++r) {
                uint32_t* row = d + size_t(y + r) * dstW + size_t(x);
                bool changed = false;
                for (int c = 0; c < w; ++c) {
                    const uint32_t v = from->GetMonoBit(sx + c, sy + r) ? set : clear;
                    if (row[c] != v) {
                        row[c] = v;
                        changed = true;
                    }
                }
                if (changed) changedRow(r);
            }
        } else {
            for (int r = 0; r < h; ++r)
                for (int c = 0; c < w; ++c) dst->SetPixelRgb(x + c, y + r, from->GetMonoBit(sx + c, sy + r) ? set : clear);
            allRowsChanged();
        }
    } else if (dstKind == CBitmap::Kind::Device && fromKind == CBitmap::Kind::Device) {
        const uint32_t* s = from->DevicePixels();
        const size_t fromW = size_t(from->Width());
        if (dst == from) {
            // Overlapping copy within one bitmap: go through a copy of the rows.
            std::vector<uint32_t> tmp(size_t(w) * size_t(h));
            for (int r = 0; r < h; ++r)
                std::copy_n(s + size_t(sy + r) * fromW + size_t(sx), w, tmp.begin() + size_t(r) * size_t(w));
            for (int r = 0; r < h; ++r)
                std::copy_n(tmp.begin() + size_t(r) * size_t(w), w, d + size_t(y + r) * dstW + size_t(x));
            allRowsChanged();
        } else {
            for (int r = 0; r < h; ++r) {
                const uint32_t* fromRow = s + size_t(sy + r) * fromW + size_t(sx);
                uint32_t* toRow = d + size_t(y + r) * dstW + size_t(x);
                if (std::equal(fromRow, fromRow + w, toRow)) continue;
                std::copy_n(fromRow, w, toRow);
                changedRow(r);
            }
        }
    } else if (dstKind == CBitmap::Kind::Device && fromKind == CBitmap::Kind::Dib8) {
        // Through the source's colour table; an index beyond it is black.
        uint32_t colours[256] = {};
        const std::vector<uint32_t>& palette = from->GetPalette();
        std::copy_n(palette.begin(), std::min<size_t>(palette.size(), 256), colours);
        for (int r = 0; r < h; ++r) {
            const uint8_t* fromRow = from->DibRow(sy + r) + sx;
            uint32_t* toRow = d + size_t(y + r) * dstW + size_t(x);
            uint32_t differs = 0;
            for (int c = 0; c < w; ++c) {
                const uint32_t v = colours[fromRow[c]];
                differs |= toRow[c] ^ v;
                toRow[c] = v;
            }
            if (differs != 0) changedRow(r);
        }
    } else if (dstKind == CBitmap::Kind::Dib8 && fromKind == CBitmap::Kind::Dib8 &&
               dst->GetPalette() == from->GetPalette()) {
        // Indices copied as they are, through a copy of the rows (the two may
        // be one bitmap).
        std::vector<uint8_t> tmp(size_t(w) * size_t(h));
        for (int r = 0; r < h; ++r) std::copy_n(from->DibRow(sy + r) + sx, w, tmp.begin() + size_t(r) * size_t(w));
        for (int r = 0; r < h; ++r) std::copy_n(tmp.begin() + size_t(r) * size_t(w), w, dst->DibRow(y + r) + x);
        allRowsChanged();
    } else {
        std::vector<uint32_t> tmp(size_t(w) * size_t(h));
        for (int r = 0; r < h; ++r)
            for (int c = 0; c < w; ++c) tmp[size_t(r) * size_t(w) + size_t(c)] = from->GetPixelRgb(sx + c, sy + r);
        for (int r = 0; r < h; ++r)
            for (int c = 0; c < w; ++c) dst->SetPixelRgb(x + c, y + r, tmp[size_t(r) * size_t(w) + size_t(c)]);
        allRowsChanged();
    }
    if (lastChanged >= 0) Touched(CRect(x, y + firstChanged, x + w, y + lastChanged + 1));
    return true;
}

void CDC::FillSolidRect(const CRect& r, COLORREF colour) {
    CBitmap* dst = Target();
    if (!dst || dst->IsNull()) return;
    int l = std::max(r.left, 0), t = std::max(r.top, 0);
    int rr = std::min(r.right, dst->Width()), b = std::min(r.bottom, dst->Height());
    uint32_t rgb = ColorRefToRgb(colour);
    for (int yy = t; yy < b; ++yy)
        for (int xx = l; xx < rr; ++xx) dst->SetPixelRgb(xx, yy, rgb);
    Touched(CRect(l, t, rr, b));
}

COLORREF CDC::SetPixel(int x, int y, COLORREF colour) {
    CBitmap* dst = Target();
    if (!dst || dst->IsNull()) return COLORREF(-1);
    dst->SetPixelRgb(x, y, ColorRefToRgb(colour));
    Touched(CRect(x, y, x + 1, y + 1));
    return RgbToColorRef(dst->GetPixelRgb(x, y));
}

COLORREF CDC::GetPixel(int x, int y) const {
    CBitmap* dst = Target();
    if (!dst || dst->IsNull()) return COLORREF(-1);
    return RgbToColorRef(dst->GetPixelRgb(x, y));
}

COLORREF CDC::SetTextColor(COLORREF colour) {
    const COLORREF old = text_;
    text_ = colour;
    return old;
}

COLORREF CDC::SetBkColor(COLORREF colour) {
    const COLORREF old = background_;
    background_ = colour;
    return old;
}
