#include <kxutils96/tokens/join_tokens.h>

#include <utility>

#include <kxutils96/frame/flat_call.h>

using namespace kxu::frame;

namespace {

// Writes the elements of `tokens` into `strResult`, calling `appendSeparator`
// between every two. Returns the element count. The text is joined apart and
// stored at the end, since `strResult` may be an element of `tokens` or hold
// the separator.
template <class AppendSeparator>
int Join(CStringUTF8& strResult, const CZQVStringArray& tokens, AppendSeparator appendSeparator) {
  CStringUTF8 strJoined;
  const int nCount = tokens.GetSize();
  for (int i = 0; i < nCount; ++i) {
    if (i > 0) appendSeparator(strJoined);
    strJoined += tokens[i];
  }
  strResult = std::move(strJoined);
  return nCount;
}

}  // namespace

int kxutilsSetTokens(CStringUTF8* pstrResult, CZQVStringArray* pTokens, char chSep) {
  if (AnyNull(pstrResult, pTokens)) return kResultMissingArgument;
  return Join(*pstrResult, *pTokens, [chSep](CStringUTF8& str) { str.AppendChar(chSep); });
}

int kxutilsSetTokensByStr(CStringUTF8* pstrResult, CZQVStringArray* pTokens, const char* lpcszSep) {
  if (AnyNull(pstrResult, pTokens, lpcszSep)) return kResultMissingArgument;
  return Join(*pstrResult, *pTokens, [lpcszSep](CStringUTF8& str) { str += lpcszSep; });
}

int kxu_set_tokens_by_str(CStringUTF8* pstrResult, HostObject* pTokens, const char* lpcszSep) {
  if (AnyNull(pstrResult, pTokens, lpcszSep)) return kResultMissingArgument;
  return kxutilsSetTokensByStr(pstrResult, StringArrayOf(pTokens), lpcszSep);
}
