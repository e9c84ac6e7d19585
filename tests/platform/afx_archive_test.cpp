// The archive's byte forms (string lengths, counts, values), each written,
// read back and cut short at every byte; then the buffer and the storing
// archive's flushing as the string array and the archive tool rely on them.
#include <kxutils96/platform/framework/afx_archive.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include <kxutils96/platform/framework/afx_mem_file.h>

#include "support/caught_exception.h"

namespace {

using kxu::test::Caught;
using Bytes = std::vector<BYTE>;

// Bytes spelled in hexadecimal, two digits a byte: "FF FE 00".
Bytes FromHex(std::string_view hex) {
  Bytes bytes;
  for (std::size_t at = 0; at + 1 < hex.size(); at += 3) {
    bytes.push_back(
        static_cast<BYTE>(std::strtoul(std::string(hex.substr(at, 2)).c_str(), nullptr, 16)));
  }
  return bytes;
}

Bytes Contents(CMemFile& file) {
  Bytes bytes(static_cast<size_t>(file.GetLength()));
  file.SeekToBegin();
  if (!bytes.empty()) bytes.resize(file.Read(bytes.data(), static_cast<UINT>(bytes.size())));
  return bytes;
}

// The bytes `store` puts in a memory file through a storing archive.
Bytes Stored(const std::function<void(CArchive&)>& store, int nBufSize = 4096) {
  CMemFile file;
  CArchive ar(&file, CArchive::store, nBufSize);
  store(ar);
  ar.Close();
  return Contents(file);
}

// A loading archive over a memory file that holds `bytes`.
class Loader {
 public:
  explicit Loader(Bytes bytes, int nBufSize = 4096)
      : m_bytes(std::move(bytes)),
        m_file(m_bytes.data(), static_cast<UINT>(m_bytes.size())),
        m_ar(&m_file, CArchive::load, nBufSize) {}

  CArchive& Archive() { return m_ar; }
  CMemFile& File() { return m_file; }

 private:
  Bytes m_bytes;
  CMemFile m_file;
  CArchive m_ar;
};

// The cause of the archive exception `action` raises on a loader of `bytes`.
int CauseOf(const Bytes& bytes, const std::function<void(CArchive&)>& action) {
  Loader loader(bytes);
  auto error = Caught<CArchiveException>([&] { action(loader.Archive()); });
  return error ? error->m_cause : -1;
}

// Reading every shorter prefix of `bytes` with `read` runs out of data.
void ExpectEndOfFileOnEveryTruncation(const Bytes& bytes,
                                      const std::function<void(CArchive&)>& read) {
  for (size_t length = 0; length < bytes.size(); ++length) {
    EXPECT_EQ(
        CauseOf(Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length)), read),
        CArchiveException::endOfFile)
        << "truncated to " << length;
  }
}

void ReadLength(CArchive& ar) {
  int charSize = 0;
  AfxReadStringLength(ar, charSize);
}

TEST(CArchiveStringLength, WritesTheShortestFormAndReadsItBack) {
  const struct {
    UINT_PTR length;
    BOOL unicode;
    const char* hex;
  } rows[] = {{0, FALSE, "00"},
              {0xFE, FALSE, "FE"},
              {0xFF, FALSE, "FF FF 00"},
              {0x100, FALSE, "FF 00 01"},
              {0xFFFD, FALSE, "FF FD FF"},
              {0xFFFE, FALSE, "FF FF FF FE FF 00 00"},
              {0xFFFF, FALSE, "FF FF FF FF FF 00 00"},
              {0x10000, FALSE, "FF FF FF 00 00 01 00"},
              {0xFFFFFFFE, FALSE, "FF FF FF FE FF FF FF"},
              {0xFFFFFFFF, FALSE, "FF FF FF FF FF FF FF FF FF FF FF 00 00 00 00"},
              {0, TRUE, "FF FE FF 00"},
              {0xFE, TRUE, "FF FE FF FE"},
              {0xFF, TRUE, "FF FE FF FF FF 00"},
              {0xFFFE, TRUE, "FF FE FF FF FF FF FE FF 00 00"},
              {0x10000, TRUE, "FF FE FF FF FF FF 00 00 01 00"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.hex);
    const Bytes bytes = FromHex(row.hex);
    EXPECT_EQ(Stored([&](CArchive& ar) { AfxWriteStringLength(ar, row.length, row.unicode); }),
              bytes);
    Loader loader(bytes);
    int charSize = 0;
    EXPECT_EQ(AfxReadStringLength(loader.Archive(), charSize), row.length);
    EXPECT_EQ(charSize, row.unicode ? 2 : 1);
    EXPECT_EQ(loader.Archive().GetRemainingLength(), 0);
    ExpectEndOfFileOnEveryTruncation(bytes, ReadLength);
  }
}

const char kLengthOver32Bits[] = "FF FF FF FF FF FF FF 00 00 00 00 01 00 00 00";

