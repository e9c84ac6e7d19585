#include <kxutils96/tokens/csv_line.h>

#include <algorithm>
#include <string>
#include <string_view>

#include <kxutils96/frame/flat_call.h>
#include <kxutils96/host/zutl96/separator_search.h>
#include <kxutils96/tokens/detail/csv_field.h>
#include <kxutils96/tokens/detail/split.h>
#include <kxutils96/tokens/token_splitter.h>

using kxu::zutl96::kSearchOutsideQuotes;

namespace {

using kxu::frame::kResultMissingArgument;
using kxu::frame::StringArrayOf;
using kxu::tokens::detail::AssignBytes;
using kxu::tokens::detail::CsvUnquoteFieldInto;
using kxu::tokens::detail::SplitOptions;
using kxu::tokens::detail::SplitRaw;
using kxu::tokens::detail::SplitSource;
using kxu::tokens::detail::TokenSlot;

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
  if (std::find(field.begin(), field.end(), kDoubleQuote) == field.end()) {
    AssignBytes(strOut, field);
    return static_cast<int>(field.size());
  }

  const int nLength = static_cast<int>(field.size());
  const bool bQuoted = field[0] == kDoubleQuote;
  char* pOut = strOut.GetBuffer(nLength);
  int nOut = 0;
  auto finish = [&](int nResult) {
    strOut.ReleaseBuffer(nOut);
    return nResult;
  };

  if (!bQuoted) pOut[nOut++] = field[0];
  if (nLength == 1) return finish(nOut);
  for (int i = 1; i < nLength - 1; ++i) {
    if (field[i] != kDoubleQuote) {
      pOut[nOut++] = field[i];
    } else if (field[i + 1] == kDoubleQuote) {
      pOut[nOut++] = kDoubleQuote;
      ++i;
    } else {
      return finish(kFieldLoneQuote);
    }
  }
  const char chLast = field[nLength - 1];
  if (chLast != kDoubleQuote) pOut[nOut++] = chLast;
  return finish(bQuoted && chLast != kDoubleQuote ? kFieldUnterminated : nOut);
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
  const int nCount = SplitRaw(line, options, [&](int nIndex, std::string_view field) {
    CsvUnquoteFieldInto(field, TokenSlot(*pFields, nIndex));
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
