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

// The song file's reader and writer as the document calls them.
struct SongFileIo {
    std::function<DocIoResult(const std::string& path)> read;
    std::function<DocIoResult(const std::string& path)> write;
};
SongFileIo& GetSongFileIo();

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
};

// The stop that comes before a song is replaced: with "Free audiodev when
// stopped" on and a song playing, the fade-out and a pending device release;
// then the stop request and the panel's transport buttons released.
void RequestStopForSongChange();
