// The framework's files as the families use them: why an open fails and how
// sharing behaves (each system by its own rules), and reads, writes and seeks
// on a disk file, a buffered file and a memory file. (Text lines are tested
// through the line readers.)
#include <kxutils96/platform/framework/afx_file.h>
#include <kxutils96/platform/framework/afx_mem_file.h>
#include <kxutils96/platform/framework/afx_stdio_file.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "support/caught_exception.h"
#include "support/file_bytes.h"
#include "support/system_rules.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using namespace kxu::test;

// The cause of the CFileException that `action` raises, or -1 (and a failure).
template <class Action>
int CauseOf(Action&& action) {
  const auto error = Caught<CFileException>(std::forward<Action>(action));
  return error ? error->m_cause : -1;
}

TEST(CFileOpen, FailuresReportCauseSystemErrorAndName) {
  const struct {
    const char* scene;  // "file" or "folder" made at the path's first part, or nothing
    std::u16string rest;
    UINT flags;
    int cause;
    long OsErrors::*osError;
  } rows[] = {
      {"", u"missing.txt", CFile::modeRead, CFileException::fileNotFound, &OsErrors::fileNotFound},
      {"", u"no\\such\\file.txt", CFile::modeCreate | CFile::modeWrite, CFileException::badPath,
       &OsErrors::pathNotFound},
      {"file", u"/file.txt", CFile::modeRead, CFileException::badPath, &OsErrors::notAFolder},
      {"folder", u"", CFile::modeRead, CFileException::accessDenied, &OsErrors::isAFolder},
      {"file", u"", CFile::modeRead | 0x50, CFileException::genericException,
       &OsErrors::invalidArgument},
  };
  for (const auto& row : rows) {
    TempDir dir;
    if (std::string_view(row.scene) == "file") WriteBytes(dir.Path("x"), "data");
    if (std::string_view(row.scene) == "folder") fs::create_directory(dir.Path("x"));
    const std::u16string path =
        dir.Path().u16string() + u"/" + (*row.scene ? u"x" : u"") + row.rest;
    CFile file;
    CFileException error;
    EXPECT_FALSE(file.Open(path.c_str(), row.flags, &error)) << row.scene << row.flags;
    EXPECT_EQ(error.m_cause, row.cause) << row.scene << row.flags;
    EXPECT_EQ(error.m_lOsError, kOsErrors.*row.osError) << row.scene << row.flags;
    EXPECT_TRUE(error.m_strFileName == path.c_str());
    EXPECT_FALSE(fs::exists(dir.Path("no")));  // a failed create makes no folder
  }
}

TEST(CFileOpen, ConflictingSharingModesRefuseTheSecondOpen) {
  constexpr UINT r = CFile::modeRead, w = CFile::modeWrite, rw = CFile::modeReadWrite;
  // A reader that denies no one, and readers without a sharing mode, take no
  // lock on POSIX; on Windows every open keeps the others to its sharing mode.
  const struct {
    UINT first, second;
    bool opensWithLocks, opensWithShareModes;
  } rows[] = {
      {w | CFile::shareExclusive, r | CFile::shareDenyWrite, false, false},
      {r | CFile::shareDenyWrite, w | CFile::shareCompat, false, false},
      {r | CFile::shareDenyRead, rw | CFile::shareExclusive, false, false},
      {r | CFile::shareDenyWrite, r | CFile::shareDenyWrite, true, true},
      {r | CFile::shareDenyNone, w | CFile::shareExclusive, true, false},
      {r | CFile::shareCompat, r | CFile::shareCompat, true, false},
  };
  for (const auto& row : rows) {
    const bool opens =
        kxu::test::kShareModesBindEveryOpen ? row.opensWithShareModes : row.opensWithLocks;
    TempDir dir;
    const std::u16string path = dir.Path("shared.bin").u16string();
    WriteBytes(dir.Path("shared.bin"), "data");
    auto first = std::make_unique<CFile>(path.c_str(), row.first);
    CFile second;
    CFileException error;
    ASSERT_EQ(second.Open(path.c_str(), row.second | CFile::modeCreate, &error),
              opens ? TRUE : FALSE)
        << row.first << " then " << row.second;
    if (!opens) {
      EXPECT_EQ(error.m_cause, CFileException::sharingViolation);
      EXPECT_EQ(error.m_lOsError, kOsErrors.sharingViolation);
      first.reset();                                         // closing releases the lock
      EXPECT_EQ(ReadBytes(dir.Path("shared.bin")), "data");  // the refused create cut nothing
      EXPECT_TRUE(second.Open(path.c_str(), row.second));
    }
  }
}

