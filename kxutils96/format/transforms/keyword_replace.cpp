#include <kxutils96/format/transforms/keyword_replace.h>

#include <limits>
#include <string>
#include <string_view>

#include <kxutils96/frame/flat_call.h>
#include <kxutils96/host/zutl96/text_search.h>
#include <kxutils96/platform/checked_int.h>
#include <kxutils96/platform/text/substring_search.h>
#include <kxutils96/platform/win32/win_user.h>

using namespace kxu::frame;
using namespace kxu::platform;

namespace {

constexpr std::string_view kKeywordJoiners = "*\\~^:@$%_";
constexpr unsigned char kFirstNonAscii = 0x80;

// True when the byte `c` joins a keyword to its neighbour.
bool IsKeywordChar(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  if (u == 0 || u >= kFirstNonAscii) return false;
  return (c >= '0' && c <= '9') || IsCharAlphaA(c) ||
         kKeywordJoiners.find(c) != std::string_view::npos;
}

// True when a keyword with the byte `before` in front (0: none) and `after`
// behind it (0: none) is a word of its own.
bool IsWholeKeyword(char before, char after) {
  if (IsKeywordChar(before) || IsKeywordChar(after)) return false;
  return !(before == '(' && after == ')');
}

// True when a string can hold the text of `n` bytes after every possible
// replacement of a keyword of `k` bytes by `r` bytes (no more than n / k
// whole occurrences fit in n bytes).
bool ResultFits(std::size_t n, std::size_t k, std::size_t r) {
  constexpr auto kLongestText = static_cast<unsigned long long>(std::numeric_limits<int>::max());
  return r <= k || (n / k + 1) * static_cast<unsigned long long>(r) <= kLongestText;
}

// The text with every whole occurrence of the keyword replaced, found as
// `Units` compares bytes; counts the replacements in `nCount`. The keyword and
// the replacement may be parts of the text: the result is built beside it.
template <class Units>
std::string ReplaceWholeKeywords(std::string_view text, std::string_view keyword,
                                 std::string_view replacement, int& nCount) {
  const kxu::platform::SubstringSearch<char, Units> search(keyword);
  std::string out;
  out.reserve(text.size());
  std::size_t nFrom = 0;
  for (std::size_t nAt = search.Find(text, 0); nAt != std::string_view::npos;
       nAt = search.Find(text, nFrom)) {
    out.append(text, nFrom, nAt - nFrom);
    nFrom = nAt + keyword.size();
    const char before = out.empty() ? '\0' : out.back();
    const char after = nFrom < text.size() ? text[nFrom] : '\0';
    if (IsWholeKeyword(before, after)) {
      out.append(replacement);
      ++nCount;
    } else {
      out.append(text, nAt, keyword.size());
    }
  }
  out.append(text, nFrom);
  return out;
}

// True when the operator byte at `i` stands alone and becomes two: &, | and
// =, except the = of !=, <= and >=.
bool NeedsDoubling(std::string_view text, std::size_t i) {
  const char c = text[i];
  if (c != '&' && c != '=' && c != '|') return false;
  const char before = i > 0 ? text[i - 1] : '\0';
  const char after = i + 1 < text.size() ? text[i + 1] : '\0';
  if (before == c || after == c) return false;
  return !(c == '=' && (before == '!' || before == '<' || before == '>'));
}

// The text after the corrections of the walk: doubled operators outside
// quotes, line feeds as blanks. A copy inserted after a byte has that byte
// as its left neighbour, and the bytes after it are unchanged, so every
// decision can be read from the original text.
std::string DoubleOperators(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  bool bInQuotes = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (KESUTIL_is_quote_char(c, 0) == 1) {
      bInQuotes = !bInQuotes;
      out += c;
      continue;
    }
    if (!bInQuotes && NeedsDoubling(text, i)) out += c;
    out += c == '\n' ? ' ' : c;
  }
  return out;
}

// The words of an expression and the operators that replace them, in order.
struct WordOperator {
  const char* word;
  const char* op;
};

constexpr WordOperator kWordOperators[] = {{"and", "&&"}, {"or", "||"}, {"not", "!"}};

}  // namespace

int kxu_keyword_replace(CStringUTF8* pstrText, const char* lpcszKeyword,
                        const char* lpcszReplacement, bool bOption) {
  if (pstrText == nullptr) return kResultMissingArgument;
  if (pstrText->IsEmpty()) return 0;
  if (lpcszKeyword == nullptr || lpcszReplacement == nullptr) return kResultMissingArgument;
  const std::string_view keyword(lpcszKeyword);
  const std::string_view replacement(lpcszReplacement);
  if (keyword.empty()) return kResultMissingArgument;
  if (!ResultFits(static_cast<std::size_t>(pstrText->GetLength()), keyword.size(),
                  replacement.size()))
    return kResultMissingArgument;

  // As the host's searches do, the text is read up to its first NUL.
  const std::string_view text(pstrText->GetString());
  int nCount = 0;
  const std::string out =
      bOption ? ReplaceWholeKeywords<AsciiCaselessUnits>(text, keyword, replacement, nCount)
              : ReplaceWholeKeywords<ExactUnits>(text, keyword, replacement, nCount);
  *pstrText = CStringUTF8(out.data(), kxu::platform::CheckedInt(out.size()));
  return nCount;
}

int kxu_get_correct_KS_expression(const char* lpcszExpression, CStringUTF8* pstrExpression,
                                  bool bConvert) {
  if (pstrExpression == nullptr) return 0;
  *pstrExpression = lpcszExpression == nullptr ? "" : lpcszExpression;
  if (pstrExpression->IsEmpty()) return 0;
  if (bConvert) {
    utlConvertTextInPlace(pstrExpression->GetBuffer(pstrExpression->GetLength() + 1), -1);
    pstrExpression->ReleaseBuffer(-1);
  }
  const std::string corrected = DoubleOperators(pstrExpression->GetString());
  *pstrExpression = corrected.c_str();
  for (const WordOperator& word : kWordOperators)
    kxu_keyword_replace(pstrExpression, word.word, word.op, true);
  return 1;
}
