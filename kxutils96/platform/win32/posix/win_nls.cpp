#include <kxutils96/platform/win32/win_nls.h>

#include <iconv.h>
#include <langinfo.h>
#include <locale.h>
#include <bit>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include <kxutils96/platform/checked_int.h>
#include <kxutils96/platform/text/unicode.h>

using namespace kxu::platform;

namespace {

constexpr WCHAR kReplacementUnit = 0xFFFD;
constexpr char kDefaultChar = '?';
// An entry of a decoding table that no byte sequence maps to: U+FFFF is a
// noncharacter that no code page defines.
constexpr WCHAR kUndefinedUnit = 0xFFFF;
// An entry of the encoding table for a unit the page cannot encode. Codes of
// the page are single bytes (below 0x100) or lead << 8 | trail.
constexpr std::uint16_t kUnmapped = 0xFFFF;
constexpr unsigned kByteValues = 256;
constexpr unsigned kUnitValues = 0x10000;
constexpr unsigned char kFirstC1 = 0x80;
constexpr unsigned char kLastC1 = 0x9F;

// A code page served through the C library's converter.
struct ServedCodePage {
  UINT nCodePage;
  const char* pszConverterName;
  // Undefined bytes 0x80..0x9F stand for the control characters U+0080..U+009F.
  bool bC1Controls;
};

constexpr ServedCodePage kServedCodePages[] = {
    {437, "CP437", true},    {850, "CP850", true},   {874, "CP874", true},   {932, "CP932", true},
    {936, "CP936", true},    {949, "CP949", true},   {950, "CP950", true},   {1250, "CP1250", true},
    {1251, "CP1251", true},  {1252, "CP1252", true}, {1253, "CP1253", true}, {1254, "CP1254", true},
    {1255, "CP1255", true},  {1256, "CP1256", true}, {1257, "CP1257", true}, {1258, "CP1258", true},
    {20127, "ASCII", false},
};
constexpr std::size_t kServedCount = std::size(kServedCodePages);

const char* Utf16ConverterName() noexcept {
  return std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
}

// A code page as tables: every byte and double-byte code with its UTF-16
// unit, and every UTF-16 unit with the code that round-trips to it.
class CodePageTable {
 public:
  bool IsLead(unsigned char byte) const noexcept { return m_bLead[byte]; }

  // The unit that the code at `p` (n >= 1 bytes left) stands for, or
  // kUndefinedUnit; `nTaken` receives the bytes it takes (one for an
  // undefined lead byte, so that the byte after it is read again).
  WCHAR Decode(const unsigned char* p, std::size_t n, std::size_t& nTaken) const noexcept {
    if (m_bLead[p[0]] && n >= 2) {
      const WCHAR unit = m_doubleByte[(p[0] << 8) | p[1]];
      if (unit != kUndefinedUnit) {
        nTaken = 2;
        return unit;
      }
    }
    nTaken = 1;
    return m_singleByte[p[0]];
  }

  // The code for `unit`, or kUnmapped.
  std::uint16_t Encode(WCHAR unit) const noexcept { return m_encode[unit]; }

  // Fills the tables from the C library's converter; false when it does not
  // know the page.
  bool Build(const ServedCodePage& page);

 private:
  class Converter;
  void BuildDecoding(Converter& toUnicode, bool bC1Controls);
  void BuildEncoding(Converter& fromUnicode);

