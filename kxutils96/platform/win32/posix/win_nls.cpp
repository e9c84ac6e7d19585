#include <kxutils96/platform/win32/win_nls.h>

#include <iconv.h>
#include <langinfo.h>
#include <locale.h>
#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstring>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <utility>
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

// The blocks of units that the conversion to a page writes as look-alikes
// when it cannot encode them (see BuildLookAlikes): the blocks where the
// system's look-alikes and the C library's transliteration mostly agree.
// The system gives the Mac pages and the Arabic OEM page none, the Greek OEM,
// Thai, Arabic, Hebrew and Baltic pages only the full-width forms, the
// Cyrillic OEM and KOI8 pages and some Latin OEM pages no full-width forms,
// the East Asian pages no Latin Extended-A.
enum LookAlikeBlocks : unsigned {
  kNoLookAlikes = 0,
  kLatin1 = 1,                      // U+00A0..U+00FF
  kLatinExtendedA = 2,              // U+0100..U+017F
  kCjkCompatibilityIdeographs = 4,  // U+F900..U+FA2D, which stand for unified ones
  kFullWidthAscii = 8,              // U+FF01..U+FF5E
  kLatinLookAlikes = kLatin1 | kLatinExtendedA,
  kEuropeanLookAlikes = kLatinLookAlikes | kFullWidthAscii,
};

// A code page served through tables: read from the C library's converter
// `pszConverterName`, or, where that is null, generated at build time (see
// kGeneratedCodePages).
struct ServedCodePage {
  UINT nCodePage;
  const char* pszConverterName;
  // Undefined bytes 0x80..0x9F stand for the control characters U+0080..U+009F.
  bool bC1Controls;
  unsigned lookAlikeBlocks = kEuropeanLookAlikes;
};

constexpr ServedCodePage kServedCodePages[] = {
    // The OEM pages.
    {437, "CP437", true},
    {737, "CP737", true, kFullWidthAscii},
    {775, "CP775", true},
    {850, "CP850", true},
    {852, "CP852", true},
    {855, "CP855", true, kLatinLookAlikes},
    {857, "CP857", true},
    {860, "CP860", true, kLatinLookAlikes},
    {861, "CP861", true, kLatinLookAlikes},
    {862, "CP862", true},
    {863, "CP863", true, kLatinLookAlikes},
    {864, "CP864", true, kNoLookAlikes},
    {865, "CP865", true, kLatinLookAlikes},
    {866, "CP866", true},
    {869, "CP869", true, kLatinLookAlikes},
    // The ANSI pages, single-byte and double-byte.
    {874, "CP874", true, kFullWidthAscii},
    {932, "CP932", true, kLatin1},
    {936, "CP936", true, kLatin1 | kCjkCompatibilityIdeographs},
    {949, "CP949", true, kLatin1 | kCjkCompatibilityIdeographs | kFullWidthAscii},
    {950, "CP950", true, kLatin1 | kCjkCompatibilityIdeographs},
    {1250, "CP1250", true},
    {1251, "CP1251", true},
    {1252, "CP1252", true},
    {1253, "CP1253", true},
    {1254, "CP1254", true},
    {1255, "CP1255", true, kFullWidthAscii},
    {1256, "CP1256", true, kFullWidthAscii},
    {1257, "CP1257", true, kFullWidthAscii},
    {1258, "CP1258", true, kFullWidthAscii},
    {1361, "JOHAB", true, kFullWidthAscii},
    // The Mac pages. The system reads the double-byte codes of the East
    // Asian ones as the national standards (Shift_JIS with the system's
    // extensions, Big5, KS X 1001, GB 2312) rather than as Apple's tables
    // (which add Apple's own characters and variants); the C library lacks
    // the single-byte ones, whose tables are generated.
    {10000, "MACINTOSH", false, kNoLookAlikes},
    {10007, "CP10007", false, kNoLookAlikes},
    {10017, "MAC-UK", false, kNoLookAlikes},
    {10029, "MAC-CENTRALEUROPE", false, kNoLookAlikes},
    {10001, "CP932", true, kNoLookAlikes},
    {10002, "BIG5", true, kNoLookAlikes},
    {10003, "EUC-KR", true, kNoLookAlikes},
    {10004, nullptr, false, kNoLookAlikes},
    {10005, nullptr, false, kNoLookAlikes},
    {10006, nullptr, false, kNoLookAlikes},
    {10008, "EUC-CN", false, kNoLookAlikes},
    {10010, nullptr, false, kNoLookAlikes},
    {10021, nullptr, false, kNoLookAlikes},
    {10079, nullptr, false, kNoLookAlikes},
    {10081, nullptr, false, kNoLookAlikes},
    {10082, nullptr, false, kNoLookAlikes},
    // US-ASCII, KOI8 and the ISO 8859 pages.
    {20127, "ASCII", false},
    {20866, "KOI8-R", false, kLatinLookAlikes},
    {21866, "KOI8-U", false, kLatinLookAlikes},
    {28591, "ISO-8859-1", false},
    {28592, "ISO-8859-2", false},
    {28593, "ISO-8859-3", false},
    {28594, "ISO-8859-4", false},
    {28595, "ISO-8859-5", false},
    {28596, "ISO-8859-6", false},
    {28597, "ISO-8859-7", false},
    {28598, "ISO-8859-8", false},
    {28599, "ISO-8859-9", false},
    {28600, "ISO-8859-10", false},
    {28601, "ISO-8859-11", false},
    {28603, "ISO-8859-13", false},
    {28604, "ISO-8859-14", false},
    {28605, "ISO-8859-15", false},
    {28606, "ISO-8859-16", false},
    // EUC: the two-byte codes (EUC-JP's three-byte codes are not read).
    {51932, "EUC-JP", false},
    {51949, "EUC-KR", false},
};
constexpr std::size_t kServedCount = std::size(kServedCodePages);

// A byte of a generated page and the one unit it reads as.
struct GeneratedCode {
  unsigned char byte;
  WCHAR unit;
};

struct GeneratedCodePage {
  UINT nCodePage;
  std::span<const GeneratedCode> codes;
  std::span<const GeneratedCode> readOnlyCodes;  // read, never written (variants of a character)
};

// kGeneratedCodePages: the single-byte Mac pages the C library lacks,
// written at build time from Apple's published mappings as Perl's Encode
// carries them.
#include <mac_code_pages.inc>

