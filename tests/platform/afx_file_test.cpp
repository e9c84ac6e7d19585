// The framework's files and forms as the host and the families use them: why
// a file's open fails and how sharing behaves (each system by its own rules),
// and reads, writes and seeks on a disk file, a buffered file and a memory
// file (text lines are tested through the line readers, but for a read after
// a write); the archive's byte forms (counts, string lengths, values), each
// written, read back and cut short at every byte, its buffer and the storing
// archive's flushing as the string array and the archive tool rely on them;
// and the array's words and growth steps (its calls are tested through the
// families that make them).
//
// The framework's string against the standard string: random sequences of
// the calls the families make (with a fixed seed), each checked against what
// std::basic_string gives for the same call. (Formatting is tested through
// the messages and paths the families format, but for its scratch's edge.)
#include <kxutils96/platform/framework/afx_archive.h>
#include <kxutils96/platform/framework/afx_coll.h>
#include <kxutils96/platform/framework/afx_exception.h>
#include <kxutils96/platform/framework/afx_file.h>
#include <kxutils96/platform/framework/afx_mem_file.h>
#include <kxutils96/platform/framework/afx_stdio_file.h>
#include <kxutils96/platform/framework/afx_string.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "support/caught_exception.h"
#include "support/file_bytes.h"
#include "support/system_rules.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using namespace kxu::test;

// The cause and system error of the CFileException that `action` raises, or
// -1 (and a failure).
template <class Action>
std::pair<int, long> ErrorOf(Action&& action) {
  const auto error = Caught<CFileException>(std::forward<Action>(action));
  return error ? std::pair<int, long>(error->m_cause, error->m_lOsError) : std::pair(-1, 0L);
}

TEST(CFileOpen, FailuresReportCauseSystemErrorAndName) {
  // What is made at the path's first part ("file", "folder" or nothing), the
  // rest of the path, the flags, and the cause and system error of the failure.
  const std::tuple<std::string_view, std::u16string, UINT, int, long OsErrors::*> rows[] = {
      {"", u"missing.txt", CFile::modeRead, CFileException::fileNotFound, &OsErrors::fileNotFound},
      {"", u"no\\such\\file.txt", CFile::modeCreate | CFile::modeWrite, CFileException::badPath,
       &OsErrors::pathNotFound},
      {"file", u"/file.txt", CFile::modeRead, CFileException::badPath, &OsErrors::notAFolder},
      {"folder", u"", CFile::modeRead, CFileException::accessDenied, &OsErrors::isAFolder},
      {"file", u"", CFile::modeRead | 0x50, CFileException::genericException,
       &OsErrors::invalidArgument},
  };
  for (const auto& [scene, rest, flags, cause, osError] : rows) {
    TempDir dir;
    if (scene == "file") WriteBytes(dir.Path("x"), "data");
    if (scene == "folder") fs::create_directory(dir.Path("x"));
    const std::u16string path = dir.Path().u16string() + u"/" + (scene.empty() ? u"" : u"x") + rest;
    CFile file;
    CFileException error;
    EXPECT_FALSE(file.Open(path.c_str(), flags, &error)) << scene << flags;
    EXPECT_EQ(error.m_cause, cause) << scene << flags;
    EXPECT_EQ(error.m_lOsError, kOsErrors.*osError) << scene << flags;
    EXPECT_TRUE(error.m_strFileName == path.c_str());
    EXPECT_FALSE(fs::exists(dir.Path("no")));  // a failed create makes no folder
  }
}

