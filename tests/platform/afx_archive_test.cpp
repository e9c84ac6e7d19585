#include <kxutils96/platform/framework/afx_archive.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <ostream>
#include <utility>
#include <vector>

#include <kxutils96/platform/framework/afx_mem_file.h>

#include "support/caught_exception.h"

namespace {

using kxu::test::Caught;
using Bytes = std::vector<BYTE>;

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

// A memory file that records the size of every Read and Write it is asked for.
class RecordingMemFile : public CMemFile {
 public:
  UINT Read(void* lpBuf, UINT nCount) override {
    reads.push_back(nCount);
    return CMemFile::Read(lpBuf, nCount);
  }
  void Write(const void* lpBuf, UINT nCount) override {
    writes.push_back(nCount);
    CMemFile::Write(lpBuf, nCount);
  }

  std::vector<UINT> reads;
  std::vector<UINT> writes;
};

// Reading every shorter prefix of `bytes` with `read` runs out of data.
void ExpectEndOfFileOnEveryTruncation(const Bytes& bytes,
                                      const std::function<void(CArchive&)>& read) {
  for (size_t length = 0; length < bytes.size(); ++length) {
    SCOPED_TRACE(testing::Message() << "truncated to " << length << " bytes");
    Loader loader(Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length)));
    auto error = Caught<CArchiveException>([&] { read(loader.Archive()); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->m_cause, CArchiveException::endOfFile);
  }
}

// ---------------------------------------------------------------------------
// String lengths

struct StringLengthCase {
  UINT_PTR length;
  BOOL unicode;
  Bytes bytes;
};

void PrintTo(const StringLengthCase& c, std::ostream* os) {
  *os << std::hex << "0x" << c.length << (c.unicode ? " wide" : " narrow");
}

class StringLengthTest : public testing::TestWithParam<StringLengthCase> {};

TEST_P(StringLengthTest, WritesTheShortestForm) {
  const StringLengthCase& c = GetParam();
  EXPECT_EQ(Stored([&](CArchive& ar) { AfxWriteStringLength(ar, c.length, c.unicode); }), c.bytes);
}

TEST_P(StringLengthTest, ReadsBackLengthAndCharacterSize) {
  const StringLengthCase& c = GetParam();
  Loader loader(c.bytes);
  int charSize = 0;
  EXPECT_EQ(AfxReadStringLength(loader.Archive(), charSize), c.length);
  EXPECT_EQ(charSize, c.unicode ? 2 : 1);
  EXPECT_EQ(loader.Archive().GetRemainingLength(), 0);
}

TEST_P(StringLengthTest, TruncationAtAnyByteIsEndOfFile) {
  ExpectEndOfFileOnEveryTruncation(GetParam().bytes, [](CArchive& ar) {
    int charSize = 0;
    AfxReadStringLength(ar, charSize);
  });
}

INSTANTIATE_TEST_SUITE_P(
    CArchive, StringLengthTest,
    testing::Values(
        StringLengthCase{0, FALSE, {0x00}}, StringLengthCase{0xFE, FALSE, {0xFE}},
        StringLengthCase{0xFF, FALSE, {0xFF, 0xFF, 0x00}},
        StringLengthCase{0x100, FALSE, {0xFF, 0x00, 0x01}},
        StringLengthCase{0xFFFD, FALSE, {0xFF, 0xFD, 0xFF}},
        StringLengthCase{0xFFFE, FALSE, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
        StringLengthCase{0xFFFF, FALSE, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}},
        StringLengthCase{0x10000, FALSE, {0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x01, 0x00}},
        StringLengthCase{0xFFFFFFFE, FALSE, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF}},
        StringLengthCase{0xFFFFFFFF,
                         FALSE,
                         {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00,
                          0x00, 0x00, 0x00}},
        StringLengthCase{0, TRUE, {0xFF, 0xFE, 0xFF, 0x00}},
        StringLengthCase{0xFE, TRUE, {0xFF, 0xFE, 0xFF, 0xFE}},
        StringLengthCase{0xFF, TRUE, {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0x00}},
        StringLengthCase{
            0xFFFE, TRUE, {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
        StringLengthCase{
            0x10000, TRUE, {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x01, 0x00}}));

const Bytes kLengthOver32Bits = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00,
                                 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00};