  bool m_bLead[kByteValues] = {};
  WCHAR m_singleByte[kByteValues] = {};
  std::vector<WCHAR> m_doubleByte;      // kByteValues * kByteValues, indexed by lead << 8 | trail
  std::vector<std::uint16_t> m_encode;  // kUnitValues
};

// One direction of the C library's converter, used to probe single codes.
class CodePageTable::Converter {
 public:
  Converter(const char* pszTo, const char* pszFrom) noexcept : m_cd(iconv_open(pszTo, pszFrom)) {}
  ~Converter() {
    if (IsOpen()) iconv_close(m_cd);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // iconv_open reports failure with the descriptor value -1.
  bool IsOpen() const noexcept {
    return m_cd != reinterpret_cast<iconv_t>(-1);  // NOLINT(performance-no-int-to-ptr)
  }

  enum class Outcome { kConverted, kIncomplete, kUndefined };

  // Converts the `nIn` bytes at `in` whole into `out` (room `nRoom` bytes);
  // `nOut` receives the bytes written.
  Outcome Convert(const void* in, std::size_t nIn, void* out, std::size_t nRoom,
                  std::size_t& nOut) noexcept {
    iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
    char inCopy[4];
    std::memcpy(inCopy, in, nIn);
    char* pIn = inCopy;
    char* pOut = static_cast<char*>(out);
    std::size_t nInLeft = nIn;
    std::size_t nOutLeft = nRoom;
    if (iconv(m_cd, &pIn, &nInLeft, &pOut, &nOutLeft) == static_cast<std::size_t>(-1)) {
      return errno == EINVAL ? Outcome::kIncomplete : Outcome::kUndefined;
    }
    if (iconv(m_cd, nullptr, nullptr, &pOut, &nOutLeft) == static_cast<std::size_t>(-1)) {
      return Outcome::kUndefined;
    }
    nOut = nRoom - nOutLeft;
    return nInLeft == 0 ? Outcome::kConverted : Outcome::kUndefined;
  }

  // The one UTF-16 unit that the code `bytes` decodes to, or kUndefinedUnit
  // (also for codes that give two units or none); `bIncomplete` is set when
  // the bytes begin a longer code.
  WCHAR DecodeCode(const unsigned char* bytes, std::size_t nBytes, bool& bIncomplete) noexcept {
    WCHAR units[4];
    std::size_t nOut = 0;
    const Outcome outcome = Convert(bytes, nBytes, units, sizeof units, nOut);
    bIncomplete = outcome == Outcome::kIncomplete;
    if (outcome != Outcome::kConverted || nOut != sizeof(WCHAR)) return kUndefinedUnit;
    return units[0];
  }

 private:
  iconv_t m_cd;
};

bool CodePageTable::Build(const ServedCodePage& page) {
  Converter toUnicode(Utf16ConverterName(), page.pszConverterName);
  Converter fromUnicode(page.pszConverterName, Utf16ConverterName());
  if (!toUnicode.IsOpen() || !fromUnicode.IsOpen()) return false;
  BuildDecoding(toUnicode, page.bC1Controls);
  BuildEncoding(fromUnicode);
  return true;
}

void CodePageTable::BuildDecoding(Converter& toUnicode, bool bC1Controls) {
  m_doubleByte.assign(static_cast<size_t>(kByteValues) * kByteValues, kUndefinedUnit);
  for (unsigned lead = 0; lead < kByteValues; ++lead) {
    const unsigned char single[1] = {static_cast<unsigned char>(lead)};
    bool bIncomplete = false;
    m_singleByte[lead] = toUnicode.DecodeCode(single, 1, bIncomplete);
    m_bLead[lead] = bIncomplete;
    if (m_singleByte[lead] == kUndefinedUnit && !bIncomplete && bC1Controls && lead >= kFirstC1 &&
        lead <= kLastC1) {
      m_singleByte[lead] = static_cast<WCHAR>(lead);
    }
    if (!bIncomplete) continue;
    for (unsigned trail = 0; trail < kByteValues; ++trail) {
      const unsigned char pair[2] = {static_cast<unsigned char>(lead),
                                     static_cast<unsigned char>(trail)};
      m_doubleByte[(lead << 8) | trail] = toUnicode.DecodeCode(pair, 2, bIncomplete);
    }
  }
}

void CodePageTable::BuildEncoding(Converter& fromUnicode) {
  m_encode.assign(kUnitValues, kUnmapped);
  // The converter's own choice first, kept only where it round-trips (no
  // look-alikes); then any code the decoding tables give for a unit still
  // unmapped (the control characters for undefined bytes among them).
  for (unsigned unit = 0; unit < kUnitValues; ++unit) {
    if (unit >= 0xD800 && unit <= 0xDFFF) continue;
    const WCHAR source = static_cast<WCHAR>(unit);
    unsigned char bytes[4];
    std::size_t nBytes = 0;
    if (fromUnicode.Convert(&source, sizeof source, bytes, sizeof bytes, nBytes) !=
            Converter::Outcome::kConverted ||
        nBytes == 0 || nBytes > 2) {
      continue;
    }
    std::size_t nTaken = 0;
    if (Decode(bytes, nBytes, nTaken) == source && nTaken == nBytes) {
      m_encode[unit] =
          static_cast<std::uint16_t>(nBytes == 1 ? bytes[0] : (bytes[0] << 8) | bytes[1]);
    }
  }
  for (unsigned code = 0; code < kByteValues * kByteValues; ++code) {
    const WCHAR unit = code < kByteValues ? m_singleByte[code] : m_doubleByte[code];
    if (unit != kUndefinedUnit && m_encode[unit] == kUnmapped &&
        (code < kByteValues ? !m_bLead[code] : m_bLead[code >> 8])) {
      m_encode[unit] = static_cast<std::uint16_t>(code);
    }
  }
}

// The tables of each served page, built on first use and kept for the life
// of the process, as the system keeps its own.
struct TableSlot {
  std::once_flag built;
  std::unique_ptr<CodePageTable> pTable;
};

TableSlot g_tableSlots[kServedCount];

// The tables of `nCodePage`, or null when the page is not served (or there
// was no memory to build them).
const CodePageTable* TableFor(UINT nCodePage) noexcept {
  for (std::size_t i = 0; i < kServedCount; ++i) {
    if (kServedCodePages[i].nCodePage != nCodePage) continue;
    TableSlot& slot = g_tableSlots[i];
    try {
      std::call_once(slot.built, [&slot, i] {
        auto pTable = std::make_unique<CodePageTable>();
        if (pTable->Build(kServedCodePages[i])) slot.pTable = std::move(pTable);
      });
    } catch (const std::bad_alloc&) {
      return nullptr;  // not built now; the next call tries again
    }
    return slot.pTable.get();
  }
  return nullptr;
}

// The page a conversion uses: CP_ACP stands for the system's ANSI page.
UINT ActualCodePage(UINT nCodePage) noexcept {
  return nCodePage == CP_ACP ? GetACP() : nCodePage;
}

int Fail(DWORD dwError) noexcept {
  SetLastError(dwError);
  return 0;
}

// The number of source units: `nLength`, or for -1 through the NUL.
template <class Unit>
std::size_t SourceLength(const Unit* p, int nLength) noexcept {
  if (nLength != -1) return static_cast<std::size_t>(nLength);
  return std::char_traits<Unit>::length(p) + 1;
}

// The system's result for a conversion's outcome.
int Finish(const ConversionResult& result) noexcept {
  switch (result.status) {
    case ConversionStatus::kInvalid:
      return Fail(ERROR_NO_UNICODE_TRANSLATION);
    case ConversionStatus::kBufferFull:
      return Fail(ERROR_INSUFFICIENT_BUFFER);
    case ConversionStatus::kDone:
      break;
  }
  if (!kxu::platform::FitsInt(result.nUnits)) return Fail(ERROR_ARITHMETIC_OVERFLOW);
  return static_cast<int>(result.nUnits);
}

InvalidInput InvalidInputFor(DWORD dwFlags, DWORD dwStrictFlag) noexcept {
  return (dwFlags & dwStrictFlag) != 0 ? InvalidInput::kReject : InvalidInput::kReplace;
}

ConversionResult DecodeCodePage(const CodePageTable& table, const unsigned char* p, std::size_t n,
                                WCHAR* out, std::size_t nRoom, InvalidInput invalid) noexcept {
  std::size_t nOut = 0;
  for (std::size_t i = 0; i < n;) {
    std::size_t nTaken = 1;
    WCHAR unit = table.Decode(p + i, n - i, nTaken);
    if (unit == kUndefinedUnit) {
      if (invalid == InvalidInput::kReject) return {nOut, ConversionStatus::kInvalid};
      unit = kReplacementUnit;
    }
    if (out != nullptr) {
      if (nOut == nRoom) return {nOut, ConversionStatus::kBufferFull};
      out[nOut] = unit;
    }
    ++nOut;
    i += nTaken;
  }
  return {nOut, ConversionStatus::kDone};
}

// The code written for units the page cannot encode: the first character of
// `lpDefaultChar` (one byte, or two when it begins with a lead byte), or '?'.
std::uint16_t DefaultCode(const CodePageTable& table, LPCSTR lpDefaultChar) noexcept {
  if (lpDefaultChar == nullptr) return static_cast<unsigned char>(kDefaultChar);
  const auto lead = static_cast<unsigned char>(lpDefaultChar[0]);
  const auto trail = static_cast<unsigned char>(lead == 0 ? 0 : lpDefaultChar[1]);
  if (table.IsLead(lead) && trail != 0) return static_cast<std::uint16_t>((lead << 8) | trail);
  return lead;
}

ConversionResult EncodeCodePage(const CodePageTable& table, const WCHAR* p, std::size_t n,
                                char* out, std::size_t nRoom, std::uint16_t defaultCode,
                                bool& bUsedDefault) noexcept {
  std::size_t nOut = 0;
  for (std::size_t i = 0; i < n; ++i) {
    std::uint16_t code = table.Encode(p[i]);
    if (code == kUnmapped) {
      code = defaultCode;
      bUsedDefault = true;
    }
    const std::size_t nBytes = code < kByteValues ? 1 : 2;
    if (out != nullptr) {
      if (nRoom - nOut < nBytes) return {nOut, ConversionStatus::kBufferFull};
      if (nBytes == 2) out[nOut] = static_cast<char>(code >> 8);
      out[nOut + nBytes - 1] = static_cast<char>(code & 0xFF);
    }
    nOut += nBytes;
  }
  return {nOut, ConversionStatus::kDone};
}

// The arguments both conversions check the same way.
bool AreValidArguments(const void* pSource, int nSourceLength, const void* pOut, int nOutRoom) {
  if (pSource == nullptr || nSourceLength == 0 || nSourceLength < -1 || nOutRoom < 0) return false;
  if (nOutRoom > 0 && (pOut == nullptr || pOut == pSource)) return false;
  return true;
}

// A codeset name in upper case without '-', '_' and blanks, as the table
// below spells it; names too long for any entry come out empty.
class NormalizedCodeset {
 public:
  explicit NormalizedCodeset(std::string_view codeset) noexcept {
    for (const char ch : codeset) {
      if (ch == '-' || ch == '_' || ch == ' ') continue;
      if (m_nLength == sizeof m_name) {
        m_nLength = 0;
        return;
      }
      m_name[m_nLength++] = (ch >= 'a' && ch <= 'z') ? static_cast<char>(ch - 'a' + 'A') : ch;
    }
  }
  std::string_view View() const noexcept { return {m_name, m_nLength}; }

