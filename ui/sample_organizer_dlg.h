// The sample organizer: the modal dialog that lists the sample store (name,
// size in kilobytes, root key, loop point), adds samples from WAV files,
// replaces and removes them, sets the selected sample's loop point with a
// slider, and exports, copies and pastes single samples (those three in
// ui/sample_clipboard.cpp).
//
// Every change of the store sets g_docModified; the openers clear it before
// the run and pass it on to the document afterwards. In quick-load mode
// (g_organizerQuickLoad set by the opener) the dialog goes straight to adding
// files and closes itself afterwards, clearing the flag. While it runs
// normally a 500 ms timer polls the clipboard so that "Paste" is enabled
// exactly while the clipboard holds wave data.
#pragma once

#include <cstdint>
#include <string>

#include "platform/controls.h"
#include "platform/dialog.h"

extern int32_t g_currentSample;       // the selected sample, -1 for none
extern UINT g_organizerTimer;         // the clipboard poll's timer id
extern uint8_t g_organizerQuickLoad;  // add files at once, then close

inline constexpr UINT kOrganizerTimerId = 7;
inline constexpr UINT kOrganizerTimerMs = 500;
// The loop slider's range: its position is the loop point's share of the
// length in millionths times one half.
inline constexpr int kLoopSliderMax = 500000;

// Whether sample s is played by a tested oscillator of sounds 1..99: oscillator
// 1 always, oscillators 2 and 3 while switched on, each only when its wave is
// the sample wave, through its sample reference (split set 0) or through a
// key of its split set.
bool SampleInUse(uint32_t s);
// The slider position of a loop point, and the loop point of a position.
int LoopSliderPosition(uint32_t loopPoint, uint32_t length);
uint32_t LoopPointOfSlider(int position, uint32_t length);

class CSampleOrganizerDlg : public CDialog {
public:
    explicit CSampleOrganizerDlg(CWnd* parent = nullptr);

    void DoDataExchange(CDataExchange* dx) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnInitDialog() override;
    // The total of all samples and the state of "<< Add".
    virtual void RefreshSampleTotals();

    void OnAddSamples();
    void OnReplaceSample();
    void OnRemoveSample();
    void OnExportSample();
    void OnCopySample();
    void OnPasteSample();
    void OnHelp();
    LRESULT OnItemChangedSampleList(NMHDR* hdr);
    void OnHScroll(UINT code, UINT pos, CWnd* bar) override;
    void OnClose() override;

    CSliderCtrl m_loopSlider;
    CListCtrl m_sampleList;

private:
    // The four cells of row (the name only when inserting).
    void WriteRow(int row);
    void FillList();
    // g_currentSample and the row controls from the list's selection.
    void FollowSelection();
    void SetStatus(const std::string& text);
};
