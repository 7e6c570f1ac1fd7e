// Pixel surfaces and device contexts.
//
// Every picture the program draws lands in memory it owns: a bitmap is either a
// device-dependent bitmap in the screen's format (32-bit 0x00RRGGBB pixels) or
// an 8-bit DIB section (one palette index per pixel, rows padded to 4 bytes,
// with its colour table). A device context draws into one target: the bitmap
// selected into a memory context, or the drawing surface of a window (a client
// or paint context), which the window then only presents. A context on a window
// that does not exist (yet) is the screen's: it answers capability queries and
// draws nowhere. Nothing here needs a display.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "platform/afx.h"

struct CPoint {
    int x = 0, y = 0;
    CPoint() = default;
    CPoint(int px, int py) : x(px), y(py) {}
    bool operator==(const CPoint&) const = default;
};

struct CSize {
    int cx = 0, cy = 0;
    CSize() = default;
    CSize(int w, int h) : cx(w), cy(h) {}
    bool operator==(const CSize&) const = default;
};

struct CRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    CRect() = default;
    CRect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsRectEmpty() const { return right <= left || bottom <= top; }
    CPoint TopLeft() const { return {left, top}; }
    bool operator==(const CRect&) const = default;
};

// Header of a device-independent bitmap, field for field as the classic
// 40-byte header.
struct BITMAPINFOHEADER {
    uint32_t biSize = 40;
    int32_t biWidth = 0;
    int32_t biHeight = 0;  // negative: rows top-down
    uint16_t biPlanes = 1;
    uint16_t biBitCount = 8;
    uint32_t biCompression = 0;  // BI_RGB
    uint32_t biSizeImage = 0;
    int32_t biXPelsPerMeter = 0;
    int32_t biYPelsPerMeter = 0;
    uint32_t biClrUsed = 0;
    uint32_t biClrImportant = 0;
};
inline constexpr uint32_t BI_RGB = 0;
inline constexpr UINT DIB_RGB_COLORS = 0;

struct RGBQUAD {
    uint8_t rgbBlue = 0, rgbGreen = 0, rgbRed = 0, rgbReserved = 0;
};

// A header followed by a colour table of up to 256 entries.
struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[256];
};

class CBitmap {
public:
    // Device: 32-bit pixels in the screen's format; Dib8: an 8-bit DIB section;
    // Mono: one plane of one bit per pixel, rows of whole 16-bit words, the
    // leftmost pixel of a byte in its highest bit.
    enum class Kind { None, Device, Dib8, Mono };

    CBitmap() = default;
    CBitmap(const CBitmap&) = delete;
    CBitmap& operator=(const CBitmap&) = delete;

    // A device-dependent bitmap of w x h pixels, all black.
    bool CreateBitmap(int w, int h);
    // A bitmap of the given planes and bits per pixel from a bit buffer (rows
    // of whole 16-bit words, top row first; null leaves it clear). Only one
    // plane of one bit (a monochrome bitmap) is supported.
    bool CreateBitmap(int w, int h, UINT planes, UINT bitsPerPixel, const void* bits);
    // Copies count bytes of a bit buffer into a monochrome bitmap; the number
    // of bytes copied.
    DWORD SetBitmapBits(DWORD count, const void* bits);
    // Loads a bitmap of the program's resources into a device-dependent bitmap
    // (whatever its stored colour depth). False when there is no such resource.
    bool LoadBitmap(UINT resourceId);
    // An 8-bit DIB section from a header and its colour table; *bits receives
    // the pixel memory (rows of GetStride() bytes). Only 8 bits per pixel,
    // BI_RGB, is supported; anything else fails and leaves *bits null.
    bool CreateDIBSection(const BITMAPINFO& info, UINT usage, uint8_t** bits);
    void DeleteObject();