 private:
  char m_name[16] = {};
  std::size_t m_nLength = 0;
};

struct CodesetName {
  std::string_view name;  // normalized
  UINT nCodePage;
};

constexpr CodesetName kCodesetNames[] = {
    {"UTF8", CP_UTF8},   {"ISO88591", 1252},  {"ISO885915", 1252}, {"ISO88592", 1250},
    {"ISO88595", 1251},  {"KOI8R", 1251},     {"KOI8U", 1251},     {"ISO88597", 1253},
    {"ISO88599", 1254},  {"ISO88598", 1255},  {"ISO88596", 1256},  {"ISO88594", 1257},
    {"ISO885913", 1257}, {"ISO885911", 874},  {"TIS620", 874},     {"SJIS", 932},
    {"SHIFTJIS", 932},   {"WINDOWS31J", 932}, {"EUCJP", 932},      {"GBK", 936},
    {"GB2312", 936},     {"GB18030", 936},    {"EUCCN", 936},      {"UHC", 949},
    {"EUCKR", 949},      {"BIG5", 950},       {"BIG5HKSCS", 950},  {"IBM437", 437},
    {"IBM850", 850},
};

// The number of a "CP<n>" or "WINDOWS<n>" name of a served page, or 0.
UINT ServedPageNamed(std::string_view name) noexcept {
  for (const std::string_view prefix : {std::string_view("CP"), std::string_view("WINDOWS")}) {
    if (!name.starts_with(prefix)) continue;
    const std::string_view digits = name.substr(prefix.size());
    UINT nNumber = 0;
    const auto [pEnd, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), nNumber);
    if (error != std::errc() || pEnd != digits.data() + digits.size()) continue;
    for (const ServedCodePage& page : kServedCodePages) {
      if (page.nCodePage == nNumber) return nNumber;
    }
  }
  return 0;
}

constexpr UINT kFallbackAnsiCodePage = 1252;

UINT ComputeAnsiCodePage() noexcept {
  const locale_t environment = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
  if (environment == static_cast<locale_t>(nullptr)) return kFallbackAnsiCodePage;
  const UINT nCodePage = kxu::platform::AnsiCodePageForCodeset(nl_langinfo_l(CODESET, environment));
  freelocale(environment);
  return nCodePage;
}

}  // namespace