// A disk file, a buffered file and a memory file each read back what was
// written (more than any buffer holds), seek from each origin, read short at
// the end, keep a gap a write leaves as zeros, and refuse a seek before the
// start or from no origin.
TEST(CFileKinds, ReadBackWhatWasWrittenAndSeekWithinTheFile) {
  TempDir dir;
  const UINT mode = CFile::modeCreate | CFile::modeReadWrite | CFile::typeBinary;
  CFile disk(dir.Path("disk").u16string().c_str(), mode);
  CStdioFile buffered(dir.Path("buffered").u16string().c_str(), mode);
  CMemFile memory(7);
  std::string bytes(200000, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7919 >> 3);
  for (CFile* file : {&disk, static_cast<CFile*>(&buffered), static_cast<CFile*>(&memory)}) {
    file->Write(bytes.data(), static_cast<UINT>(bytes.size()));
    EXPECT_EQ(file->Seek(3, CFile::current), bytes.size() + 3);
    file->Write("z", 1);  // after a gap of three zeros
    EXPECT_EQ(file->GetLength(), bytes.size() + 4);
    EXPECT_EQ(file->Seek(-6, CFile::end), bytes.size() - 2);
    std::string back(10, '#');
    back.resize(file->Read(back.data(), 10));
    EXPECT_EQ(back, bytes.substr(bytes.size() - 2) + std::string(3, '\0') + "z");
    EXPECT_EQ(CauseOf([&] { file->Seek(-1, CFile::begin); }), CFileException::badSeek);
    EXPECT_EQ(CauseOf([&] { file->Seek(0, 3); }), CFileException::badSeek);
    EXPECT_EQ(file->Seek(0, CFile::begin), 0u);
    EXPECT_EQ(file->GetPosition(), 0u);
    back.assign(bytes.size(), '#');
    EXPECT_EQ(file->Read(back.data(), static_cast<UINT>(back.size())), back.size());
    EXPECT_TRUE(back == bytes);
    EXPECT_EQ(file->GetPosition(), bytes.size());
  }
}

// A write where the file may not be written, a flush of a closed file and a
// write the disk has no room for, raise; the writer of text files turns them into its result.
TEST(CFileErrors, ReadOnlyFilesAndFullDisks) {
  TempDir dir;
  WriteBytes(dir.Path("r.bin"), "data");
  CFile reader(dir.Path("r.bin").u16string().c_str(), CFile::modeRead | CFile::shareDenyWrite);
  auto error = Caught<CFileException>([&] { reader.Write("x", 1); });
  ASSERT_TRUE(error);
  EXPECT_EQ(error->m_cause, CFileException::accessDenied);
  EXPECT_EQ(error->m_lOsError, kOsErrors.notOpenForWriting);
  reader.Close();
  EXPECT_EQ(CauseOf([&] { reader.Flush(); }), CFileException::invalidFile);
  if (fs::exists("/dev/full")) {
    CStdioFile full(u"/dev/full", CFile::modeWrite | CFile::shareDenyNone);
    full.WriteString("lost");  // buffered: no error yet
    EXPECT_EQ(CauseOf([&] { full.Close(); }), CFileException::diskFull);
    EXPECT_FALSE(full.IsOpen());
  }
}

}  // namespace
