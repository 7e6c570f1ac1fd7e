#include "shared/file_io.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

int CFileException::CauseFromErrno(int error) {
    switch (error) {
        case 0: return none;
        case ENOSPC:
#ifdef EDQUOT
        case EDQUOT:
#endif
        case EFBIG: return diskFull;
        case EACCES:
        case EPERM:
        case EROFS: return accessDenied;
        case ENOENT:
        case ENOTDIR: return fileNotFound;
        default: return generic;
    }
}

void CFileException::ThrowErrno(int error, const std::string& fileName) {
    // An error without an errno still is an error.
    const int cause = error == 0 ? static_cast<int>(generic) : CauseFromErrno(error);
    throw CFileException(cause, error, fileName);
}

// ---------------------------------------------------------------------------
// CFile

CFile::CFile(const std::string& path, unsigned flags) {
    CFileException error;
    if (!Open(path, flags, &error)) throw error;
}

CFile::~CFile() { Abort(); }

bool CFile::Open(const std::string& path, unsigned flags, CFileException* error) {
    Abort();
    const bool create = (flags & modeCreate) != 0;
    const char* mode = "rb";
    if (flags & modeReadWrite) {
        mode = create ? "w+b" : "r+b";
    } else if (flags & modeWrite) {
        mode = create ? "wb" : "r+b";
    }
    errno = 0;
    m_file = std::fopen(path.c_str(), mode);
    if (m_file == nullptr) {
        if (error != nullptr) {
            const int e = errno;
            *error = CFileException(e == 0 ? static_cast<int>(CFileException::generic)
                                           : CFileException::CauseFromErrno(e),
                                    e, path);
        }
        return false;
    }
    m_path = path;
    return true;
}

bool CFile::IsOpen() const { return m_file != nullptr; }

uint32_t CFile::Read(void* buffer, uint32_t count) {
    if (m_file == nullptr) CFileException::ThrowErrno(EBADF, m_path);
    if (count == 0) return 0;
    errno = 0;
    const size_t got = std::fread(buffer, 1, count, m_file);
    if (got < count && std::ferror(m_file)) {
        const int e = errno;
        std::clearerr(m_file);
        CFileException::ThrowErrno(e, m_path);
    }
    return static_cast<uint32_t>(got);
}

void CFile::Write(const void* buffer, uint32_t count) {
    if (m_file == nullptr) CFileException::ThrowErrno(EBADF, m_path);
    if (count == 0) return;
    errno = 0;
    if (std::fwrite(buffer, 1, count, m_file) != count) {
        const int e = errno;
        std::clearerr(m_file);
        CFileException::ThrowErrno(e, m_path);
    }
}

uint64_t CFile::Seek(int64_t offset, SeekPosition from) {
    if (m_file == nullptr) CFileException::ThrowErrno(EBADF, m_path);
    if (offset > LONG_MAX || offset < LONG_MIN) throw CFileException(CFileException::badSeek, EINVAL, m_path);
    const int whence = from == begin ? SEEK_SET : from == current ? SEEK_CUR : SEEK_END;
    errno = 0;
    if (std::fseek(m_file, static_cast<long>(offset), whence) != 0) {
        const int e = errno;
        throw CFileException(CFileException::badSeek, e, m_path);
    }
    return GetPosition();
}

uint64_t CFile::GetPosition() const {
    if (m_file == nullptr) CFileException::ThrowErrno(EBADF, m_path);
    errno = 0;
    const long pos = std::ftell(m_file);
    if (pos < 0) CFileException::ThrowErrno(errno, m_path);
    return static_cast<uint64_t>(pos);
}

uint64_t CFile::GetLength() const {
    if (m_file == nullptr) CFileException::ThrowErrno(EBADF, m_path);
    errno = 0;
    const long pos = std::ftell(m_file);
    if (pos < 0 || std::fseek(m_file, 0, SEEK_END) != 0) CFileException::ThrowErrno(errno, m_path);
    const long length = std::ftell(m_file);
    if (length < 0 || std::fseek(m_file, pos, SEEK_SET) != 0) CFileException::ThrowErrno(errno, m_path);
    return static_cast<uint64_t>(length);
}

void CFile::Flush() {
    if (m_file == nullptr) return;
    errno = 0;
    if (std::fflush(m_file) != 0) {
        const int e = errno;
        std::clearerr(m_file);
        CFileException::ThrowErrno(e, m_path);
    }
}

void CFile::Close() {
    if (m_file == nullptr) return;
    std::FILE* f = m_file;
    m_file = nullptr;
    errno = 0;
    if (std::fclose(f) != 0) CFileException::ThrowErrno(errno, m_path);
}

void CFile::Abort() {
    if (m_file == nullptr) return;
    std::fclose(m_file);
    m_file = nullptr;
}

// ---------------------------------------------------------------------------
// CMemFile

uint32_t CMemFile::Read(void* buffer, uint32_t count) {
    const size_t left = m_pos < m_data.size() ? m_data.size() - m_pos : 0;
    const size_t n = std::min<size_t>(count, left);
    if (n != 0) std::memcpy(buffer, m_data.data() + m_pos, n);
    m_pos += n;
    return static_cast<uint32_t>(n);
}

void CMemFile::Write(const void* buffer, uint32_t count) {
    if (count == 0) return;
    if (m_pos + count > m_data.size()) m_data.resize(m_pos + count);
    std::memcpy(m_data.data() + m_pos, buffer, count);
    m_pos += count;
}