int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte,
                        LPWSTR lpWideCharStr, int cchWideChar) noexcept {
  if (!AreValidArguments(lpMultiByteStr, cbMultiByte, lpWideCharStr, cchWideChar)) {
    return Fail(ERROR_INVALID_PARAMETER);
  }
  const UINT nCodePage = ActualCodePage(CodePage);
  const CodePageTable* pTable = nCodePage == CP_UTF8 ? nullptr : TableFor(nCodePage);
  if (nCodePage != CP_UTF8 && pTable == nullptr) return Fail(ERROR_INVALID_PARAMETER);
  if ((dwFlags & ~MB_ERR_INVALID_CHARS) != 0) return Fail(ERROR_INVALID_FLAGS);

  const std::size_t nSource = SourceLength(lpMultiByteStr, cbMultiByte);
  WCHAR* const out = cchWideChar == 0 ? nullptr : lpWideCharStr;
  const auto nRoom = static_cast<std::size_t>(cchWideChar);
  const InvalidInput invalid = InvalidInputFor(dwFlags, MB_ERR_INVALID_CHARS);
  if (pTable == nullptr) {
    return Finish(
        kxu::platform::Utf8ToUtf16(std::string_view(lpMultiByteStr, nSource), out, nRoom, invalid));
  }
  return Finish(DecodeCodePage(*pTable, reinterpret_cast<const unsigned char*>(lpMultiByteStr),
                               nSource, out, nRoom, invalid));
}