TEST(CFileOpen, ConflictingSharingModesRefuseTheSecondOpen) {
  constexpr UINT r = CFile::modeRead, w = CFile::modeWrite, rw = CFile::modeReadWrite;
  // The first open's mode, the second's, and whether the second opens where
  // only locks bind and where every open binds. A reader that denies no one,
  // and readers without a sharing mode, take no lock on POSIX; on Windows
  // every open keeps the others to its sharing mode.
  const std::tuple<UINT, UINT, bool, bool> rows[] = {
      {w | CFile::shareExclusive, r | CFile::shareDenyWrite, false, false},
      {r | CFile::shareDenyWrite, w | CFile::shareCompat, false, false},
      {r | CFile::shareDenyRead, rw | CFile::shareExclusive, false, false},
      {r | CFile::shareDenyWrite, r | CFile::shareDenyWrite, true, true},
      {r | CFile::shareDenyNone, w | CFile::shareExclusive, true, false},
      {r | CFile::shareCompat, r | CFile::shareCompat, true, false},
  };
  for (const auto& [firstMode, secondMode, opensWithLocks, opensWithShareModes] : rows) {
    const bool opens = kShareModesBindEveryOpen ? opensWithShareModes : opensWithLocks;
    TempDir dir;
    const std::u16string path = dir.Path("shared.bin").u16string();
    WriteBytes(dir.Path("shared.bin"), "data");
    auto first = std::make_unique<CFile>(path.c_str(), firstMode);
    CFile second;
    CFileException error;
    ASSERT_EQ(second.Open(path.c_str(), secondMode | CFile::modeCreate, &error),
              opens ? TRUE : FALSE)
        << firstMode << " then " << secondMode;
    if (!opens) {
      EXPECT_EQ(error.m_cause, CFileException::sharingViolation);
      EXPECT_EQ(error.m_lOsError, kOsErrors.sharingViolation);
      first.reset();                                         // closing releases the lock
      EXPECT_EQ(ReadBytes(dir.Path("shared.bin")), "data");  // the refused create cut nothing
      EXPECT_TRUE(second.Open(path.c_str(), secondMode));
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
    EXPECT_EQ(ErrorOf([&] { file->Seek(-1, CFile::begin); }).first, CFileException::badSeek);
    EXPECT_EQ(ErrorOf([&] { file->Seek(0, 3); }).first, CFileException::badSeek);
    EXPECT_EQ(file->Seek(0, CFile::begin), 0u);
    EXPECT_EQ(file->GetPosition(), 0u);
    back.assign(bytes.size(), '#');
    EXPECT_EQ(file->Read(back.data(), static_cast<UINT>(back.size())), back.size());
    EXPECT_TRUE(back == bytes);
    EXPECT_EQ(file->GetPosition(), bytes.size());
  }
}

// A line read after a write starts after the written bytes, which reach the file.
TEST(CStdioFileLines, ReadAfterWriteStartsAfterTheWrittenBytes) {
  TempDir dir;
  CStdioFile file(dir.Path("lines").u16string().c_str(), CFile::modeCreate | CFile::modeReadWrite);
  file.WriteString("one\ntwo\n");
  file.Seek(0, CFile::begin);
  file.WriteString("ONE\n");
  CStringA line;
  EXPECT_TRUE(file.ReadString(line));
  EXPECT_STREQ(line.GetString(), "two");
  EXPECT_FALSE(file.ReadString(line));
  file.Close();
  EXPECT_EQ(ReadBytes(dir.Path("lines")), "ONE\ntwo\n");
}

// A write where the file may not be written, a flush of a closed file and a
// write the disk has no room for, raise; the writer of text files turns them into its result.
TEST(CFileErrors, ReadOnlyFilesAndFullDisks) {
  TempDir dir;
  WriteBytes(dir.Path("r.bin"), "data");
  CFile reader(dir.Path("r.bin").u16string().c_str(), CFile::modeRead | CFile::shareDenyWrite);
  EXPECT_EQ(ErrorOf([&] { reader.Write("x", 1); }),
            (std::pair<int, long>(CFileException::accessDenied, kOsErrors.notOpenForWriting)));
  reader.Close();
  EXPECT_EQ(ErrorOf([&] { reader.Flush(); }).first, CFileException::invalidFile);
  if (fs::exists("/dev/full")) {
    CStdioFile full(u"/dev/full", CFile::modeWrite | CFile::shareDenyNone);
    full.WriteString("lost");  // buffered: no error yet
    EXPECT_EQ(ErrorOf([&] { full.Close(); }).first, CFileException::diskFull);
    EXPECT_FALSE(full.IsOpen());
  }
}

using Bytes = std::vector<BYTE>;
using Action = std::function<void(CArchive&)>;

// Bytes spelled in hexadecimal, two digits a byte: "FF FE 00".
Bytes FromHex(std::string_view hex) {
  Bytes bytes;
  for (std::size_t at = 0; at + 1 < hex.size(); at += 3)
    bytes.push_back(BYTE(std::strtoul(std::string(hex.substr(at, 2)).c_str(), nullptr, 16)));
  return bytes;
}

Bytes Contents(CMemFile& file) {
  Bytes bytes(static_cast<size_t>(file.GetLength()));
  file.SeekToBegin();
  if (!bytes.empty()) bytes.resize(file.Read(bytes.data(), static_cast<UINT>(bytes.size())));
  return bytes;
}

// The bytes `store` puts in a memory file through a storing archive.
Bytes Stored(const Action& store, int nBufSize = 4096) {
  CMemFile file;
  CArchive ar(&file, CArchive::store, nBufSize);
  store(ar);
  ar.Close();
  return Contents(file);
}

// A loading archive over a memory file that holds `bytes`.
struct Loader {
  explicit Loader(Bytes b, int nBufSize = 4096)
      : bytes(std::move(b)),
        file(bytes.data(), UINT(bytes.size())),
        ar(&file, CArchive::load, nBufSize) {}
  Bytes bytes;
  CMemFile file;
  CArchive ar;
};

// The cause of the archive exception `read` raises on a loader of `bytes`.
int CauseOf(const Bytes& bytes, const Action& read) {
  Loader loader(bytes);
  auto error = Caught<CArchiveException>([&] { read(loader.ar); });
  return error ? error->m_cause : -1;
}

// Reading every shorter prefix of `bytes` with `read` runs out of data.
void ExpectEndOfFileOnEveryTruncation(const Bytes& bytes, const Action& read) {
  for (auto end = bytes.begin(); end != bytes.end(); ++end)
    EXPECT_EQ(CauseOf(Bytes(bytes.begin(), end), read), CArchiveException::endOfFile)
        << "truncated to " << end - bytes.begin();
}

enum Kind { kCount, kNarrowLength, kWideLength };

// The count or string length read from `ar`; a length's character size must
// be the one its form tells.
ULONGLONG ReadForm(CArchive& ar, Kind kind) {
  if (kind == kCount) return ar.ReadCount();
  int charSize = 0;
  const UINT_PTR length = AfxReadStringLength(ar, charSize);
  EXPECT_EQ(charSize, kind == kWideLength ? 2 : 1);
  return length;
}

TEST(CArchiveForms, WriteTheShortestFormAndReadEveryForm) {
  const struct {
    Kind kind;
    ULONGLONG value;
    const char* hex;
    bool bWritten;    // false: a form no writer makes, which a reader accepts
    int nCause = -1;  // a form that reads as this archive error instead
  } rows[] = {
      {kCount, 0, "00 00", true},
      {kCount, 0xFE, "FE 00", true},
      {kCount, 0xFF, "FF 00", true},
      {kCount, 0xFFFD, "FD FF", true},
      {kCount, 0xFFFE, "FE FF", true},
      {kCount, 0xFFFF, "FF FF FF FF 00 00", true},
      {kCount, 0x10000, "FF FF 00 00 01 00", true},
      {kCount, 0xFFFFFFFF, "FF FF FF FF FF FF", true},
      {kNarrowLength, 0, "00", true},
      {kNarrowLength, 0xFE, "FE", true},
      {kNarrowLength, 0xFF, "FF FF 00", true},
      {kNarrowLength, 0x100, "FF 00 01", true},
      {kNarrowLength, 0xFFFD, "FF FD FF", true},
      {kNarrowLength, 0xFFFE, "FF FF FF FE FF 00 00", true},
      {kNarrowLength, 0xFFFF, "FF FF FF FF FF 00 00", true},
      {kNarrowLength, 0x10000, "FF FF FF 00 00 01 00", true},
      {kNarrowLength, 0xFFFFFFFE, "FF FF FF FE FF FF FF", true},
      {kNarrowLength, 0xFFFFFFFF, "FF FF FF FF FF FF FF FF FF FF FF 00 00 00 00", true},
      {kWideLength, 0, "FF FE FF 00", true},
      {kWideLength, 0xFE, "FF FE FF FE", true},
      {kWideLength, 0xFF, "FF FE FF FF FF 00", true},
      {kWideLength, 0xFFFE, "FF FE FF FF FF FF FE FF 00 00", true},
      {kWideLength, 0x10000, "FF FE FF FF FF FF 00 00 01 00", true},
      {kNarrowLength, 5, "FF FF FF 05 00 00 00", false},  // the long form of a small length
      {kNarrowLength, 0x12345678, "FF FF FF FF FF FF FF 78 56 34 12 00 00 00 00", false},
      {kWideLength, 0xFFFE, "FF FE FF FF FE FF", false},  // after the tag, 0xFFFE is a length
      {kWideLength, 0x20000, "FF FE FF FF FF FF 00 00 02 00", false},
      // A length beyond 32 bits: eight bytes, which read as a generic error.
      {kNarrowLength, 0x100000000, "FF FF FF FF FF FF FF 00 00 00 00 01 00 00 00",
       sizeof(UINT_PTR) == 8, CArchiveException::genericException}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.hex);
    const Bytes bytes = FromHex(row.hex);
    if (row.bWritten) {
      EXPECT_EQ(Stored([&](CArchive& ar) {
                  if (row.kind == kCount) return ar.WriteCount(DWORD(row.value));
                  AfxWriteStringLength(ar, row.value, row.kind == kWideLength);
                }),
                bytes);
    }
    const Action read = [&](CArchive& ar) { EXPECT_EQ(ReadForm(ar, row.kind), row.value); };
    if (row.nCause != -1) {
      EXPECT_EQ(CauseOf(bytes, read), row.nCause);
    } else {
      Loader loader(bytes);
      read(loader.ar);
      EXPECT_EQ(loader.ar.GetRemainingLength(), 0);
    }
    ExpectEndOfFileOnEveryTruncation(bytes, read);
  }
}

