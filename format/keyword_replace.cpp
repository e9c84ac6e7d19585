#include <kxutils96/format/keyword_replace.h>

#include <cstring>
#include <limits>
#include <string>
#include <string_view>

#include <kxutils96/frame/flat_call.h>
#include <kxutils96/host/zutl96/zutl96.h>
#include <kxutils96/platform/win_user.h>

namespace {

using kxu::frame::kResultMissingArgument;

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

// The room that holds the text after every possible replacement (no more
// than n / k whole occurrences fit in n bytes), or kNoRoom when that is more
// than a string can hold.
constexpr int kNoRoom = -1;

int ResultBound(int n, int k, int r) {
  if (r <= k) return n;
  const long long nBound = (static_cast<long long>(n) / k + 1) * r;
  return nBound > std::numeric_limits<int>::max() ? kNoRoom : static_cast<int>(nBound);
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
  const int n = pstrText->GetLength();
  const int k = static_cast<int>(std::strlen(lpcszKeyword));
  const int r = static_cast<int>(std::strlen(lpcszReplacement));
  if (k < 1) return kResultMissingArgument;

  const int nRoom = ResultBound(n, k, r);
  if (nRoom == kNoRoom) return kResultMissingArgument;
  char* pBuffer = pstrText->GetBuffer(nRoom);
  if (pBuffer == nullptr) return kResultMissingArgument;
  const int nOption = bOption ? kFindTextIgnoreCase : kFindTextExactCase;

  // The result is built beside the text in one pass and copied back, which
  // keeps the work linear however many occurrences are replaced.
  std::string out;
  out.reserve(static_cast<std::size_t>(n));
  int nCount = 0;
  char* p = pBuffer;
  for (char* pMatch = utlFindTextEx(lpcszKeyword, p, nOption); pMatch != nullptr;
       pMatch = utlFindTextEx(lpcszKeyword, p, nOption)) {
    out.append(p, pMatch);
    p = pMatch + k;
    const char before = out.empty() ? '\0' : out.back();
    if (IsWholeKeyword(before, *p)) {
      out.append(lpcszReplacement, static_cast<std::size_t>(r));
      ++nCount;
    } else {
      out.append(pMatch, static_cast<std::size_t>(k));
    }
  }
  out.append(p);
  std::memcpy(pBuffer, out.c_str(), out.size() + 1);
  pstrText->ReleaseBuffer(-1);
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