int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar,
                        LPSTR lpMultiByteStr, int cbMultiByte, LPCSTR lpDefaultChar,
                        BOOL* lpUsedDefaultChar) noexcept {
  if (!AreValidArguments(lpWideCharStr, cchWideChar, lpMultiByteStr, cbMultiByte)) {
    return Fail(ERROR_INVALID_PARAMETER);
  }
  const UINT nCodePage = ActualCodePage(CodePage);
  const std::size_t nSource = SourceLength(lpWideCharStr, cchWideChar);
  char* const out = cbMultiByte == 0 ? nullptr : lpMultiByteStr;
  const auto nRoom = static_cast<std::size_t>(cbMultiByte);

  if (nCodePage == CP_UTF8) {
    if (lpDefaultChar != nullptr || lpUsedDefaultChar != nullptr) {
      return Fail(ERROR_INVALID_PARAMETER);
    }
    if ((dwFlags & ~WC_ERR_INVALID_CHARS) != 0) return Fail(ERROR_INVALID_FLAGS);
    return Finish(kxu::platform::Utf16ToUtf8(std::basic_string_view<WCHAR>(lpWideCharStr, nSource),
                                             out, nRoom,
                                             InvalidInputFor(dwFlags, WC_ERR_INVALID_CHARS)));
  }
  const CodePageTable* pTable = TableFor(nCodePage);
  if (pTable == nullptr) return Fail(ERROR_INVALID_PARAMETER);
  if ((dwFlags & ~WC_NO_BEST_FIT_CHARS) != 0) return Fail(ERROR_INVALID_FLAGS);
  bool bUsedDefault = false;
  const ConversionResult result = EncodeCodePage(*pTable, lpWideCharStr, nSource, out, nRoom,
                                                 DefaultCode(*pTable, lpDefaultChar), bUsedDefault);
  if (lpUsedDefaultChar != nullptr) *lpUsedDefaultChar = bUsedDefault ? TRUE : FALSE;
  return Finish(result);
}

BOOL IsValidCodePage(UINT CodePage) noexcept {
  return CodePage == CP_UTF8 || TableFor(CodePage) != nullptr ? TRUE : FALSE;
}

UINT GetACP() noexcept {
  static const UINT s_nAnsiCodePage = ComputeAnsiCodePage();
  return s_nAnsiCodePage;
}

namespace kxu::platform {

UINT AnsiCodePageForCodeset(std::string_view codeset) noexcept {
  const NormalizedCodeset normalized(codeset);
  for (const CodesetName& entry : kCodesetNames) {
    if (normalized.View() == entry.name) return entry.nCodePage;
  }
  const UINT nServed = ServedPageNamed(normalized.View());
  return nServed != 0 ? nServed : kFallbackAnsiCodePage;
}

}  // namespace kxu::platform