TEST(CArchiveStringLength, WritesEightBytesBeyond32Bits) {
  if constexpr (sizeof(UINT_PTR) < 8) GTEST_SKIP() << "lengths cannot exceed 32 bits here";
  const auto length = static_cast<UINT_PTR>(0x100000000ULL);
  EXPECT_EQ(Stored([&](CArchive& ar) { AfxWriteStringLength(ar, length, FALSE); }),
            kLengthOver32Bits);
}

TEST(CArchiveStringLength, ReadingALengthBeyond32BitsIsAGenericError) {
  Loader loader(kLengthOver32Bits);
  int charSize = 0;
  auto error = Caught<CArchiveException>([&] { AfxReadStringLength(loader.Archive(), charSize); });
  ASSERT_TRUE(error);
  EXPECT_EQ(error->m_cause, CArchiveException::genericException);
  ExpectEndOfFileOnEveryTruncation(kLengthOver32Bits, [](CArchive& ar) {
    int size = 0;
    AfxReadStringLength(ar, size);
  });
}

// Forms a writer never makes but a reader accepts.
struct AcceptedFormCase {
  const char* name;
  Bytes bytes;
  UINT length;
  int charSize;
};

class AcceptedFormTest : public testing::TestWithParam<AcceptedFormCase> {};

TEST_P(AcceptedFormTest, Reads) {
  Loader loader(GetParam().bytes);
  int charSize = 0;
  EXPECT_EQ(AfxReadStringLength(loader.Archive(), charSize), GetParam().length);
  EXPECT_EQ(charSize, GetParam().charSize);
}

INSTANTIATE_TEST_SUITE_P(
    CArchive, AcceptedFormTest,
    testing::Values(
        AcceptedFormCase{
            "LongFormOfASmallLength", {0xFF, 0xFF, 0xFF, 0x05, 0x00, 0x00, 0x00}, 5, 1},
        AcceptedFormCase{
            "EightBytesThatFit",
            {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x78, 0x56, 0x34, 0x12, 0, 0, 0, 0},
            0x12345678,
            1},
        AcceptedFormCase{
            "EightBytesAllOnesIn32Bits",
            {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0},
            0xFFFFFFFF,
            1},
        // After the tag, a second 0xFFFE is a length, not another tag.
        AcceptedFormCase{"TagThenWordFFFE", {0xFF, 0xFE, 0xFF, 0xFF, 0xFE, 0xFF}, 0xFFFE, 2},
        AcceptedFormCase{"TagThenDword",
                         {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x02, 0x00},
                         0x20000,
                         2}),
    [](const testing::TestParamInfo<AcceptedFormCase>& info) { return info.param.name; });

// ---------------------------------------------------------------------------
// Counts

struct CountCase {
  DWORD count;
  Bytes bytes;
};

void PrintTo(const CountCase& c, std::ostream* os) {
  *os << std::hex << "0x" << c.count;
}

class CountTest : public testing::TestWithParam<CountCase> {};

TEST_P(CountTest, WritesReadsAndRunsOut) {
  const CountCase& c = GetParam();
  EXPECT_EQ(Stored([&](CArchive& ar) { ar.WriteCount(c.count); }), c.bytes);
  Loader loader(c.bytes);
  EXPECT_EQ(loader.Archive().ReadCount(), c.count);
  EXPECT_EQ(loader.Archive().GetRemainingLength(), 0);
  ExpectEndOfFileOnEveryTruncation(c.bytes, [](CArchive& ar) { ar.ReadCount(); });
}

INSTANTIATE_TEST_SUITE_P(
    CArchive, CountTest,
    testing::Values(CountCase{0, {0x00, 0x00}}, CountCase{0xFE, {0xFE, 0x00}},
                    CountCase{0xFF, {0xFF, 0x00}}, CountCase{0xFFFD, {0xFD, 0xFF}},
                    CountCase{0xFFFE, {0xFE, 0xFF}},
                    CountCase{0xFFFF, {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}},
                    CountCase{0x10000, {0xFF, 0xFF, 0x00, 0x00, 0x01, 0x00}},
                    CountCase{0xFFFFFFFF, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}}));

// ---------------------------------------------------------------------------
// Values

