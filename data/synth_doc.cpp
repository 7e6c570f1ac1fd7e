#include "data/synth_doc.h"

#include <sys/stat.h>

#include "data/new_song_dlg.h"
#include "data/pattern_store.h"
#include "data/song_reset.h"
#include "data/sound_bank_ops.h"
#include "data/ui_hooks.h"
#include "engine/effect_setup.h"
#include "platform/resources.h"
#include "res/resource_ids.h"
#include "shared/app_settings.h"
#include "shared/mixer.h"
#include "shared/settings.h"
#include "shared/song.h"
#include "shared/transport.h"

namespace {

bool FileExists(const std::string& path) {
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Until the song file's reader and writer are in place: a missing file is
// reported as not found, any other is refused.
DocIoResult ReadPending(const std::string& path) {
    return FileExists(path) ? DocIoResult::Failed : DocIoResult::NotFound;
}
DocIoResult WritePending(const std::string&) { return DocIoResult::Failed; }

}  // namespace

SongFileIo& GetSongFileIo() {
    static SongFileIo io{ReadPending, WritePending};
    return io;
}

void RequestStopForSongChange() {
    if (g_freeAudioDevWhenStopped && g_songPlaying) {
        g_masterMute = 1;
        g_releaseDevicePending = 1;
    }
    g_engineReset = kResetStop;
    g_playFlag = 0;
    g_stopFlag = 0;
}

CSynthDoc::CSynthDoc() {
    ResetSong();
    ResetSoundBank();
    g_tempo = 120;
    g_tempoDisplay = 120;
    g_patternLength = 64;
    g_stepsPerBeat = 4;
    NewPattern();
}

void CSynthDoc::ResetSong() { ::ResetSong(); }
void CSynthDoc::ResetSoundBank() { ::ResetSoundBank(); }

bool CSynthDoc::OnNewDocument() {
    if (!CDocument::OnNewDocument()) return false;
    if (!g_firstNewDone) {
        g_firstNewDone = 1;
        g_tempo = 120;
        g_tempoDisplay = 120;
        g_patternLength = 64;
        g_stepsPerBeat = 4;
        // The default song is the new song when it opens; a failure has been
        // reported by then, and an empty song with these values follows.
        if (OnOpenDocument(kDefaultSongFile)) return true;
    } else if (g_soundModuleMode) {
        g_tempo = 120;
        g_tempoDisplay = 120;
        g_patternLength = 64;
        g_stepsPerBeat = 4;
    } else {
        CNewSongDlg dlg;
        dlg.DoModal();  // closed without OK: no data exchange, the initial values stay
        g_tempoDisplay = uint32_t(dlg.m_tempo);
        g_tempo = uint32_t(dlg.m_tempo);
        uint32_t length = 0, steps = 0;
        if (PatternTimingOfChoice(dlg.m_patternLengthChoice, length, steps)) {
            g_patternLength = length;
            g_stepsPerBeat = steps;
        }
    }
    RequestStopForSongChange();
    g_songMode = 1;
    g_patternCue = 0;
    for (auto& t : g_effectSettings.fxType) t = 0;
    g_effectSettings.fxSerial = 0;
    g_effectSettings.fxSerialAmount = 0;
    for (auto& unit : g_effectSettings.fxParam)
        for (auto& slider : unit) slider = 0;
    const uint32_t len = g_patternLength;
    g_stepsPerBeat = (len == 16 || len == 32 || len == 64 || len == 128) ? 4 : 6;
    ResetEngineBuffers();
    ResetSong();
    ResetSoundBank();
    NewPattern();
    return true;
}

bool CSynthDoc::OnOpenDocument(const std::string& path) {
    const std::string tail = path.size() >= 3 ? path.substr(path.size() - 3) : path;
    if (tail == "mci" || tail == "MCI") {
        Ui().DestroySplashWindow();
        AfxMessageBox(LoadResString(IDS_NO_INSTRUMENT_FILES), MB_OK);
        return false;
    }
    RequestStopForSongChange();
    return CDocument::OnOpenDocument(path);
}

bool CSynthDoc::OnSaveDocument(const std::string& path) {
    size_t slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name == kDefaultSongFile) {
        AfxMessageBox("You may not use the _default_.mcs filename! Please specify another filename. Document is not saved!",
                      MB_ICONSTOP);
        return false;
    }
    return CDocument::OnSaveDocument(path);
}

void CSynthDoc::OnCloseDocument() {
    Ui().DestroyScopeWindow();
    ResetSong();
    CDocument::OnCloseDocument();
}

DocIoResult CSynthDoc::ReadDocumentFile(const std::string& path) {
    SongFileIo& io = GetSongFileIo();
    return io.read ? io.read(path) : DocIoResult::Failed;
}

DocIoResult CSynthDoc::WriteDocumentFile(const std::string& path) {
    SongFileIo& io = GetSongFileIo();
    return io.write ? io.write(path) : DocIoResult::Failed;
}
