#include "encodings.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <sstream>

#include "text_io.h"

namespace kxu::tool {
namespace {

constexpr int kLatin1 = 28591;
constexpr int kWindows1252 = 1252;

// The common names of encodings, lower case.
struct EncodingName {
  std::string_view name;
  int page;
};
constexpr EncodingName kEncodingNames[] = {
    {"utf-8", kUtf8},       {"utf8", kUtf8},     {"utf-16", kUtf16Le},   {"utf-16le", kUtf16Le},
    {"utf-16be", kUtf16Be}, {"ascii", 20127},    {"us-ascii", 20127},    {"shift_jis", 932},
    {"sjis", 932},          {"gbk", 936},        {"gb2312", 936},        {"euc-kr", 949},
    {"big5", 950},          {"latin1", kLatin1}, {"iso-8859-1", kLatin1}};

// The pages --list looks for among those the library may serve.
constexpr int kKnownPages[] = {437,   737,   775,   850,   852,   855,   857,      866,
                               874,   932,   936,   949,   950,   1250,  1251,     1252,
                               1253,  1254,  1255,  1256,  1257,  1258,  20127,    20866,
                               28591, 28592, 28595, 28597, 28605, kUtf8, kUtf16Le, kUtf16Be};

constexpr WCHAR kReplacement = 0xFFFD;

bool IsUtf16(int page) {
  return page == kUtf16Le || page == kUtf16Be;
}

// The page of Latin-1: its own where served, else windows-1252, which
// agrees with it outside 0x80..0x9F.
int Latin1Page() {
  return IsServed(kLatin1) ? kLatin1 : kWindows1252;
}

std::string Lowercase(std::string text) {
  for (char& ch : text) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return text;
}

// The names of `page` that PageNamed takes, "cp" form first.
std::string NamesOf(int page) {
  std::string names = page == kUtf8 || IsUtf16(page) ? "" : "cp" + std::to_string(page);
  if (page == 874 || (page >= 1250 && page <= 1258)) names += " windows-" + std::to_string(page);
  for (const EncodingName& known : kEncodingNames) {
    const int named = known.page == kLatin1 ? Latin1Page() : known.page;
    if (named == page) names += (names.empty() ? "" : " ") + std::string(known.name);
  }
  return names;
}

// The offset of the first unit of `units` whose bits under `mask` are
// `value`, or npos. Eight units at a time are passed over while none of
// them is (in two words, whose lanes become zero where a unit matches,
// found by the borrow of a subtraction).
size_t FindUnit(std::basic_string_view<WCHAR> units, WCHAR mask, WCHAR value) {
  constexpr std::uint64_t kLanes = 0x0001000100010001;
  constexpr std::uint64_t kLaneTops = kLanes << 15;
  const std::uint64_t masks = mask * kLanes;
  const std::uint64_t values = value * kLanes;
  const auto anyMatches = [&](std::uint64_t word) {
    const std::uint64_t matchesAreZero = (word & masks) ^ values;
    return (matchesAreZero - kLanes) & ~matchesAreZero & kLaneTops;
  };
  size_t at = 0;
  for (std::uint64_t words[2]; at + 8 <= units.size(); at += 8) {
    std::memcpy(words, units.data() + at, sizeof words);
    if ((anyMatches(words[0]) | anyMatches(words[1])) != 0) break;
  }
  for (; at < units.size(); ++at) {
    if ((units[at] & mask) == value) return at;
  }
  return std::basic_string_view<WCHAR>::npos;
}

// The offset of the first NUL of `text`, or npos.
size_t FirstNul(std::string_view text) {
  return text.find('\0');
}
size_t FirstNul(std::basic_string_view<WCHAR> text) {
  return FindUnit(text, 0xFFFF, 0);
}

// UTF-16 units from bytes in either byte order; an odd last byte becomes
// U+FFFD.
void Utf16FromBytes(std::string_view bytes, bool bigEndian, CString& text) {
  const size_t units = (bytes.size() + 1) / 2;
  WCHAR* unit = text.GetBufferSetLength(kxu::platform::CheckedInt(units));
  std::memcpy(unit, bytes.data(), bytes.size() / 2 * 2);
  if (bigEndian != (std::endian::native == std::endian::big)) {
    for (size_t i = 0; i < bytes.size() / 2; ++i)
      unit[i] = static_cast<WCHAR>(unit[i] << 8 | unit[i] >> 8);
  }
  if (bytes.size() % 2 != 0) unit[units - 1] = kReplacement;
  text.ReleaseBuffer(kxu::platform::CheckedInt(units));
}

void BytesFromUtf16(std::basic_string_view<WCHAR> text, bool bigEndian, std::string& bytes) {
  bytes.resize(text.size() * 2);
  char* byte = bytes.data();
  for (const WCHAR unit : text) {
    const auto high = static_cast<char>(static_cast<unsigned>(unit) >> 8);
    const auto low = static_cast<char>(unit & 0xFF);
    *byte++ = bigEndian ? high : low;
    *byte++ = bigEndian ? low : high;
  }
}

// The library's conversions end a text at its first NUL, while a file may
// hold NULs anywhere: calls `convert` on each stretch of `text` between
// NULs and `keep_nul` for each NUL. False as soon as a stretch fails.
template <class Unit, class Convert, class KeepNul>
bool ConvertBetweenNuls(std::basic_string_view<Unit> text, Convert convert, KeepNul keepNul) {
  for (;;) {
    const size_t end = std::min(FirstNul(text), text.size());
    if (!convert(text.substr(0, end))) return false;
    if (end == text.size()) return true;
    keepNul();
    text.remove_prefix(end + 1);
  }
}

// The length of the valid UTF-8 character at the start of `bytes`; 0 when
// none starts there (a stray, overlong, surrogate or cut sequence).
size_t Utf8CharacterLength(std::string_view bytes) {
  const auto at = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
  const unsigned char lead = at(0);
  if (lead < 0x80) return 1;
  // The lead byte's length, and the range its first continuation byte must
  // lie in (which excludes overlongs, surrogates and code points past U+10FFFF).
  size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) length = 2;
  if (lead >= 0xE0 && lead <= 0xEF) length = 3;
  if (lead >= 0xF0 && lead <= 0xF4) length = 4;
  if (lead == 0xE0) low = 0xA0;
  if (lead == 0xED) high = 0x9F;
  if (lead == 0xF0) low = 0x90;
  if (lead == 0xF4) high = 0x8F;
  if (length == 0 || bytes.size() < length || at(1) < low || at(1) > high) return 0;
  for (size_t i = 2; i < length; ++i) {
    if ((at(i) & 0xC0) != 0x80) return 0;
  }
  return length;
}

std::optional<size_t> FirstInvalidUtf8(std::string_view bytes) {
  for (size_t at = 0; at < bytes.size();) {
    // Eight ASCII bytes at a time.
    std::uint64_t word = 0;
    if (at + sizeof word <= bytes.size() &&
        (std::memcpy(&word, bytes.data() + at, sizeof word), (word & 0x8080808080808080) == 0)) {
      at += sizeof word;
      continue;
    }
    if (static_cast<unsigned char>(bytes[at]) < 0x80) {
      ++at;
      continue;
    }
    const size_t length = Utf8CharacterLength(bytes.substr(at));
    if (length == 0) return at;
    at += length;
  }
  return std::nullopt;
}

std::optional<size_t> FirstLoneSurrogate(std::basic_string_view<WCHAR> units) {
  const auto isSurrogate = [](WCHAR unit) { return (unit & 0xF800) == 0xD800; };
  const auto isLow = [](WCHAR unit) { return (unit & 0xFC00) == 0xDC00; };
  for (size_t i = FindUnit(units, 0xF800, 0xD800); i < units.size(); ++i) {
    if (!isSurrogate(units[i])) continue;
    if (isLow(units[i]) || i + 1 == units.size() || !isLow(units[i + 1])) return i;
    ++i;  // a pair
  }
  return std::nullopt;
}

}  // namespace

