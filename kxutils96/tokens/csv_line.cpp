#include <kxutils96/tokens/csv_line.h>

#include <cstring>
#include <string>
#include <string_view>

#include <kxutils96/frame/flat_call.h>
#include <kxutils96/host/zutl96/separator_search.h>
#include <kxutils96/platform/checked_int.h>
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

namespace kxu::tokens::detail {

int CsvUnquoteFieldInto(std::string_view field, CStringUTF8& strOut) {
  if (field.empty() || (field.size() == 1 && field[0] == kLineFeed)) {
    AssignBytes(strOut, {});
    return 0;
  }
  // Without a double quote every byte stays.
  if (field.find(kDoubleQuote) == std::string_view::npos) {
    AssignBytes(strOut, field);
    return CheckedInt(field.size());
  }

  const bool bQuoted = field[0] == kDoubleQuote;
  char* pOut = strOut.GetBuffer(CheckedInt(field.size()));
  std::size_t nOut = 0;
  auto finish = [&](int nResult) {
    strOut.ReleaseBuffer(CheckedInt(nOut));
    return nResult;
  };
  auto copy = [&](std::string_view run) {
    std::memcpy(pOut + nOut, run.data(), run.size());
    nOut += run.size();
  };

  if (!bQuoted) pOut[nOut++] = field[0];
  if (field.size() == 1) return finish(CheckedInt(nOut));
  // The bytes between the first and the last are copied run by run; each
  // quote among them must be the first of a pair, which gives one quote.
  const std::string_view inner = field.substr(1, field.size() - 2);
  std::size_t nAt = 0;
  for (std::size_t nQuote = inner.find(kDoubleQuote); nQuote != std::string_view::npos;
       nQuote = inner.find(kDoubleQuote, nAt)) {
    copy(inner.substr(nAt, nQuote - nAt));
    // The pair's second quote may be the field's last byte.
    if (field[nQuote + 2] != kDoubleQuote) return finish(kFieldLoneQuote);
    pOut[nOut++] = kDoubleQuote;
    nAt = nQuote + 2;
    if (nAt > inner.size()) return finish(CheckedInt(nOut));
  }
  copy(inner.substr(nAt));
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
  const int nCount = SplitRaw(line, options, [&](int nIndex, std::string_view field, bool bPlain) {
    // A plain field has no quote to remove; a lone line feed still goes.
    CStringUTF8& slot = TokenSlot(*pFields, nIndex);
    if (bPlain && field != "\n") {
      AssignBytes(slot, field);
    } else {
      CsvUnquoteFieldInto(field, slot);
    }
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
