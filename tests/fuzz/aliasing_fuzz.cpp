// Calls every export that takes two or more strings or arrays with its
// arguments aliased in each way the types allow: a text that lives inside the
// string or array the call writes, one array passed as two arguments, a result
// string that is an element of the array read. (A flat export that only hands
// its object's array to the native call is called through the native one; an array sorted as
// its own index array is the sort family's test.) Each aliased call must
// give what the same call gives on independent copies (or, where one array plays two parts, what
// the documented order of reads and writes gives). Input: one option byte, then texts separated by
// NUL bytes; the first three texts (empty when missing) are the elements the arguments are taken
// from, the next three the arguments' own copies.
#include <kxutils96/data/discrete_frequencies.h>
#include <kxutils96/data/remove_unchanged_items.h>
#include <kxutils96/files/file_writer.h>
#include <kxutils96/files/relative_path.h>
#include <kxutils96/files/text_file_lines.h>
#include <kxutils96/files/text_file_reader.h>
#include <kxutils96/format/messages/message_loading.h>
#include <kxutils96/format/messages/ordered_format.h>
#include <kxutils96/format/transforms/escaping.h>
#include <kxutils96/format/transforms/keyword_replace.h>
#include <kxutils96/format/transforms/multi_str_reorder.h>
#include <kxutils96/host/zutl96/zutl96.h>
#include <kxutils96/strings/encoding_conversions.h>
#include <kxutils96/tokens/csv_line.h>
#include <kxutils96/tokens/join_tokens.h>
#include <kxutils96/tokens/key_values.h>
#include <kxutils96/tokens/numeric_suffix.h>
#include <kxutils96/tokens/separate_by_str.h>
#include <kxutils96/tokens/token_splitter.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "fuzz_require.h"
#include "support/array_text.h"
#include "support/mock_host_object.h"
#include "support/temp_dir.h"

using namespace kxu::zutl96;
using namespace kxu::test;

