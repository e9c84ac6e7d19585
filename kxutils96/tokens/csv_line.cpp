#include <kxutils96/tokens/csv_line.h>

#include <cstring>

#include <kxutils96/frame/flat_call.h>
#include <kxutils96/host/zutl96/separator_search.h>
#include <kxutils96/tokens/detail/csv_field.h>
#include <kxutils96/tokens/token_splitter.h>

using kxu::zutl96::kSearchOutsideQuotes;

namespace {

using kxu::frame::kResultMissingArgument;
using kxu::frame::StringArrayOf;
using kxu::tokens::detail::CsvUnquoteField;

constexpr char kComma = ',';
constexpr char kDoubleQuote = '"';
constexpr char kLineFeed = '\n';
constexpr DWORD kNoSplitFlags = 0;

}  // namespace

namespace kxu::tokens::detail {

int CsvUnquoteField(CStringUTF8& strField) {
  const int nLength = strField.GetLength();
  if (nLength == 0 || (nLength == 1 && strField[0] == kLineFeed)) {
    strField.Empty();
    return 0;
  }
  // Without a double quote every byte stays.
  if (std::memchr(strField.GetString(), kDoubleQuote, static_cast<std::size_t>(nLength)) == nullptr)
    return nLength;

  const CStringUTF8 strSource(strField);
  const char* pSource = strSource.GetString();
  const bool bQuoted = pSource[0] == kDoubleQuote;
  char* pOut = strField.GetBuffer(nLength);
  int nOut = 0;
  auto finish = [&](int nResult) {
    strField.ReleaseBuffer(nOut);
    return nResult;
  };

  if (!bQuoted) pOut[nOut++] = pSource[0];
  if (nLength == 1) return finish(nOut);
  for (int i = 1; i < nLength - 1; ++i) {
    if (pSource[i] != kDoubleQuote) {
      pOut[nOut++] = pSource[i];
    } else if (pSource[i + 1] == kDoubleQuote) {
      pOut[nOut++] = kDoubleQuote;
      ++i;
    } else {
      return finish(kFieldLoneQuote);
    }
  }
  const char chLast = pSource[nLength - 1];
  if (chLast != kDoubleQuote) pOut[nOut++] = chLast;
  return finish(bQuoted && chLast != kDoubleQuote ? kFieldUnterminated : nOut);
}

}  // namespace kxu::tokens::detail

int kxutilsTokenizeOneCSVLine(const char* lpcszLine, CZQVStringArray* pFields) {
  if (pFields == nullptr) return kResultMissingArgument;
  int nSearchState = kSearchOutsideQuotes;
  const int nCount = kxutilsGetTokens(lpcszLine, pFields, kComma, &nSearchState,
                                      kxu::tokens::kQuoteAngleBrackets, kNoSplitFlags);
  if (nCount < 1) return nCount;
  for (int i = 0; i < nCount; ++i) CsvUnquoteField(pFields->ElementAt(i));
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
