// A file creator for the write seam whose files fail on purpose: the n-th
// write (counting from 1), the n-th seek or the close raises a file exception of
// a chosen cause, or the creation itself fails; a gate can hold every write
// until the test opens it (a stalled disk). Used by the export and capture
// tests.
#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "shared/file_io.h"

struct FileFaults {
    int createCause = CFileException::none;  // not none: the creation fails
    int failWrite = 0;                       // the write that fails, 0 none
    int failSeek = 0;                        // the seek that fails, 0 none
    bool failClose = false;
    int cause = CFileException::diskFull;
    std::atomic<bool> gateClosed{false};     // writes wait while set
    std::atomic<int> writes{0};
    std::atomic<int> writesWaiting{0};
};

class FaultyFile : public CFile {
public:
    explicit FaultyFile(FileFaults* faults) : faults_(faults) {}

    void Write(const void* buffer, uint32_t count) override {
        const int n = ++faults_->writes;
        if (faults_->gateClosed) {
            ++faults_->writesWaiting;
            while (faults_->gateClosed) std::this_thread::sleep_for(std::chrono::milliseconds(1));
            --faults_->writesWaiting;
        }
        if (n == faults_->failWrite) throw CFileException(faults_->cause, 0, m_path);
        CFile::Write(buffer, count);
    }
    uint64_t Seek(int64_t offset, SeekPosition from) override {
        if (++seeks_ == faults_->failSeek) throw CFileException(faults_->cause, 0, m_path);
        return CFile::Seek(offset, from);
    }
    void Close() override {
        if (faults_->failClose) {
            CFile::Abort();
            throw CFileException(faults_->cause, 0, m_path);
        }
        CFile::Close();
    }

private:
    FileFaults* faults_;
    int seeks_ = 0;
};

// Installs a creator of faulty files for the life of the object.
class FaultyFiles {
public:
    FaultyFiles() {
        SetWriteFileCreator([this](const std::string& path, CFileException* error) -> std::unique_ptr<CFile> {
            if (faults.createCause != CFileException::none) {
                if (error != nullptr) *error = CFileException(faults.createCause, 0, path);
                return nullptr;
            }
            auto file = std::make_unique<FaultyFile>(&faults);
            if (!file->Open(path, CFile::modeCreate | CFile::modeWrite, error)) return nullptr;
            return file;
        });
    }
    ~FaultyFiles() {
        faults.gateClosed = false;
        SetWriteFileCreator(nullptr);
    }
    FaultyFiles(const FaultyFiles&) = delete;
    FaultyFiles& operator=(const FaultyFiles&) = delete;

    FileFaults faults;
};
