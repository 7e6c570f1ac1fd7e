#include "data/synth_doc.h"

#include <cerrno>
#include <cstdio>
#include <exception>
#include <filesystem>

#include "data/new_song_dlg.h"
#include "data/pattern_store.h"
#include "data/song_file.h"
#include "data/song_reset.h"
#include "data/sound_bank_ops.h"
#include "data/ui_hooks.h"
#include "engine/effect_setup.h"
#include "platform/resources.h"
#include "res/resource_ids.h"
#include "shared/app_settings.h"
#include "shared/file_io.h"
#include "shared/mixer.h"
#include "shared/render_lock.h"
#include "shared/settings.h"
#include "shared/song.h"
#include "shared/transport.h"

namespace {

DocIoResult ResultOfCause(int cause) {
    switch (cause) {
        case CFileException::fileNotFound: return DocIoResult::NotFound;
        case CFileException::accessDenied: return DocIoResult::AccessDenied;
        case CFileException::diskFull: return DocIoResult::DiskFull;
        default: return DocIoResult::Failed;
    }
}

// Stores the song into the file open in file and closes it; the cause of a
// failure, or none.
int StoreSongInto(CFile& file) {
    try {
        CArchive ar(&file, CArchive::store);
        SerializeSong(ar);
        file.Close();
        return CFileException::none;
    } catch (const CFileException& e) {
        file.Abort();
        return e.m_cause == CFileException::none ? int(CFileException::generic) : e.m_cause;
    } catch (const std::exception&) {
        file.Abort();
        return CFileException::generic;
    }
}

}  // namespace

SongFileIo& GetSongFileIo() {
    static SongFileIo io{ReadSongFile, WriteSongFile};
    return io;
}

DocIoResult ReadSongFile(const std::string& path) {
    CFile file;
    CFileException error;
    if (!file.Open(path, CFile::modeRead, &error)) return ResultOfCause(error.m_cause);
    try {
        CArchive ar(&file, CArchive::load);
        if (!SerializeSong(ar)) return DocIoResult::FailedReported;
    } catch (const CFileException& e) {
        return ResultOfCause(e.m_cause);
    } catch (const std::exception&) {
        return DocIoResult::Failed;
    }
    return DocIoResult::Ok;
}

DocIoResult WriteSongFile(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status target = fs::symlink_status(path, ec);
    const bool replaceable = fs::is_regular_file(target) || target.type() == fs::file_type::not_found;

    const std::string staged = path + ".saving";
    CFile file;
    CFileException error;
    if (!replaceable || !file.Open(staged, CFile::modeCreate | CFile::modeWrite)) {
        // A link, a device or a folder where no file can be made: in place.
        if (!file.Open(path, CFile::modeCreate | CFile::modeWrite, &error)) return ResultOfCause(error.m_cause);
        return ResultOfCause(StoreSongInto(file));
    }
    const int cause = StoreSongInto(file);
    if (cause != CFileException::none) {
        std::remove(staged.c_str());
        return ResultOfCause(cause);
    }
    if (fs::is_regular_file(target)) {
        // The file keeps the permissions it had.
        const fs::file_status earlier = fs::status(path, ec);
        if (!ec) fs::permissions(staged, earlier.permissions(), ec);
    }
    errno = 0;
    if (std::rename(staged.c_str(), path.c_str()) != 0) {
        const int e = errno;
        std::remove(staged.c_str());
        return ResultOfCause(CFileException::CauseFromErrno(e));
    }
    return DocIoResult::Ok;
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
    g_tempo = 120;
    g_tempoDisplay = 120;
    g_patternLength = 64;
    g_stepsPerBeat = 4;
    ReplaceSong([] {});
}

void CSynthDoc::ReplaceSong(const std::function<void()>& newSongDefaults) {
    // The empty pattern is had before the song goes, so that a failure's
    // message is never shown while the render lock is held.
    std::unique_ptr<uint8_t[]> pattern = AllocatePatternBlock();
    RenderLockGuard lock;
    newSongDefaults();
    ResetSong();
    ResetSoundBank();
    AddPattern(std::move(pattern));
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
        // Only OK hands over what the dialog holds: a dialog closed otherwise
        // gives its initial values, even when a refused OK had already taken
        // the typed tempo into the dialog before its range check failed.
        CNewSongDlg dlg;
        int tempo = dlg.m_tempo;
        int choice = dlg.m_patternLengthChoice;
        if (dlg.DoModal() == IDOK) {
            tempo = dlg.m_tempo;
            choice = dlg.m_patternLengthChoice;
        }
        g_tempoDisplay = uint32_t(tempo);
        g_tempo = uint32_t(tempo);
        uint32_t length = 0, steps = 0;
        if (PatternTimingOfChoice(choice, length, steps)) {
            g_patternLength = length;
            g_stepsPerBeat = steps;
        }
    }
    RequestStopForSongChange();
    ReplaceSong([] {
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
    });
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
    {
        RenderLockGuard lock;
        ResetSong();
    }
    CDocument::OnCloseDocument();
}

DocIoResult CSynthDoc::ReadDocumentFile(const std::string& path) {
    UpdateAllViews(nullptr);  // the panel is up to date before the file work
    SongFileIo& io = GetSongFileIo();
    return io.read ? io.read(path) : DocIoResult::Failed;
}

DocIoResult CSynthDoc::WriteDocumentFile(const std::string& path) {
    UpdateAllViews(nullptr);
    SongFileIo& io = GetSongFileIo();
    return io.write ? io.write(path) : DocIoResult::Failed;
}
