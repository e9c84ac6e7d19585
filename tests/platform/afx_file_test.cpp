#include <kxutils96/platform/framework/afx_file.h>
#include <kxutils96/platform/framework/afx_mem_file.h>
#include <kxutils96/platform/framework/afx_stdio_file.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "support/allocated_size.h"
#include "support/caught_exception.h"
#include "support/permissions.h"
#include "support/system_rules.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using kxu::test::Caught;
using kxu::test::kOsErrors;
using kxu::test::OsErrors;
using kxu::test::TempDir;

std::u16string Wide(const fs::path& path) {
  return path.u16string();
}

void WriteFileBytes(const fs::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << path;
}

std::string FileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string ReadAll(CFile& file, UINT nCount) {
  std::string bytes(nCount, '\0');
  bytes.resize(file.Read(bytes.data(), nCount));
  return bytes;
}

void WriteText(CFile& file, std::string_view text) {
  file.Write(text.data(), static_cast<UINT>(text.size()));
}

std::u16string ToU16(const CStringW& text) {
  return {text.GetString(), size_t(text.GetLength())};
}

std::string ToStd(const CStringA& text) {
  return {text.GetString(), size_t(text.GetLength())};
}

struct SeekRequest {
  LONGLONG offset;
  UINT from;
};

// ---------------------------------------------------------------------------
// CFile: why an open fails

struct OpenFailureCase {
  const char* name;
  fs::path (*prepare)(const TempDir& dir);  // makes the scene, returns the path to open
  const char16_t* suffix;                   // appended to the path as UTF-16
  UINT flags;
  int cause;
  long OsErrors::*osError;  // this system's number, in kOsErrors
};

fs::path MissingFile(const TempDir& dir) {
  return dir.Path("missing.txt");
}
fs::path MissingFolder(const TempDir& dir) {
  return dir.Path("no/such/folder/file.txt");
}
fs::path FileAsFolder(const TempDir& dir) {
  WriteFileBytes(dir.Path("plain"), "x");
  return dir.Path("plain/file.txt");
}
fs::path Folder(const TempDir& dir) {
  fs::create_directory(dir.Path("folder"));
  return dir.Path("folder");
}
fs::path ExistingFile(const TempDir& dir) {
  WriteFileBytes(dir.Path("data.bin"), "data");
  return dir.Path("data.bin");
}
fs::path TempRoot(const TempDir& dir) {
  return dir.Path();
}

class OpenFailureTest : public testing::TestWithParam<OpenFailureCase> {};

TEST_P(OpenFailureTest, ReportsCauseErrorAndName) {
  const OpenFailureCase& c = GetParam();
  TempDir dir;
  const std::u16string path = Wide(c.prepare(dir)) + c.suffix;
  CFile file;
  CFileException error;
  EXPECT_FALSE(file.Open(path.c_str(), c.flags, &error));
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(error.m_cause, c.cause);
  EXPECT_EQ(error.m_lOsError, kOsErrors.*c.osError);
  EXPECT_EQ(ToU16(error.m_strFileName), path);
}

INSTANTIATE_TEST_SUITE_P(
    CFile, OpenFailureTest,
    testing::Values(
        OpenFailureCase{"MissingFileRead", MissingFile, u"", CFile::modeRead,
                        CFileException::fileNotFound, &OsErrors::fileNotFound},
        OpenFailureCase{"MissingFileWriteWithoutCreate", MissingFile, u"", CFile::modeWrite,
                        CFileException::fileNotFound, &OsErrors::fileNotFound},
        OpenFailureCase{"MissingFolder", MissingFolder, u"", CFile::modeCreate | CFile::modeWrite,
                        CFileException::badPath, &OsErrors::pathNotFound},
        OpenFailureCase{"MissingFolderBackslashes", TempRoot, u"\\no\\such\\file.txt",
                        CFile::modeCreate | CFile::modeWrite, CFileException::badPath,
                        &OsErrors::pathNotFound},
        OpenFailureCase{"FileUsedAsFolder", FileAsFolder, u"", CFile::modeRead,
                        CFileException::badPath, &OsErrors::notAFolder},
        OpenFailureCase{"FolderForReading", Folder, u"", CFile::modeRead,
                        CFileException::accessDenied, &OsErrors::isAFolder},
        OpenFailureCase{"FolderForWriting", Folder, u"", CFile::modeWrite,
                        CFileException::accessDenied, &OsErrors::isAFolder},
        OpenFailureCase{"FolderWithCreate", Folder, u"", CFile::modeCreate | CFile::modeReadWrite,
                        CFileException::accessDenied, &OsErrors::isAFolder},
        OpenFailureCase{"NoAccessMode", ExistingFile, u"", CFile::modeWrite | CFile::modeReadWrite,
                        CFileException::genericException, &OsErrors::invalidArgument},
        OpenFailureCase{"NoSharingMode", ExistingFile, u"", CFile::modeRead | 0x50,
                        CFileException::genericException, &OsErrors::invalidArgument}),
    [](const testing::TestParamInfo<OpenFailureCase>& info) { return info.param.name; });

