#include <kxutils96/platform/framework/afx_mem_file.h>
#include <kxutils96/strings/zqv_string_array.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "support/array_text.h"
#include "support/caught_exception.h"

namespace {

using Bytes = std::vector<BYTE>;
using kxu::test::ArrayOf;
using kxu::test::Texts;

using kxu::test::TextsOf;

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

// The words of the object: the virtual table, then first, last and end addresses.
struct LayoutView {
  const void* vtable;
  const CStringUTF8* pFirst;
  const CStringUTF8* pLast;
  const CStringUTF8* pEnd;
};

LayoutView ViewOf(const CZQVStringArray& array) {
  LayoutView view;
  static_assert(sizeof(view) == sizeof(CZQVStringArray) && sizeof(CStringUTF8) == sizeof(void*));
  std::memcpy(&view, static_cast<const void*>(&array), sizeof view);
  return view;
}

TEST(ZQVStringArrayTest, GrowingPastTheLargestCountRaisesLengthError) {
  CZQVStringArray array;
  try {
    array.SetSize(CZQVStringArray::kMaxElements + 1);
    FAIL() << "no exception";
  } catch (const std::length_error& error) {
    EXPECT_STREQ(error.what(), "vector<T> too long");
  }
}

// Random sequences of operations (fixed seed) against a vector of strings;
// texts sometimes taken from the array itself. After each, the words the
// host reads hold the same elements.
TEST(ZQVStringArrayTest, BehavesLikeAVectorOfStringsUnderRandomOperations) {
  std::mt19937 rng(96);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  for (int round = 0; round < 200; ++round) {
    CZQVStringArray array;
    Texts ref;
    for (int step = 0; step < 30; ++step) {
      const int size = static_cast<int>(ref.size());
      const int i = pick(-1, size + 1), n = pick(-1, 3);
      const std::string fresh(static_cast<std::size_t>(pick(0, 3)),
                              static_cast<char>('a' + step % 26));
      const bool own = size > 0 && pick(0, 1) == 1;
      const int k = own ? pick(0, size - 1) : 0;
      const std::string text = own ? ref[static_cast<std::size_t>(k)] : fresh;
      const int op = pick(0, 5);
      switch (op) {
        case 0:
          EXPECT_EQ(own ? array.Add(array[k]) : array.Add(fresh.c_str()), size);
          ref.push_back(text);
          break;
        case 1:
          if (i < 0) {
            EXPECT_TRUE(kxu::test::Caught<CInvalidArgException>([&] { array.SetSize(i); }));
          } else {
            array.SetSize(i, n);
            ref.resize(static_cast<std::size_t>(i));
          }
          break;
        case 2:  // clipped to the end; an index past it removes nothing
          if (i < 0 || n < 0) {
            EXPECT_TRUE(kxu::test::Caught<CInvalidArgException>([&] { array.RemoveAt(i, n); }));
          } else {
            array.RemoveAt(i, n);
            if (i < size) ref.erase(ref.begin() + i, ref.begin() + std::min(size, i + n));
          }
          break;
        case 3:
          if (i < 0 || i >= size) {
            EXPECT_TRUE(
                kxu::test::Caught<CInvalidArgException>([&] { array.SetAt(i, CStringUTF8("x")); }));
          } else {
            array.SetAt(i, CStringUTF8(text.c_str()));
            array.ElementAt(i) += "+";
            ref[static_cast<std::size_t>(i)] = text + "+";
          }
          break;
        case 4: {  // copies are independent
          CZQVStringArray copy(array);
          array.RemoveAll();
          copy.Add("c");
          array = copy;
          copy.RemoveAll();
          ref.push_back("c");
          break;
        }
        case 5: {  // the capacity stays
          const CStringUTF8* pEnd = ViewOf(array).pEnd;
          array.RemoveAll();
          EXPECT_EQ(ViewOf(array).pEnd, pEnd);
          ref.clear();
          break;
        }
      }
      ASSERT_EQ(TextsOf(array), ref) << "op " << op << " step " << step << " round " << round;
      const LayoutView view = ViewOf(array);
      ASSERT_EQ(view.pLast - view.pFirst, static_cast<std::ptrdiff_t>(ref.size()));
      ASSERT_GE(view.pEnd, view.pLast);
      ASSERT_EQ(array.GetData(), ref.empty() ? nullptr : view.pFirst);
    }
  }
}

TEST(ZQVStringArrayArchiveTest, StoredBytesFollowTheArchiveFormat) {
  const std::string s254(254, 'x'), s255(255, 'y'), s65534(0xFFFE, 'z');
  const std::tuple<const char*, Texts, Bytes> cases[] = {
      {"empty array", {}, {0x00, 0x00}},
      {"one empty string", {""}, {0x01, 0x00, 0x00}},
      {"two strings", {"ab", "\xC3\xA9"}, {0x02, 0x00, 0x02, 'a', 'b', 0x02, 0xC3, 0xA9}},
      {"254 bytes", {s254}, With({0x01, 0x00, 0xFE}, s254)},
      {"255 bytes", {s255}, With({0x01, 0x00, 0xFF, 0xFF, 0x00}, s255)},
      {"65534 bytes",
       {s65534},
       With({0x01, 0x00, 0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}, s65534)},
      {"0xFFFF elements: the count takes four bytes more", Texts(0xFFFF),
       With({0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}, std::string(0xFFFF, '\0'))},
  };
  for (const auto& [name, texts, expected] : cases) {
    EXPECT_EQ(Store(ArrayOf(texts)), expected) << name;
    CZQVStringArray loaded;
    EXPECT_EQ(LoadCause(expected, loaded), kLoaded) << name;
    EXPECT_EQ(TextsOf(loaded), texts) << name;
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
    if (cut >= 2 + 1 + 5) {
      EXPECT_STREQ(array[0], "first") << "cut at " << cut;
    }
    if (cut >= 2) {
      EXPECT_EQ(array.GetSize(), 3) << "cut at " << cut;
    }
  }
}

}  // namespace
