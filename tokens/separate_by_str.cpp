#include <kxutils96/tokens/separate_by_str.h>

#include <string_view>

#include <kxutils96/frame/flat_call.h>

namespace {

using kxu::frame::AnyNull;
using kxu::frame::kResultMissingArgument;
using kxu::frame::StringArrayOf;

void AddPiece(CZQVStringArray& result, std::string_view piece) {
  result.Add(CStringUTF8(piece.data(), static_cast<int>(piece.size())));
}

}  // namespace

int kxutilsSeparateByStr(const char* lpcszText, CZQVStringArray* pResult, const char* lpcszSep) {
  if (lpcszText == nullptr || *lpcszText == '\0') {
    if (pResult != nullptr) pResult->RemoveAll();
    return 0;
  }
  const std::string_view separator =
      lpcszSep == nullptr ? std::string_view() : std::string_view(lpcszSep);
  if (separator.empty() || pResult == nullptr) return kResultMissingArgument;

  pResult->SetSize(0);
  std::string_view rest(lpcszText);
  for (auto nAt = rest.find(separator); nAt != std::string_view::npos; nAt = rest.find(separator)) {
    AddPiece(*pResult, rest.substr(0, nAt));
    rest.remove_prefix(nAt + separator.size());
  }
  AddPiece(*pResult, rest);
  return pResult->GetSize();
}

int kxu_separate_by_str(const char* lpcszText, HostObject* pResult, const char* lpcszSep) {
  if (AnyNull(lpcszText, pResult, lpcszSep)) return kResultMissingArgument;
  return kxutilsSeparateByStr(lpcszText, StringArrayOf(pResult), lpcszSep);
}