TEST(CFileOpen, FailedOpenWithCreateInMissingFolderCreatesNothing) {
  TempDir dir;
  CFile file;
  EXPECT_FALSE(
      file.Open(Wide(dir.Path("no/file.txt")).c_str(), CFile::modeCreate | CFile::modeWrite));
  EXPECT_FALSE(fs::exists(dir.Path("no")));
}

TEST(CFileOpen, NullNameIsAMissingFile) {
  CFile file;
  CFileException error;
  EXPECT_FALSE(file.Open(nullptr, CFile::modeRead, &error));
  EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
  EXPECT_TRUE(error.m_strFileName.IsEmpty());
}

TEST(CFileOpen, ConstructorRaisesTheOpenFailure) {
  TempDir dir;
  const std::u16string path = Wide(dir.Path("missing.txt"));
  auto error = Caught<CFileException>([&] { CFile file(path.c_str(), CFile::modeRead); });
  ASSERT_TRUE(error);
  EXPECT_EQ(error->m_cause, CFileException::fileNotFound);
  EXPECT_EQ(error->m_lOsError, kOsErrors.fileNotFound);
  EXPECT_EQ(ToU16(error->m_strFileName), path);
}

TEST(CFileOpen, PermissionRefusedIsAccessDenied) {
  if (const std::string why = kxu::test::ReadRefusalUnsupported(); !why.empty())
    GTEST_SKIP() << why;
  TempDir dir;
  const fs::path path = dir.Path("locked.txt");
  WriteFileBytes(path, "secret");
  fs::permissions(path, fs::perms::none);
  CFile file;
  CFileException error;
  EXPECT_FALSE(file.Open(Wide(path).c_str(), CFile::modeRead, &error));
  EXPECT_EQ(error.m_cause, CFileException::accessDenied);
  EXPECT_EQ(error.m_lOsError, EACCES);
}

TEST(CFileOpen, OpeningAnOpenFileFailsAndKeepsTheFirst) {
  TempDir dir;
  const std::u16string first = Wide(dir.Path("first.txt"));
  const std::u16string second = Wide(dir.Path("second.txt"));
  CFile file(first.c_str(), CFile::modeCreate | CFile::modeWrite);
  CFileException error;
  EXPECT_FALSE(file.Open(second.c_str(), CFile::modeCreate | CFile::modeWrite, &error));
  EXPECT_EQ(error.m_cause, CFileException::genericException);
  EXPECT_FALSE(fs::exists(dir.Path("second.txt")));
  WriteText(file, "kept");
  file.Close();
  EXPECT_EQ(FileBytes(dir.Path("first.txt")), "kept");
}

TEST(CFileOpen, BackslashesSeparateFolders) {
  TempDir dir;
  fs::create_directory(dir.Path("sub"));
  const std::u16string path = Wide(dir.Path()) + u"\\sub\\file.txt";
  CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
  WriteText(file, "content");
  file.Close();
  EXPECT_EQ(FileBytes(dir.Path("sub/file.txt")), "content");
  EXPECT_EQ(ToU16(file.GetFilePath()), path);
}

TEST(CFileOpen, NonAsciiNamesReachTheFileSystemAsUtf8) {
  TempDir dir;
  const std::u16string path = Wide(dir.Path()) + u"/\u00e9t\u00e9 \U0001F600.txt";
  CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
  file.Close();
  EXPECT_TRUE(fs::exists(dir.Path("\xC3\xA9t\xC3\xA9 \xF0\x9F\x98\x80.txt")));
}

// ---------------------------------------------------------------------------
// CFile: creating and truncating

struct CreateCase {
  const char* name;
  UINT flags;
  const char* expected;  // the file after writing "NEW" (when writable) and closing
};

class CreateModeTest : public testing::TestWithParam<CreateCase> {};