TEST(CArchiveValues, AreLittleEndianAndReadBack) {
  const Bytes expected = {
      0x81,                                            // BYTE
      'A',                                             // char
      0x02, 0x01,                                      // WORD 0x0102
      0xFE, 0xFF,                                      // short -2
      0x04, 0x03, 0x02, 0x01,                          // DWORD 0x01020304
      0xFE, 0xFF, 0xFF, 0xFF,                          // LONG -2
      0xF8, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,  // LONGLONG -8
      0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01,  // ULONGLONG
      0x00, 0x00, 0x80, 0x3F,                          // float 1.0
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF8, 0xBF,  // double -1.5
  };
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
  EXPECT_EQ(by, 0x81);
  EXPECT_EQ(ch, 'A');
  EXPECT_EQ(w, 0x0102);
  EXPECT_EQ(n, -2);
  EXPECT_EQ(dw, 0x01020304u);
  EXPECT_EQ(l, -2);
  EXPECT_EQ(ll, -8);
  EXPECT_EQ(ull, 0x0102030405060708u);
  EXPECT_EQ(f, 1.0f);
  EXPECT_EQ(d, -1.5);
}

TEST(CArchiveValues, ManyValuesCrossBufferBoundaries) {
  const Bytes bytes = Stored(
      [](CArchive& ar) {
        for (DWORD i = 0; i < 1000; ++i) ar << static_cast<BYTE>(i) << i << static_cast<WORD>(i);
      },
      128);
  EXPECT_EQ(bytes.size(), 7000u);
  Loader loader(bytes, 128);
  for (DWORD i = 0; i < 1000; ++i) {
    BYTE by = 0;
    DWORD dw = 0;
    WORD w = 0;
    loader.Archive() >> by >> dw >> w;
    ASSERT_EQ(by, static_cast<BYTE>(i));
    ASSERT_EQ(dw, i);
    ASSERT_EQ(w, static_cast<WORD>(i));
  }
  BYTE extra = 0;
  auto error = Caught<CArchiveException>([&] { loader.Archive() >> extra; });
  ASSERT_TRUE(error);
  EXPECT_EQ(error->m_cause, CArchiveException::endOfFile);
}

TEST(CArchiveValues, AValueCutShortIsEndOfFile) {
  ExpectEndOfFileOnEveryTruncation({1, 2, 3, 4, 5, 6, 7, 8}, [](CArchive& ar) {
    ULONGLONG value = 0;
    ar >> value;
  });
}

// ---------------------------------------------------------------------------
// Blocks and the buffer

TEST(CArchiveBlocks, SmallAndLargeBlocksKeepTheirOrder) {
  Bytes large(1000);
  for (size_t i = 0; i < large.size(); ++i) large[i] = static_cast<BYTE>(i * 7);
  RecordingMemFile file;
  {
    CArchive ar(&file, CArchive::store, 128);
    ar.Write("head", 4);
    ar.Write(large.data(), static_cast<UINT>(large.size()));
    ar.Write("tail", 4);
  }
  // The large block went to the file in one piece, after the bytes before it.
  EXPECT_EQ(file.writes, (std::vector<UINT>{4, 1000, 4}));
  Bytes expected = {'h', 'e', 'a', 'd'};
  expected.insert(expected.end(), large.begin(), large.end());
  expected.insert(expected.end(), {'t', 'a', 'i', 'l'});
  EXPECT_EQ(Contents(file), expected);

  for (int bufSize : {128, 4096}) {
    SCOPED_TRACE(bufSize);
    Loader loader(expected, bufSize);
    Bytes got(expected.size() + 50);
    size_t done = 0;
    for (UINT piece : {3u, 500u, 1u, 130u, 127u, 1000u}) {
      done += loader.Archive().Read(got.data() + done, piece);
    }
    ASSERT_EQ(done, expected.size());  // the last Read came back short at the end
    got.resize(done);
    EXPECT_EQ(got, expected);
    EXPECT_EQ(loader.Archive().Read(got.data(), 10), 0u);
  }
}

// ---------------------------------------------------------------------------
// Direction, flushing, closing

struct NamedUse {
  const char* name;
  std::function<void(CArchive&)> use;
};

