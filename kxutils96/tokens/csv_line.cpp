#include <kxutils96/tokens/csv_line.h>

#include <algorithm>
#include <bit>
#include <climits>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

#include <kxutils96/frame/flat_call.h>
#include <kxutils96/host/zutl96/separator_search.h>
#include <kxutils96/platform/checked_int.h>
#include <kxutils96/platform/text/simd.h>
#include <kxutils96/tokens/detail/csv_field.h>
#include <kxutils96/tokens/detail/split.h>
#include <kxutils96/tokens/token_splitter.h>

using namespace kxu::frame;
using namespace kxu::platform;
using namespace kxu::tokens::detail;
using namespace kxu::zstrings96;
using namespace kxu::zutl96;

namespace {

constexpr char kComma = ',';
constexpr char kDoubleQuote = '"';
constexpr char kLineFeed = '\n';
constexpr DWORD kNoSplitFlags = 0;

}  // namespace

namespace {

namespace simd = kxu::platform::simd;

// Copies the bytes of `run` before its first double quote (all of them when
// it has none) to `pOut` and returns how many. Whole blocks are read while
// `nReadable` bytes from the run's start allow (at least run.size(); past
// the run they lie in the text it comes from) and written whole, so `pOut`
// needs room for run.size() bytes and a block; the bytes after them, fewer
// than a block, are searched and copied by the C library.
std::size_t CopyUntilQuote(std::string_view run, std::size_t nReadable, char* pOut) {
  std::size_t n = 0;
  for (; n < run.size() && nReadable - n >= simd::kBlockBytes; n += simd::kBlockBytes) {
    const simd::Block block = simd::LoadBlock(run.data() + n);
    simd::StoreBlock(pOut + n, block);
    const simd::Mask quotes = simd::EqualMask(block, kDoubleQuote);
    if (quotes != 0)
      return std::min(n + static_cast<std::size_t>(std::countr_zero(quotes)), run.size());
  }
  if (n >= run.size()) return run.size();
  const std::size_t nQuote = run.find(kDoubleQuote, n);
  const std::size_t nEnd = nQuote == std::string_view::npos ? run.size() : nQuote;
  std::memcpy(pOut + n, run.data() + n, nEnd - n);
  return nEnd;
}

}  // namespace

namespace kxu::tokens::detail {

int CsvUnquoteFieldInto(std::string_view field, std::size_t nReadable, CStringUTF8& strOut) {
  if (field.empty() || (field.size() == 1 && field[0] == kLineFeed)) {
    AssignBytes(strOut, {});
    return 0;
  }
  // The output never gets ahead of the input. Room for a block past the
  // field lets the copies write whole blocks; they read and write no further
  // than the room.
  const int nLength = CheckedInt(field.size());
  constexpr int kBlock = static_cast<int>(simd::kBlockBytes);
  const int nRoom = nLength <= INT_MAX - kBlock ? nLength + kBlock : nLength;
  char* pOut = strOut.GetBuffer(nRoom);
  nReadable = std::min(nReadable, static_cast<std::size_t>(nRoom));
  std::size_t nOut = 0;
  auto finish = [&](int nResult) {
    strOut.ReleaseBuffer(CheckedInt(nOut));
    return nResult;
  };

  // A field not in quotes is copied up to its first quote: without one,
  // every byte stays.
  const bool bQuoted = field[0] == kDoubleQuote;
  std::size_t nAt = bQuoted ? 1 : CopyUntilQuote(field, nReadable, pOut);
  nOut = bQuoted ? 0 : nAt;
  if (nAt == field.size()) return finish(CheckedInt(nOut));
  // The bytes up to the last are copied run by run; each quote among them
  // must be the first of a pair, which gives one quote.
  const std::size_t nLast = field.size() - 1;
  while (nAt < nLast) {
    const std::size_t nRun =
        CopyUntilQuote(field.substr(nAt, nLast - nAt), nReadable - nAt, pOut + nOut);
    nOut += nRun;
    nAt += nRun;
    if (nAt == nLast) break;
    // The pair's second quote may be the field's last byte.
    if (field[nAt + 1] != kDoubleQuote) return finish(kFieldLoneQuote);
    pOut[nOut++] = kDoubleQuote;
    nAt += 2;
  }
  if (nAt > nLast) return finish(CheckedInt(nOut));
  const char chLast = field.back();
  if (chLast != kDoubleQuote) pOut[nOut++] = chLast;
  return finish(bQuoted && chLast != kDoubleQuote ? kFieldUnterminated : CheckedInt(nOut));
}

}  // namespace kxu::tokens::detail

int kxutilsTokenizeOneCSVLine(const char* lpcszLine, CZQVStringArray* pFields) {
  if (pFields == nullptr) return kResultMissingArgument;
  if (lpcszLine != nullptr && *lpcszLine == '\0') {
    pFields->RemoveAll();
    return 0;
  }
  // The split of kxutilsGetTokens at ',' with angle brackets, each raw field
  // unquoted as it is stored.
  std::string copy;
  const std::string_view line = SplitSource(lpcszLine, pFields, copy);
  int nSearchState = kSearchOutsideQuotes;
  const SplitOptions options{kComma, &nSearchState, kxu::tokens::kQuoteAngleBrackets,
                             kNoSplitFlags};
  const int nCount = SplitRaw(line, options, [&](int nIndex, std::string_view field, bool) {
    CsvUnquoteFieldInto(field, line.data() + line.size() - field.data(),
                        TokenSlot(*pFields, nIndex));
  });
  pFields->SetSize(nCount);
  return nCount;
}

int kxu_tokenize_one_csv_line(const char* lpcszLine, HostObject* pFields) {
  return kxutilsTokenizeOneCSVLine(lpcszLine, StringArrayOf(pFields));
}

// The array is taken by value on purpose: the caller's array is never changed.
int kxutilsReadCSVFile(const char* /*lpcszFileName*/,
                       CZQVStringArray /*saFields*/,  // NOLINT(performance-unnecessary-value-param)
                       int /*nReserved1*/, int /*nReserved2*/) {
  return 1;
}