TEST_P(CreateModeTest, TruncatesOnlyWhenAsked) {
  TempDir dir;
  const fs::path path = dir.Path("file.txt");
  WriteFileBytes(path, "old data");
  CFile file(Wide(path).c_str(), GetParam().flags);
  if ((GetParam().flags & 0x3) != CFile::modeRead) WriteText(file, "NEW");
  file.Close();
  EXPECT_EQ(FileBytes(path), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    CFile, CreateModeTest,
    testing::Values(
        CreateCase{"CreateTruncates", CFile::modeCreate | CFile::modeWrite, "NEW"},
        CreateCase{"CreateTruncatesReadOnly", CFile::modeCreate | CFile::modeRead, ""},
        CreateCase{"NoTruncateKeeps", CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite,
                   "NEW data"},
        CreateCase{"WithoutCreateKeeps", CFile::modeReadWrite, "NEW data"},
        CreateCase{"NoTruncateAloneKeeps", CFile::modeNoTruncate | CFile::modeWrite, "NEW data"}),
    [](const testing::TestParamInfo<CreateCase>& info) { return info.param.name; });

TEST(CFileCreate, CreatesAMissingFileWithOrWithoutTruncation) {
  for (UINT flags : {UINT{CFile::modeCreate | CFile::modeWrite},
                     UINT{CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite}}) {
    TempDir dir;
    CFile file(Wide(dir.Path("new.txt")).c_str(), flags);
    EXPECT_TRUE(file.IsOpen());
    EXPECT_EQ(file.GetLength(), 0u);
    EXPECT_TRUE(fs::is_regular_file(dir.Path("new.txt")));
  }
}

TEST(CFileCreate, DevicesAreOpenedWithoutTruncation) {
  if (!fs::exists("/dev/null")) GTEST_SKIP() << "no /dev/null";
  CFile file(u"/dev/null", CFile::modeCreate | CFile::modeWrite | CFile::shareDenyNone);
  WriteText(file, "discarded");
  EXPECT_TRUE(file.IsOpen());
}

// ---------------------------------------------------------------------------
// CFile: sharing

struct SharingCase {
  const char* name;
  UINT first;
  UINT second;
  bool secondOpensWithLocks;       // POSIX
  bool secondOpensWithShareModes;  // Windows
};

class SharingTest : public testing::TestWithParam<SharingCase> {};

TEST_P(SharingTest, ConflictingLocksRefuseTheSecondOpen) {
  const SharingCase& c = GetParam();
  const bool secondOpens =
      kxu::test::kShareModesBindEveryOpen ? c.secondOpensWithShareModes : c.secondOpensWithLocks;
  TempDir dir;
  const std::u16string path = Wide(dir.Path("shared.bin"));
  WriteFileBytes(dir.Path("shared.bin"), "data");
  CFile first(path.c_str(), c.first);
  CFile second;
  CFileException error;
  ASSERT_EQ(second.Open(path.c_str(), c.second, &error), secondOpens ? TRUE : FALSE);
  if (!secondOpens) {
    EXPECT_EQ(error.m_cause, CFileException::sharingViolation);
    EXPECT_EQ(error.m_lOsError, kOsErrors.sharingViolation);
  }
}

constexpr UINT kRead = CFile::modeRead;
constexpr UINT kWrite = CFile::modeWrite;
constexpr UINT kReadWrite = CFile::modeReadWrite;

// A reader that denies no one, and readers without a sharing mode, take no
// lock on POSIX; on Windows every open keeps the others to its sharing mode.
INSTANTIATE_TEST_SUITE_P(
    CFile, SharingTest,
    testing::Values(SharingCase{"ExclusiveWriterBlocksDenyWriteReader",
                                kWrite | CFile::shareExclusive, kRead | CFile::shareDenyWrite,
                                false, false},
                    SharingCase{"ExclusiveWriterBlocksExclusiveWriter",
                                kWrite | CFile::shareExclusive, kWrite | CFile::shareExclusive,
                                false, false},
                    SharingCase{"CompatWriterBlocksCompatWriter", kReadWrite | CFile::shareCompat,
                                kReadWrite | CFile::shareCompat, false, false},
                    SharingCase{"DenyWriteReaderBlocksCompatWriter", kRead | CFile::shareDenyWrite,
                                kWrite | CFile::shareCompat, false, false},
                    SharingCase{"DenyReadBlocksExclusiveWriter", kRead | CFile::shareDenyRead,
                                kReadWrite | CFile::shareExclusive, false, false},
                    SharingCase{"DenyWriteReadersShare", kRead | CFile::shareDenyWrite,
                                kRead | CFile::shareDenyWrite, true, true},
                    SharingCase{"DenyNoneReadersShare", kRead | CFile::shareDenyNone,
                                kReadWrite | CFile::shareDenyNone, true, true},
                    SharingCase{"DenyNoneTakesNoLock", kRead | CFile::shareDenyNone,
                                kWrite | CFile::shareExclusive, true, false},
                    SharingCase{"DenyNoneIgnoresExclusiveWriter", kWrite | CFile::shareExclusive,
                                kReadWrite | CFile::shareDenyNone, true, false},
                    SharingCase{"CompatReadersShare", kRead | CFile::shareCompat,
                                kRead | CFile::shareCompat, true, false},
                    SharingCase{"ExclusiveReaderTakesNoLock", kRead | CFile::shareExclusive,
                                kWrite | CFile::shareExclusive, true, false}),
    [](const testing::TestParamInfo<SharingCase>& info) { return info.param.name; });

TEST(CFileSharing, RefusedCreateLeavesTheHoldersDataAlone) {
  TempDir dir;
  const std::u16string path = Wide(dir.Path("precious.bin"));
  CFile holder(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive);
  WriteText(holder, "precious");
  CFile intruder;
  EXPECT_FALSE(
      intruder.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive));
  holder.Close();
  EXPECT_EQ(FileBytes(dir.Path("precious.bin")), "precious");
}

TEST(CFileSharing, CloseAndDestructorReleaseTheLock) {
  TempDir dir;
  const std::u16string path = Wide(dir.Path("file.bin"));
  const UINT exclusive = CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive;
  CFile first(path.c_str(), exclusive);
  first.Close();
  { CFile second(path.c_str(), exclusive); }
  CFile third;
  EXPECT_TRUE(third.Open(path.c_str(), exclusive));
}

// ---------------------------------------------------------------------------
// CFile: reading, writing, seeking

class CFileIoTest : public testing::Test {
 protected:
  void SetUp() override {
    // Shared with readers, so that the test can read the file as others see it.
    ASSERT_TRUE(m_file.Open(Wide(m_path).c_str(),
                            CFile::modeCreate | CFile::modeReadWrite | CFile::shareDenyWrite));
  }

  TempDir m_dir;
  fs::path m_path = m_dir.Path("io.bin");
  CFile m_file;
};

