// The panel view: the only view of the main frame. Its constructor sets the
// layout values (normal, large or sound-module), loads the skin and the glyph
// sheet, creates the two 8-bit surfaces and the value tip, and registers the
// menu commands, which live in their own files (named below).
//
// Every repaint goes through the virtual drawing operations; handlers never
// draw directly. PaintPanel, UpdatePanel and UpdateTopBar copy from the skin
// bitmaps (ui/panel_paint.h); ShowPatternGrid and ShowSongOrderList draw their
// surface in software and copy it into the window (nothing in the sound-module
// layout). OnDraw paints the panel, the top bar, the grid and the order list,
// and after a song load queues the post-load checks to run after that paint.
//
// Keys go to the key routines (ui/view_keys.h), the mouse to the panel's
// controls (ui/panel_mouse.cpp), timer 2 to the view timer (ui/view_timer.h).
// The default processing first plays the notes that MIDI recording handed
// over, then serves a deferred redraw of the grid.
#pragma once

#include "platform/dialog.h"
#include "platform/framework.h"

inline constexpr UINT kViewTimerId = 2;
inline constexpr UINT kViewTimerMs = 40;

class CSynthDoc;

class CSynthView : public CView {
public:
    CSynthView();
    ~CSynthView() override;

    CSynthDoc* GetDocument() const;

    void OnInitialUpdate() override;
    void OnUpdate(CView* sender, LPARAM hint, CCmdTarget* hintObject) override;
    void OnDraw(CDC* dc) override;
    bool OnEraseBkgnd(CDC* dc) override;
    void OnSetFocus(CWnd* oldWnd) override;
    void OnKillFocus(CWnd* newWnd) override;
    void OnTimer(UINT id) override;
    void OnKeyDown(UINT vk, UINT repeat, UINT flags) override;
    void OnKeyUp(UINT vk, UINT repeat, UINT flags) override;
    // The panel's mouse (ui/panel_mouse.cpp).
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnLButtonDblClk(UINT flags, CPoint point) override;
    void OnLButtonUp(UINT flags, CPoint point) override;
    void OnMouseMove(UINT flags, CPoint point) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override;

    // Drawing.
    virtual void PaintPanel();
    virtual void UpdateTopBar();
    virtual void ShowPatternGrid();
    virtual void ShowSongOrderList();
    virtual void DrawPatternGrid();
    virtual void DrawSongOrderList();
    virtual void UpdatePanel();
    virtual void OnPanelButtonDown(int x, int y);
    virtual void OnPanelButtonUp(int x, int y);
    virtual void OnPanelMouseMove(UINT flags, int x, int y);
    virtual void FormatPercentText();

    // The checks after a song was loaded (the voice warning, the song
    // information); run once per load, right after the first paint.
    void RunPostLoadChecks();
    // The song information shown after a load; comes with its dialog.
    virtual void ShowSongInfoAfterLoad();

    // File menu: output capture and song export (ui/wave_commands.cpp).
    void OnFilePlayStop();
    void OnUpdateFilePlayStop(CCmdUI* ui);
    void OnFileExportWave();
    void OnUpdateFileExportWave(CCmdUI* ui);
    void OnFileCaptureOutput();
    void OnFileStartCapture();
    void OnFileStopCapture();
    void OnUpdateFileCaptureOutput(CCmdUI* ui);
    void OnUpdateFileStartCapture(CCmdUI* ui);
    void OnUpdateFileStopCapture(CCmdUI* ui);

    // Edit menu (ui/edit_commands.cpp): the pattern undo ring.
    void OnEditUndo();
    void OnUpdateEditUndo(CCmdUI* ui);
    // The selection and the clipboards (ui/pattern_clipboard.h).
    void OnEditCut();
    void OnEditCopy();
    void OnEditPaste();
    void OnEditDuplicate();
    void OnEditSelectAll();
    void OnEditSelectTrack();
    void OnEditCopyTweaking();
    void OnEditPasteTweaking();
    void OnUpdateEditCut(CCmdUI* ui);
    void OnUpdateEditCopy(CCmdUI* ui);
    void OnUpdateEditPaste(CCmdUI* ui);
    void OnUpdateEditDuplicate(CCmdUI* ui);
    void OnUpdateEditSelectAll(CCmdUI* ui);
    void OnUpdateEditSelectTrack(CCmdUI* ui);
    void OnUpdateEditCopyTweaking(CCmdUI* ui);
    void OnUpdateEditPasteTweaking(CCmdUI* ui);
    // Format patterns (ui/format_patterns.h).
    void OnEditFormatPatterns();
    void OnUpdateEditFormatPatterns(CCmdUI* ui);
    // The keyboard focus passes from the grid to the song-order list (the Esc
    // key, a click on the order display): cursor home, undo ring emptied,
    // grid and order list repainted.
    void FocusSongOrderList();
    // A command changed song data: the document's modified flag follows the
    // "Save changes" setting.
    void MarkSongEdited();
    // Dialog commands, help, web and steps per beat (ui/view_commands.cpp).
    void OnAppAbout();
    void OnFileSongInfo();
    void OnOptionsPreferences();
    void OnOptionsMidiMapper();
    void OnSoundsSamples();
    void OnSoundsEffects();
    void OnSoundsSampleSplits();
    void OnEditStepsPerBeat();
    void OnUpdateEditStepsPerBeat(CCmdUI* ui);
    void OnHelpContents();
    // F1 reaching the view's default processing: the help's contents.
    bool OnHelpInfo();
    void OnHelpVisitWeb();
    // Sounds menu: instrument files (ui/sound_file_commands.cpp).
    void OnSoundsLoad();
    void OnSoundsSave();
    void OnUpdateSoundsSave(CCmdUI* ui);
    // Copy, Paste, Undo changes, Reset knobs, Randomize (ui/sound_commands.cpp).
    void OnSoundsCopy();
    void OnSoundsPaste();
    void OnUpdateSoundsPaste(CCmdUI* ui);
    void OnSoundsUndoChanges();
    void OnUpdateSoundsUndoChanges(CCmdUI* ui);
    void OnSoundsResetKnobs();
    void OnSoundsRandomize();
    // Options menu toggles (ui/option_toggles.cpp).
    void OnOptionsFollowSong();
    void OnUpdateOptionsFollowSong(CCmdUI* ui);
    void OnOptionsAutomation();
    void OnUpdateOptionsAutomation(CCmdUI* ui);
    void OnOptionsOscilloscope();
    void OnUpdateOptionsOscilloscope(CCmdUI* ui);
    void OnOptionsTransmitTweaks();
    void OnUpdateOptionsTransmitTweaks(CCmdUI* ui);
    void OnOptionsMidiSync();
    void OnUpdateOptionsMidiSync(CCmdUI* ui);
    void OnOptionsMidiRecord();
    void OnUpdateOptionsMidiRecord(CCmdUI* ui);

private:
    void AddWaveFileCommands();
    void AddEditCommands();
    void AddViewCommands();
    void AddOptionToggles();
    void AddSoundCommands();
    void FullRepaint();
    void PassOnModifiedByte();
    void RunSoundDialog(int topBarButton, CDialog& dlg);

    bool postLoadChecksQueued_ = false;
};
