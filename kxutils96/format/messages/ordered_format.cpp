// The ordered formatter: find the signs, check their indexes, read the
// arguments once in index order, and write the text with each value where
// its sign stood.
#include <kxutils96/format/messages/ordered_format.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

#include <kxutils96/host/zutl96/number_parsing.h>
#include <kxutils96/platform/checked_int.h>
#include <kxutils96/platform/framework/afx_exception.h>

namespace kxu::format {

namespace {

constexpr int kMinSigns = 2;
constexpr int kMaxSigns = 10;

// The error texts, with their prefix.
constexpr const char* kErrorNoSign = "ERROR: Format sign ({0}) not found";
constexpr const char* kErrorNoOpeningBrace = "ERROR: Cannot found matching '{'";
constexpr const char* kErrorBadIndex = "ERROR: Format sign invalid number";
constexpr const char* kErrorBadNotation = "ERROR: Invalid format notation";
constexpr const char* kErrorSignCount = "ERROR: Too many or too few format sign";
constexpr const char* kErrorSignOrder = "ERROR: Invalid format sign order";

bool IsSignLetter(char ch) {
  return ch == 'E' || ch == 'G' || ch == 'd' || ch == 'e' || ch == 'g' || ch == 's';
}

// Whether the percent sign at `nPercent` ends a sign whose literal began at
// `nSegment`: a closing brace right before it, at or after `nSegment`, and a
// sign letter right after it.
bool IsSignAt(std::string_view text, std::size_t nSegment, std::size_t nPercent) {
  return nPercent > nSegment && text[nPercent - 1] == '}' && nPercent + 1 < text.size() &&
         IsSignLetter(text[nPercent + 1]);
}

// The index text between the braces as an int, through utlStrToInt, which
// needs it NUL-terminated.
bool ParseIndex(std::string_view indexText, int& nIndex) {
  // Indexes are single digits in nearly every format.
  if (indexText.size() == 1 && indexText[0] >= '0' && indexText[0] <= '9') {
    nIndex = indexText[0] - '0';
    return true;
  }
  std::array<char, 64> local;
  if (indexText.size() < local.size()) {
    indexText.copy(local.data(), indexText.size());
    local[indexText.size()] = '\0';
    return utlStrToInt(local.data(), &nIndex) != 0;
  }
  const std::string copy(indexText);
  return utlStrToInt(copy.c_str(), &nIndex) != 0;
}

// A stretch of the format or of a value's text. Unlike a string_view it has
// no default value, so that the arrays of them below cost nothing until the
// parse fills the entries it uses (clearing them took a tenth of a call).
struct Piece {
  const char* pText;
  std::size_t nLength;

  static Piece Of(std::string_view text) { return {text.data(), text.size()}; }
  std::string_view View() const { return {pText, nLength}; }
};

// Text of the format that printf writes as it stands but for its %% pairs,
// which it writes as one percent sign.
struct Literal {
  Piece text;
  bool bPairs;  // whether the text holds a %% pair
};

// A sign and the literal text in front of it, back to the previous sign.
struct Sign {
  char chLetter;
  int nIndex;
  Literal literal;
};

// What the parse of a format found: the first kMaxSigns signs (the count
// goes on past them, to tell a format with too many) and the text after the
// last sign.
struct ParsedFormat {
  std::array<Sign, kMaxSigns> signs;
  int nSigns = 0;
  Literal tail;
};

// Parses `text` in one pass over its percent signs; returns null on
// success, else the error text. A %% pair is literal text; every other
// percent sign must end a sign.
const char* ParseSigns(std::string_view text, ParsedFormat& parsed) {
  std::size_t nSegment = 0;  // where the literal in front of the next sign begins
  bool bPairs = false;
  for (std::size_t nPercent = text.find('%'); nPercent != std::string_view::npos;
       nPercent = text.find('%', nPercent + 2)) {
    if (nPercent + 1 < text.size() && text[nPercent + 1] == '%') {
      bPairs = true;
      continue;
    }
    if (!IsSignAt(text, nSegment, nPercent))
      return parsed.nSigns == 0 ? kErrorNoSign : kErrorBadNotation;
    const std::size_t nClose = nPercent - 1;
    const std::size_t nOpen = text.substr(nSegment, nClose - nSegment).rfind('{');
    if (nOpen == std::string_view::npos) return kErrorNoOpeningBrace;
    int nIndex = 0;
    if (!ParseIndex(text.substr(nSegment + nOpen + 1, nClose - nSegment - nOpen - 1), nIndex))
      return kErrorBadIndex;
    if (parsed.nSigns < kMaxSigns) {
      parsed.signs[static_cast<std::size_t>(parsed.nSigns)] =
          Sign{text[nPercent + 1], nIndex, {Piece::Of(text.substr(nSegment, nOpen)), bPairs}};
    }
    ++parsed.nSigns;
    nSegment = nPercent + 2;
    bPairs = false;
  }
  if (parsed.nSigns == 0) return kErrorNoSign;
  parsed.tail = {Piece::Of(text.substr(nSegment)), bPairs};
  if (parsed.nSigns < kMinSigns || parsed.nSigns > kMaxSigns) return kErrorSignCount;
  return nullptr;
}

// For each index 0 to n-1 the position of the first sign that carries it;
// false when an index has none (a gap, a duplicate or an index out of range).
bool PositionsByIndex(const ParsedFormat& parsed, std::array<int, kMaxSigns>& positions) {
  for (int nIndex = 0; nIndex < parsed.nSigns; ++nIndex) {
    int nPosition = 0;
    while (nPosition < parsed.nSigns &&
           parsed.signs[static_cast<std::size_t>(nPosition)].nIndex != nIndex) {
      ++nPosition;
    }
    if (nPosition == parsed.nSigns) return false;
    positions[static_cast<std::size_t>(nIndex)] = nPosition;
  }
  return true;
}

// One value as printf writes it for its letter.
class ValueText {
 public:
  ValueText() = default;
  ValueText(const ValueText&) = delete;
  ValueText& operator=(const ValueText&) = delete;