TEST_F(CFileIoTest, WritesAndReadsBack) {
  WriteText(m_file, "hello world");
  EXPECT_EQ(m_file.GetPosition(), 11u);
  EXPECT_EQ(m_file.GetLength(), 11u);
  m_file.SeekToBegin();
  EXPECT_EQ(ReadAll(m_file, 5), "hello");
  EXPECT_EQ(m_file.Seek(1, CFile::current), 6u);
  EXPECT_EQ(ReadAll(m_file, 100), "world");  // short only at the end
  EXPECT_EQ(ReadAll(m_file, 100), "");
  EXPECT_EQ(m_file.Seek(-5, CFile::end), 6u);
  EXPECT_EQ(ReadAll(m_file, 5), "world");
  EXPECT_EQ(m_file.SeekToEnd(), 11u);
  m_file.Flush();
  EXPECT_EQ(FileBytes(m_path), "hello world");
}

TEST_F(CFileIoTest, LargeBlocksTravelWhole) {
  std::string block(3 * 1024 * 1024 + 17, '\0');
  for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 131 % 251);
  WriteText(m_file, block);
  m_file.SeekToBegin();
  EXPECT_EQ(ReadAll(m_file, static_cast<UINT>(block.size() + 10)), block);
}

TEST_F(CFileIoTest, SeekToANegativePositionIsBadSeekAndMovesNothing) {
  WriteText(m_file, "0123456789");
  m_file.Seek(4, CFile::begin);
  for (SeekRequest seek : {SeekRequest{-1, CFile::begin}, SeekRequest{-5, CFile::current},
                           SeekRequest{-11, CFile::end}}) {
    auto error = Caught<CFileException>([&] { m_file.Seek(seek.offset, seek.from); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->m_cause, CFileException::badSeek);
    EXPECT_EQ(m_file.GetPosition(), 4u);
  }
  auto error = Caught<CFileException>([&] { m_file.Seek(0, 3); });
  ASSERT_TRUE(error);
  EXPECT_EQ(error->m_cause, CFileException::badSeek);
}

TEST_F(CFileIoTest, WritePastTheEndFillsTheGapWithZeros) {
  WriteText(m_file, "ab");
  EXPECT_EQ(m_file.Seek(6, CFile::begin), 6u);
  EXPECT_EQ(m_file.GetLength(), 2u);
  EXPECT_EQ(ReadAll(m_file, 4), "");
  WriteText(m_file, "z");
  EXPECT_EQ(m_file.GetLength(), 7u);
  m_file.Close();
  EXPECT_EQ(FileBytes(m_path), std::string("ab\0\0\0\0z", 7));
}

TEST_F(CFileIoTest, SetLengthCutsOrZeroExtendsAndKeepsThePositionInside) {
  WriteText(m_file, "0123456789");
  m_file.SetLength(4);
  EXPECT_EQ(m_file.GetLength(), 4u);
  EXPECT_EQ(m_file.GetPosition(), 4u);  // was 10, past the new end
  m_file.Seek(1, CFile::begin);
  m_file.SetLength(6);
  EXPECT_EQ(m_file.GetPosition(), 1u);
  m_file.Close();
  EXPECT_EQ(FileBytes(m_path), std::string("0123\0\0", 6));
}

TEST_F(CFileIoTest, NullBufferIsAnInvalidArgument) {
  EXPECT_TRUE(Caught<CInvalidArgException>([&] { m_file.Write(nullptr, 1); }));
  EXPECT_TRUE(Caught<CInvalidArgException>([&] { m_file.Read(nullptr, 1); }));
  m_file.Write(nullptr, 0);
  EXPECT_EQ(m_file.Read(nullptr, 0), 0u);
}

TEST(CFileIo, ReadOnlyFileRefusesWrites) {
  TempDir dir;
  WriteFileBytes(dir.Path("r.bin"), "data");
  CFile file(Wide(dir.Path("r.bin")).c_str(), CFile::modeRead | CFile::shareDenyWrite);
  auto error = Caught<CFileException>([&] { WriteText(file, "x"); });
  ASSERT_TRUE(error);
  EXPECT_EQ(error->m_cause, CFileException::accessDenied);
  EXPECT_EQ(error->m_lOsError, kOsErrors.notOpenForWriting);
  EXPECT_EQ(FileBytes(dir.Path("r.bin")), "data");
}

TEST(CFileIo, FullDeviceIsDiskFull) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  CFile file(u"/dev/full", CFile::modeWrite | CFile::shareDenyNone);
  auto error = Caught<CFileException>([&] { WriteText(file, "x"); });
  ASSERT_TRUE(error);
  EXPECT_EQ(error->m_cause, CFileException::diskFull);
  EXPECT_EQ(error->m_lOsError, ENOSPC);
  EXPECT_EQ(ToU16(error->m_strFileName), u"/dev/full");
}