// Values are little-endian, and read back as they were stored.
TEST(CArchiveValues, AreLittleEndianAndReadBack) {
  using Values =
      std::tuple<BYTE, char, WORD, short, DWORD, LONG, LONGLONG, ULONGLONG, float, double>;
  const Values values{0x81, 'A', 0x0102, -2, 0x01020304, -2, -8, 0x0102030405060708, 1.0f, -1.5};
  const Bytes expected = FromHex(
      "81 41 02 01 FE FF 04 03 02 01 FE FF FF FF F8 FF FF FF FF FF FF FF "
      "08 07 06 05 04 03 02 01 00 00 80 3F 00 00 00 00 00 00 F8 BF ");
  EXPECT_EQ(
      Stored([&](CArchive& ar) { std::apply([&](auto&... v) { (ar << ... << v); }, values); }),
      expected);
  Loader loader(expected);
  Values read{};
  std::apply([&](auto&... v) { (loader.ar >> ... >> v); }, read);
  EXPECT_EQ(read, values);
  ExpectEndOfFileOnEveryTruncation(FromHex("01 02 03 04 05 06 07 08"), [](CArchive& ar) {
    ULONGLONG value = 0;
    ar >> value;
  });
}

// Values, small blocks and blocks larger than the buffer, through a small
// buffer, read back in pieces of other sizes.
TEST(CArchiveBuffer, ValuesAndBlocksCrossItsBoundaries) {
  Bytes large(1000);
  for (size_t i = 0; i < large.size(); ++i) large[i] = static_cast<BYTE>(i * 7);
  const Bytes stored = Stored(
      [&](CArchive& ar) {
        for (DWORD i = 0; i < 300; ++i) ar << static_cast<BYTE>(i) << i;
        ar.Write("head", 4);
        ar.Write(large.data(), static_cast<UINT>(large.size()));
        ar.Write("tail", 4);
      },
      128);
  Bytes expected;
  for (DWORD i = 0; i < 300; ++i)
    expected.insert(expected.end(), {BYTE(i), BYTE(i), BYTE(i >> 8), 0, 0});
  expected.insert(expected.end(), {'h', 'e', 'a', 'd'});
  expected.insert(expected.end(), large.begin(), large.end());
  expected.insert(expected.end(), {'t', 'a', 'i', 'l'});
  ASSERT_EQ(stored, expected);
  for (int bufSize : {128, 4096}) {
    Loader loader(expected, bufSize);
    Bytes got(expected.size() + 50);
    size_t done = 0;
    for (UINT piece : {3u, 500u, 1u, 130u, 127u, 1000u, 2000u})
      done += loader.ar.Read(got.data() + done, piece);
    got.resize(done);
    EXPECT_EQ(got, expected) << bufSize;  // the last Read came back short at the end
    EXPECT_EQ(loader.ar.Read(got.data(), 10), 0u);
  }
  Loader loader(Bytes(1000, 1), 128);
  BYTE by = 0;
  loader.ar >> by;
  EXPECT_EQ(loader.file.GetPosition(), 128u);
  EXPECT_EQ(loader.ar.GetRemainingLength(), 999);
}

