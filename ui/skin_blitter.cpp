#include "ui/skin_blitter.h"

#include "ui/view_globals.h"

CBitmap* SkinBitmapById(int id) {
    switch (id) {
        case kSkinSynth: return &g_skin.synthSection;
        case kSkinLamp: return &g_skin.lamp;
        case kSkinKnob: return &g_skin.knobA;
        case kSkinKnobBipolar: return &g_skin.knobBipolar;
        case kSkinKnobModulation: return &g_skin.knobC;
        case kSkinButtons: return &g_skin.buttons;
        case kSkinKnobLevel: return &g_skin.knobD;
        case kSkinDigits: return &g_skin.digits;
        case kSkinMixer: return &g_skin.mixerSection;
        case kSkinPanKnob: return &g_skin.smallKnobPan;
        case kSkinSendKnob: return &g_skin.smallKnobSend;
        case kSkinFrame: return &g_skin.topBar;
        case kSkinNameFont: return &g_skin.nameFont;
        case kSkinAutomationFrame: return &g_skin.automationFrame;
        case kSkinScopeFrame: return &g_skin.scopeFrame;
        default: return nullptr;
    }
}

DcSkinBlitter::DcSkinBlitter(CDC& dc) : dc_(dc) { mem_.CreateCompatibleDC(&dc_); }

DcSkinBlitter::~DcSkinBlitter() {
    if (first_) mem_.SelectObject(first_);
}

void DcSkinBlitter::Blit(int bitmap, int x, int y, int w, int h, int sx, int sy) {
    CBitmap* b = Lookup(bitmap);
    if (!b || b->IsNull()) return;
    if (b != selected_) {
        CBitmap* before = mem_.SelectObject(b);
        if (!first_) first_ = before;
        selected_ = b;
    }
    dc_.BitBlt(x, y, w, h, &mem_, sx, sy, SRCCOPY);
}
