#include <kxutils96/tokens/key_values.h>

#include <kxutils96/frame/flat_call.h>
#include <kxutils96/host/zutl96/separator_search.h>
#include <kxutils96/tokens/token_splitter.h>

using namespace kxu::frame;
using namespace kxu::zutl96;

namespace {

constexpr char kAssign = '=';
constexpr DWORD kNoSplitFlags = 0;

void AddPair(const CStringUTF8& strPair, CZQVStringArray& keys, CZQVStringArray& values) {
  const int nAssign = strPair.Find(kAssign);  // -1: no key, the whole pair is the value
  keys.Add(strPair.Left(nAssign).Trim());
  values.Add(strPair.Mid(nAssign + 1).Trim());
}

}  // namespace

int kxutilsSeparateKeyValues(const char* lpcszText, CZQVStringArray* psaKeys,
                             CZQVStringArray* psaValues, char chSep) {
  if (AnyNull(psaKeys, psaValues)) return kResultMissingArgument;
  CZQVStringArray pairs;
  int nSearchState = kSearchOutsideQuotes;
  const int nCount = kxutilsGetTokens(lpcszText, &pairs, chSep, &nSearchState,
                                      kxu::tokens::kQuoteDouble, kNoSplitFlags);
  psaKeys->RemoveAll();
  psaValues->RemoveAll();
  for (int i = 0; i < pairs.GetSize(); ++i) AddPair(pairs[i], *psaKeys, *psaValues);
  return nCount;
}

int kxu_separate_key_values(const char* lpcszText, HostObject* pKeys, HostObject* pValues,
                            int chSep) {
  CZQVStringArray* psaKeys = StringArrayOf(pKeys);
  CZQVStringArray* psaValues = StringArrayOf(pValues);
  return kxutilsSeparateKeyValues(lpcszText, psaKeys, psaValues, static_cast<char>(chSep));
}

int kxutilsMakeKeyValuesStr(CStringUTF8* pstrResult, CZQVStringArray* psaKeys,
                            CZQVStringArray* psaValues, int chSep) {
  if (AnyNull(pstrResult, psaKeys, psaValues)) return kResultMissingArgument;
  const int nCount = psaKeys->GetSize();
  if (nCount != psaValues->GetSize()) return 0;
  CStringUTF8 strSep;
  strSep.Format("%c", chSep);
  // The pairs are joined apart and appended at the end, since the result may
  // be one of the keys or values.
  CStringUTF8 strPairs;
  for (int i = 0; i < nCount; ++i) {
    strPairs += (*psaKeys)[i];
    strPairs += kAssign;
    strPairs += (*psaValues)[i];
    if (i + 1 < nCount) strPairs += strSep;
  }
  *pstrResult += strPairs;
  return nCount;
}

int kxu_make_key_values_str(CStringUTF8* pstrResult, HostObject* pKeys, HostObject* pValues,
                            int chSep) {
  CZQVStringArray* psaKeys = StringArrayOf(pKeys);
  CZQVStringArray* psaValues = StringArrayOf(pValues);
  return kxutilsMakeKeyValuesStr(pstrResult, psaKeys, psaValues, chSep);
}
