// The framework's files as the families use them: why an open fails and how
// sharing behaves (each system by its own rules), and random sequences of
// reads, writes and seeks on a disk file, a buffered file and a memory file
// against a byte string. (Text lines are tested through the
// line readers.)
#include <kxutils96/platform/framework/afx_file.h>
#include <kxutils96/platform/framework/afx_mem_file.h>
#include <kxutils96/platform/framework/afx_stdio_file.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <string_view>

#include "support/caught_exception.h"
#include "support/file_bytes.h"
#include "support/system_rules.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using kxu::test::Caught;
using kxu::test::kOsErrors;
using kxu::test::OsErrors;
using kxu::test::ReadBytes;
using kxu::test::TempDir;
using kxu::test::WriteBytes;

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
      {"file", u"", CFile::modeWrite | CFile::modeReadWrite, CFileException::genericException,
       &OsErrors::invalidArgument},
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

// A disk file, a buffered text file in binary mode and a memory file against a
// byte string and a position.
class FileKindTest : public testing::TestWithParam<int> {};

TEST_P(FileKindTest, BehavesLikeAByteStringUnderRandomOperations) {
  TempDir dir;
  const fs::path path = dir.Path("random.bin");
  const std::u16string name = path.u16string();
  const UINT mode = CFile::modeCreate | CFile::modeReadWrite | CFile::typeBinary;
  std::unique_ptr<CFile> file;
  if (GetParam() == 0) file = std::make_unique<CFile>(name.c_str(), mode);
  if (GetParam() == 1) file = std::make_unique<CStdioFile>(name.c_str(), mode);
  if (GetParam() == 2) file = std::make_unique<CMemFile>(7);
  std::mt19937 rng(96);
  auto pick = [&](long long lo, long long hi) {
    return std::uniform_int_distribution<long long>(lo, hi)(rng);
  };
  std::string ref;
  long long pos = 0;
  for (int step = 0; step < 2000; ++step) {
    const long long len = static_cast<long long>(ref.size());
    // Sizes mostly small, sometimes larger than any buffer; a seek's origin
    // 3 is none at all.
    const long long n = pick(0, 19) == 0 ? pick(0, 200000) : pick(0, 40);
    const UINT from = static_cast<UINT>(pick(0, 3));
    const long long offset = pick(-len - 3, 5);
    const long long target = offset + (from == CFile::current ? pos : from == CFile::end ? len : 0);
    std::string bytes(static_cast<std::size_t>(n), '\0');
    for (char& byte : bytes) byte = static_cast<char>(pick(0, 255));
    const std::function<void()> ops[] = {
        [&] {
          file->Write(bytes.data(), static_cast<UINT>(n));
          if (n == 0) return;  // a gap before the bytes reads as zeros; writing nothing makes none
          ref.resize(static_cast<std::size_t>(std::max(pos, len)));
          ref.replace(static_cast<std::size_t>(pos), bytes.size(), bytes);
          pos += n;
        },
        [&] {
          bytes.resize(file->Read(bytes.data(), static_cast<UINT>(n)));
          EXPECT_EQ(bytes, pos >= len ? "" : ref.substr(static_cast<std::size_t>(pos), n));
          pos = std::max(pos, std::min(len, pos + n));
        },
        [&] {
          if (from > CFile::end || target < 0) {
            EXPECT_EQ(CauseOf([&] { file->Seek(offset, from); }), CFileException::badSeek);
          } else {
            EXPECT_EQ(file->Seek(offset, from), static_cast<ULONGLONG>(pos = target));
          }
        },
        [&] { EXPECT_EQ(file->GetLength(), static_cast<ULONGLONG>(len)); },
    };
    const auto op = static_cast<std::size_t>(pick(0, std::size(ops) - 1));
    ops[op]();
    ASSERT_FALSE(HasFailure()) << "op " << op << " step " << step;
    ASSERT_EQ(file->GetPosition(), static_cast<ULONGLONG>(pos)) << "op " << op << " step " << step;
  }
  file->Close();
  if (GetParam() < 2) {
    EXPECT_EQ(ReadBytes(path), ref);
  }
}

INSTANTIATE_TEST_SUITE_P(CFile, FileKindTest, testing::Values(0, 1, 2));

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