// Every operation on a file that is not open raises invalidFile.
TEST(CFileIo, ClosedFileOperationsAreInvalidFile) {
  char byte = 0;
  struct Operation {
    const char* name;
    std::function<void(CFile&)> run;
  };
  const std::vector<Operation> operations = {
      {"Read", [&](CFile& f) { f.Read(&byte, 1); }},
      {"Write", [&](CFile& f) { f.Write(&byte, 1); }},
      {"Seek", [](CFile& f) { f.Seek(0, CFile::begin); }},
      {"GetPosition", [](CFile& f) { f.GetPosition(); }},
      {"GetLength", [](CFile& f) { f.GetLength(); }},
      {"SetLength", [](CFile& f) { f.SetLength(0); }},
      {"Flush", [](CFile& f) { f.Flush(); }},
  };
  TempDir dir;
  for (const Operation& operation : operations) {
    SCOPED_TRACE(operation.name);
    CFile neverOpened;
    CFile closed(Wide(dir.Path("c.bin")).c_str(), CFile::modeCreate | CFile::modeReadWrite);
    closed.Close();
    for (CFile* file : {&neverOpened, &closed}) {
      auto error = Caught<CFileException>([&] { operation.run(*file); });
      ASSERT_TRUE(error);
      EXPECT_EQ(error->m_cause, CFileException::invalidFile);
    }
  }
}

TEST(CFileIo, CloseAndAbortTwiceAreHarmless) {
  TempDir dir;
  CFile file(Wide(dir.Path("f.bin")).c_str(), CFile::modeCreate | CFile::modeWrite);
  file.Close();
  file.Close();
  file.Abort();
  EXPECT_FALSE(file.IsOpen());
  ASSERT_TRUE(file.Open(Wide(dir.Path("f.bin")).c_str(), CFile::modeRead));
  file.Abort();
  EXPECT_FALSE(file.IsOpen());
}

// ---------------------------------------------------------------------------
// CMemFile

std::string MemBytes(CMemFile& file) {
  const ULONGLONG position = file.GetPosition();
  file.SeekToBegin();
  std::string bytes = ReadAll(file, static_cast<UINT>(file.GetLength()));
  file.Seek(static_cast<LONGLONG>(position), CFile::begin);
  return bytes;
}

TEST(CMemFile, WritesReadsAndDetachesItsOwnBlock) {
  CMemFile file;
  WriteText(file, "hello");
  EXPECT_EQ(file.GetLength(), 5u);
  EXPECT_EQ(file.GetPosition(), 5u);
  file.SeekToBegin();
  EXPECT_EQ(ReadAll(file, 3), "hel");
  EXPECT_EQ(ReadAll(file, 30), "lo");
  EXPECT_EQ(ReadAll(file, 30), "");
  BYTE* block = file.Detach();
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(std::string_view(reinterpret_cast<char*>(block), 5), "hello");
  std::free(block);
  EXPECT_EQ(file.GetLength(), 0u);
  EXPECT_EQ(file.GetPosition(), 0u);
  WriteText(file, "again");  // an emptied file starts over with a block of its own
  EXPECT_EQ(MemBytes(file), "again");
}

class CMemFileGrowthTest : public testing::TestWithParam<UINT> {};

TEST_P(CMemFileGrowthTest, KeepsEveryByteWhileGrowing) {
  CMemFile file(GetParam());
  std::string expected;
  for (size_t size = 1; expected.size() < 20000; size = size * 3 % 1999 + 1) {
    const std::string piece(size, static_cast<char>('a' + size % 26));
    WriteText(file, piece);
    expected += piece;
    ASSERT_EQ(file.GetLength(), expected.size());
  }
  EXPECT_EQ(MemBytes(file), expected);
}

INSTANTIATE_TEST_SUITE_P(CMemFile, CMemFileGrowthTest, testing::Values(1u, 3u, 1024u, 65536u));

TEST(CMemFile, GrowsInWholeSteps) {
  for (auto [step, written, atLeast] :
       {std::tuple{4096u, 1u, 4096u}, std::tuple{100u, 150u, 200u}, std::tuple{7u, 7u, 7u}}) {
    CMemFile file(step);
    WriteText(file, std::string(written, 'x'));
    BYTE* block = file.Detach();
    EXPECT_GE(kxu::test::AllocatedSize(block), atLeast) << "step " << step;
    std::free(block);
  }
}

TEST(CMemFile, FixedCallerBufferIsTheFileAndNeverGrows) {
  BYTE buffer[8] = {'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'};
  CMemFile file(buffer, sizeof buffer);
  EXPECT_EQ(file.GetLength(), 8u);
  EXPECT_EQ(MemBytes(file), "abcdefgh");
  file.Seek(2, CFile::begin);
  WriteText(file, "XY");
  EXPECT_EQ(std::string_view(reinterpret_cast<char*>(buffer), 8), "abXYefgh");

  file.Seek(7, CFile::begin);
  auto error = Caught<CFileException>([&] { WriteText(file, "12"); });
  ASSERT_TRUE(error);
  EXPECT_EQ(error->m_cause, CFileException::diskFull);
  EXPECT_EQ(buffer[7], 'h');
  EXPECT_EQ(file.GetLength(), 8u);

  error = Caught<CFileException>([&] { file.SetLength(9); });
  ASSERT_TRUE(error);
  EXPECT_EQ(error->m_cause, CFileException::diskFull);
  file.SetLength(3);
  EXPECT_EQ(MemBytes(file), "abX");
  EXPECT_EQ(file.Detach(), buffer);  // handed back as it came, not freed
}