uint64_t CMemFile::Seek(int64_t offset, SeekPosition from) {
    const int64_t base = from == begin ? 0 : from == current ? static_cast<int64_t>(m_pos)
                                                             : static_cast<int64_t>(m_data.size());
    const int64_t pos = base + offset;
    if (pos < 0) throw CFileException(CFileException::badSeek, EINVAL);
    m_pos = static_cast<size_t>(pos);
    return m_pos;
}

// ---------------------------------------------------------------------------
// CArchive

CArchive::CArchive(CFile* file, Mode mode, uint32_t bufferSize)
    : m_file(file), m_mode(mode), m_buffer(std::max<uint32_t>(bufferSize, 16)) {}

CArchive::~CArchive() {
    if (m_closed || !IsStoring()) return;
    try {
        Flush();
    } catch (...) {
        // Errors of an archive that was never closed are not reported.
    }
}

bool CArchive::Fill() {
    m_cur = 0;
    m_end = m_file->Read(m_buffer.data(), static_cast<uint32_t>(m_buffer.size()));
    return m_end != 0;
}

uint32_t CArchive::Read(void* buffer, uint32_t count) {
    auto* out = static_cast<uint8_t*>(buffer);
    uint32_t done = 0;
    while (done < count) {
        if (m_cur == m_end) {
            // Large reads go straight to the file.
            if (count - done >= m_buffer.size()) {
                const uint32_t got = m_file->Read(out + done, count - done);
                done += got;
                break;
            }
            if (!Fill()) break;
        }
        const size_t n = std::min<size_t>(count - done, m_end - m_cur);
        std::memcpy(out + done, m_buffer.data() + m_cur, n);
        m_cur += n;
        done += static_cast<uint32_t>(n);
    }
    return done;
}

void CArchive::Write(const void* buffer, uint32_t count) {
    const auto* in = static_cast<const uint8_t*>(buffer);
    while (count != 0) {
        if (m_end == m_buffer.size()) Flush();
        if (m_end == 0 && count >= m_buffer.size()) {
            m_file->Write(in, count);
            return;
        }
        const size_t n = std::min<size_t>(count, m_buffer.size() - m_end);
        std::memcpy(m_buffer.data() + m_end, in, n);
        m_end += n;
        in += n;
        count -= static_cast<uint32_t>(n);
    }
}

CArchive& CArchive::operator<<(uint8_t v) {
    Write(&v, 1);
    return *this;
}

CArchive& CArchive::operator<<(uint32_t v) {
    const uint8_t b[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
                          static_cast<uint8_t>(v >> 24)};
    Write(b, 4);
    return *this;
}

CArchive& CArchive::operator<<(int32_t v) { return *this << static_cast<uint32_t>(v); }

CArchive& CArchive::operator>>(uint8_t& v) {
    if (Read(&v, 1) != 1) throw CArchiveException(CArchiveException::endOfFile);
    return *this;
}

CArchive& CArchive::operator>>(uint32_t& v) {
    uint8_t b[4];
    if (Read(b, 4) != 4) throw CArchiveException(CArchiveException::endOfFile);
    v = static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 | static_cast<uint32_t>(b[2]) << 16 |
        static_cast<uint32_t>(b[3]) << 24;
    return *this;
}

CArchive& CArchive::operator>>(int32_t& v) {
    uint32_t u;
    *this >> u;
    v = static_cast<int32_t>(u);
    return *this;
}

void CArchive::WriteString(const std::string& s) { Write(s.data(), static_cast<uint32_t>(s.size())); }

bool CArchive::ReadString(std::string& line, size_t maxChars) {
    line.clear();
    bool lastWasCr = false;  // a CR among the kept bytes just before the LF
    for (;;) {
        if (m_cur == m_end && !Fill()) return false;
        const uint8_t c = m_buffer[m_cur++];
        if (c == '\n') {
            if (lastWasCr) line.pop_back();
            return true;
        }
        if (line.size() < maxChars) {
            line.push_back(static_cast<char>(c));
            lastWasCr = c == '\r';
        } else {
            lastWasCr = false;
        }
    }
}

uint64_t CArchive::BytesLeft() const {
    const uint64_t length = m_file->GetLength();
    const uint64_t pos = m_file->GetPosition();
    return (length > pos ? length - pos : 0) + (m_end - m_cur);
}

void CArchive::Flush() {
    if (!IsStoring() || m_end == 0) return;
    const size_t n = m_end;
    m_end = 0;
    m_file->Write(m_buffer.data(), static_cast<uint32_t>(n));
}

void CArchive::Close() {
    if (m_closed) return;
    m_closed = true;
    if (IsStoring()) {
        Flush();
        m_file->Flush();
    }
}

void CArchive::Abort() {
    m_closed = true;
    m_end = 0;
    m_cur = 0;
}

namespace {
WriteFileCreator& Creator() {
    static WriteFileCreator creator;
    return creator;
}
}  // namespace

void SetWriteFileCreator(WriteFileCreator creator) { Creator() = std::move(creator); }

std::unique_ptr<CFile> CreateWriteFile(const std::string& path, CFileException* error) {
    if (Creator()) return Creator()(path, error);
    auto file = std::make_unique<CFile>();
    if (!file->Open(path, CFile::modeCreate | CFile::modeWrite, error)) return nullptr;
    return file;
}