  void Set(char chLetter, const OrderedValue& value) {
    if (chLetter == 's') {
      m_text = Piece::Of(value.psz != nullptr ? std::string_view(value.psz) : "(null)");
      return;
    }
    std::size_t nLength = 0;
    if (chLetter == 'd') {
      const auto result =
          std::to_chars(m_buffer.data(), m_buffer.data() + m_buffer.size(), value.n);
      nLength = static_cast<std::size_t>(result.ptr - m_buffer.data());
    } else {
      const std::array<char, 3> format = {'%', chLetter, '\0'};
      const int nPrinted = std::snprintf(m_buffer.data(), m_buffer.size(), format.data(), value.d);
      nLength = static_cast<std::size_t>(std::max(nPrinted, 0));
    }
    m_text = {m_buffer.data(), nLength};
  }

  std::string_view Text() const { return m_text.View(); }

 private:
  std::array<char, 48> m_buffer;  // room for any int, and any double by %e or %g
  Piece m_text;
};

// Calls `visit` with the stretches of `literal` that printf writes as they
// are: each ends at the first percent sign of a %% pair, whose second one is
// skipped. Pairs are rare, so the stretches are long and found by memchr.
template <class Visit>
void ForEachPrintedStretch(std::string_view literal, Visit visit) {
  std::size_t nFrom = 0;
  for (std::size_t nAt = literal.find('%'); nAt != std::string_view::npos;
       nAt = literal.find('%', nFrom)) {
    visit(literal.substr(nFrom, nAt + 1 - nFrom));
    nFrom = nAt + 2;
  }
  visit(literal.substr(nFrom));
}

std::size_t PrintedLength(const Literal& literal) {
  if (!literal.bPairs) return literal.text.nLength;
  std::size_t nLength = 0;
  ForEachPrintedStretch(literal.text.View(),
                        [&nLength](std::string_view stretch) { nLength += stretch.size(); });
  return nLength;
}

char* WriteLiteral(char* pOut, const Literal& literal) {
  if (!literal.bPairs) return std::copy_n(literal.text.pText, literal.text.nLength, pOut);
  ForEachPrintedStretch(literal.text.View(), [&pOut](std::string_view stretch) {
    pOut = std::copy(stretch.begin(), stretch.end(), pOut);
  });
  return pOut;
}

// The length of the result. Like a string asked to grow that long, raises
// the framework's memory exception when it is longer than a string can be.
std::size_t ResultLength(const ParsedFormat& parsed,
                         const std::array<ValueText, kMaxSigns>& values) {
  // Ten values can together be longer than a size_t counts on a 32-bit host.
  unsigned long long nLength = PrintedLength(parsed.tail);
  for (int i = 0; i < parsed.nSigns; ++i) {
    const auto n = static_cast<std::size_t>(i);
    nLength += PrintedLength(parsed.signs[n].literal) + values[n].Text().size();
  }
  return static_cast<std::size_t>(kxu::platform::CheckedInt(nLength));
}

// Writes the literals and values in sign order from `pOut` on; returns the end.
char* WriteParts(char* pOut, const ParsedFormat& parsed,
                 const std::array<ValueText, kMaxSigns>& values) {
  for (int i = 0; i < parsed.nSigns; ++i) {
    const auto n = static_cast<std::size_t>(i);
    pOut = WriteLiteral(pOut, parsed.signs[n].literal);
    const std::string_view value = values[n].Text();
    pOut = std::copy(value.begin(), value.end(), pOut);
  }
  return WriteLiteral(pOut, parsed.tail);
}

// Whether the format or a value lies in `strResult`, which writing changes.
bool ReadsResult(const CStringUTF8& strResult, std::string_view format, const ParsedFormat& parsed,
                 const std::array<ValueText, kMaxSigns>& values) {
  if (kxu::zstrings96::PointsInto(strResult, format.data())) return true;
  return std::any_of(values.begin(), values.begin() + parsed.nSigns, [&](const ValueText& value) {
    return kxu::zstrings96::PointsInto(strResult, value.Text().data());
  });
}

// Writes the result into `strResult`: straight into its buffer, or, when the
// format or a value lies in it, into a scratch buffer first.
void WriteResult(CStringUTF8& strResult, std::string_view format, const ParsedFormat& parsed,
                 const std::array<ValueText, kMaxSigns>& values) {
  const std::size_t nLength = ResultLength(parsed, values);
  const int nResultLength = kxu::platform::CheckedInt(nLength);
  if (!ReadsResult(strResult, format, parsed, values)) {
    WriteParts(strResult.GetBufferSetLength(nResultLength), parsed, values);
    strResult.ReleaseBuffer(nResultLength);
    return;
  }
  std::array<char, 1024> local;
  std::string heap;
  char* pStart = local.data();
  if (nLength > local.size()) {
    heap.resize(nLength);
    pStart = heap.data();
  }
  char* const pEnd = WriteParts(pStart, parsed, values);
  std::copy(pStart, pEnd, strResult.GetBufferSetLength(nResultLength));
  strResult.ReleaseBuffer(nResultLength);
}

}  // namespace

}  // namespace kxu::format