TEST(CMemFile, GrowableCallerBufferStartsEmptyAndIsCopiedWhenOutgrown) {
  BYTE buffer[4] = {'?', '?', '?', '?'};
  CMemFile file(buffer, sizeof buffer, 16);
  EXPECT_EQ(file.GetLength(), 0u);
  WriteText(file, "ab");
  EXPECT_EQ(buffer[0], 'a');  // still working in the caller's buffer
  WriteText(file, "cdefg");
  EXPECT_EQ(MemBytes(file), "abcdefg");
  BYTE* block = file.Detach();
  ASSERT_NE(block, buffer);
  EXPECT_EQ(std::string_view(reinterpret_cast<char*>(block), 7), "abcdefg");
  std::free(block);
}

TEST(CMemFile, AttachReleasesTheOldBlockAndDetachReturnsTheNewOne) {
  CMemFile file;
  WriteText(file, "own data");
  BYTE buffer[5] = {'1', '2', '3', '4', '5'};
  file.Attach(buffer, sizeof buffer);
  EXPECT_EQ(file.GetPosition(), 0u);
  EXPECT_EQ(MemBytes(file), "12345");
  EXPECT_EQ(file.Detach(), buffer);
}

TEST(CMemFile, NullBuffers) {
  CMemFile file;
  WriteText(file, "keep");
  EXPECT_TRUE(Caught<CInvalidArgException>([&] { file.Attach(nullptr, 5); }));
  EXPECT_EQ(MemBytes(file), "keep");
  file.Attach(nullptr, 0, 8);
  EXPECT_EQ(file.GetLength(), 0u);
  CMemFile fromNull(nullptr, 10);
  EXPECT_EQ(fromNull.GetLength(), 0u);
  EXPECT_TRUE(Caught<CInvalidArgException>([&] { file.Write(nullptr, 1); }));
  WriteText(file, "x");
  file.SeekToBegin();
  EXPECT_TRUE(Caught<CInvalidArgException>([&] { file.Read(nullptr, 1); }));
}

TEST(CMemFile, OwnBlockWithoutGrowthStepCannotGrow) {
  CMemFile file(0);
  auto error = Caught<CFileException>([&] { WriteText(file, "x"); });
  ASSERT_TRUE(error);
  EXPECT_EQ(error->m_cause, CFileException::diskFull);
}

TEST(CMemFile, SeekPastTheEndThenWriteFillsWithZeros) {
  CMemFile file;
  EXPECT_EQ(file.Seek(10, CFile::begin), 10u);
  EXPECT_EQ(file.GetLength(), 0u);
  EXPECT_EQ(ReadAll(file, 4), "");
  WriteText(file, "x");
  EXPECT_EQ(file.GetLength(), 11u);
  EXPECT_EQ(MemBytes(file), std::string(10, '\0') + "x");
  EXPECT_EQ(file.Seek(-3, CFile::end), 8u);
  EXPECT_EQ(file.Seek(2, CFile::current), 10u);
}