// Where the system's tables read codes otherwise than the C library's
// converters or Apple's tables: a code it defines differently, or leaves
// undefined (kUndefinedUnit) where the source follows a later edition of the
// page's standard (the euro sign and the registered sign in Big5 and KS X
// 1001, KS X 1001's postal mark). In the generated Mac pages the system
// keeps Apple's earlier editions: the Ohm sign and the currency sign where
// the euro sign came later, the Greek page's soft hyphen, ano teleia and
// undefined 0xFF, the Thai page's zero-width no-break space, the Arabic
// page's five-pointed star, the Hebrew page's Å, ¤, meteg, maqaf and shin dot
// where Apple later put other points (and left undefined its presentation
// forms and private-use characters), and it reads the Thai page's undefined
// bytes as U+0000. The East Asian Mac pages take Apple's no-break space,
// copyright and trademark signs and ellipsis in single bytes (where their
// lead bytes leave room), and a few characters the national standards'
// converters read otherwise.
struct CodeAmendment {
  UINT nCodePage;
  std::uint16_t code;  // a single byte, or lead << 8 | trail
  WCHAR unit;
};

constexpr CodeAmendment kCodeAmendments[] = {
    {864, 0x25, 0x0025},
    {1255, 0xCA, 0x05BA},
    {1361, 0x5C, 0x005C},
    {10000, 0xBD, 0x2126},
    {10000, 0xC6, 0x2206},
    {10000, 0xF0, 0xF8FF},
    {10007, 0xB6, 0x2202},
    {21866, 0xAE, 0x045E},
    {21866, 0xBE, 0x040E},
    {28597, 0xA1, 0x02BD},
    {28597, 0xA2, 0x02BC},
    {28597, 0xA4, kUndefinedUnit},
    {28597, 0xA5, kUndefinedUnit},
    {28597, 0xAA, kUndefinedUnit},
    {28598, 0xAF, 0x203E},
    {28598, 0xFD, kUndefinedUnit},
    {28598, 0xFE, kUndefinedUnit},
    {10004, 0xC0, 0x066D},
    {10005, 0x81, 0x00C5},
    {10005, 0xA4, 0x00A4},
    {10005, 0xC2, kUndefinedUnit},
    {10005, 0xC3, kUndefinedUnit},
    {10005, 0xC4, kUndefinedUnit},
    {10005, 0xC5, 0x05BD},
    {10005, 0xC7, kUndefinedUnit},
    {10005, 0xC8, kUndefinedUnit},
    {10005, 0xD6, kUndefinedUnit},
    {10005, 0xD7, kUndefinedUnit},
    {10005, 0xD8, 0x05BE},
    {10005, 0xDD, 0x05C1},
    {10006, 0x9C, 0x00AD},
    {10006, 0xAF, 0x0387},
    {10006, 0xFF, kUndefinedUnit},
    {10021, 0x7F, 0x0000},
    {10021, 0x90, 0x0000},
    {10021, 0x9F, 0x0000},
    {10021, 0xDB, 0xFEFF},
    {10021, 0xFC, 0x0000},
    {10021, 0xFD, 0x0000},
    {10021, 0xFE, 0x0000},
    {10021, 0xFF, 0x0000},
    {10079, 0xBD, 0x2126},
    {10079, 0xDB, 0x00A4},
    {10081, 0xBD, 0x2126},
    {10082, 0xBD, 0x2126},
    {10082, 0xDB, 0x00A4},
    {1361, 0xD9E8, kUndefinedUnit},
    {10001, 0xA0, 0x00A0},
    {10001, 0xFD, 0x00A9},
    {10001, 0xFE, 0x2122},
    {10001, 0xFF, 0x2026},
    {10002, 0xFD, 0x00A9},
    {10002, 0xFE, 0x2122},
    {10002, 0xFF, 0x2026},
    {10002, 0xA3E1, kUndefinedUnit},
    {10003, 0xA2E6, kUndefinedUnit},
    {10003, 0xA2E7, kUndefinedUnit},
    {10003, 0xA2E8, kUndefinedUnit},
    {10003, 0xB4D3, 0xB2D6},
    {10003, 0xC9, 0x0000},
    {10008, 0x80, 0x0080},
    {10008, 0xAA, 0x0000},
    {10008, 0xAB, 0x0000},
    {10008, 0xAC, 0x0000},
    {10008, 0xAD, 0x0000},
    {10008, 0xAE, 0x0000},
    {10008, 0xAF, 0x0000},
    {10008, 0xA1AC, 0x2225},
};

// The system reads each byte a page leaves undefined (not a lead byte, nor
// a control character by the rule above) as a private-use character, the
// page's bytes in ascending order taking the units from `first` on.
struct PrivateUseBytes {
  UINT nCodePage;
  WCHAR first;
};

constexpr PrivateUseBytes kPrivateUseBytes[] = {
    {857, 0xF8BB},   {864, 0xF8BE},   {874, 0xF8C1},   {932, 0xF8F0},   {936, 0xF8F5},
    {949, 0xF8F7},   {950, 0xF8F8},   {1253, 0xF8F9},  {1255, 0xF88D},  {1257, 0xF8FC},
    {1361, 0xF8EC},  {10003, 0xF8E6}, {10004, 0xF827}, {10005, 0xF7FC}, {10006, 0xF8A0},
    {10008, 0xF8D8}, {28593, 0xF7F5}, {28596, 0xF7C8}, {28597, 0xF7C2}, {28598, 0xF79C},
};

// The lead bytes of the double-byte pages as the system declares them; a
// lead byte takes the next byte with it whether or not the pair is defined.
// Other pages take the lead bytes the C library's converter has.
struct LeadByteRanges {
  UINT nCodePage;
  std::pair<unsigned char, unsigned char> ranges[3];  // unused ones {0, 0}; 0 leads nowhere
};

constexpr LeadByteRanges kLeadByteRanges[] = {
    {932, {{0x81, 0x9F}, {0xE0, 0xFC}}},
    {936, {{0x81, 0xFE}}},
    {949, {{0x81, 0xFE}}},
    {950, {{0x81, 0xFE}}},
    {1361, {{0x84, 0xD3}, {0xD8, 0xDE}, {0xE0, 0xF9}}},
    {10001, {{0x81, 0x9F}, {0xE0, 0xFC}}},
    {10002, {{0x81, 0xFC}}},
    {10003, {{0xA1, 0xAC}, {0xB0, 0xC8}, {0xCA, 0xFD}}},
    {10008, {{0xA1, 0xA9}, {0xB0, 0xF7}}},
};

