// Conversion by conversion: each one that takes a supplied value is printed
// alone by snprintf, with exactly the value it asks for.
#include <kxutils96/format/messages/detail/supplied_format.h>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include <kxutils96/platform/checked_int.h>
#include <kxutils96/platform/framework/afx_exception.h>

namespace kxu::format {

namespace {

constexpr std::string_view kFlags = "-+ #0'";
constexpr int kMaxWidth = 4096;

// The flags each conversion this formatter fills may carry without leaving
// what printf defines; null for a letter it does not fill.
const char* FlagsAllowed(char chLetter) {
  switch (chLetter) {
    case 's':
    case 'c':
      return "-";
    case 'd':
    case 'i':
      return "-+ 0'";
    case 'u':
      return "-0'";
    case 'o':
    case 'x':
    case 'X':
      return "-#0";
    default:
      return nullptr;
  }
}

// One conversion: its text from the percent sign through the conversion
// letter, and whether it can take a value of this formatter.
struct Conversion {
  std::string_view text;
  char chLetter;    // 0 when the text ended first
  bool bPlain;      // known letter and flags; no length modifier, *, $ or huge width
  bool bPrecision;  // a %s with one reads no further than it
};

// Reads a run of digits at `nAt`; false when their number is above kMaxWidth.
bool SkipNumber(std::string_view text, std::size_t& nAt) {
  const std::size_t nStart = nAt;
  while (nAt < text.size() && text[nAt] >= '0' && text[nAt] <= '9') ++nAt;
  int nValue = 0;
  const auto result = std::from_chars(text.data() + nStart, text.data() + nAt, nValue);
  return nAt == nStart || (result.ec == std::errc() && nValue <= kMaxWidth);
}

// The conversion that starts at the percent sign at `nPercent` (not %%).
Conversion ReadConversion(std::string_view text, std::size_t nPercent) {
  std::size_t nAt = nPercent + 1;
  while (nAt < text.size() && kFlags.find(text[nAt]) != std::string_view::npos) ++nAt;
  const std::string_view flags = text.substr(nPercent + 1, nAt - nPercent - 1);
  bool bPlain = SkipNumber(text, nAt);
  bool bPrecision = false;
  if (nAt < text.size() && text[nAt] == '.') {
    ++nAt;
    bPrecision = true;
    bPlain = SkipNumber(text, nAt) && bPlain;
  }
  if (nAt >= text.size()) return {text.substr(nPercent), '\0', false, bPrecision};
  const char chLetter = text[nAt];
  const char* pszAllowed = FlagsAllowed(chLetter);
  bPlain = bPlain && pszAllowed != nullptr &&
           flags.find_first_not_of(pszAllowed) == std::string_view::npos &&
           !(bPrecision && chLetter == 'c');
  return {text.substr(nPercent, nAt + 1 - nPercent), chLetter, bPlain, bPrecision};
}

bool Fits(const Conversion& conversion, const SuppliedValue& value) {
  if (!conversion.bPlain) return false;
  if (value.kind == SuppliedValue::Kind::kText) return conversion.chLetter == 's';
  return conversion.chLetter != 's';
}

bool IsUnsignedConversion(char chLetter) {
  return chLetter == 'o' || chLetter == 'u' || chLetter == 'x' || chLetter == 'X';
}

// Appends the conversion printed with `value` (which fits it).
void AppendConverted(std::string& out, const Conversion& conversion, const SuppliedValue& value) {
  const std::string strConversion(conversion.text);
  const auto print = [&](char* pBuffer, std::size_t nSize) {
    if (value.kind == SuppliedValue::Kind::kText)
      return std::snprintf(pBuffer, nSize, strConversion.c_str(), value.psz);
    // The unsigned conversions read an unsigned int: pass the int's bits as one.
    if (IsUnsignedConversion(conversion.chLetter))
      return std::snprintf(pBuffer, nSize, strConversion.c_str(), static_cast<unsigned>(value.n));
    return std::snprintf(pBuffer, nSize, strConversion.c_str(), value.n);
  };
  // printf counts in int: a result past INT_MAX is all that makes these
  // conversions fail, and no string could hold it. A whole text that long is
  // refused before printf reads it all.
  if (value.kind == SuppliedValue::Kind::kText && !conversion.bPrecision)
    kxu::platform::CheckedInt(std::strlen(value.psz));
  const int nLength = print(nullptr, 0);
  if (nLength < 0) AfxThrowMemoryException();
  if (nLength == 0) return;
  const std::size_t nOld = out.size();
  out.resize(nOld + static_cast<std::size_t>(nLength) + 1);
  print(out.data() + nOld, static_cast<std::size_t>(nLength) + 1);
  out.resize(nOld + static_cast<std::size_t>(nLength));
}

}  // namespace

void FormatSupplied(CStringUTF8& strResult, const char* lpcszFormat,
                    std::span<const SuppliedValue> values) {
  const std::string_view text(lpcszFormat);
  std::string out;
  std::size_t nValue = 0;
  std::size_t nAt = 0;
  for (std::size_t nPercent = text.find('%'); nPercent != std::string_view::npos;
       nPercent = text.find('%', nAt)) {
    out.append(text, nAt, nPercent - nAt);
    if (nPercent + 1 < text.size() && text[nPercent + 1] == '%') {
      out.push_back('%');
      nAt = nPercent + 2;
      continue;
    }
    const Conversion conversion = ReadConversion(text, nPercent);
    if (nValue < values.size() && Fits(conversion, values[nValue])) {
      AppendConverted(out, conversion, values[nValue++]);
    } else {
      out.append(conversion.text);
    }
    nAt = nPercent + conversion.text.size();
  }
  out.append(text, nAt);
  strResult = CStringUTF8(out.data(), kxu::platform::CheckedInt(out.size()));
}

}  // namespace kxu::format