TEST(CMemFile, BadSeeksRaiseBadSeekAndKeepThePosition) {
  CMemFile file;
  WriteText(file, "0123456789");
  file.Seek(5, CFile::begin);
  for (SeekRequest seek :
       {SeekRequest{-1, CFile::begin}, SeekRequest{-6, CFile::current},
        SeekRequest{-11, CFile::end}, SeekRequest{LLONG_MAX, CFile::current}, SeekRequest{0, 7}}) {
    auto error = Caught<CFileException>([&] { file.Seek(seek.offset, seek.from); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->m_cause, CFileException::badSeek);
    EXPECT_EQ(file.GetPosition(), 5u);
  }
}

TEST(CMemFile, WriteAtAnImpossiblePositionIsOutOfMemory) {
  CMemFile file;
  file.Seek(LLONG_MAX, CFile::begin);
  EXPECT_TRUE(Caught<CMemoryException>([&] { WriteText(file, "x"); }));
  EXPECT_EQ(file.GetLength(), 0u);
}

TEST(CMemFile, SetLengthZeroExtendsAndClipsThePosition) {
  CMemFile file;
  WriteText(file, "abc");
  file.Seek(1, CFile::begin);
  file.SetLength(6);
  EXPECT_EQ(file.GetPosition(), 1u);
  EXPECT_EQ(MemBytes(file), std::string("abc\0\0\0", 6));
  file.SeekToEnd();
  file.SetLength(2);
  EXPECT_EQ(file.GetPosition(), 2u);
  EXPECT_EQ(MemBytes(file), "ab");
  file.SetLength(0);
  WriteText(file, "new");  // the usual way to start over
  EXPECT_EQ(MemBytes(file), "new");
}

TEST(CMemFile, CloseEmptiesTheFile) {
  CMemFile file;
  WriteText(file, "data");
  file.Close();
  EXPECT_EQ(file.GetLength(), 0u);
  EXPECT_EQ(file.GetPosition(), 0u);
  WriteText(file, "more");
  EXPECT_EQ(MemBytes(file), "more");
  file.Abort();
  EXPECT_EQ(file.GetLength(), 0u);
}

TEST(CMemFile, OpenIsNotSupported) {
  CMemFile file;
  EXPECT_TRUE(Caught<CNotSupportedException>([&] { file.Open(u"x", CFile::modeRead); }));
}

// ---------------------------------------------------------------------------
// CStdioFile: lines

struct LinesCase {
  const char* name;
  std::string content;
  UINT typeFlags;
  std::vector<std::string> lines;
};

class ReadStringTest : public testing::TestWithParam<LinesCase> {};

TEST_P(ReadStringTest, SplitsLinesAsTheModeSays) {
  const LinesCase& c = GetParam();
  TempDir dir;
  WriteFileBytes(dir.Path("lines.txt"), c.content);
  CStdioFile file(Wide(dir.Path("lines.txt")).c_str(), CFile::modeRead | c.typeFlags);
  std::vector<std::string> lines;
  CStringA line;
  while (file.ReadString(line)) lines.push_back(ToStd(line));
  EXPECT_EQ(lines, c.lines);
  line = "leftover";
  EXPECT_FALSE(file.ReadString(line));
  EXPECT_TRUE(line.IsEmpty());
}

const std::string kBufferSizedLine(64 * 1024 - 1, 'x');  // its CR ends the first buffer load

INSTANTIATE_TEST_SUITE_P(
    CStdioFile, ReadStringTest,
    testing::Values(
        LinesCase{"CrLf", "one\r\ntwo\r\n", CFile::typeText, {"one", "two"}},
        LinesCase{"Lf", "one\ntwo\n", CFile::typeText, {"one", "two"}},
        LinesCase{"TextIsTheDefault", "one\r\ntwo\n", 0, {"one", "two"}},
        LinesCase{"FinalLineWithoutEnd", "one\ntwo", CFile::typeText, {"one", "two"}},
        LinesCase{"EmptyFile", "", CFile::typeText, {}},
        LinesCase{"EmptyLines", "\n\r\n\n", CFile::typeText, {"", "", ""}},
        LinesCase{
            "BinaryKeepsCr", "one\r\ntwo\r\nend", CFile::typeBinary, {"one\r", "two\r", "end"}},
        LinesCase{"BinaryWinsOverText", "a\r\n", CFile::typeText | CFile::typeBinary, {"a\r"}},
        LinesCase{"LoneCrStays", "a\rb\r", CFile::typeText, {"a\rb\r"}},
        LinesCase{"OnlyOneCrDropped", "a\r\r\n", CFile::typeText, {"a\r"}},
        LinesCase{
            "EmbeddedNul", std::string("a\0b\n", 4), CFile::typeText, {std::string("a\0b", 3)}},
        LinesCase{"CrLfAcrossBufferLoads",
                  kBufferSizedLine + "\r\nnext",
                  CFile::typeText,
                  {kBufferSizedLine, "next"}},
        LinesCase{"LineLongerThanTheBuffer",
                  std::string(200000, 'y') + "\nz",
                  CFile::typeText,
                  {std::string(200000, 'y'), "z"}}),
    [](const testing::TestParamInfo<LinesCase>& info) { return info.param.name; });

TEST(CStdioFile, WideLinesDecodeUtf8OrTakeEachByte) {
  TempDir dir;
  WriteFileBytes(dir.Path("wide.txt"),
                 "h\xC3\xA9llo\r\n"    // valid UTF-8
                 "\xE9t\xE9\n"         // Latin-1, not UTF-8
                 "\xF0\x9F\x98\x80\n"  // outside the BMP: a surrogate pair
                 "ok\xC3\n"            // a truncated sequence makes the line Latin-1
                 "\xC3\xA9");          // final line without an end
  CStdioFile file(Wide(dir.Path("wide.txt")).c_str(), CFile::modeRead);
  std::vector<std::u16string> lines;
  CStringW line;
  while (file.ReadString(line)) lines.push_back(ToU16(line));
  EXPECT_EQ(lines, (std::vector<std::u16string>{u"h\u00e9llo", u"\u00e9t\u00e9", u"\U0001F600",
                                                u"ok\u00c3", u"\u00e9"}));
  EXPECT_TRUE(line.IsEmpty());
}

TEST(CStdioFile, WriteStringWritesTextAsItIs) {
  TempDir dir;
  const fs::path path = dir.Path("out.txt");
  {
    CStdioFile file(Wide(path).c_str(), CFile::modeCreate | CFile::modeWrite);
    file.WriteString("a\n");
    file.WriteString(u"\u00e9\r\n");
    file.WriteString(u"\U0001F600");
    file.WriteString("");
  }  // the destructor writes the buffered text
  EXPECT_EQ(FileBytes(path), "a\n\xC3\xA9\r\n\xF0\x9F\x98\x80");
}

TEST(CStdioFile, NullStringsAreInvalidArguments) {
  TempDir dir;
  CStdioFile file(Wide(dir.Path("n.txt")).c_str(), CFile::modeCreate | CFile::modeWrite);
  EXPECT_TRUE(
      Caught<CInvalidArgException>([&] { file.WriteString(static_cast<LPCSTR>(nullptr)); }));
  EXPECT_TRUE(
      Caught<CInvalidArgException>([&] { file.WriteString(static_cast<LPCWSTR>(nullptr)); }));
}

// ---------------------------------------------------------------------------
// CStdioFile: buffering seen from outside

class StdioBufferTest : public testing::Test {
 protected:
  void OpenWith(std::string_view content) {
    WriteFileBytes(m_path, content);
    ASSERT_TRUE(m_file.Open(Wide(m_path).c_str(),
                            CFile::modeReadWrite | CFile::typeBinary | CFile::shareDenyWrite));
  }

  TempDir m_dir;
  fs::path m_path = m_dir.Path("buffered.txt");
  CStdioFile m_file;
};

TEST_F(StdioBufferTest, WriteAfterReadGoesWhereTheReadStopped) {
  OpenWith("line1\nline2\n");
  CStringA line;
  ASSERT_TRUE(m_file.ReadString(line));
  EXPECT_EQ(m_file.GetPosition(), 6u);
  m_file.WriteString("LINE2");
  EXPECT_EQ(m_file.GetPosition(), 11u);
  m_file.Close();
  EXPECT_EQ(FileBytes(m_path), "line1\nLINE2\n");
}

TEST_F(StdioBufferTest, ReadAfterWriteSeesTheFileAfterTheWrite) {
  OpenWith("abcdef");
  WriteText(m_file, "XY");
  EXPECT_EQ(m_file.GetPosition(), 2u);
  EXPECT_EQ(m_file.GetLength(), 6u);
  EXPECT_EQ(ReadAll(m_file, 2), "cd");
  m_file.SeekToBegin();
  EXPECT_EQ(ReadAll(m_file, 10), "XYcdef");
}

TEST_F(StdioBufferTest, LengthCountsPendingBytesPastTheEnd) {
  OpenWith("abc");
  m_file.SeekToEnd();
  m_file.WriteString("defgh");
  EXPECT_EQ(m_file.GetLength(), 8u);
  EXPECT_EQ(m_file.GetPosition(), 8u);
}

TEST_F(StdioBufferTest, SeekCountsFromTheLogicalPosition) {
  OpenWith("0123456789");
  EXPECT_EQ(ReadAll(m_file, 2), "01");
  EXPECT_EQ(m_file.Seek(3, CFile::current), 5u);
  EXPECT_EQ(ReadAll(m_file, 1), "5");
  EXPECT_EQ(m_file.Seek(-2, CFile::current), 4u);
  EXPECT_EQ(ReadAll(m_file, 2), "45");
  auto error = Caught<CFileException>([&] { m_file.Seek(-1, CFile::begin); });
  ASSERT_TRUE(error);
  EXPECT_EQ(error->m_cause, CFileException::badSeek);
  EXPECT_EQ(ReadAll(m_file, 1), "6");
}

TEST_F(StdioBufferTest, SetLengthAppliesAfterPendingWrites) {
  OpenWith("");
  m_file.WriteString("abcdef");
  m_file.SetLength(3);
  EXPECT_EQ(m_file.GetLength(), 3u);
  m_file.Close();
  EXPECT_EQ(FileBytes(m_path), "abc");
}

TEST_F(StdioBufferTest, FlushHandsPendingBytesToTheSystem) {
  OpenWith("");
  m_file.WriteString("pending");
  m_file.Flush();
  EXPECT_EQ(FileBytes(m_path), "pending");
}

TEST_F(StdioBufferTest, LinesAndBlocksMix) {
  OpenWith("ab\ncdef\ngh");
  CStringA line;
  ASSERT_TRUE(m_file.ReadString(line));
  EXPECT_EQ(ReadAll(m_file, 3), "cde");
  ASSERT_TRUE(m_file.ReadString(line));
  EXPECT_EQ(ToStd(line), "f");
  ASSERT_TRUE(m_file.ReadString(line));
  EXPECT_EQ(ToStd(line), "gh");
}

TEST_F(StdioBufferTest, LargeBlocksReadAndWriteWhole) {
  std::string block(300000, '\0');
  for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i % 253);
  OpenWith("");
  WriteText(m_file, "head");
  WriteText(m_file, block);
  m_file.SeekToBegin();
  EXPECT_EQ(ReadAll(m_file, 4), "head");
  EXPECT_EQ(ReadAll(m_file, static_cast<UINT>(block.size() + 1)), block);
}

