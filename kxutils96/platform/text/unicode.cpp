#include <kxutils96/platform/text/unicode.h>

#include <algorithm>
#include <bit>
#include <cstddef>

#include <kxutils96/platform/text/simd.h>

namespace kxu::platform {
namespace {

constexpr char32_t kReplacement = 0xFFFD;
// An escaped byte b is the lone surrogate kEscapeBase + b (b is 0x80..0xFF).
constexpr char32_t kEscapeBase = 0xDC00;
constexpr char32_t kFirstEscape = 0xDC80;
constexpr char32_t kLastEscape = 0xDCFF;
constexpr char32_t kFirstSupplementary = 0x10000;
constexpr std::size_t kBlock = simd::kBlockBytes;

bool IsContinuation(unsigned char byte) noexcept {
  return (byte & 0xC0) == 0x80;
}
bool IsSurrogate(char32_t unit) noexcept {
  return unit >= 0xD800 && unit <= 0xDFFF;
}
bool IsHighSurrogate(char32_t unit) noexcept {
  return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char32_t unit) noexcept {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

// The ASCII units that begin the `nUnits` at `p`.
std::size_t CountAscii(const unsigned char* p, std::size_t nUnits) noexcept {
  return simd::AsciiPrefixLength(p, nUnits);
}
std::size_t CountAscii(const WCHAR* p, std::size_t nUnits) noexcept {
  std::size_t i = 0;
  for (; nUnits - i >= kBlock; i += kBlock) {
    const simd::Mask nonAscii = simd::HighBitMask(simd::LoadNarrowed(p + i));
    if (nonAscii != 0) return i + static_cast<std::size_t>(std::countr_zero(nonAscii));
  }
  while (i < nUnits && p[i] < 0x80) ++i;
  return i;
}

// Writes the block at `p` to `out` as the other form, ASCII units as they
// are and the others as something the caller overwrites, and returns the
// bits of the non-ASCII units.
simd::Mask PutAsciiBlock(const unsigned char* p, WCHAR* out) noexcept {
  const simd::Block block = simd::LoadBlock(p);
  simd::StoreWidened(block, out);
  return simd::HighBitMask(block);
}
simd::Mask PutAsciiBlock(const WCHAR* p, char* out) noexcept {
  const simd::Block block = simd::LoadNarrowed(p);
  simd::StoreBlock(out, block);
  return simd::HighBitMask(block);
}

// The ASCII run at `p` in the other form at `out`, through the kernels.
std::size_t PutAscii(const unsigned char* p, std::size_t nMost, WCHAR* out) noexcept {
  return simd::WidenAscii(p, nMost, out);
}
std::size_t PutAscii(const WCHAR* p, std::size_t nMost, char* out) noexcept {
  return simd::NarrowAscii(p, nMost, out);
}

// How a conversion treats its output: only counting, writing with a room
// check before each character, or writing into room that the input's upper
// bound already guarantees (no check needed).
enum class Room { kCountOnly, kChecked, kEnough };

// Where converted units go.
template <class Unit, Room kRoom>
class Sink {
 public:
  Sink(Unit* out, std::size_t nRoom) noexcept : m_out(out), m_nRoom(nRoom) {}

  bool HasRoom(std::size_t nUnits) const noexcept {
    if constexpr (kRoom == Room::kChecked) return m_nRoom - m_nCount >= nUnits;
    return true;
  }
  void Put(char32_t unit) noexcept {
    if constexpr (kRoom != Room::kCountOnly) m_out[m_nCount] = static_cast<Unit>(unit);
    ++m_nCount;
  }
  // Puts the ASCII units that begin the `nAvailable` at `p` (one at least,
  // and as many as there are and room holds) and returns how many; none when
  // the room is full. The first block goes inline, since most runs end in
  // it; a run that fills it goes on through the kernel.
  template <class InUnit>
  std::size_t PutAsciiRun(const InUnit* p, std::size_t nAvailable) noexcept {
    if constexpr (kRoom == Room::kCountOnly) {
      const std::size_t nTaken = CountAscii(p, nAvailable);
      m_nCount += nTaken;
      return nTaken;
    } else {
      const std::size_t nMost =
          kRoom == Room::kChecked ? std::min(nAvailable, m_nRoom - m_nCount) : nAvailable;
      Unit* const out = m_out + m_nCount;
      std::size_t nTaken = 0;
      if (nMost < kBlock) {
        nTaken = PutAscii(p, nMost, out);
      } else if (const simd::Mask nonAscii = PutAsciiBlock(p, out); nonAscii != 0) {
        nTaken = static_cast<std::size_t>(std::countr_zero(nonAscii));
      } else {
        nTaken = kBlock + PutAscii(p + kBlock, nMost - kBlock, out + kBlock);
      }
      m_nCount += nTaken;
      return nTaken;
    }
  }
  // Encodes groups of units below U+0800 at `p` straight into the output
  // (see simd::EncodeBelowU0800) and returns the units taken; none when
  // only counting.
  std::size_t PutBelowU0800(const WCHAR* p, const WCHAR* end) noexcept {
    return PutEncoded<simd::EncodeBelowU0800>(p, end);
  }
  // The same for units from U+0800 on (see simd::EncodeFromU0800).
  std::size_t PutFromU0800(const WCHAR* p, const WCHAR* end) noexcept {
    return PutEncoded<simd::EncodeFromU0800>(p, end);
  }
  // Decodes steps of ASCII and two-byte sequences at `p` straight into the
  // output (see simd::DecodeBelowU0800) and returns the bytes taken; none
  // when only counting.
  std::size_t PutDecodedBelowU0800(const unsigned char* p, const unsigned char* end) noexcept {
    return PutDecoded<simd::DecodeBelowU0800>(p, end);
  }
  // The same for steps of three-byte sequences (see simd::DecodeFromU0800).
  std::size_t PutDecodedFromU0800(const unsigned char* p, const unsigned char* end) noexcept {
    return PutDecoded<simd::DecodeFromU0800>(p, end);
  }
  ConversionResult Result(ConversionStatus status) const noexcept { return {m_nCount, status}; }

 private:
  template <simd::DecodedRun (*kDecode)(const unsigned char*, std::size_t, char16_t*,
                                        std::size_t) noexcept>
  std::size_t PutDecoded(const unsigned char* p, const unsigned char* end) noexcept {
    if constexpr (kRoom == Room::kCountOnly || sizeof(Unit) != 2) {
      return 0;
    } else {
      const simd::DecodedRun run =
          kDecode(p, static_cast<std::size_t>(end - p), m_out + m_nCount, m_nRoom - m_nCount);
      m_nCount += run.nUnits;
      return run.nBytes;
    }
  }
  template <simd::EncodedRun (*kEncode)(const char16_t*, std::size_t, char*, std::size_t) noexcept>
  std::size_t PutEncoded(const WCHAR* p, const WCHAR* end) noexcept {
    if constexpr (kRoom == Room::kCountOnly || sizeof(Unit) != 1) {
      return 0;
    } else {
      const simd::EncodedRun run =
          kEncode(p, static_cast<std::size_t>(end - p), m_out + m_nCount, m_nRoom - m_nCount);
      m_nCount += run.nBytes;
      return run.nUnits;
    }
  }

  Unit* m_out;
  std::size_t m_nRoom;
  std::size_t m_nCount = 0;
};

// One step of decoding: the code point read (U+FFFD when invalid) and how many
// bytes it took. An invalid step takes the maximal subpart: the longest prefix
// of a well-formed sequence, or a single byte when no sequence starts here.
struct Decoded {
  char32_t codePoint;
  std::size_t nBytes;
  bool bValid;
};

// The well-formed sequences: a lead byte sets the length and the range of the
// second byte (narrower after E0, ED, F0 and F4, which is what excludes
// overlongs, surrogates and values past U+10FFFF); later bytes are 80..BF.
struct LeadRule {
  std::size_t nBytes;  // 0 for a byte that cannot start a sequence
  unsigned char secondLow;
  unsigned char secondHigh;
};

LeadRule RuleFor(unsigned char lead) noexcept {
  if (lead >= 0xC2 && lead <= 0xDF) return {2, 0x80, 0xBF};
  if (lead == 0xE0) return {3, 0xA0, 0xBF};
  if (lead == 0xED) return {3, 0x80, 0x9F};
  if (lead >= 0xE1 && lead <= 0xEF) return {3, 0x80, 0xBF};
  if (lead == 0xF0) return {4, 0x90, 0xBF};
  if (lead == 0xF4) return {4, 0x80, 0x8F};
  if (lead >= 0xF1 && lead <= 0xF3) return {4, 0x80, 0xBF};
  return {0, 0, 0};
}

// Decodes by the lead rules; handles every case, valid or not.
Decoded DecodeByRule(const unsigned char* p, const unsigned char* end) noexcept {
  const LeadRule rule = RuleFor(p[0]);
  if (rule.nBytes == 0) return {kReplacement, 1, false};
  const std::size_t nAvailable = static_cast<std::size_t>(end - p);
  if (nAvailable < 2 || p[1] < rule.secondLow || p[1] > rule.secondHigh) {
    return {kReplacement, 1, false};
  }
  const unsigned char leadMask = rule.nBytes == 2 ? 0x1F : rule.nBytes == 3 ? 0x0F : 0x07;
  char32_t codePoint = ((p[0] & leadMask) << 6) | (p[1] & 0x3F);
  for (std::size_t i = 2; i < rule.nBytes; ++i) {
    if (i >= nAvailable || !IsContinuation(p[i])) return {kReplacement, i, false};
    codePoint = (codePoint << 6) | (p[i] & 0x3Fu);
  }
  return {codePoint, rule.nBytes, true};
}

// Decodes the sequence starting at `p` (p < end, *p not ASCII). Well-formed
// two- and three-byte sequences, the bulk of European and CJK text, take a
// short path; everything else goes by the lead rules.
Decoded DecodeMultiByte(const unsigned char* p, const unsigned char* end) noexcept {
  const std::size_t nAvailable = static_cast<std::size_t>(end - p);
  if (nAvailable >= 2 && p[0] >= 0xC2 && p[0] <= 0xDF && IsContinuation(p[1])) {
    return {static_cast<char32_t>(((p[0] & 0x1F) << 6) | (p[1] & 0x3F)), 2, true};
  }
  if (nAvailable >= 3 && (p[0] & 0xF0) == 0xE0 && IsContinuation(p[1]) && IsContinuation(p[2])) {
    const char32_t codePoint = ((p[0] & 0x0F) << 12) | ((p[1] & 0x3F) << 6) | (p[2] & 0x3F);
    if (codePoint >= 0x800 && !IsSurrogate(codePoint)) return {codePoint, 3, true};
  }
  return DecodeByRule(p, end);
}

// Decodes one UTF-8 character per step; ASCII goes a block at a time, so
// that text of any mix resumes block speed after each multi-byte character.
template <class Sink>
ConversionResult DecodeUtf8(const unsigned char* p, const unsigned char* const end, Sink sink,
                            InvalidInput invalid) noexcept {
  while (p != end) {
    if (*p < 0x80) {
      const std::size_t nAscii = sink.PutAsciiRun(p, static_cast<std::size_t>(end - p));
      if (nAscii == 0) return sink.Result(ConversionStatus::kBufferFull);
      p += nAscii;
      continue;
    }
    // A run of three-byte characters (CJK text) decodes by steps of five,
    // then one by one, without leaving this loop.
    p += sink.PutDecodedFromU0800(p, end);
    while (end - p >= 3 && (p[0] & 0xF0) == 0xE0 && IsContinuation(p[1]) && IsContinuation(p[2]) &&
           sink.HasRoom(1)) {
      const char32_t codePoint = ((p[0] & 0x0F) << 12) | ((p[1] & 0x3F) << 6) | (p[2] & 0x3F);
      if (codePoint < 0x800 || IsSurrogate(codePoint)) break;
      sink.Put(codePoint);
      p += 3;
    }
    if (p == end || *p < 0x80) continue;
    // Text of ASCII and two-byte characters (European text) goes by steps of
    // a block.
    if (const std::size_t nTaken = sink.PutDecodedBelowU0800(p, end); nTaken != 0) {
      p += nTaken;
      continue;
    }
    const Decoded step = DecodeMultiByte(p, end);
    if (!step.bValid && invalid == InvalidInput::kReject) {
      return sink.Result(ConversionStatus::kInvalid);
    }
    if (!step.bValid && invalid == InvalidInput::kEscape) {
      if (!sink.HasRoom(step.nBytes)) return sink.Result(ConversionStatus::kBufferFull);
      for (std::size_t i = 0; i < step.nBytes; ++i) sink.Put(kEscapeBase + *p++);
      continue;
    }
    if (step.codePoint < kFirstSupplementary) {
      if (!sink.HasRoom(1)) return sink.Result(ConversionStatus::kBufferFull);
      sink.Put(step.codePoint);
    } else {
      if (!sink.HasRoom(2)) return sink.Result(ConversionStatus::kBufferFull);
      const char32_t offset = step.codePoint - kFirstSupplementary;
      sink.Put(0xD800 + (offset >> 10));
      sink.Put(0xDC00 + (offset & 0x3FF));
    }
    p += step.nBytes;
  }
  return sink.Result(ConversionStatus::kDone);
}

// Bytes of the UTF-8 form of `codePoint` (not a surrogate).
std::size_t Utf8Length(char32_t codePoint) noexcept {
  return codePoint < 0x80 ? 1 : codePoint < 0x800 ? 2 : codePoint < kFirstSupplementary ? 3 : 4;
}

template <class Sink>
void PutUtf8(char32_t codePoint, Sink& sink) noexcept {
  switch (Utf8Length(codePoint)) {
    case 1:
      sink.Put(codePoint);
      break;
    case 2:
      sink.Put(0xC0 | (codePoint >> 6));
      sink.Put(0x80 | (codePoint & 0x3F));
      break;
    case 3:
      sink.Put(0xE0 | (codePoint >> 12));
      sink.Put(0x80 | ((codePoint >> 6) & 0x3F));
      sink.Put(0x80 | (codePoint & 0x3F));
      break;
    default:
      sink.Put(0xF0 | (codePoint >> 18));
      sink.Put(0x80 | ((codePoint >> 12) & 0x3F));
      sink.Put(0x80 | ((codePoint >> 6) & 0x3F));
      sink.Put(0x80 | (codePoint & 0x3F));
      break;
  }
}

// Encodes one character per step; ASCII goes a block at a time, as in
// DecodeUtf8.
template <class Sink>
ConversionResult EncodeUtf8(const WCHAR* p, const WCHAR* const end, Sink sink,
                            InvalidInput invalid) noexcept {
  while (p != end) {
    char32_t unit = *p;
    if (unit < 0x80) {
      const std::size_t nAscii = sink.PutAsciiRun(p, static_cast<std::size_t>(end - p));
      if (nAscii == 0) return sink.Result(ConversionStatus::kBufferFull);
      p += nAscii;
      continue;
    }
    // A run of units from U+0800 outside the surrogates (CJK text, with ASCII
    // among them in its groups), then one below U+0800 (the accented letters
    // of European text), encode without leaving these loops.
    // Groups go whole; the units of a group that does not (it holds another
    // kind of unit, or the room is short) go one by one, up to one of
    // another kind, and the groups are tried again after it.
    while (unit >= 0x800 && !IsSurrogate(unit)) {
      p += sink.PutFromU0800(p, end);
      const WCHAR* const groupEnd = p + std::min<std::ptrdiff_t>(simd::kEncodeGroupUnits, end - p);
      for (; p != groupEnd && (unit = *p) >= 0x800 && !IsSurrogate(unit) && sink.HasRoom(3); ++p) {
        sink.Put(0xE0 | (unit >> 12));
        sink.Put(0x80 | ((unit >> 6) & 0x3F));
        sink.Put(0x80 | (unit & 0x3F));
      }
      if (p == end) break;
      unit = *p;
      if (p != groupEnd) break;
    }
    if (p != end && unit >= 0x80 && unit < 0x800) {
      p += sink.PutBelowU0800(p, end);
      if (p == end) break;
      unit = *p;
    }
    while (p != end && unit >= 0x80 && unit < 0x800 && sink.HasRoom(2)) {
      sink.Put(0xC0 | (unit >> 6));
      sink.Put(0x80 | (unit & 0x3F));
      if (++p == end) break;
      unit = *p;
    }
    if (p == end || unit < 0x80) continue;
    std::size_t nTaken = 1;
    if (IsHighSurrogate(unit) && end - p >= 2 && IsLowSurrogate(p[1])) {
      unit = kFirstSupplementary + ((unit - 0xD800) << 10) + (p[1] - 0xDC00);
      nTaken = 2;
    } else if (IsSurrogate(unit)) {
      if (invalid == InvalidInput::kReject) return sink.Result(ConversionStatus::kInvalid);
      if (invalid == InvalidInput::kEscape && unit >= kFirstEscape && unit <= kLastEscape) {
        if (!sink.HasRoom(1)) return sink.Result(ConversionStatus::kBufferFull);
        sink.Put(unit - kEscapeBase);
        ++p;
        continue;
      }
      unit = kReplacement;
    }
    if (!sink.HasRoom(Utf8Length(unit))) return sink.Result(ConversionStatus::kBufferFull);
    PutUtf8(unit, sink);
    p += nTaken;
  }
  return sink.Result(ConversionStatus::kDone);
}

const unsigned char* BytesOf(std::string_view text) noexcept {
  return reinterpret_cast<const unsigned char*>(text.data());
}

}  // namespace

ConversionResult Utf8ToUtf16(std::string_view text, WCHAR* out, std::size_t nRoom,
                             InvalidInput invalid) noexcept {
  const unsigned char* const begin = BytesOf(text);
  const unsigned char* const end = begin + text.size();
  if (out == nullptr) return DecodeUtf8(begin, end, Sink<WCHAR, Room::kCountOnly>(out, 0), invalid);
  if (nRoom >= Utf16UnitsBound(text.size())) {
    return DecodeUtf8(begin, end, Sink<WCHAR, Room::kEnough>(out, nRoom), invalid);
  }
  return DecodeUtf8(begin, end, Sink<WCHAR, Room::kChecked>(out, nRoom), invalid);
}

ConversionResult Utf16ToUtf8(std::basic_string_view<WCHAR> text, char* out, std::size_t nRoom,
                             InvalidInput invalid) noexcept {
  const WCHAR* const end = text.data() + text.size();
  if (out == nullptr) {
    return EncodeUtf8(text.data(), end, Sink<char, Room::kCountOnly>(out, 0), invalid);
  }
  if (nRoom / kMaxUtf8BytesPerUnit >= text.size()) {
    return EncodeUtf8(text.data(), end, Sink<char, Room::kEnough>(out, nRoom), invalid);
  }
  return EncodeUtf8(text.data(), end, Sink<char, Room::kChecked>(out, nRoom), invalid);
}

std::string Utf16ToUtf8(std::basic_string_view<WCHAR> text, InvalidInput invalid) {
  std::string result(text.size() * kMaxUtf8BytesPerUnit, '\0');
  const ConversionResult converted = Utf16ToUtf8(text, result.data(), result.size(), invalid);
  result.resize(converted.nUnits);
  return result;
}

std::basic_string<WCHAR> Utf8ToUtf16(std::string_view text, InvalidInput invalid) {
  std::basic_string<WCHAR> result(Utf16UnitsBound(text.size()), WCHAR{});
  const ConversionResult converted = Utf8ToUtf16(text, result.data(), result.size(), invalid);
  result.resize(converted.nUnits);
  return result;
}

bool IsValidUtf8(std::string_view text) noexcept {
  // The SIMD kernel checks whole blocks; the rest, and the block of an error,
  // are checked here: runs of ASCII a block at a time, the short ones between
  // the characters of European text by the block's mask, without a call;
  // each other character is checked, not decoded into anything.
  const unsigned char* p = BytesOf(text);
  const unsigned char* const end = p + text.size();
  p += simd::ValidUtf8Prefix(p, text.size());
  while (p != end) {
    if (static_cast<std::size_t>(end - p) >= simd::kBlockBytes) {
      const simd::Mask nonAscii = simd::HighBitMask(simd::LoadBlock(p));
      if (nonAscii == 0) {
        p += simd::kBlockBytes;
        continue;
      }
      p += std::countr_zero(nonAscii);
    } else if (*p < 0x80) {
      ++p;
      continue;
    }
    const Decoded step = DecodeMultiByte(p, end);
    if (!step.bValid) return false;
    p += step.nBytes;
  }
  return true;
}

std::size_t WholeCharacterUnits(const WCHAR* p, std::size_t nPiece) noexcept {
  const bool bEndsInHighSurrogate = (p[nPiece - 1] & 0xFC00) == 0xD800;
  return bEndsInHighSurrogate ? nPiece - 1 : nPiece;
}

std::size_t WholeCharacterUnits(const char* p, std::size_t nPiece) noexcept {
  for (std::size_t nBack = 1; nBack <= 3 && nBack <= nPiece; ++nBack) {
    if (static_cast<unsigned char>(p[nPiece - nBack]) >= 0xC2) return nPiece - nBack;
  }
  return nPiece;
}

}  // namespace kxu::platform