std::optional<int> PageNamed(const std::string& name) {
  const std::string lower = Lowercase(name);
  for (const std::string_view prefix : {"", "cp", "ibm", "windows-"}) {
    if (!lower.starts_with(prefix) || lower.size() == prefix.size()) continue;
    int page = 0;
    const char* end = lower.data() + lower.size();
    const auto [stop, error] = std::from_chars(lower.data() + prefix.size(), end, page);
    if (error == std::errc() && stop == end) return page;
  }
  for (const EncodingName& known : kEncodingNames) {
    if (known.name == lower) return known.page == kLatin1 ? Latin1Page() : known.page;
  }
  return std::nullopt;
}

bool IsServed(int page) {
  if (IsUtf16(page)) return true;
  CString text;
  return zqMBCStoUTF16(text, "a", page, 1) > 0;
}

void PrintServedPages() {
  for (const int page : kKnownPages) {
    if (IsServed(page)) PrintLine(std::to_string(page) + "\t" + NamesOf(page));
  }
}

std::vector<std::string> ServedEncodingNames() {
  std::vector<std::string> names;
  for (const int page : kKnownPages) {
    if (!IsServed(page)) continue;
    std::istringstream words(NamesOf(page));
    for (std::string name; words >> name;) names.push_back(name);
  }
  return names;
}