int kxuStringOrderedFormatFrom(CStringUTF8& strResult, const char* lpcszFormat,
                               kxu::format::OrderedArgumentReader pfnRead, void* pContext) {
  using namespace kxu::format;  // the parser and the writer above
  if (lpcszFormat == nullptr) {
    strResult = kErrorNoSign;
    return 0;
  }
  const std::string_view format(lpcszFormat);
  ParsedFormat parsed;
  std::array<int, kMaxSigns> positions{};
  const char* pError = ParseSigns(format, parsed);
  if (pError == nullptr && !PositionsByIndex(parsed, positions)) pError = kErrorSignOrder;
  if (pError != nullptr) {
    strResult = pError;
    return 0;
  }
  std::array<ValueText, kMaxSigns> values;
  for (int nIndex = 0; nIndex < parsed.nSigns; ++nIndex) {
    const auto nPosition = static_cast<std::size_t>(positions[static_cast<std::size_t>(nIndex)]);
    const char chLetter = parsed.signs[nPosition].chLetter;
    values[nPosition].Set(chLetter, pfnRead(pContext, nIndex, chLetter));
  }
  WriteResult(strResult, format, parsed, values);
  return 1;
}

namespace {

// Reads the next argument of a va_list with the type of the sign's letter.
kxu::format::OrderedValue ReadFromArgList(void* pContext, int /*nIndex*/, char chLetter) {
  va_list& args = *static_cast<va_list*>(pContext);
  kxu::format::OrderedValue value{};
  if (chLetter == 'd') {
    value.n = va_arg(args, int);
  } else if (chLetter == 's') {
    value.psz = va_arg(args, const char*);
  } else {
    value.d = va_arg(args, double);
  }
  return value;
}

}  // namespace

int kxuStringOrderedFormat(CStringUTF8& strResult, const char* lpcszFormat, va_list argList) {
  va_list args;
  va_copy(args, argList);
  try {
    const int nResult = kxuStringOrderedFormatFrom(strResult, lpcszFormat, ReadFromArgList, &args);
    va_end(args);
    return nResult;
  } catch (...) {
    va_end(args);
    throw;
  }
}
