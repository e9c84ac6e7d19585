#include <kxutils96/tokens/separate_by_str.h>

#include <string>
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
  // Copies first: the text or the separator may be a string of the result,
  // which is emptied before the pieces are cut.
  const std::string separator = lpcszSep == nullptr ? std::string() : std::string(lpcszSep);
  if (separator.empty() || pResult == nullptr) return kResultMissingArgument;
  const std::string text(lpcszText);

  pResult->SetSize(0);
  std::string_view rest(text);
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
