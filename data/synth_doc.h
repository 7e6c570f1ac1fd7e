// The song document: brackets the framework's New, Open, Save and Close with
// what the song needs (a stop request, the reset of the song globals, the
// defaults of a new song, the default song at start-up, the refusal of
// instrument files and of the default song's name). The song itself is the
// global song data; the song file reader and writer do the file work.
#pragma once

#include <functional>
#include <string>

#include "platform/framework.h"

inline constexpr const char* kDefaultSongFile = "_default_.mcs";

// The song file's reader and writer as the document calls them: ReadSongFile
// and WriteSongFile unless a test serves files of its own.
struct SongFileIo {
    std::function<DocIoResult(const std::string& path)> read;
    std::function<DocIoResult(const std::string& path)> write;
};
SongFileIo& GetSongFileIo();

// Reads the song file at path into the song. Ok when the song was replaced;
// FailedReported when the reader refused the file after its own message (the
// song is then as it was); NotFound, AccessDenied, DiskFull or Failed when the
// file itself could not be opened or read (also with the song as it was).
DocIoResult ReadSongFile(const std::string& path);
// Writes the song to path. The song goes to a new file beside it first, which
// then takes the name, so a save that fails leaves an earlier file whole; where
// no file can be made beside it the song is written in place. NotFound,
// AccessDenied, DiskFull or Failed by the cause of a failure.
DocIoResult WriteSongFile(const std::string& path);

class CSynthDoc : public CDocument {
public:
    CSynthDoc();

    bool OnNewDocument() override;
    bool OnOpenDocument(const std::string& path) override;
    bool OnSaveDocument(const std::string& path) override;
    void OnCloseDocument() override;
    DocIoResult ReadDocumentFile(const std::string& path) override;
    DocIoResult WriteDocumentFile(const std::string& path) override;

    virtual void ResetSong();
    virtual void ResetSoundBank();

private:
    // A new empty song of one pattern replaces the song, under the render lock:
    // newSongDefaults (the words a new song sets), the song reset, the sound
    // bank reset and pattern 0.
    void ReplaceSong(const std::function<void()>& newSongDefaults);
};

// The stop that comes before a song is replaced: with "Free audiodev when
// stopped" on and a song playing, the fade-out and a pending device release;
// then the stop request and the panel's transport buttons released.
void RequestStopForSongChange();