TEST(CArchiveStringLength, BeyondThirtyTwoBitsIsEightBytesThatReadAsAGenericError) {
  if constexpr (sizeof(UINT_PTR) == 8) {
    const auto length = static_cast<UINT_PTR>(0x100000000ULL);
    EXPECT_EQ(Stored([&](CArchive& ar) { AfxWriteStringLength(ar, length, FALSE); }),
              FromHex(kLengthOver32Bits));
  }
  EXPECT_EQ(CauseOf(FromHex(kLengthOver32Bits), ReadLength), CArchiveException::genericException);
  ExpectEndOfFileOnEveryTruncation(FromHex(kLengthOver32Bits), ReadLength);
}

// Forms a writer never makes but a reader accepts.
TEST(CArchiveStringLength, ReadsTheFormsNoWriterMakes) {
  const struct {
    const char* hex;
    UINT length;
    int charSize;
  } rows[] = {{"FF FF FF 05 00 00 00", 5, 1},  // the long form of a small length
              {"FF FF FF FF FF FF FF 78 56 34 12 00 00 00 00", 0x12345678, 1},
              {"FF FE FF FF FE FF", 0xFFFE, 2},  // after the tag, 0xFFFE is a length
              {"FF FE FF FF FF FF 00 00 02 00", 0x20000, 2}};
  for (const auto& row : rows) {
    Loader loader(FromHex(row.hex));
    int charSize = 0;
    EXPECT_EQ(AfxReadStringLength(loader.Archive(), charSize), row.length) << row.hex;
    EXPECT_EQ(charSize, row.charSize) << row.hex;
  }
}

TEST(CArchiveCount, WritesReadsAndRunsOut) {
  const struct {
    DWORD count;
    const char* hex;
  } rows[] = {{0, "00 00"},
              {0xFE, "FE 00"},
              {0xFF, "FF 00"},
              {0xFFFD, "FD FF"},
              {0xFFFE, "FE FF"},
              {0xFFFF, "FF FF FF FF 00 00"},
              {0x10000, "FF FF 00 00 01 00"},
              {0xFFFFFFFF, "FF FF FF FF FF FF"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.hex);
    const Bytes bytes = FromHex(row.hex);
    EXPECT_EQ(Stored([&](CArchive& ar) { ar.WriteCount(row.count); }), bytes);
    Loader loader(bytes);
    EXPECT_EQ(loader.Archive().ReadCount(), row.count);
    EXPECT_EQ(loader.Archive().GetRemainingLength(), 0);
    ExpectEndOfFileOnEveryTruncation(bytes, [](CArchive& ar) { ar.ReadCount(); });
  }
}

// Values are little-endian; what is read back and stored again gives the
// same bytes.
TEST(CArchiveValues, AreLittleEndianAndReadBack) {
  const Bytes expected = FromHex(
      "81 41 02 01 FE FF 04 03 02 01 FE FF FF FF F8 FF FF FF FF FF FF FF "
      "08 07 06 05 04 03 02 01 00 00 80 3F 00 00 00 00 00 00 F8 BF ");
  EXPECT_EQ(Stored([](CArchive& ar) {
              ar << BYTE{0x81} << 'A' << WORD{0x0102} << short{-2} << DWORD{0x01020304} << LONG{-2}
                 << LONGLONG{-8} << ULONGLONG{0x0102030405060708} << 1.0f << -1.5;
            }),
            expected);
  Loader loader(expected);
  BYTE by = 0;
  char ch = 0;
  WORD w = 0;
  short n = 0;
  DWORD dw = 0;
  LONG l = 0;
  LONGLONG ll = 0;
  ULONGLONG ull = 0;
  float f = 0;
  double d = 0;
  loader.Archive() >> by >> ch >> w >> n >> dw >> l >> ll >> ull >> f >> d;
  EXPECT_EQ(
      Stored([&](CArchive& ar) { ar << by << ch << w << n << dw << l << ll << ull << f << d; }),
      expected);
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
      done += loader.Archive().Read(got.data() + done, piece);
    got.resize(done);
    EXPECT_EQ(got, expected) << bufSize;  // the last Read came back short at the end
    EXPECT_EQ(loader.Archive().Read(got.data(), 10), 0u);
  }
  Loader loader(Bytes(1000, 1), 128);
  BYTE by = 0;
  loader.Archive() >> by;
  EXPECT_EQ(loader.File().GetPosition(), 128u);
  EXPECT_EQ(loader.Archive().GetRemainingLength(), 999);
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
    auto error = Caught<CFileException>([&] { ar.Close(); });
    EXPECT_TRUE(error && error->m_cause == CFileException::diskFull);
  }
  auto ar = std::make_unique<CArchive>(&full, CArchive::store);
  *ar << DWORD{1};
  EXPECT_NO_THROW(ar.reset());  // the destructor swallows the failure
}

}  // namespace
