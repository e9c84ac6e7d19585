#include <kxutils96/tokens/detail/split.h>

#include <string>
#include <string_view>

#include <kxutils96/host/zutl96/separator_search.h>

namespace kxu::tokens::detail {

std::string_view SplitSource(const char* lpcszText, const CZQVStringArray* pTokens,
                             std::string& copy) {
  if (lpcszText == nullptr) return {};
  const std::string_view text(lpcszText);
  if (pTokens == nullptr) return text;
  const CStringUTF8* const pStrings = pTokens->GetData();
  for (int i = 0; i < pTokens->GetSize(); ++i) {
    if (kxu::zstrings96::PointsInto(pStrings[i], lpcszText)) {
      copy.assign(text);
      return copy;
    }
  }
  return text;
}

}  // namespace kxu::tokens::detail
