#include <kxutils96/tokens/numeric_suffix.h>

#include <string>
#include <string_view>
#include <unordered_map>

#include <kxutils96/frame/flat_call.h>
#include <kxutils96/host/zutl96/char_class.h>

using namespace kxu::frame;
using namespace kxu::tokens;
using namespace kxu::zutl96;

namespace {

constexpr unsigned char kFirstMultiByte = 0x80;
constexpr char kWksStandAlone[] = "LUCSREGF";
constexpr char kWksSuffix[] = "PDO";
constexpr char kWksOptionalLetter = 'G';

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool Contains(std::string_view set, char c) {
  return set.find(c) != std::string_view::npos;
}

// The array being filled, with the first index of every text in it, so that
// the duplicate tests take constant time instead of a walk over the array.
class ElementIndex {
 public:
  explicit ElementIndex(CZQVStringArray& array, bool bTrack) : m_array(array), m_bTrack(bTrack) {
    if (!m_bTrack) return;
    for (int i = 0; i < array.GetSize(); ++i) m_first.emplace(Text(array[i]), i);
  }

  bool Holds(std::string_view text) const {
    return m_first.find(std::string(text)) != m_first.end();
  }

  bool IsEmpty() const { return m_array.IsEmpty() != 0; }

  void AddLetter(char c) {
    const char letter[] = {c, '\0'};
    const int nIndex = m_array.Add(letter);
    if (m_bTrack) m_first.emplace(std::string(1, c), nIndex);
  }

  // Appends `c` to the last element. Returns false when the grown element
  // equals an earlier one.
  bool ExtendLast(char c) {
    const int nLast = m_array.GetSize() - 1;
    CStringUTF8& strLast = m_array.ElementAt(nLast);
    if (m_bTrack) Forget(Text(strLast), nLast);
    strLast.AppendChar(c);
    if (!m_bTrack) return true;
    return m_first.emplace(Text(strLast), nLast).first->second == nLast;
  }

 private:
  static std::string Text(const CStringUTF8& str) {
    return std::string(str.GetString(), static_cast<std::size_t>(str.GetLength()));
  }

  void Forget(const std::string& text, int nIndex) {
    auto it = m_first.find(text);
    if (it != m_first.end() && it->second == nIndex) m_first.erase(it);
  }

  CZQVStringArray& m_array;
  bool m_bTrack;
  std::unordered_map<std::string, int> m_first;
};

int Separate(std::string_view text, CZQVStringArray& result, std::string_view standAlone,
             std::string_view suffix, bool bAllowDuplicates) {
  ElementIndex elements(result, !bAllowDuplicates);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (static_cast<unsigned char>(c) >= kFirstMultiByte) return kSuffixBadByte;
    if (utlCharClass(c) == kCharBreakAfter) continue;
    if (Contains(suffix, c) || Contains(standAlone, c)) {
      const bool bEndsElement = i + 1 == text.size() || !IsDigit(text[i + 1]);
      if (!bAllowDuplicates && bEndsElement && elements.Holds(std::string_view(&c, 1)))
        return kSuffixDuplicate;
      elements.AddLetter(c);
      continue;
    }
    if (!IsDigit(c)) return kSuffixBadByte;
    if (i == 0) return kSuffixLeadingDigit;
    const char chBefore = text[i - 1];
    if (!(IsDigit(chBefore) || Contains(suffix, chBefore)) || elements.IsEmpty())
      return kSuffixStrayDigit;
    if (!elements.ExtendLast(c)) return kSuffixDuplicate;
  }
  return result.GetSize();
}

}  // namespace

int kxutilsSeparateCharWithNumericSuffix(const char* lpcszText, CZQVStringArray* pResult,
                                         const char* lpcszStandAlone, const char* lpcszSuffix,
                                         int bAllowDuplicates) {
  if (AnyNull(lpcszText, pResult, lpcszStandAlone, lpcszSuffix)) return kSuffixMissingArgument;
  // Copies first: each text may be a string of the result, whose last string
  // grows (and moves) as digits are appended to it.
  const std::string text(lpcszText);
  const std::string standAlone(lpcszStandAlone);
  const std::string suffix(lpcszSuffix);
  return Separate(text, *pResult, standAlone, suffix, bAllowDuplicates != 0);
}

int kxu_separate_char_with_numeric_suffix(const char* lpcszText, HostObject* pResult,
                                          const char* lpcszStandAlone, const char* lpcszSuffix) {
  return kxutilsSeparateCharWithNumericSuffix(lpcszText, kxu::frame::StringArrayOf(pResult),
                                              lpcszStandAlone, lpcszSuffix, 0);
}

int kxutilsSeparateWksLabelsChar(const char* lpcszText, CZQVStringArray* pResult, int nFlags) {
  if (AnyNull(lpcszText, pResult)) return kSuffixMissingArgument;
  CStringUTF8 strText(lpcszText);
  strText.MakeUpper();
  std::string standAlone(kWksStandAlone);
  if ((nFlags & kWksWithoutG) != 0) standAlone.erase(standAlone.find(kWksOptionalLetter), 1);
  return kxutilsSeparateCharWithNumericSuffix(strText, pResult, standAlone.c_str(), kWksSuffix,
                                              nFlags & kWksAllowDuplicates);
}
