#include <kxutils96/data/discrete_frequencies.h>

#include <kxutils96/frame/flat_call.h>
#include <kxutils96/sort/sort_family.h>
#include <kxutils96/strings/zqv_string_array.h>

int kxu_discrete_frequencies(HostObject* pInput, HostObject* pOutput, double* pFrequencies,
                             int* pnCount, int nOptions) {
  using kxu::frame::kResultMissingArgument;
  CZQVStringArray* pIn = nullptr;
  CZQVStringArray* pOut = nullptr;
  if (!kxu::frame::StrictStringArray(pInput, pIn) ||
      !kxu::frame::StrictStringArray(pOutput, pOut)) {
    return kResultMissingArgument;
  }
  const int n = pIn->GetSize();
  if (n < 1) return 0;
  if (pFrequencies == nullptr || pnCount == nullptr) return kResultMissingArgument;

  const bool caseSensitive = (nOptions & kFrequenciesCaseSensitive) != 0;
  if ((nOptions & kFrequenciesTrim) != 0) {
    for (int i = 0; i < n; ++i) pIn->ElementAt(i).TrimLeft().TrimRight();
  }
  kxutilsSort(*pIn, caseSensitive ? SORT_CASE_SENSITIVE : 0UL, nullptr);

  // The input is read by index: it may be the output array, which every group
  // appended can move.
  int run = 1;
  int group = 0;
  for (int i = 0; i + 1 < n; ++i) {
    const CStringUTF8& str = pIn->GetAt(i);
    const char* next = pIn->GetAt(i + 1).GetString();
    const bool equal = (caseSensitive ? str.Compare(next) : str.CompareNoCase(next)) == 0;
    if (equal && run == 1) {
      pOut->Add(str);
      pFrequencies[group] = 2.0;
      run = 2;
    } else if (equal) {
      pFrequencies[group] += 1.0;
      ++run;
    } else if (run == 1) {
      pOut->Add(str);
      pFrequencies[group] = 1.0;
      ++group;
    } else {
      ++group;
      run = 1;
    }
  }
  if (run == 1) {
    pOut->Add(pIn->GetAt(n - 1));
    pFrequencies[group] = 1.0;
  }
  *pnCount = group + 1;
  return 1;
}