TEST(CArchiveFlush, StoringWritesPendingBytesOnFlushCloseOrDestruction) {
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store);
    ar << WORD{0x0201};
    EXPECT_EQ(file.GetLength(), 0u);
    ar.Flush();
    EXPECT_EQ(Contents(file), FromHex("01 02"));
    ar << BYTE{3};
  }
  EXPECT_EQ(Contents(file), FromHex("01 02 03"));
  { CArchive(&file, CArchive::store | CArchive::bNoFlushOnDelete) << DWORD{7}; }
  EXPECT_EQ(file.GetLength(), 3u);

  BYTE room[2] = {};
  CMemFile full(room, sizeof room);  // a fixed buffer: two bytes at most
  full.SetLength(0);
  {
    CArchive ar(&full, CArchive::store);
    ar << DWORD{1};
    EXPECT_EQ(ErrorOf([&] { ar.Close(); }).first, CFileException::diskFull);
  }
  auto ar = std::make_unique<CArchive>(&full, CArchive::store);
  *ar << DWORD{1};
  EXPECT_NO_THROW(ar.reset());  // the destructor swallows the failure
}

// The array's words as a host module sees them, in their order.
enum Word { kVtable, kData, kSize, kCapacity, kGrowBy };
using Words = std::array<INT_PTR, 5>;

