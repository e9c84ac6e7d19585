#include <kxutils96/platform/framework/afx_mem_file.h>
#include <kxutils96/strings/zqv_string_array.h>

#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <cstring>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "support/array_text.h"
#include "support/caught_exception.h"

namespace {

using Bytes = std::vector<BYTE>;
using namespace kxu::test;

Bytes Store(const CZQVStringArray& array) {
  CMemFile file;
  CArchive ar(&file, CArchive::store);
  const_cast<CZQVStringArray&>(array).Serialize(ar);
  ar.Close();
  Bytes bytes(static_cast<size_t>(file.GetLength()));
  file.SeekToBegin();
  file.Read(bytes.data(), static_cast<UINT>(bytes.size()));
  return bytes;
}

constexpr int kLoaded = -1;

// Loads `bytes` into `array`; returns kLoaded, the cause of the archive
// exception raised, or the status code of another.
int LoadCause(Bytes bytes, CZQVStringArray& array) {
  CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
  try {
    CArchive ar(&file, CArchive::load);
    array.Serialize(ar);
  } catch (CException* e) {
    const kxu::test::CaughtPtr<CException> caught(e);
    if (auto* archive_error = dynamic_cast<CArchiveException*>(e)) return archive_error->m_cause;
    if (auto* ole_error = dynamic_cast<COleException*>(e)) return static_cast<int>(ole_error->m_sc);
    return -2;
  }
  return kLoaded;
}

Bytes With(Bytes head, const std::string& text) {
  head.insert(head.end(), text.begin(), text.end());
  return head;
}

// The words of the object that the host reads: the virtual table, then the
// first, last and end addresses.
std::array<const CStringUTF8*, 4> WordsOf(const CZQVStringArray& array) {
  std::array<const CStringUTF8*, 4> words;
  static_assert(sizeof words == sizeof array && sizeof(CStringUTF8) == sizeof(void*));
  std::memcpy(words.data(), static_cast<const void*>(&array), sizeof words);
  return words;
}

// The count, then each element's length and bytes, in the archive's forms
// (whose boundaries the archive's own tests hold), stored and loaded back.
// A string added as an rvalue gives up its text rather than a copy of it; an
// element of the array itself is copied, as growing the array moves it.
TEST(ZQVStringArrayTest, AddTakesAMovedStringsTextAndCopiesAnElement) {
  CZQVStringArray array;
  CStringUTF8 strLine("first line");
  const char* const pText = strLine.GetString();
  EXPECT_EQ(array.Add(std::move(strLine)), 0);
  EXPECT_TRUE(strLine.IsEmpty());  // NOLINT(bugprone-use-after-move): left empty by contract
  EXPECT_EQ(array[0].GetString(), pText);
  for (int i = 1; i < 40; ++i) EXPECT_EQ(array.Add(std::move(array[0])), i);
  for (int i = 0; i < 40; ++i) EXPECT_STREQ(array[i].GetString(), "first line") << i;
}

TEST(ZQVStringArrayArchiveTest, StoredBytesFollowTheArchiveFormat) {
  const std::tuple<const char*, Texts, Bytes> cases[] = {
      {"empty array", {}, {0x00, 0x00}},
      {"one empty string", {""}, {0x01, 0x00, 0x00}},
      {"two strings", {"ab", "\xC3\xA9"}, {0x02, 0x00, 0x02, 'a', 'b', 0x02, 0xC3, 0xA9}},
      {"0xFFFF elements: the count takes four bytes more", Texts(0xFFFF),
       With({0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}, std::string(0xFFFF, '\0'))},
  };
  for (const auto& [name, texts, expected] : cases) {
    EXPECT_EQ(Store(ArrayOf(texts)), expected) << name;
    CZQVStringArray loaded;
    EXPECT_EQ(LoadCause(expected, loaded), kLoaded) << name;
    EXPECT_EQ(TextsOf(loaded), texts) << name;
    const auto words = WordsOf(loaded);
    EXPECT_EQ(words[2] - words[1], static_cast<std::ptrdiff_t>(texts.size())) << name;
    EXPECT_EQ(loaded.GetData(), texts.empty() ? nullptr : words[1]) << name;
  }
}

TEST(ZQVStringArrayArchiveTest, LoadsReplaceTheContentOrFailByTheirCause) {
  // Bytes, cause, and what an array that held "kept" holds after.
  const std::tuple<const char*, Bytes, int, std::optional<Texts>> rows[] = {
      {"replaces the content", {0x02, 0x00, 0x01, 'a', 0x00}, kLoaded, Texts{"a", ""}},
      {"a stored NUL ends the element",
       {0x02, 0x00, 0x03, 'a', 0x00, 'b', 0x01, 'c'},
       kLoaded,
       Texts{"a", "c"}},
      {"a length of 0xFFFFFFFF overflows",
       {0x01, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00,
        0x00, 0x00},
       static_cast<int>(0x80070216u),
       std::nullopt},
      {"a wide-tagged string is a bad schema",
       {0x01, 0x00, 0xFF, 0xFE, 0xFF, 0x01, 'a', 0x00},
       CArchiveException::badSchema,
       std::nullopt},
      {"an absurd count fails before the array changes",
       {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x3F, 0x01, 'a'},
       CArchiveException::endOfFile,
       Texts{"kept"}},
      {"a huge length without data",
       {0x01, 0x00, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x40, 'a'},
       CArchiveException::endOfFile,
       std::nullopt},
  };
  for (const auto& [name, bytes, nCause, after] : rows) {
    CZQVStringArray array = ArrayOf({"kept"});
    EXPECT_EQ(LoadCause(bytes, array), nCause) << name;
    if (after) {
      EXPECT_EQ(TextsOf(array), *after) << name;
    }
  }
}

TEST(ZQVStringArrayArchiveTest, EveryTruncationIsEndOfFileAndKeepsWhatLoaded) {
  const Bytes full = Store(ArrayOf({"first", std::string(300, 'q'), "third"}));
  for (size_t cut = 0; cut < full.size(); ++cut) {
    CZQVStringArray array = ArrayOf({"old"});
    EXPECT_EQ(LoadCause(Bytes(full.begin(), full.begin() + static_cast<long>(cut)), array),
              CArchiveException::endOfFile)
        << "cut at " << cut;
    const bool bFirstLoaded = cut >= 2 + 1 + 5;
    if (bFirstLoaded) {
      EXPECT_STREQ(array[0], "first") << "cut at " << cut;
    }
    // The element cut short keeps its text; a new one stays empty.
    if (cut < full.size() - (1 + 5)) {
      EXPECT_STREQ(array[bFirstLoaded ? 1 : 0], bFirstLoaded ? "" : "old") << "cut at " << cut;
    }
    if (cut >= 2) {
      EXPECT_EQ(array.GetSize(), 3) << "cut at " << cut;
    }
  }
}

}  // namespace