TEST(CStdioFileClose, FailedFinalWriteRaisesAndStillCloses) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  CStdioFile file(u"/dev/full", CFile::modeWrite | CFile::shareDenyNone);
  file.WriteString("lost");  // buffered: no error yet
  auto error = Caught<CFileException>([&] { file.Close(); });
  ASSERT_TRUE(error);
  EXPECT_EQ(error->m_cause, CFileException::diskFull);
  EXPECT_FALSE(file.IsOpen());
}

TEST(CStdioFileClose, DestructorSwallowsAFailedFinalWrite) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  auto file = std::make_unique<CStdioFile>(u"/dev/full", CFile::modeWrite | CFile::shareDenyNone);
  file->WriteString("lost");
  EXPECT_NO_THROW(file.reset());
}

TEST(CStdioFileClose, WritingToAClosedFileIsInvalidFile) {
  CStdioFile file;
  auto error = Caught<CFileException>([&] { file.WriteString("x"); });
  ASSERT_TRUE(error);
  EXPECT_EQ(error->m_cause, CFileException::invalidFile);
  CStringA line;
  error = Caught<CFileException>([&] { file.ReadString(line); });
  ASSERT_TRUE(error);
  EXPECT_EQ(error->m_cause, CFileException::invalidFile);
}

}  // namespace