// The user-defined areas of the double-byte pages, which the system reads
// as private-use characters: the pairs of the leads `firstLead` to
// `lastLead` with the trails of `trails`, row by row, take the units from
// `first` on (whatever the C library's converter reads there; or, for the
// pairs it leaves undefined only, where `bUndefinedOnly`).
enum class TrailBytes {
  kA1ToFE,           // 94 a row
  k40To7EAnd80ToA0,  // 96 a row
  k40To7EAndA1ToFE,  // 157 a row
  k40To7EAnd80ToFE,  // 190 a row
  k31To7EAnd91ToFE,  // 188 a row
};

struct UserDefinedArea {
  UINT nCodePage;
  unsigned char firstLead, lastLead;
  TrailBytes trails;
  WCHAR first;
  bool bUndefinedOnly = false;
};

constexpr UserDefinedArea kUserDefinedAreas[] = {
    {936, 0xAA, 0xAF, TrailBytes::kA1ToFE, 0xE000},
    {936, 0xF8, 0xFE, TrailBytes::kA1ToFE, 0xE234},
    {936, 0xA1, 0xA7, TrailBytes::k40To7EAnd80ToA0, 0xE4C6},
    {936, 0x81, 0xFE, TrailBytes::k40To7EAnd80ToFE, 0xE766, true},
    {949, 0xC9, 0xC9, TrailBytes::kA1ToFE, 0xE000},
    {949, 0xFE, 0xFE, TrailBytes::kA1ToFE, 0xE05E},
    {950, 0xFA, 0xFE, TrailBytes::k40To7EAndA1ToFE, 0xE000},
    {950, 0x8E, 0xA0, TrailBytes::k40To7EAndA1ToFE, 0xE311},
    {950, 0x81, 0x8D, TrailBytes::k40To7EAndA1ToFE, 0xEEB8},
    {950, 0xC6, 0xC6, TrailBytes::kA1ToFE, 0xF6B1},
    {950, 0xC7, 0xC8, TrailBytes::k40To7EAndA1ToFE, 0xF70F},
    {1361, 0xD8, 0xD8, TrailBytes::k31To7EAnd91ToFE, 0xE000},
    {10002, 0x81, 0xA0, TrailBytes::k40To7EAndA1ToFE, 0xE000},
    {10002, 0xC6, 0xC6, TrailBytes::kA1ToFE, 0xF3A0},
    {10002, 0xC7, 0xC8, TrailBytes::k40To7EAndA1ToFE, 0xF3FE},
    {10002, 0xFA, 0xFC, TrailBytes::k40To7EAndA1ToFE, 0xF538},
};

bool IsTrailOf(TrailBytes trails, unsigned byte) noexcept {
  switch (trails) {
    case TrailBytes::kA1ToFE:
      return byte >= 0xA1 && byte <= 0xFE;
    case TrailBytes::k40To7EAnd80ToA0:
      return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xA0);
    case TrailBytes::k40To7EAndA1ToFE:
      return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0xA1 && byte <= 0xFE);
    case TrailBytes::k40To7EAnd80ToFE:
      return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFE);
    case TrailBytes::k31To7EAnd91ToFE:
      return (byte >= 0x31 && byte <= 0x7E) || (byte >= 0x91 && byte <= 0xFE);
  }
  return false;
}

// Units with two codes in a page, for which the system writes the other
// code than the C library's converter: Big5's box-drawing lines have codes in
// two rows; the Mac Big5 page writes the ellipsis as its single byte, the
// Mac GB 2312 page the parallel sign as the code it amends.
struct PreferredCode {
  UINT nCodePage;
  WCHAR unit;
  std::uint16_t code;
};

constexpr PreferredCode kPreferredCodes[] = {
    {950, 0x2550, 0xF9F9},   {950, 0x255E, 0xF9E9},   {950, 0x2561, 0xF9EB},
    {950, 0x256A, 0xF9EA},   {10002, 0x2026, 0xFF},   {10002, 0x2550, 0xF9F9},
    {10002, 0x255E, 0xF9E9}, {10002, 0x2561, 0xF9EB}, {10002, 0x256A, 0xF9EA},
    {10008, 0x2225, 0xA1AC},
};

constexpr UINT kUsAsciiCodePage = 20127;
constexpr UINT kJohabCodePage = 1361;
constexpr UINT kJapaneseCodePage = 932;

// The unit that undefined input decodes to: the katakana middle dot on the
// Japanese pages, '?' elsewhere.
WCHAR UndefinedInputUnit(UINT nCodePage) noexcept {
  constexpr WCHAR kKatakanaMiddleDot = 0x30FB;
  constexpr UINT kMacJapaneseCodePage = 10001;
  return nCodePage == kJapaneseCodePage || nCodePage == kMacJapaneseCodePage ? kKatakanaMiddleDot
                                                                             : WCHAR{'?'};
}

const char* Utf16ConverterName() noexcept {
  return std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
}

// One direction of the C library's converter: single codes probed whole, or
// texts converted step by step.
class Converter {
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

  iconv_t Handle() const noexcept { return m_cd; }

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

// The code of the page that one or two bytes make.
std::uint16_t PackedCode(const unsigned char* bytes, std::size_t nBytes) noexcept {
  return static_cast<std::uint16_t>(nBytes == 1 ? bytes[0] : (bytes[0] << 8) | bytes[1]);
}

// A code page as tables: every byte and double-byte code with its UTF-16
// unit, and every UTF-16 unit with the code that round-trips to it.
class CodePageTable {
 public:
  bool IsLead(unsigned char byte) const noexcept { return m_bLead[byte]; }

  // The unit that the code at `p` (n >= 1 bytes left) stands for, or
  // kUndefinedUnit; `nTaken` receives the bytes it takes (a lead byte takes
  // the byte after it, defined or not, unless that is a NUL or there is none).
  WCHAR Decode(const unsigned char* p, std::size_t n, std::size_t& nTaken) const noexcept {
    if (m_bLead[p[0]] && n >= 2 && p[1] != 0) {
      nTaken = 2;
      return m_doubleByte[(p[0] << 8) | p[1]];
    }
    if (m_bLead[p[0]]) {
      nTaken = 1;
      return kUndefinedUnit;
    }
    nTaken = 1;
    return m_singleByte[p[0]];
  }

