// The file layer that the song, instrument and wave code reads and writes
// through: CFile (a file of bytes), CMemFile (the same over memory), CArchive (a
// buffered stream over a CFile that is either storing or loading) and the two
// exceptions they raise. Portable: standard C and C++ library only.
//
// Errors: a failed read, write, seek or close raises CFileException with the
// cause taken from errno (disk full, access denied, file not found, any other
// error generic). A short read is no error: Read returns the bytes it got. The
// archive's typed reads (operator>>) raise CArchiveException::endOfFile when the
// file ends inside the value.
#pragma once

#include <cstdint>
#include <cstdio>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CFileException : public std::exception {
public:
    enum Cause { none = 0, generic, fileNotFound, accessDenied, diskFull, badSeek };

    CFileException() = default;
    CFileException(int cause, int osError, std::string fileName = {})
        : m_cause(cause), m_osError(osError), m_fileName(std::move(fileName)) {}

    // The cause that an errno value stands for: ENOSPC, EDQUOT, EFBIG -> diskFull;
    // EACCES, EPERM, EROFS -> accessDenied; ENOENT, ENOTDIR -> fileNotFound;
    // 0 -> none; anything else -> generic.
    static int CauseFromErrno(int error);
    // Raises the exception of an errno value.
    [[noreturn]] static void ThrowErrno(int error, const std::string& fileName);

    const char* what() const noexcept override { return "file error"; }

    int m_cause = none;
    int m_osError = 0;
    std::string m_fileName;
};

class CArchiveException : public std::exception {
public:
    enum Cause { none = 0, generic, endOfFile };

    explicit CArchiveException(int cause = generic) : m_cause(cause) {}
    const char* what() const noexcept override { return "archive error"; }

    int m_cause;
};

class CFile {
public:
    enum OpenFlags : unsigned {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        modeCreate = 0x1000,  // create, or truncate an existing file
    };
    enum SeekPosition { begin = 0, current = 1, end = 2 };

    CFile() = default;
    // Opens at once; raises CFileException when that fails.
    CFile(const std::string& path, unsigned flags);
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;
    virtual ~CFile();  // closes an open file without raising

    // Opens path; false (with the cause in *error when given) on failure.
    bool Open(const std::string& path, unsigned flags, CFileException* error = nullptr);
    bool IsOpen() const;

    // Up to count bytes; fewer only at the end of the file.
    virtual uint32_t Read(void* buffer, uint32_t count);
    // All count bytes, or an exception.
    virtual void Write(const void* buffer, uint32_t count);
    // The new position from the start of the file.
    virtual uint64_t Seek(int64_t offset, SeekPosition from);
    virtual uint64_t GetPosition() const;
    virtual uint64_t GetLength() const;
    virtual void Flush();
    // Flushes and closes; raises when the data could not be written.
    virtual void Close();
    // Closes without raising; whatever was not written is lost.
    virtual void Abort();

    const std::string& GetFilePath() const { return m_path; }

protected:
    std::FILE* m_file = nullptr;
    std::string m_path;
};

// A CFile over a block of memory: reads from the bytes it was given, or collects
// the bytes written into it.
class CMemFile : public CFile {
public:
    CMemFile() = default;
    CMemFile(const uint8_t* data, size_t size) : m_data(data, data + size) {}

    uint32_t Read(void* buffer, uint32_t count) override;
    void Write(const void* buffer, uint32_t count) override;
    uint64_t Seek(int64_t offset, SeekPosition from) override;
    uint64_t GetPosition() const override { return m_pos; }
    uint64_t GetLength() const override { return m_data.size(); }
    void Flush() override {}
    void Close() override {}
    void Abort() override {}

    const std::vector<uint8_t>& Data() const { return m_data; }

private:
    std::vector<uint8_t> m_data;
    size_t m_pos = 0;
};

class CArchive {
public:
    enum Mode { store = 0, load = 1 };

    CArchive(CFile* file, Mode mode, uint32_t bufferSize = 4096);
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;
    ~CArchive();  // a storing archive not yet closed flushes, without raising

    bool IsLoading() const { return m_mode == load; }
    bool IsStoring() const { return m_mode == store; }
    CFile* GetFile() const { return m_file; }

    // Loading: up to count bytes, fewer only at the end of the file.
    uint32_t Read(void* buffer, uint32_t count);
    // Storing: all count bytes.
    void Write(const void* buffer, uint32_t count);

    // Little-endian words and bytes. The reads raise endOfFile when the file
    // ends inside the value.
    CArchive& operator<<(uint8_t v);
    CArchive& operator<<(uint32_t v);
    CArchive& operator<<(int32_t v);
    CArchive& operator>>(uint8_t& v);
    CArchive& operator>>(uint32_t& v);
    CArchive& operator>>(int32_t& v);

    // The string's bytes as they are (no terminator, no line end).
    void WriteString(const std::string& s);
    // Reads up to and including the next LF; the line is the bytes before it,
    // without a CR that ends them. At most maxChars bytes are kept; the rest of
    // the line is read and dropped. False when the file ends before the LF (line
    // then holds what was read).
    bool ReadString(std::string& line, size_t maxChars = SIZE_MAX);

    // Loading: the bytes between the read position and the end of the file.
    uint64_t BytesLeft() const;

    // Storing: writes what is buffered to the file.
    void Flush();
    // Flushes (storing) and detaches from the file; the file stays open.
    void Close();
    // Detaches without writing anything buffered.
    void Abort();

private:
    bool Fill();

    CFile* m_file;
    Mode m_mode;
    std::vector<uint8_t> m_buffer;
    size_t m_cur = 0;  // next byte to read (loading)
    size_t m_end = 0;  // bytes held (loading) or buffered (storing)
    bool m_closed = false;
};

// The seam through which the song export and the output capture create the
// files they write. By default a CFile opened with create and write; a test
// installs a creator whose file fails a chosen write, seek or close.
using WriteFileCreator = std::function<std::unique_ptr<CFile>(const std::string& path, CFileException* error)>;
void SetWriteFileCreator(WriteFileCreator creator);  // empty: the default
// Creates (or empties) path for writing; null, with the cause in *error, when
// that fails.
std::unique_ptr<CFile> CreateWriteFile(const std::string& path, CFileException* error);