template <class Array>
Words WordsOf(const Array& array) {
  static_assert(sizeof(Array) == sizeof(Words), "CArray must hold exactly five words");
  Words words;
  std::memcpy(words.data(), reinterpret_cast<const unsigned char*>(&array), sizeof words);
  return words;
}

TEST(CArrayLayout, WordsAreVtableDataCountCapacityAndStep) {
  CArray<int> array;
  EXPECT_EQ(WordsOf(array)[kData], 0);
  array.SetSize(10, 3);
  array.Add(1);
  const Words words = WordsOf(array);  // a capacity of one step of 3
  EXPECT_EQ(words, (Words{words[kVtable], reinterpret_cast<INT_PTR>(array.GetData()), 11, 13, 3}));
  EXPECT_NE(words[kVtable], WordsOf(CStringArray())[kVtable]);
  array.SetSize(2);
  EXPECT_EQ(WordsOf(array)[kCapacity], 13);  // shrinking keeps the storage
  array.RemoveAll();
  EXPECT_EQ(WordsOf(array), (Words{words[kVtable], 0, 0, 0, 3}));
  // Without a step, Add grows by an eighth of the count, between 4 and 1024.
  for (const auto& [startSize, capacityAfterAdd] :
       {std::pair<INT_PTR, INT_PTR>{0, 4}, {31, 35}, {100, 112}, {8192, 9216}, {16000, 17024}}) {
    array.RemoveAll();
    array.SetSize(startSize, 0);
    array.Add(7);
    EXPECT_EQ(WordsOf(array)[kCapacity], capacityAfterAdd) << startSize;
  }
}

constexpr long long kRaised = LLONG_MIN;

// A standard string's search result as the framework reports it: -1 when
// nothing was found (npos is 2^32 - 1 in a 32-bit build, not -1).
long long PositionOf(std::size_t at) {
  return at == static_cast<std::size_t>(-1) ? -1 : static_cast<long long>(at);
}

// The call's result, or kRaised when it raises CInvalidArgException.
long long ResultOf(const std::function<long long()>& call) {
  try {
    return call();
  } catch (CException* e) {
    const CaughtPtr<CException> caught(e);
    return dynamic_cast<CInvalidArgException*>(e) != nullptr ? kRaised : kRaised + 1;
  }
}

