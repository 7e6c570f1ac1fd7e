// The Sounds menu's "L&oad sound..." and "Sa&ve sound...": the current sound
// to and from an instrument file (data/instrument_file.h does the file). Both
// file dialogs open in the preset folder, which becomes the chosen file's
// folder after OK.
#include <algorithm>
#include <cctype>

#include "data/instrument_file.h"
#include "data/sound_bank_ops.h"
#include "engine/event_queue.h"
#include "platform/services.h"
#include "shared/app_settings.h"
#include "shared/sound_bank.h"
#include "shared/transport.h"
#include "ui/synth_view.h"

namespace {

constexpr const char* kInstrumentFilter = "Morvel Canopy Instrument (*.mci)|*.mci|";

void RememberPresetFolder(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash != std::string::npos) g_lastPresetFolder = path.substr(0, slash);
}

}  // namespace

void CSynthView::OnSoundsSave() {
    std::string name = g_curSoundName + ".mci";
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    CFileDialog dlg(false, "mci", name, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kInstrumentFilter, this);
    dlg.m_initialDir = g_lastPresetFolder;
    if (dlg.DoModal() != IDOK) return;
    if (g_storeAutomatically == 1) StoreKnobsToSound(g_curSound);
    const std::string path = dlg.GetPathName();
    RememberPresetFolder(path);
    SaveInstrumentFile(path, g_curSound);
}

void CSynthView::OnUpdateSoundsSave(CCmdUI*) {}

void CSynthView::OnSoundsLoad() {
    if (g_songPlaying == 0) QueueNoteOff();
    if (g_storeAutomatically == 1) StoreKnobsToSound(g_curSound);
    if (!ConfirmReplaceCurrentSound()) return;
    CFileDialog dlg(true, "mci", "*.mci", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kInstrumentFilter, this);
    dlg.m_initialDir = g_lastPresetFolder;
    if (dlg.DoModal() != IDOK) return;
    const std::string path = dlg.GetPathName();
    RememberPresetFolder(path);
    LoadInstrumentFile(path);
}