  // The unit undefined input decodes to.
  WCHAR UndefinedUnit() const noexcept { return m_undefinedUnit; }

  // Whether the strict flag refuses the single byte `byte`, which decodes.
  bool IsRefusedWhenStrict(unsigned char byte) const noexcept { return m_bRefusedWhenStrict[byte]; }

  // The code for `unit`, or kUnmapped.
  std::uint16_t Encode(WCHAR unit) const noexcept { return m_encode[unit]; }

  // The code of a look-alike of `unit` (which the page cannot encode), or
  // kUnmapped.
  std::uint16_t LookAlike(WCHAR unit) const noexcept {
    const auto it =
        std::lower_bound(m_lookAlikes.begin(), m_lookAlikes.end(), unit,
                         [](const LookAlikeEntry& entry, WCHAR key) { return entry.unit < key; });
    return it != m_lookAlikes.end() && it->unit == unit ? it->code : kUnmapped;
  }

  // Fills the tables from the C library's converter; false when it does not
  // know the page.
  bool Build(const ServedCodePage& page);

 private:
  void StartDecoding(UINT nCodePage);
  void ReadConverterCodes(Converter& toUnicode, UINT nCodePage);
  void ReadGeneratedBytes(const GeneratedCodePage& generated);
  void AmendDecoding(const ServedCodePage& page);
  void AmendCodes(const ServedCodePage& page);
  void ReadUserDefinedAreas(UINT nCodePage);
  void ReadLoneJamo();
  void BuildEncoding(Converter* pFromUnicode, UINT nCodePage);
  void BuildLookAlikes(const ServedCodePage& page);
  // The code of the single character of the page that `bytes` is, or kUnmapped.
  std::uint16_t CodeOfOneCharacter(const unsigned char* bytes, std::size_t nBytes) const noexcept;

  struct LookAlikeEntry {
    WCHAR unit;
    std::uint16_t code;
  };

