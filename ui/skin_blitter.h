// The skin bitmaps by id, and the SkinBlitter that windows back with a device
// context: the panel view, the automation panel and the oscilloscope draw
// their skin through it, so that tests can count the copies without a window.
#pragma once

#include "platform/gdi.h"
#include "ui/panel_paint.h"

// The loaded skin bitmap of a skin id (ui/panel_paint.h), null for an unknown id.
CBitmap* SkinBitmapById(int id);

// Copies into the target of a context (a window's client or paint context)
// through a memory context that the bitmaps are selected into in turn; the
// bitmap selected first is selected back at the end.
class DcSkinBlitter : public SkinBlitter {
public:
    explicit DcSkinBlitter(CDC& dc);
    ~DcSkinBlitter();
    DcSkinBlitter(const DcSkinBlitter&) = delete;
    DcSkinBlitter& operator=(const DcSkinBlitter&) = delete;
    void Blit(int bitmap, int x, int y, int w, int h, int sx, int sy) override;

protected:
    // The bitmap of an id; a window with bitmaps of its own adds them here.
    virtual CBitmap* Lookup(int id) { return SkinBitmapById(id); }

private:
    CDC& dc_;
    CDC mem_;
    CBitmap* selected_ = nullptr;
    CBitmap* first_ = nullptr;
};