int Sign(long long value) {
  return (value > 0) - (value < 0);
}

// The text with the ASCII letters of one case, from 'A' or 'a' on, in the
// other (from `to` on).
template <class Char>
std::basic_string<Char> Recased(std::basic_string<Char> text, char from, char to) {
  for (Char& ch : text)
    if (ch >= from && ch <= from + 25) ch = static_cast<Char>(ch - from + to);
  return text;
}

// Replace's reference: left to right, without overlap; returns the count.
template <class Char>
int ReplaceAll(std::basic_string<Char>& text, const std::basic_string<Char>& from,
               const std::basic_string<Char>& to) {
  int n = 0;
  for (std::size_t at = text.find(from); !from.empty() && at != text.npos;
       at = text.find(from, at + to.size()), ++n)
    text.replace(at, from.size(), to);
  return n;
}

// A result that just fills the stack's scratch (512 bytes with the NUL), and
// one past it, come back whole.
TEST(CStringAFormat, KeepsResultsAtTheEdgeOfItsScratchWhole) {
  for (const std::size_t nLength : {511U, 512U, 513U}) {
    const std::string text = std::string(nLength - 1, 'x') + 'y';
    CStringA str;
    str.Format("%s", text.c_str());
    EXPECT_EQ(std::string(str.GetString(), static_cast<std::size_t>(str.GetLength())), text);
  }
}

template <class Char>
class CStringTTest : public ::testing::Test {};
using UnitTypes = ::testing::Types<char, WCHAR>;
TYPED_TEST_SUITE(CStringTTest, UnitTypes);