  bool m_bLead[kByteValues] = {};
  WCHAR m_undefinedUnit = '?';
  bool m_bRefusedWhenStrict[kByteValues] = {};
  bool m_bReadOnly[kByteValues] = {};  // bytes read but never written
  WCHAR m_singleByte[kByteValues] = {};
  std::vector<WCHAR> m_doubleByte;      // kByteValues * kByteValues, indexed by lead << 8 | trail
  std::vector<std::uint16_t> m_encode;  // kUnitValues
  std::vector<LookAlikeEntry> m_lookAlikes;  // by unit
};

bool CodePageTable::Build(const ServedCodePage& page) {
  if (page.pszConverterName == nullptr) {
    const auto generated = std::find_if(
        std::begin(kGeneratedCodePages), std::end(kGeneratedCodePages),
        [&page](const GeneratedCodePage& entry) { return entry.nCodePage == page.nCodePage; });
    if (generated == std::end(kGeneratedCodePages)) return false;
    ReadGeneratedBytes(*generated);
    AmendDecoding(page);
    BuildEncoding(nullptr, page.nCodePage);
    return true;
  }
  Converter toUnicode(Utf16ConverterName(), page.pszConverterName);
  Converter fromUnicode(page.pszConverterName, Utf16ConverterName());
  if (!toUnicode.IsOpen() || !fromUnicode.IsOpen()) return false;
  ReadConverterCodes(toUnicode, page.nCodePage);
  AmendDecoding(page);
  BuildEncoding(&fromUnicode, page.nCodePage);
  if (page.lookAlikeBlocks != kNoLookAlikes) BuildLookAlikes(page);
  return true;
}

// The system's lead-byte ranges for `nCodePage`, or null when it declares none here.
const LeadByteRanges* DeclaredLeadBytes(UINT nCodePage) noexcept {
  for (const LeadByteRanges& declared : kLeadByteRanges) {
    if (declared.nCodePage == nCodePage) return &declared;
  }
  return nullptr;
}

bool IsInRanges(const LeadByteRanges& declared, unsigned byte) noexcept {
  return byte != 0 && std::any_of(std::begin(declared.ranges), std::end(declared.ranges),
                                  [byte](const auto& range) {
                                    return byte >= range.first && byte <= range.second;
                                  });
}

void CodePageTable::StartDecoding(UINT nCodePage) {
  m_undefinedUnit = UndefinedInputUnit(nCodePage);
  std::fill(std::begin(m_singleByte), std::end(m_singleByte), kUndefinedUnit);
  m_doubleByte.assign(static_cast<size_t>(kByteValues) * kByteValues, kUndefinedUnit);
}

void CodePageTable::ReadConverterCodes(Converter& toUnicode, UINT nCodePage) {
  StartDecoding(nCodePage);
  const LeadByteRanges* pDeclared = DeclaredLeadBytes(nCodePage);
  for (unsigned lead = 0; lead < kByteValues; ++lead) {
    const unsigned char single[1] = {static_cast<unsigned char>(lead)};
    bool bIncomplete = false;
    m_singleByte[lead] = toUnicode.DecodeCode(single, 1, bIncomplete);
    m_bLead[lead] = pDeclared != nullptr ? IsInRanges(*pDeclared, lead) : bIncomplete;
    if (!m_bLead[lead]) continue;
    m_singleByte[lead] = kUndefinedUnit;
    for (unsigned trail = 0; trail < kByteValues; ++trail) {
      const unsigned char pair[2] = {static_cast<unsigned char>(lead),
                                     static_cast<unsigned char>(trail)};
      m_doubleByte[(lead << 8) | trail] = toUnicode.DecodeCode(pair, 2, bIncomplete);
    }
  }
}

// Whatever Apple's tables say, the system reads the bytes below 0x80 as
// ASCII (DEL among them), and a higher byte that Apple reads as an ASCII
// character (the right-to-left twins of the ASCII punctuation in the Arabic
// and Hebrew pages) as undefined.
void CodePageTable::ReadGeneratedBytes(const GeneratedCodePage& generated) {
  StartDecoding(generated.nCodePage);
  for (const GeneratedCode& entry : generated.codes) m_singleByte[entry.byte] = entry.unit;
  for (const GeneratedCode& entry : generated.readOnlyCodes) {
    m_singleByte[entry.byte] = entry.unit;
    m_bReadOnly[entry.byte] = true;
  }
  constexpr unsigned kAsciiEnd = 0x80;
  for (unsigned byte = 0; byte < kByteValues; ++byte) {
    if (byte < kAsciiEnd) {
      m_singleByte[byte] = static_cast<WCHAR>(byte);
    } else if (m_singleByte[byte] < kAsciiEnd) {
      m_singleByte[byte] = kUndefinedUnit;
    }
  }
}

void CodePageTable::AmendDecoding(const ServedCodePage& page) {
  AmendCodes(page);
  ReadUserDefinedAreas(page.nCodePage);
  if (page.nCodePage == kJohabCodePage) ReadLoneJamo();
  // The strict flag refuses a byte read as a private-use character (the
  // numbering of undefined bytes below among them) or, unless it is '?'
  // itself, as '?'.
  constexpr WCHAR kFirstPrivateUse = 0xE000, kLastPrivateUse = 0xF8FF;
  for (unsigned byte = 0; byte < kByteValues; ++byte) {
    const WCHAR unit = m_singleByte[byte];
    m_bRefusedWhenStrict[byte] =
        (unit >= kFirstPrivateUse && unit <= kLastPrivateUse) || (unit == '?' && byte != '?');
  }
}

void CodePageTable::ReadUserDefinedAreas(UINT nCodePage) {
  for (const UserDefinedArea& area : kUserDefinedAreas) {
    if (area.nCodePage != nCodePage) continue;
    WCHAR next = area.first;
    for (unsigned lead = area.firstLead; lead <= area.lastLead; ++lead) {
      for (unsigned trail = 0; trail < kByteValues; ++trail) {
        WCHAR& unit = m_doubleByte[(lead << 8) | trail];
        if (IsTrailOf(area.trails, trail) && (!area.bUndefinedOnly || unit == kUndefinedUnit)) {
          unit = next++;
        }
      }
    }
  }
}

// The conjoining jamo that the Johab code `code` stands for when it holds a
// single letter (its two other parts the fill), or kUndefinedUnit. A code is
// 1, then the 5-bit initial consonant, vowel and final consonant numbers.
WCHAR JohabLoneJamo(unsigned code) noexcept {
  constexpr unsigned kInitialFill = 1, kVowelFill = 2, kFinalFill = 1;
  const unsigned initial = (code >> 10) & 0x1F, vowel = (code >> 5) & 0x1F, final = code & 0x1F;
  const int nLetters = (initial != kInitialFill) + (vowel != kVowelFill) + (final != kFinalFill);
  if ((code & 0x8000) == 0 || nLetters != 1) return kUndefinedUnit;
  constexpr WCHAR kFirstInitial = 0x1100, kFirstVowel = 0x1161, kFirstFinal = 0x11A8;
  if (initial != kInitialFill) {  // 2 to 20
    return initial >= 2 && initial <= 20 ? static_cast<WCHAR>(kFirstInitial + initial - 2)
                                         : kUndefinedUnit;
  }
  if (vowel != kVowelFill) {  // three numbers a row of eight, from 3: 3-7, 10-15, 18-23, 26-29
    const unsigned row = vowel / 8, column = vowel % 8;
    const unsigned firstColumn = row == 0 ? 3 : 2;
    if (column < firstColumn || (row == 3 && column > 5)) return kUndefinedUnit;
    constexpr unsigned kRowStarts[] = {0, 5, 11, 17};
    return static_cast<WCHAR>(kFirstVowel + kRowStarts[row] + column - firstColumn);
  }
  // 2 to 17, then 19 to 29 (18 is unused)
  if (final < 2 || final == 18 || final > 29) return kUndefinedUnit;
  return static_cast<WCHAR>(kFirstFinal + final - (final < 18 ? 2 : 3));
}

// The conjoining jamo the system reads Johab's old-jamo row 0xDAD4..0xDAFE
// as: the compatibility decompositions of the compatibility jamo U+3164..
// U+318E that the published Johab table (and the C library) gives there,
// but for four where the system takes another jamo: the choseong filler
// U+115F for the Hangul filler (not the jungseong filler U+1160), and for
// PIEUP-THIEUTH, YESIEUNG-SIOS and YESIEUNG-PANSIOS the initials U+1128,
// U+1145 and U+1146 (not U+1129, U+11F1 and U+11F2).
constexpr unsigned kFirstOldJamoCode = 0xDAD4;
constexpr WCHAR kOldJamo[] = {
    0x115F, 0x1114, 0x1115, 0x11C7, 0x11C8, 0x11CC, 0x11CE, 0x11D3, 0x11D7, 0x11D9, 0x111C,
    0x11DD, 0x11DF, 0x111D, 0x111E, 0x1120, 0x1122, 0x1123, 0x1127, 0x1128, 0x112B, 0x112C,
    0x112D, 0x112E, 0x112F, 0x1132, 0x1136, 0x1140, 0x1147, 0x114C, 0x1145, 0x1146, 0x1157,
    0x1158, 0x1159, 0x1184, 0x1185, 0x1188, 0x1191, 0x1192, 0x1194, 0x119E, 0x11A1,
};

// Johab's jamo are the system's conjoining jamo: its codes of a single
// letter (the C library's converter reads some as compatibility jamo, some
// not at all) and its old-jamo row.
void CodePageTable::ReadLoneJamo() {
  for (unsigned code = 0x8400; code < 0xD400; ++code) {
    if (!m_bLead[code >> 8]) continue;
    const WCHAR jamo = JohabLoneJamo(code);
    if (jamo != kUndefinedUnit) m_doubleByte[code] = jamo;
  }
  std::copy(std::begin(kOldJamo), std::end(kOldJamo), &m_doubleByte[kFirstOldJamoCode]);
}

void CodePageTable::AmendCodes(const ServedCodePage& page) {
  for (const CodeAmendment& amendment : kCodeAmendments) {
    if (amendment.nCodePage != page.nCodePage) continue;
    (amendment.code < kByteValues ? m_singleByte : m_doubleByte.data())[amendment.code] =
        amendment.unit;
  }
  // US-ASCII reads a byte with the high bit set as the character of its low seven bits.
  if (page.nCodePage == kUsAsciiCodePage) {
    for (unsigned byte = 0x80; byte < kByteValues; ++byte) {
      m_singleByte[byte] = static_cast<WCHAR>(byte & 0x7F);
    }
  }
  if (page.bC1Controls) {
    for (unsigned byte = kFirstC1; byte <= kLastC1; ++byte) {
      if (m_singleByte[byte] == kUndefinedUnit && !m_bLead[byte])
        m_singleByte[byte] = static_cast<WCHAR>(byte);
    }
  }
  const auto privateUse = std::find_if(
      std::begin(kPrivateUseBytes), std::end(kPrivateUseBytes),
      [&page](const PrivateUseBytes& entry) { return entry.nCodePage == page.nCodePage; });
  if (privateUse == std::end(kPrivateUseBytes)) return;
  WCHAR next = privateUse->first;
  for (unsigned byte = 0; byte < kByteValues; ++byte) {
    if (m_singleByte[byte] == kUndefinedUnit && !m_bLead[byte]) m_singleByte[byte] = next++;
  }
}

void CodePageTable::BuildEncoding(Converter* pFromUnicode, UINT nCodePage) {
  m_encode.assign(kUnitValues, kUnmapped);
  // The converter's own choice first (when the page has one), kept only
  // where it round-trips (no look-alikes); then any code the decoding tables
  // give for a unit still unmapped (the control characters for undefined
  // bytes among them).
  for (unsigned unit = 0; pFromUnicode != nullptr && unit < kUnitValues; ++unit) {
    if (unit >= 0xD800 && unit <= 0xDFFF) continue;
    const WCHAR source = static_cast<WCHAR>(unit);
    unsigned char bytes[4];
    std::size_t nBytes = 0;
    if (pFromUnicode->Convert(&source, sizeof source, bytes, sizeof bytes, nBytes) !=
            Converter::Outcome::kConverted ||
        nBytes == 0 || nBytes > 2) {
      continue;
    }
    std::size_t nTaken = 0;
    if (Decode(bytes, nBytes, nTaken) == source && nTaken == nBytes) {
      m_encode[unit] = PackedCode(bytes, nBytes);
    }
  }
  for (unsigned code = 0; code < kByteValues * kByteValues; ++code) {
    const WCHAR unit = code < kByteValues ? m_singleByte[code] : m_doubleByte[code];
    if (unit != kUndefinedUnit && m_encode[unit] == kUnmapped &&
        (code < kByteValues ? !m_bLead[code] : m_bLead[code >> 8]) &&
        !(code < kByteValues && m_bReadOnly[code])) {
      m_encode[unit] = static_cast<std::uint16_t>(code);
    }
  }
  for (const PreferredCode& preferred : kPreferredCodes) {
    if (preferred.nCodePage == nCodePage) m_encode[preferred.unit] = preferred.code;
  }
}

std::uint16_t CodePageTable::CodeOfOneCharacter(const unsigned char* bytes,
                                                std::size_t nBytes) const noexcept {
  if (nBytes == 0 || nBytes > 2) return kUnmapped;
  std::size_t nTaken = 0;
  if (Decode(bytes, nBytes, nTaken) == kUndefinedUnit || nTaken != nBytes) return kUnmapped;
  return PackedCode(bytes, nBytes);
}

// Whether `unit` lies in one of `blocks`.
bool IsInLookAlikeBlocks(unsigned unit, unsigned blocks) noexcept {
  constexpr struct {
    LookAlikeBlocks block;
    unsigned first, last;
  } kBlockRanges[] = {{kLatin1, 0x00A0, 0x00FF},
                      {kLatinExtendedA, 0x0100, 0x017F},
                      {kCjkCompatibilityIdeographs, 0xF900, 0xFA2D},
                      {kFullWidthAscii, 0xFF01, 0xFF5E}};
  return std::any_of(std::begin(kBlockRanges), std::end(kBlockRanges), [&](const auto& range) {
    return (blocks & range.block) != 0 && unit >= range.first && unit <= range.last;
  });
}

// Look-alikes come from the C library's transliteration, as its C.UTF-8
// locale defines it (whatever the process's locale), for the units of the
// page's look-alike blocks that it cannot encode: a look-alike must be one character of the
// page (a transliteration into several characters is no look-alike), and
// not the '?' that the transliteration writes for a unit it knows nothing of.
// The calling thread reads characters as C.UTF-8 does while this lives
// (when the system has that locale).
class CUtf8ThreadLocale {
 public:
  CUtf8ThreadLocale() noexcept
      : m_locale(newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr))) {
    if (IsActive()) m_previous = uselocale(m_locale);
  }
  ~CUtf8ThreadLocale() {
    if (!IsActive()) return;
    uselocale(m_previous);
    freelocale(m_locale);
  }
  CUtf8ThreadLocale(const CUtf8ThreadLocale&) = delete;
  CUtf8ThreadLocale& operator=(const CUtf8ThreadLocale&) = delete;

  bool IsActive() const noexcept { return m_locale != static_cast<locale_t>(nullptr); }

 private:
  locale_t m_locale;
  locale_t m_previous = static_cast<locale_t>(nullptr);
};

