// Painting of the synthesizer panel from the skin bitmaps: the whole panel
// (PaintPanel), the elements whose value changed (UpdatePanel, which also
// stores the live knobs into the current sound, keeps oscillator 3 off while
// oscillator 2 is off and carries a changed panel tempo into the engine), and
// the top bar's changed buttons and lamps (UpdateTopBar).
//
// Every element is one or more rectangle copies from a skin bitmap to the
// view; the copies go through a SkinBlitter, which the view backs with its
// device contexts.
#pragma once

// Copies w x h pixels of skin bitmap `bitmap` at (sx, sy) to the view at (x, y).
// Parts of the source outside the bitmap are not copied.
class SkinBlitter {
public:
    virtual void Blit(int bitmap, int x, int y, int w, int h, int sx, int sy) = 0;

protected:
    ~SkinBlitter() = default;
};

// Where the sections lie in the view (the layout values of the view).
struct PanelGeometry {
    int panelX = 12;       // left of the synthesizer section
    int panelY = 27;       // top of the synthesizer section
    int mixerShiftX = 0;   // how far the mixer section is moved left
    int lowerPanelY = 336; // mixer bitmap row r is drawn at lowerPanelY - 2 + r
    bool soundModule = false;
};

// Skin bitmap ids.
inline constexpr int kSkinSynth = 189;
inline constexpr int kSkinLamp = 194;
inline constexpr int kSkinKnob = 196;
inline constexpr int kSkinKnobBipolar = 197;
inline constexpr int kSkinKnobModulation = 198;
inline constexpr int kSkinButtons = 199;
inline constexpr int kSkinKnobLevel = 200;
inline constexpr int kSkinDigits = 204;
inline constexpr int kSkinMixer = 205;
inline constexpr int kSkinPanKnob = 206;
inline constexpr int kSkinSendKnob = 207;
inline constexpr int kSkinFrame = 208;
inline constexpr int kSkinNameFont = 214;
inline constexpr int kSkinAutomationFrame = 221;
inline constexpr int kSkinScopeFrame = 224;

void PaintPanelWith(SkinBlitter& out, const PanelGeometry& g);
void UpdatePanelWith(SkinBlitter& out, const PanelGeometry& g);
void UpdateTopBarWith(SkinBlitter& out, const PanelGeometry& g);
// The top bar's LED readout: the song position, the row and the beat colon
// (the play position while the song plays, else the edit cursor's). Drawn by
// PaintPanelWith and after every showing of the pattern grid.
void PaintSongPositionWith(SkinBlitter& out, const PanelGeometry& g);

// Advance of a sound-name character in the name font; 0 for a character the
// font does not have (it is skipped).
int SoundNameCharWidth(char c);