namespace {

constexpr std::size_t kElements = 3;
// Where an argument comes from: its own copy, or element 0, 1 or 2 of the output.
constexpr int kOwnCopy = -1;
constexpr std::array<int, 4> kSources = {kOwnCopy, 0, 1, 2};
constexpr std::array<char, 4> kSeparators = {',', '\0', ';', '='};

// Where the argument at `nArgument` may come from, for a call that reads
// `nTexts` texts (the others stay on their own copies, unread).
std::span<const int> SourcesOf(int nArgument, int nTexts) {
  static constexpr std::array<int, 1> kOwnOnly = {kOwnCopy};
  return nArgument < nTexts ? std::span<const int>(kSources) : std::span<const int>(kOwnOnly);
}

// `call(a, b, c, array)` writes `array` reading its first `nTexts` texts.
// Taking each from its own copy or from an element of `array` must not
// change what the call returns or writes.
template <int nTexts, class Call>
void SameWithTextsInArray(const Texts& texts, const Texts& own, Call call) {
  const CZQVStringArray original = ArrayOf(texts);
  for (const int a : SourcesOf(0, nTexts)) {
    for (const int b : SourcesOf(1, nTexts)) {
      for (const int c : SourcesOf(2, nTexts)) {
        CZQVStringArray aliased = original;
        CZQVStringArray copies = original;
        // The text of the argument at `k`: element `nSource` of `array`, or its own copy.
        const auto pick = [&](const CZQVStringArray& array, int k, int nSource) {
          return nSource == kOwnCopy ? own[k].c_str() : array[nSource].GetString();
        };
        const int nCopies =
            call(pick(original, 0, a), pick(original, 1, b), pick(original, 2, c), copies);
        Require(call(pick(aliased, 0, a), pick(aliased, 1, b), pick(aliased, 2, c), aliased) ==
                nCopies);
        Require(TextsOf(aliased) == TextsOf(copies));
      }
    }
  }
}

// The whole of a framework string, embedded NULs included.
template <class Str>
auto UnitsOf(const Str& str) {
  return std::basic_string(str.GetString(), static_cast<std::size_t>(str.GetLength()));
}

// `call(a, b, str)` writes the string `str` reading two texts (a call that
// reads one ignores `b`). Taking either or both from `str` itself must give
// what copies of its text give.
template <class Str, class Call>
void SameWithTextsInString(const Str& start, const Str& own, Call call) {
  for (const bool bA : {false, true}) {
    for (const bool bB : {false, true}) {
      Str copies = start;
      const Str strA = bA ? start : own;
      const Str strB = bB ? start : own;
      const int nCopies = call(strA.GetString(), strB.GetString(), copies);
      Str aliased = start;
      const auto pA = bA ? aliased.GetString() : own.GetString();
      const auto pB = bB ? aliased.GetString() : own.GetString();
      Require(call(pA, pB, aliased) == nCopies);
      Require(UnitsOf(aliased) == UnitsOf(copies));
    }
  }
}

// `call(str, array)` writes `str` reading `array`. With `str` element k of
// that array, the array must end as it began but for element k, which holds
// what the call writes into a separate string that starts as element k.
template <class Call>
void SameWithResultInArray(const Texts& texts, Call call) {
  for (std::size_t k = 0; k < kElements; ++k) {
    CZQVStringArray copies = ArrayOf(texts);
    CStringUTF8 strCopy = StringOf(texts[k]);
    const int nCopies = call(strCopy, copies);
    CZQVStringArray aliased = ArrayOf(texts);
    Require(call(aliased[static_cast<int>(k)], aliased) == nCopies);
    Texts expected = texts;
    expected[k] = TextOf(strCopy);
    Require(TextsOf(aliased) == expected);
  }
}

void CheckTokens(const Texts& texts, const Texts& own, char chSep, int nQuote) {
  const auto same1 = [&](auto call) { SameWithTextsInArray<1>(texts, own, call); };
  same1([&](auto a, auto, auto, auto& array) {
    int nState = kSearchOutsideQuotes;
    return kxutilsGetTokens(a, &array, chSep, &nState, nQuote, 0);
  });
  SameWithTextsInArray<2>(texts, own, [](auto a, auto b, auto, auto& array) {
    return kxutilsSeparateByStr(a, &array, b);
  });
  same1([](auto a, auto, auto, auto& array) { return kxutilsTokenizeOneCSVLine(a, &array); });
  SameWithTextsInArray<3>(texts, own, [](auto a, auto b, auto c, auto& array) {
    return kxutilsSeparateCharWithNumericSuffix(a, &array, b, c, 0);
  });
  same1([](auto a, auto, auto, auto& array) { return kxutilsSeparateWksLabelsChar(a, &array, 0); });
  // The text in the keys, then in the values; the other list is appended to
  // the array afterwards so that the comparison sees it.
  for (const bool bKeys : {true, false}) {
    same1([&](auto a, auto, auto, auto& array) {
      CZQVStringArray other;
      const int nCount =
          kxutilsSeparateKeyValues(a, bKeys ? &array : &other, bKeys ? &other : &array, chSep);
      for (int i = 0; i < other.GetSize(); ++i) array.Add(other[i]);
      return nCount;
    });
  }
}

void CheckJoins(const Texts& texts, const Texts& own, char chSep) {
  const CZQVStringArray tokens = ArrayOf(texts);
  SameWithTextsInString(StringOf(texts[0]), StringOf(own[0]), [&](auto, auto b, auto& str) {
    CZQVStringArray array = tokens;
    return kxutilsSetTokensByStr(&str, &array, b);
  });
  SameWithResultInArray(texts, [&](CStringUTF8& str, CZQVStringArray& array) {
    return kxutilsSetTokens(&str, &array, chSep);
  });
  // The separator is element j, which may be the result itself.
  for (int j = 0; j < static_cast<int>(kElements); ++j) {
    SameWithResultInArray(texts, [&](CStringUTF8& str, CZQVStringArray& array) {
      return kxutilsSetTokensByStr(&str, &array, array[j]);
    });
  }
  // Keys and values: one array for both, and the result one of its elements.
  SameWithResultInArray(texts, [&](CStringUTF8& str, CZQVStringArray& array) {
    return kxutilsMakeKeyValuesStr(&str, &array, &array, chSep);
  });
}

void CheckSeparateKeyValuesIntoOneArray(const std::string& text, char chSep) {
  CZQVStringArray keys;
  CZQVStringArray values;
  const int nCount = kxutilsSeparateKeyValues(text.c_str(), &keys, &values, chSep);
  CZQVStringArray both = ArrayOf({"old"});
  Require(kxutilsSeparateKeyValues(text.c_str(), &both, &both, chSep) == nCount);
  Texts expected;
  for (int i = 0; i < keys.GetSize(); ++i) {
    expected.push_back(TextOf(keys[i]));
    expected.push_back(TextOf(values[i]));
  }
  Require(TextsOf(both) == expected);
}

// An ordered-format argument reader: indexes read %s from `pTexts`, in turn.
kxu::format::OrderedValue ReadText(void* pContext, int nIndex, char chLetter) {
  kxu::format::OrderedValue value{};
  if (chLetter == 's') {
    value.psz = static_cast<const char*>(pContext);
  } else if (chLetter == 'd') {
    value.n = nIndex;
  } else {
    value.d = nIndex + 0.5;
  }
  return value;
}

void CheckTextTransforms(const Texts& texts, const Texts& own, int nOption) {
  const std::string& start = texts[0];
  const bool bOption = (nOption & 1) != 0;
  const auto same = [&](auto call) {
    SameWithTextsInString(StringOf(start), StringOf(own[1]), call);
  };
  same([](auto a, auto, auto& str) {
    kxu_make_C_string_from_ascii(a, &str);
    return 0;
  });
  same([&](auto a, auto, auto& str) { return kxu_get_correct_KS_expression(a, &str, bOption); });
  same([&](auto a, auto b, auto& str) { return kxu_keyword_replace(&str, a, b, bOption); });
  same([&](auto a, auto, auto& str) { return kxu_check_escape_html_charcters(&str, a, bOption); });
  SameWithTextsInString(CStringW(Widened(start).c_str()), CStringW(Widened(own[1]).c_str()),
                        [&](auto pSet, auto, CStringW& str) {
                          return kxutilsCheckEscapeHTMLCharcters(&str, pSet, bOption);
                        });
  same([&](auto a, auto b, auto& str) { return kxu_make_relative_path(&str, a, b, nOption); });
  same([](auto a, auto b, auto& str) {
    return kxuStringOrderedFormatFrom(str, a, ReadText, const_cast<char*>(b));
  });
  same([&](auto a, auto b, auto& str) {
    int nValue = nOption;
    return kxu_load_msg_str(10000 + nOption, &str, a, (nOption & 2) != 0 ? &nValue : nullptr, b, 0);
  });
  same([&](auto a, auto, auto& str) { return zqMBCStoUTF8(str, a, bOption ? 1252 : 65001); });
  // The code-page side is the framework's narrow string, the same bytes.
  SameWithTextsInString(CStringA(start.c_str()), CStringA(own[1].c_str()),
                        [](auto a, auto, CStringA& str) { return zqUTF8toMBCS(str, a, 1252, -1); });
}

// A text file named by the string it is read into, and by an element of the
// array it is read into.
void CheckFileNamesInOutputs(const std::string& content, const std::string& path) {
  if (!kxuWriteToFile(path.c_str(), content.c_str())) return;
  SameWithTextsInString(StringOf(path), StringOf(path), [](auto a, auto, CStringUTF8& str) {
    return kxu_read_text_file(a, &str, 0);
  });
  const Texts names = {path, "", ""};
  SameWithTextsInArray<1>(names, names, [](auto a, auto, auto, auto& array) {
    return kxuReadTextFileLines(a, &array, 0);
  });
}

// kxu_discrete_frequencies with one object as input and output: the input is
// sorted in place and the groups follow it in the same array.
void CheckFrequenciesInPlace(const Texts& texts, int nOptions) {
  // The call's result, the count of groups and their frequencies.
  const auto frequencies = [&](MockHostObject& in, MockHostObject& out) {
    std::vector<double> values(texts.size() + 1);
    int nCount = 0;
    const int nResult = kxu_discrete_frequencies(&in, &out, values.data(), &nCount, nOptions);
    return std::tuple(nResult, nCount, values);
  };
  CZQVStringArray in = ArrayOf(texts), out, both = ArrayOf(texts);
  QueryLog log;
  MockHostObject inObject(log, in), outObject(log, out), bothObject(log, both);
  const auto separate = frequencies(inObject, outObject);
  Require(frequencies(bothObject, bothObject) == separate);
  Texts expected = TextsOf(in);
  for (const std::string& group : TextsOf(out)) expected.push_back(group);
  Require(TextsOf(both) == expected);
}

// kxu_multi_str_reorder with one object as destination and source: step i
// reads what the earlier steps left.
void CheckReorderInPlace(const Texts& texts, unsigned char options) {
  const int order[] = {options % 3, (options / 3) % 3, (options / 9) % 3};
  Texts expected = texts;
  for (std::size_t i = 0; i < kElements; ++i)
    expected[i] = expected[static_cast<std::size_t>(order[i])];
  CZQVStringArray array = ArrayOf(texts);
  QueryLog log;
  MockHostObject object(log, array);
  Require(kxu_multi_str_reorder(3, &object, order, 3, &object) == 1);
  Require(TextsOf(array) == expected);
}

// One side of an unchanged-items call: ids and names, each behind an object.
struct Items {
  Items(const std::vector<int>& idValues, const Texts& texts) : names(ArrayOf(texts)) {
    for (const int id : idValues) ids.Add(id);
  }
  CArray<int, int> ids;
  CZQVStringArray names;
  QueryLog log;
  MockHostObject idsObject{log, ids};
  MockHostObject namesObject{log, names};
};

// kxu_remove_unchanged_items_by_id with the sides `reference` and `current`
// and the extra strings of `extra`.
int RemoveUnchanged(Items& reference, Items& current, Items& extra) {
  return kxu_remove_unchanged_items_by_id(&reference.idsObject, &reference.namesObject,
                                          &current.idsObject, &current.namesObject,
                                          &extra.namesObject);
}

// kxu_remove_unchanged_items_by_id with shared arrays: ids that are their own
// reference, and names that are their own reference and their extra strings;
// then reference names that are the extra strings. The reference is read as
// it was at the start, and an array named twice loses each item once.
void CheckRemoveWithSharedArrays(const Texts& texts, unsigned char options) {
  const std::vector<int> idValues = {options & 3, (options >> 2) & 3, (options >> 4) & 3};
  Items reference(idValues, texts), current(idValues, texts), extra(idValues, texts);
  const int nRemoved = RemoveUnchanged(reference, current, extra);
  Items shared(idValues, texts);
  Require(RemoveUnchanged(shared, shared, shared) == nRemoved);
  Require(TextsOf(shared.names) == TextsOf(current.names));
  Items reference2(idValues, texts), current2(idValues, texts);
  Require(RemoveUnchanged(reference2, current2, reference2) == nRemoved);
  Require(TextsOf(reference2.names) == TextsOf(extra.names));
}

// The string array itself (a string's appends and inserts of its own text
// are the string type's own test): an element added to its own array, an
// array assigned to itself.
void CheckStringPrimitives(const Texts& texts) {
  CZQVStringArray array = ArrayOf(texts);
  const CZQVStringArray& self = array;
  for (int i = 0; i < static_cast<int>(kElements); ++i) array.Add(array[i]);
  array = self;
  array.SetAt(0, array[2]);
  Texts expected = texts;
  expected.insert(expected.end(), texts.begin(), texts.end());
  expected[0] = texts[2];
  Require(TextsOf(array) == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const unsigned char options = data[0];
  std::istringstream input(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
  Texts pieces;
  for (std::string piece; std::getline(input, piece, '\0');) pieces.push_back(piece);
  pieces.resize(std::max(pieces.size(), 2 * kElements));
  const Texts texts(pieces.begin(), pieces.begin() + kElements);
  const Texts own(pieces.begin() + kElements, pieces.begin() + 2 * kElements);

  const char chSep = kSeparators[options & 3];
  const int nQuote = (options & 4) != 0 ? kxu::tokens::kQuoteDouble : 0;
  CheckTokens(texts, own, chSep, nQuote);
  CheckJoins(texts, own, chSep);
  CheckSeparateKeyValuesIntoOneArray(texts[0], chSep);
  CheckTextTransforms(texts, own, options >> 4);
  static const kxu::test::TempDir folder;
  CheckFileNamesInOutputs(texts[1], kxu::test::Utf8(folder.Path("text.txt")));
  CheckFrequenciesInPlace(texts, options & 3);
  CheckReorderInPlace(texts, options);
  CheckRemoveWithSharedArrays(texts, options);
  CheckStringPrimitives(texts);
  return 0;
}