TEST(CArchiveDirection, LoadingArchiveRefusesWrites) {
  const std::vector<NamedUse> writes = {
      {"operator<<", [](CArchive& ar) { ar << BYTE{1}; }},
      {"Write", [](CArchive& ar) { ar.Write("x", 1); }},
      {"WriteCount", [](CArchive& ar) { ar.WriteCount(1); }},
      {"AfxWriteStringLength", [](CArchive& ar) { AfxWriteStringLength(ar, 1, FALSE); }},
  };
  for (const NamedUse& write : writes) {
    SCOPED_TRACE(write.name);
    Loader loader({1, 2, 3, 4});
    auto error = Caught<CArchiveException>([&] { write.use(loader.Archive()); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->m_cause, CArchiveException::readOnly);
    EXPECT_EQ(Contents(loader.File()), (Bytes{1, 2, 3, 4}));
  }
}

TEST(CArchiveDirection, StoringArchiveRefusesReads) {
  const std::vector<NamedUse> reads = {
      {"operator>>",
       [](CArchive& ar) {
         BYTE by = 0;
         ar >> by;
       }},
      {"Read",
       [](CArchive& ar) {
         char c = 0;
         ar.Read(&c, 1);
       }},
      {"ReadCount", [](CArchive& ar) { ar.ReadCount(); }},
      {"GetRemainingLength", [](CArchive& ar) { ar.GetRemainingLength(); }},
  };
  for (const NamedUse& read : reads) {
    SCOPED_TRACE(read.name);
    CMemFile file;
    CArchive ar(&file, CArchive::store);
    auto error = Caught<CArchiveException>([&] { read.use(ar); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->m_cause, CArchiveException::writeOnly);
  }
}

TEST(CArchiveFlush, DestructorFlushesUnlessToldNotTo) {
  CMemFile flushed;
  { CArchive(&flushed, CArchive::store) << DWORD{7}; }
  EXPECT_EQ(Contents(flushed), (Bytes{7, 0, 0, 0}));

  CMemFile dropped;
  { CArchive(&dropped, CArchive::store | CArchive::bNoFlushOnDelete) << DWORD{7}; }
  EXPECT_EQ(dropped.GetLength(), 0u);
}

TEST(CArchiveFlush, CloseRaisesAFailedWriteAndTheDestructorSwallowsIt) {
  BYTE room[2] = {};
  CMemFile file(room, sizeof room);  // a fixed buffer: two bytes at most
  file.SetLength(0);
  {
    CArchive ar(&file, CArchive::store);
    ar << DWORD{1};
    auto error = Caught<CFileException>([&] { ar.Close(); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->m_cause, CFileException::diskFull);
  }
  auto ar = std::make_unique<CArchive>(&file, CArchive::store);
  *ar << DWORD{1};
  EXPECT_NO_THROW(ar.reset());
}

TEST(CArchiveFlush, ExplicitFlushWritesPendingBytes) {
  CMemFile file;
  CArchive ar(&file, CArchive::store);
  ar << WORD{0x0201};
  EXPECT_EQ(file.GetLength(), 0u);
  ar.Flush();
  EXPECT_EQ(Contents(file), (Bytes{1, 2}));
}

TEST(CArchiveFlush, LoadingFlushAndCloseReturnTheFileToTheFirstUnreadByte) {
  Loader loader({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
  BYTE by = 0;
  loader.Archive() >> by;
  EXPECT_EQ(loader.File().GetPosition(), 10u);  // read ahead
  loader.Archive().Flush();
  EXPECT_EQ(loader.File().GetPosition(), 1u);
  WORD w = 0;
  loader.Archive() >> w;
  EXPECT_EQ(w, 0x0302);
  loader.Archive().Close();
  EXPECT_EQ(loader.File().GetPosition(), 3u);
}

// ---------------------------------------------------------------------------
// Remaining length

TEST(CArchiveRemaining, CountsBufferedAndFileBytes) {
  Loader loader({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
  CArchive& ar = loader.Archive();
  EXPECT_EQ(ar.GetRemainingLength(), 10);
  BYTE by = 0;
  ar >> by;
  EXPECT_EQ(ar.GetRemainingLength(), 9);
  DWORD dw = 0;
  ar >> dw;
  EXPECT_EQ(ar.GetRemainingLength(), 5);
  BYTE rest[5];
  EXPECT_EQ(ar.Read(rest, 5), 5u);
  EXPECT_EQ(ar.GetRemainingLength(), 0);
}

TEST(CArchiveRemaining, CountsFileBytesNotYetBuffered) {
  const Bytes bytes(1000, 1);
  Loader loader(bytes, 128);
  BYTE by = 0;
  loader.Archive() >> by;
  EXPECT_EQ(loader.File().GetPosition(), 128u);
  EXPECT_EQ(loader.Archive().GetRemainingLength(), 999);
}

}  // namespace
