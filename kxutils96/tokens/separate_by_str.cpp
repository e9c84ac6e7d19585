#include <kxutils96/tokens/separate_by_str.h>

#include <string>
#include <string_view>

#include <kxutils96/frame/flat_call.h>
#include <kxutils96/platform/text/substring_search.h>
#include <kxutils96/tokens/detail/split.h>

using namespace kxu::frame;
using namespace kxu::tokens::detail;
using namespace kxu::zstrings96;

namespace {}  // namespace

int kxutilsSeparateByStr(const char* lpcszText, CZQVStringArray* pResult, const char* lpcszSep) {
  if (lpcszText == nullptr || *lpcszText == '\0') {
    if (pResult != nullptr) pResult->RemoveAll();
    return 0;
  }
  // The separator is copied, and the text too when it lies in the result:
  // either may be a string of the result, whose strings the pieces overwrite.
  const std::string separator = lpcszSep == nullptr ? std::string() : std::string(lpcszSep);
  if (separator.empty() || pResult == nullptr) return kResultMissingArgument;
  std::string copy;
  std::string_view rest = SplitSource(lpcszText, pResult, copy);

  const kxu::platform::SubstringSearch<char> search(separator);
  int nCount = 0;
  for (auto nAt = search.Find(rest); nAt != std::string_view::npos; nAt = search.Find(rest)) {
    AssignBytes(TokenSlot(*pResult, nCount++), rest.substr(0, nAt));
    rest.remove_prefix(nAt + separator.size());
  }
  AssignBytes(TokenSlot(*pResult, nCount++), rest);
  pResult->SetSize(nCount);
  return nCount;
}

int kxu_separate_by_str(const char* lpcszText, HostObject* pResult, const char* lpcszSep) {
  if (AnyNull(lpcszText, pResult, lpcszSep)) return kResultMissingArgument;
  return kxutilsSeparateByStr(lpcszText, StringArrayOf(pResult), lpcszSep);
}