std::string EncodingWords(int page) {
  switch (page) {
    case kUtf8:
      return "UTF-8";
    case kUtf16Le:
      return "UTF-16LE";
    case kUtf16Be:
      return "UTF-16BE";
    case kHostPage:
      return "the host's code page";
    default:
      return "code page " + std::to_string(page);
  }
}

bool IsMultiBytePage(int page) {
  return page == kHostPage || page == 932 || page == 936 || page == 949 || page == 950;
}

bool DecodeToUtf16(std::string_view bytes, int page, CString& text) {
  if (IsUtf16(page)) {
    Utf16FromBytes(bytes, page == kUtf16Be, text);
    return true;
  }
  const auto decode = [&](CString& into, std::string_view stretch) {
    return zqMBCStoUTF16(into, stretch.data(), page, kxu::platform::CheckedInt(stretch.size())) >
               0 ||
           stretch.empty();
  };
  if (bytes.find('\0') == std::string_view::npos) return decode(text, bytes);
  text.Empty();
  return ConvertBetweenNuls(
      bytes,
      [&](std::string_view stretch) {
        CString decoded;
        const bool done = decode(decoded, stretch);
        text += decoded;
        return done;
      },
      [&] { text.AppendChar(0); });
}

bool EncodeFromUtf16(std::basic_string_view<WCHAR> text, int page, std::string& bytes,
                     bool& substituted) {
  substituted = false;
  if (IsUtf16(page)) {
    BytesFromUtf16(text, page == kUtf16Be, bytes);
    return true;
  }
  bytes.clear();
  return ConvertBetweenNuls(
      text,
      [&](std::basic_string_view<WCHAR> stretch) {
        static CStringA s_encoded;  // kept for its buffer: a piece after another takes no new one
        // UTF-8 takes no report and needs none. A code page must not fit a
        // near character in silently (Windows would write 'L' for U+0141).
        int usedDefault = FALSE;
        const bool toPage = page != kUtf8;
        const int length = zqUTF16toMBCS(
            s_encoded, stretch.data(), page, kxu::platform::CheckedInt(stretch.size()),
            toPage ? &usedDefault : nullptr, toPage ? WC_NO_BEST_FIT_CHARS : 0);
        substituted = substituted || usedDefault != FALSE;
        bytes.append(s_encoded.GetString(), static_cast<size_t>(s_encoded.GetLength()));
        return length > 0 || stretch.empty();
      },
      [&] { bytes += '\0'; });
}

std::optional<size_t> FirstInvalidByte(std::string_view bytes, int page, const CString& text) {
  if (page == kUtf8) return FirstInvalidUtf8(bytes);
  if (IsUtf16(page)) {
    if (const std::optional<size_t> unit = FirstLoneSurrogate(Units(text))) return *unit * 2;
    return bytes.size() % 2 != 0 ? std::optional<size_t>(bytes.size() - 1) : std::nullopt;
  }
  // A code page has no U+FFFD: one in the text marks bytes the page does not
  // define, found where the characters before it end in the page's bytes.
  const size_t replaced = Units(text).find(kReplacement);
  if (replaced == std::basic_string_view<WCHAR>::npos) return std::nullopt;
  return EncodedLength(Units(text).substr(0, replaced), page);
}

size_t EncodedLength(std::basic_string_view<WCHAR> text, int page) {
  if (IsUtf16(page)) return text.size() * 2;
  std::string bytes;
  bool substituted = false;
  EncodeFromUtf16(text, page, bytes, substituted);
  return bytes.size();
}

std::optional<size_t> FirstUnencodableUnit(std::basic_string_view<WCHAR> text, int page) {
  std::string bytes;
  bool substituted = false;
  EncodeFromUtf16(text, page, bytes, substituted);
  if (!substituted) return std::nullopt;
  // The shortest beginning of the text that the page cannot hold ends at it.
  size_t fits = 0, fails = text.size();
  while (fails - fits > 1) {
    const size_t middle = fits + (fails - fits) / 2;
    EncodeFromUtf16(text.substr(0, middle), page, bytes, substituted);
    (substituted ? fails : fits) = middle;
  }
  return fits;
}

std::basic_string_view<WCHAR> Units(const CString& text) {
  return {text.GetString(), static_cast<size_t>(text.GetLength())};
}

}  // namespace kxu::tool