void CodePageTable::BuildLookAlikes(const ServedCodePage& page) {
  m_lookAlikes.clear();
  const std::string transliterating = std::string(page.pszConverterName) + "//TRANSLIT";
  const CUtf8ThreadLocale cUtf8;
  Converter fromUnicode(transliterating.c_str(), Utf16ConverterName());
  if (!cUtf8.IsActive() || !fromUnicode.IsOpen()) return;
  for (unsigned unit = 0; unit < kUnitValues; ++unit) {
    if (!IsInLookAlikeBlocks(unit, page.lookAlikeBlocks) || m_encode[unit] != kUnmapped) continue;
    const WCHAR source = static_cast<WCHAR>(unit);
    unsigned char bytes[8];
    std::size_t nBytes = 0;
    if (fromUnicode.Convert(&source, sizeof source, bytes, sizeof bytes, nBytes) !=
        Converter::Outcome::kConverted) {
      continue;
    }
    const std::uint16_t code = CodeOfOneCharacter(bytes, nBytes);
    if (code != kUnmapped && code != static_cast<unsigned char>(kDefaultChar)) {
      m_lookAlikes.push_back({source, code});
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

// The page a conversion uses. The pseudo pages stand for the pages a
// US-English system has: CP_ACP and CP_THREAD_ACP for the ANSI page (GetACP),
// CP_OEMCP for 437 and CP_MACCP for 10000.
UINT ActualCodePage(UINT nCodePage) noexcept {
  constexpr UINT kOemCodePage = 437;
  constexpr UINT kMacCodePage = 10000;
  switch (nCodePage) {
    case CP_ACP:
    case CP_THREAD_ACP:
      return GetACP();
    case CP_OEMCP:
      return kOemCodePage;
    case CP_MACCP:
      return kMacCodePage;
    default:
      return nCodePage;
  }
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
    if (unit == kUndefinedUnit ||
        (invalid == InvalidInput::kReject && nTaken == 1 && table.IsRefusedWhenStrict(p[i]))) {
      if (invalid == InvalidInput::kReject) return {nOut, ConversionStatus::kInvalid};
      unit = table.UndefinedUnit();
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

// A code page converted as a whole text through the C library's converter:
// pages whose codes run past two bytes (GB18030) or depend on a shift state
// (ISO-2022-JP, UTF-7), which no table of single codes holds.
struct StreamedCodePage {
  UINT nCodePage;
  const char* pszConverterName;
  DWORD dwDecodeFlags;  // the flags each direction accepts
  DWORD dwEncodeFlags;
  bool bTakesDefault;  // a default character and its report may be given
  // UTF-7 as the system reads and writes it: a byte the converter refuses
  // is the character of its value (elsewhere U+FFFD), a '+' cut short at
  // the end is nothing, and U+0000 is written as a NUL byte.
  bool bUtf7 = false;
};

constexpr StreamedCodePage kStreamedCodePages[] = {
    {50220, "ISO-2022-JP", 0, 0, true},
    {50221, "ISO-2022-JP", 0, 0, true},
    {50222, "ISO-2022-JP", 0, 0, true},
    {54936, "GB18030", MB_ERR_INVALID_CHARS, WC_ERR_INVALID_CHARS | WC_NO_BEST_FIT_CHARS, true},
    {CP_UTF7, "UTF-7", 0, 0, false, true},
};

bool ConverterKnows(const char* pszConverterName) noexcept {
  return Converter(Utf16ConverterName(), pszConverterName).IsOpen() &&
         Converter(pszConverterName, Utf16ConverterName()).IsOpen();
}

// The streamed page `nCodePage`, or null when it is none or the C library
// does not know its converter.
const StreamedCodePage* StreamedPage(UINT nCodePage) noexcept {
  static const auto s_known = [] {
    std::array<bool, std::size(kStreamedCodePages)> known{};
    for (std::size_t i = 0; i < known.size(); ++i) {
      known[i] = ConverterKnows(kStreamedCodePages[i].pszConverterName);
    }
    return known;
  }();
  for (std::size_t i = 0; i < s_known.size(); ++i) {
    if (kStreamedCodePages[i].nCodePage == nCodePage && s_known[i]) return &kStreamedCodePages[i];
  }
  return nullptr;
}

// Where a streamed conversion writes: `out` (null: only count) with room for
// `nRoom` items, and how many it has written or counted.
template <class Item>
class ConversionOutput {
 public:
  ConversionOutput(Item* out, std::size_t nRoom) noexcept : m_out(out), m_nRoom(nRoom) {}

  // False when the items do not fit.
  bool Put(const Item* items, std::size_t n) noexcept {
    if (m_out != nullptr) {
      if (m_nRoom - m_nCount < n) return false;
      std::copy_n(items, n, m_out + m_nCount);
    }
    m_nCount += n;
    return true;
  }
  std::size_t Count() const noexcept { return m_nCount; }

 private:
  Item* m_out;
  std::size_t m_nRoom;
  std::size_t m_nCount = 0;
};

// Runs `converter` over `n` bytes at `p` into `output`, a step's worth of
// output at a time. Input the converter refuses (invalid, cut short, or not
// in the page) goes to `replace` (given the refused item and the
// converter's error), one item of `nItemBytes` at a time: it writes a
// replacement and returns kDone to go on past the item, or the status to
// stop with.
template <class Item, class Replace>
ConversionResult ConvertStreamed(Converter& converter, const char* p, std::size_t n,
                                 std::size_t nItemBytes, ConversionOutput<Item>& output,
                                 Replace replace) noexcept {
  char* pIn = const_cast<char*>(p);  // iconv's signature; it does not write the input
  std::size_t nInLeft = n;
  for (;;) {
    Item step[256];
    char* pOut = reinterpret_cast<char*>(step);
    std::size_t nOutLeft = sizeof step;
    const bool bFlush = nInLeft == 0;
    const std::size_t nResult = bFlush
                                    ? iconv(converter.Handle(), nullptr, nullptr, &pOut, &nOutLeft)
                                    : iconv(converter.Handle(), &pIn, &nInLeft, &pOut, &nOutLeft);
    const int error = nResult == static_cast<std::size_t>(-1) ? errno : 0;
    if (!output.Put(step, (sizeof step - nOutLeft) / sizeof(Item))) {
      return {output.Count(), ConversionStatus::kBufferFull};
    }
    // The flush writes what ends a shift state; it has no input to refuse.
    if (bFlush) return {output.Count(), ConversionStatus::kDone};
    if (error == 0 || error == E2BIG) continue;
    const ConversionStatus status = replace(pIn, error);
    if (status != ConversionStatus::kDone) return {output.Count(), status};
    const std::size_t nSkip = std::min(nItemBytes, nInLeft);
    pIn += nSkip;
    nInLeft -= nSkip;
  }
}

ConversionStatus PutOrFull(bool bFits) noexcept {
  return bFits ? ConversionStatus::kDone : ConversionStatus::kBufferFull;
}

ConversionResult DecodeStreamed(const StreamedCodePage& page, const char* p, std::size_t n,
                                WCHAR* out, std::size_t nRoom, InvalidInput invalid) noexcept {
  Converter toUnicode(Utf16ConverterName(), page.pszConverterName);
  if (!toUnicode.IsOpen()) return {0, ConversionStatus::kInvalid};
  ConversionOutput<WCHAR> output(out, nRoom);
  // A byte the page does not read is replaced, and the next byte is read again.
  return ConvertStreamed(toUnicode, p, n, 1, output, [&](const char* pRefused, int error) {
    if (invalid == InvalidInput::kReject) return ConversionStatus::kInvalid;
    if (page.bUtf7 && error == EINVAL) return ConversionStatus::kDone;
    const WCHAR unit = page.bUtf7 ? static_cast<unsigned char>(*pRefused) : kReplacementUnit;
    return PutOrFull(output.Put(&unit, 1));
  });
}

// Encodes the `n` units at `p` into `output`; see EncodeStreamed.
ConversionResult EncodeStreamedRun(Converter& fromUnicode, const WCHAR* p, std::size_t n,
                                   ConversionOutput<char>& output, char chDefault,
                                   InvalidInput invalid, bool& bUsedDefault) noexcept {
  // A unit the page cannot encode (or a lone surrogate) becomes the default
  // character, written in the converter's current shift state.
  const WCHAR defaultUnit = static_cast<unsigned char>(chDefault);
  const auto writeDefault = [&](const char* /*pRefused*/, int /*error*/) {
    if (invalid == InvalidInput::kReject) return ConversionStatus::kInvalid;
    char* pIn = const_cast<char*>(reinterpret_cast<const char*>(&defaultUnit));
    std::size_t nInLeft = sizeof defaultUnit;
    char bytes[16];
    char* pOut = bytes;
    std::size_t nOutLeft = sizeof bytes;
    if (iconv(fromUnicode.Handle(), &pIn, &nInLeft, &pOut, &nOutLeft) ==
        static_cast<std::size_t>(-1)) {
      return ConversionStatus::kInvalid;
    }
    bUsedDefault = true;
    return PutOrFull(output.Put(bytes, sizeof bytes - nOutLeft));
  };
  return ConvertStreamed(fromUnicode, reinterpret_cast<const char*>(p), n * sizeof(WCHAR),
                         sizeof(WCHAR), output, writeDefault);
}

ConversionResult EncodeStreamed(const StreamedCodePage& page, const WCHAR* p, std::size_t n,
                                char* out, std::size_t nRoom, char chDefault, InvalidInput invalid,
                                bool& bUsedDefault) noexcept {
  Converter fromUnicode(page.pszConverterName, Utf16ConverterName());
  if (!fromUnicode.IsOpen()) return {0, ConversionStatus::kInvalid};
  ConversionOutput<char> output(out, nRoom);
  if (!page.bUtf7) {
    return EncodeStreamedRun(fromUnicode, p, n, output, chDefault, invalid, bUsedDefault);
  }
  // UTF-7 writes each run between NULs whole (its shift state ended), and the NULs as bytes.
  for (std::size_t i = 0;;) {
    const std::size_t nRun = std::find(p + i, p + n, WCHAR{0}) - (p + i);
    const ConversionResult run =
        EncodeStreamedRun(fromUnicode, p + i, nRun, output, chDefault, invalid, bUsedDefault);
    i += nRun;
    if (run.status != ConversionStatus::kDone || i == n) return run;
    if (!output.Put("", 1)) return {output.Count(), ConversionStatus::kBufferFull};
    ++i;
  }
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
                                bool bLookAlikes, bool& bUsedDefault) noexcept {
  std::size_t nOut = 0;
  for (std::size_t i = 0; i < n; ++i) {
    std::uint16_t code = table.Encode(p[i]);
    if (code == kUnmapped && bLookAlikes) code = table.LookAlike(p[i]);
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
  const StreamedCodePage* pStreamed = StreamedPage(nCodePage);
  const CodePageTable* pTable =
      nCodePage == CP_UTF8 || pStreamed != nullptr ? nullptr : TableFor(nCodePage);
  if (nCodePage != CP_UTF8 && pStreamed == nullptr && pTable == nullptr) {
    return Fail(ERROR_INVALID_PARAMETER);
  }
  const DWORD dwAccepted = pStreamed != nullptr ? pStreamed->dwDecodeFlags : MB_ERR_INVALID_CHARS;
  if ((dwFlags & ~dwAccepted) != 0) return Fail(ERROR_INVALID_FLAGS);

  const std::size_t nSource = SourceLength(lpMultiByteStr, cbMultiByte);
  WCHAR* const out = cchWideChar == 0 ? nullptr : lpWideCharStr;
  const auto nRoom = static_cast<std::size_t>(cchWideChar);
  const InvalidInput invalid = InvalidInputFor(dwFlags, MB_ERR_INVALID_CHARS);
  if (pStreamed != nullptr) {
    return Finish(DecodeStreamed(*pStreamed, lpMultiByteStr, nSource, out, nRoom, invalid));
  }
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
  bool bUsedDefault = false;
  ConversionResult result{};
  if (const StreamedCodePage* pStreamed = StreamedPage(nCodePage); pStreamed != nullptr) {
    if (!pStreamed->bTakesDefault && (lpDefaultChar != nullptr || lpUsedDefaultChar != nullptr)) {
      return Fail(ERROR_INVALID_PARAMETER);
    }
    if ((dwFlags & ~pStreamed->dwEncodeFlags) != 0) return Fail(ERROR_INVALID_FLAGS);
    result = EncodeStreamed(*pStreamed, lpWideCharStr, nSource, out, nRoom,
                            lpDefaultChar != nullptr ? lpDefaultChar[0] : kDefaultChar,
                            InvalidInputFor(dwFlags, WC_ERR_INVALID_CHARS), bUsedDefault);
  } else {
    const CodePageTable* pTable = TableFor(nCodePage);
    if (pTable == nullptr) return Fail(ERROR_INVALID_PARAMETER);
    if ((dwFlags & ~WC_NO_BEST_FIT_CHARS) != 0) return Fail(ERROR_INVALID_FLAGS);
    result = EncodeCodePage(*pTable, lpWideCharStr, nSource, out, nRoom,
                            DefaultCode(*pTable, lpDefaultChar),
                            (dwFlags & WC_NO_BEST_FIT_CHARS) == 0, bUsedDefault);
  }
  if (lpUsedDefaultChar != nullptr) *lpUsedDefaultChar = bUsedDefault ? TRUE : FALSE;
  return Finish(result);
}

BOOL IsValidCodePage(UINT CodePage) noexcept {
  const bool bServed =
      CodePage == CP_UTF8 || StreamedPage(CodePage) != nullptr || TableFor(CodePage) != nullptr;
  return bServed ? TRUE : FALSE;
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
