// The file layer: causes from errno, a full disk reported on flush, typed reads
// at the end of a file, text lines, and the storing archive's buffering.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "shared/file_io.h"

namespace {

TEST(FileIoTest, CausesFromErrno) {
    const struct {
        int error;
        int cause;
    } cases[] = {
        {0, CFileException::none},           {ENOSPC, CFileException::diskFull},
        {EDQUOT, CFileException::diskFull},  {EFBIG, CFileException::diskFull},
        {EACCES, CFileException::accessDenied}, {EPERM, CFileException::accessDenied},
        {EROFS, CFileException::accessDenied},  {ENOENT, CFileException::fileNotFound},
        {EIO, CFileException::generic},      {EISDIR, CFileException::generic},
    };
    for (const auto& c : cases) EXPECT_EQ(CFileException::CauseFromErrno(c.error), c.cause) << c.error;
}

TEST(FileIoTest, OpenFailureAndAFullDiskCarryTheirCause) {
    CFile missing;
    CFileException error;
    EXPECT_FALSE(missing.Open("/nonexistent-dir/x.mcs", CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::fileNotFound);

    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    CFile full;
    ASSERT_TRUE(full.Open("/dev/full", CFile::modeWrite));
    CArchive ar(&full, CArchive::store);
    int cause = CFileException::none;
    try {
        for (int i = 0; i < 100000; ++i) ar << uint32_t{1};
        ar.Close();
        full.Close();
    } catch (const CFileException& e) {
        cause = e.m_cause;
        ar.Abort();
        full.Abort();
    }
    EXPECT_EQ(cause, CFileException::diskFull);
}

TEST(FileIoTest, ArchiveRoundTripsWordsAndLinesAndStopsAtTheEnd) {
    const std::string path = ::testing::TempDir() + std::to_string(::getpid()) + "-file_io_test.bin";
    {
        CFile f(path, CFile::modeCreate | CFile::modeWrite);
        CArchive ar(&f, CArchive::store, 16);  // a small buffer: writes pass through it many times
        ar << uint32_t{0x01020304} << int32_t{-2} << uint8_t{0xAB};
        ar.WriteString("first\r\nsecond\nthird\r\r\nlast");
        ar.Close();
        f.Close();
    }
    CFile f(path, CFile::modeRead);
    std::filesystem::remove(path);  // the open file stays readable
    EXPECT_EQ(f.GetLength(), 9u + 26u);
    CArchive ar(&f, CArchive::load, 16);
    uint32_t u;
    int32_t i;
    uint8_t b;
    ar >> u >> i >> b;
    EXPECT_EQ(u, 0x01020304u);
    EXPECT_EQ(i, -2);
    EXPECT_EQ(b, 0xAB);
    std::string line;
    EXPECT_TRUE(ar.ReadString(line));
    EXPECT_EQ(line, "first");
    EXPECT_TRUE(ar.ReadString(line, 3));  // kept up to 3 characters, the rest dropped
    EXPECT_EQ(line, "sec");
    EXPECT_TRUE(ar.ReadString(line));
    EXPECT_EQ(line, "third\r");  // only the CR before the LF belongs to the line end
    EXPECT_EQ(ar.BytesLeft(), 4u);
    EXPECT_FALSE(ar.ReadString(line));  // no LF before the end
    EXPECT_EQ(line, "last");
    EXPECT_THROW(ar >> b, CArchiveException);
}

TEST(FileIoTest, TypedReadThatEndsInsideAWordRaisesEndOfFile) {
    const uint8_t bytes[] = {1, 2, 3};
    CMemFile mem(bytes, sizeof(bytes));
    CArchive ar(&mem, CArchive::load);
    uint32_t v = 0;
    try {
        ar >> v;
        FAIL() << "no exception";
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.m_cause, CArchiveException::endOfFile);
    }
}

}  // namespace