    Kind GetKind() const { return kind_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    CSize GetSize() const { return {width_, height_}; }
    int GetStride() const { return stride_; }
    bool IsNull() const { return kind_ == Kind::None; }
    const BITMAPINFOHEADER& GetDibHeader() const { return dibHeader_; }
    const std::vector<uint32_t>& GetPalette() const { return palette_; }  // 0x00RRGGBB

    // Colour of a pixel as 0x00RRGGBB (a DIB pixel through its colour table);
    // 0 outside the bitmap.
    uint32_t GetPixelRgb(int x, int y) const;
    void SetPixelRgb(int x, int y, uint32_t rgb);
    // Palette index of a DIB pixel.
    uint8_t GetIndex(int x, int y) const;
    // Direct pixel access: the 32-bit pixels of a device bitmap (row-major,
    // Width() per row) or the index bytes of a DIB section.
    uint32_t* DevicePixels() { return kind_ == Kind::Device ? device_.data() : nullptr; }
    const uint32_t* DevicePixels() const { return kind_ == Kind::Device ? device_.data() : nullptr; }
    uint8_t* DibBits() { return kind_ == Kind::Dib8 ? dib_.data() : nullptr; }
    // The index bytes of row y (0 the top row) of a DIB section, whichever
    // way its rows lie in memory; null for another bitmap or a row outside.
    const uint8_t* DibRow(int y) const {
        return kind_ == Kind::Dib8 && y >= 0 && y < height_ ? dib_.data() + DibOffset(0, y) : nullptr;
    }
    uint8_t* DibRow(int y) { return const_cast<uint8_t*>(std::as_const(*this).DibRow(y)); }
    // Whether a pixel of a monochrome bitmap is set.
    bool GetMonoBit(int x, int y) const;

    // Used by the resource loader and the window layer.
    void AssignDevicePixels(int w, int h, std::vector<uint32_t> pixels);

private:
    size_t DibOffset(int x, int y) const;

    Kind kind_ = Kind::None;
    int width_ = 0, height_ = 0, stride_ = 0;
    bool topDown_ = true;
    std::vector<uint32_t> device_;
    std::vector<uint8_t> dib_;
    std::vector<uint8_t> mono_;
    std::vector<uint32_t> palette_;
    BITMAPINFOHEADER dibHeader_{};
};

// What a window offers to its client and paint contexts: the bitmap that holds
// its picture, and a notice when part of it changed so that it is presented.
// Tests: the next count monochrome bitmap creations fail.
void FailNextMonochromeBitmaps(int count);

class DrawTarget {
public:
    virtual CBitmap* DrawSurface() = 0;
    virtual void SurfaceChanged(const CRect& r) = 0;

protected:
    ~DrawTarget() = default;
};

class CDC {
public:
    CDC() = default;
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    // Turns this context into a memory context compatible with another (or
    // with the screen when pDC is null). A memory context draws into the
    // bitmap selected into it; initially a 1 x 1 stock bitmap.
    bool CreateCompatibleDC(CDC* pDC);
    // Selects a bitmap into a memory context; returns the one selected before.
    CBitmap* SelectObject(CBitmap* bitmap);

    // -1 colours (more than 256: a true-colour device) and 32 bits per pixel.
    int GetDeviceCaps(int index) const;

    // Copies a rectangle of the source's bitmap (SRCCOPY only). Drawing into a
    // window's picture, the context tells the window of the rows whose pixels
    // the copy changed, and of nothing when the picture already showed them.
    bool BitBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, DWORD rop);
    void FillSolidRect(const CRect& r, COLORREF colour);
    void FillSolidRect(int x, int y, int w, int h, COLORREF colour) { FillSolidRect(CRect(x, y, x + w, y + h), colour); }
    COLORREF SetPixel(int x, int y, COLORREF colour);
    COLORREF GetPixel(int x, int y) const;
    // A monochrome bitmap copied into a colour target takes these: set bits
    // the background colour (white at first), clear bits the text colour
    // (black at first). Each returns the colour before.
    COLORREF SetTextColor(COLORREF colour);
    COLORREF SetBkColor(COLORREF colour);
    COLORREF GetTextColor() const { return text_; }
    COLORREF GetBkColor() const { return background_; }

    // The bitmap this context draws into; null for the screen.
    CBitmap* Target() const;
    bool IsMemoryDC() const { return memory_; }

protected:
    void Touched(const CRect& r);
    // A context drawing into a window's surface.
    void AttachWindow(DrawTarget* window) { window_ = window; }
    void FlushTouched();

private:
    bool memory_ = false;
    CBitmap* selected_ = nullptr;
    DrawTarget* window_ = nullptr;
    CRect touched_;
    COLORREF text_ = 0x000000;
    COLORREF background_ = 0xFFFFFF;
};

class CWnd;

// A context drawing into a window's picture; the changed part is presented
// when the context goes. On a window that does not exist it is the screen's.
class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* wnd);
    ~CClientDC() override;
};

// The context of a paint handler: draws into the window's picture, which the
// window presents after the handler.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* wnd);
    ~CPaintDC() override;
};