TYPED_TEST(CStringTTest, BehavesLikeTheStandardStringUnderRandomOperations) {
  using Char = TypeParam;
  using R = std::basic_string<Char>;
  std::mt19937 rng(96);
  auto pick = [&](long long lo, long long hi) {
    return std::uniform_int_distribution<long long>(lo, hi)(rng);
  };
  // Letters next to the case ranges, white space, NUL, and units that are
  // letters or spaces outside ASCII (never changed or trimmed).
  const Char alphabet[] = {'a',  'b', 'A',        'Z',
                           '@',  '[', ' ',        '\t',
                           '\r', 0,   Char(0xE4), Char(sizeof(Char) > 1 ? 0x3000 : 0xA0)};
  auto unit = [&] { return alphabet[pick(0, std::size(alphabet) - 1)]; };
  const auto isSpace = [](Char ch) { return ch == ' ' || (ch >= '\t' && ch <= '\r'); };
  for (int round = 0; round < 400; ++round) {
    CStringT<Char> s;
    R ref;
    for (int step = 0; step < 40; ++step) {
      const int len = static_cast<int>(ref.size());
      // Positions and counts: mostly near the string, sometimes at the int limits.
      const auto number = [&] {
        const int r = int(pick(0, 20));
        return r == 0 ? INT_MIN : r == 1 ? INT_MAX : int(pick(-2, len + 2));
      };
      const int i = number(), n = number();
      const long long start = std::clamp(i, 0, len);
      const Char u = unit();
      // Argument texts: fresh ones, or the string's own text from some unit on.
      R fresh[2];
      const Char* arg[2];
      for (int k = 0; k < 2; ++k) {
        for (long long m = pick(0, 3); m > 0; --m) fresh[k].push_back(unit() == 0 ? 'a' : unit());
        arg[k] = len > 0 && pick(0, 2) == 0 ? s.GetString() + pick(0, len) : fresh[k].c_str();
      }
      const R a(arg[0]), b(arg[1]), asRead(ref.c_str());  // as read: up to the first NUL
      const int side = int(pick(0, 3)), cut = int(pick(-1, a.size()));
      // What a trim drops: white space, or `u` for side 3 (TrimRight(u)).
      const auto drop = [&](Char c) { return side < 3 ? isSpace(c) : c == u; };
      // Each call on the string and on the reference, with the results to compare.
      const std::pair<std::function<long long()>, std::function<long long()>> ops[] = {
          {[&] { return s.Append(arg[0]), s.GetLength(); }, [&] { return (ref += a).size(); }},
          {[&] { return (s += u).GetLength(); }, [&] { return (ref += u).size(); }},
          {[&] { return s.Insert(i, arg[0]); }, [&] { return ref.insert(start, a).size(); }},
          {[&] { return s.Delete(i, n); },
           [&] { return (n > 0 && i < len ? ref.erase(start, n) : ref).size(); }},
          {[&] { return s.Replace(arg[0], arg[1]); }, [&] { return ReplaceAll(ref, a, b); }},
          {[&] { return s.MakeUpper().GetLength(); },
           [&] { return (ref = Recased(ref, 'a', 'A')).size(); }},
          {[&] {
             const std::function<void()> trims[] = {[&] { s.Trim(); }, [&] { s.TrimLeft(); },
                                                    [&] { s.TrimRight(); },
                                                    [&] { s.TrimRight(u); }};
             trims[side]();
             return s.GetLength();
           },
           [&] {
             if (side < 2) ref.erase(ref.begin(), std::find_if_not(ref.begin(), ref.end(), drop));
             if (side != 1)
               ref.erase(std::find_if_not(ref.rbegin(), ref.rend(), drop).base(), ref.end());
             return ref.size();
           }},
          {[&] { return s.SetAt(i, u), 0; },
           [&] { return i >= 0 && i < len ? (ref[i] = u, 0) : kRaised; }},
          {[&] { return s.GetAt(i); },
           [&] { return i >= 0 && i <= len ? ref.c_str()[i] : kRaised; }},
          {[&] { return s.Find(u, i); },
           [&] { return i < 0 || i >= len ? -1 : PositionOf(ref.find(u, i)); }},
          {[&] { return s.Find(arg[0], i); },
           [&] { return i < 0 || i > len ? -1 : PositionOf(ref.find(a, i)); }},
          {[&] { return s.ReverseFind(u); }, [&] { return PositionOf(ref.rfind(u)); }},
          {[&] {
             const CStringT<Char> other(arg[0]);
             return Sign(s.Compare(arg[0])) * 4 + (s < other ? 2 : 0) + (s == other ? 1 : 0);
           },
           [&] { return Sign(asRead.compare(a)) * 4 + (asRead < a ? 2 : 0) + (ref == a ? 1 : 0); }},
          {[&] { return Sign(s.CompareNoCase(arg[0])); },
           [&] { return Sign(Recased(asRead, 'A', 'a').compare(Recased(a, 'A', 'a'))); }},
          {[&] { return (s = s.Left(n)).GetLength(); },  // pieces, through the text they replace
           [&] { return (ref = n <= 0 ? R() : ref.substr(0, n)).size(); }},
          {[&] { return (s = s.Mid(i)).GetLength(); },
           [&] { return (ref = i >= len ? R() : ref.substr(start)).size(); }},
          {[&] { return (s = arg[0]).GetLength(); }, [&] { return (ref = a).size(); }},
          // A negative count: refused.
          {[&] { return (s = CStringT<Char>(arg[0], cut)).GetLength(); },
           [&] { return cut < 0 ? kRaised : (ref = a.substr(0, cut)).size(); }},
          {[&] { return (s = s + arg[0]).GetLength(); }, [&] { return (ref += a).size(); }},
          {[&] {  // a writable buffer with room, filled, released at its NUL or at a given length
             Char* buffer = s.GetBuffer(int(a.size()) + 2);
             std::copy(a.c_str(), a.c_str() + a.size() + 1, buffer);
             s.ReleaseBuffer(cut);
             return s.GetLength();
           },
           [&] { return (ref = cut < 0 ? a : a.substr(0, cut)).size(); }},
      };
      const auto op = static_cast<std::size_t>(pick(0, std::size(ops) - 1));
      const long long got = ResultOf(ops[op].first);
      ASSERT_EQ(got, ops[op].second()) << "op " << op << " step " << step << " round " << round;
      ASSERT_EQ(R(s.GetString(), s.GetLength()), ref) << "op " << op << " step " << step;
      ASSERT_EQ(s.GetString()[s.GetLength()], Char(0)) << "op " << op;
    }
  }
}

}  // namespace
