// The kernels of simd.h in each of their forms, and the choice among them by
// the process's SIMD level. The SSSE3, AVX2 and AVX-512 forms are compiled for their
// instruction set function by function (the rest of the library stays at
// the SSE2 floor) and run only when the processor has it.
#include <kxutils96/platform/text/simd.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#include <kxutils96/platform/cpu/prefetch.h>
#include <kxutils96/platform/cpu/simd_level.h>
#include <kxutils96/platform/text/single_byte_page.h>

#if defined(KXU_SIMD_SSE2) && defined(__GNUC__)
#include <immintrin.h>
#define KXU_SIMD_X86_EXTENSIONS 1
#endif

namespace kxu::platform::simd {
namespace {

// A decoder's step takes as many bytes as its characters have, so each
// step's load waits for the step before, and the processor's own prefetch
// falls behind the text: each step asks for the text this far ahead (or for
// its end, when `nLeft` bytes are all that is left).
constexpr std::size_t kDecodeAheadBytes = 2048;
inline void PrefetchAheadOfDecoder(const unsigned char* pStep, std::size_t nLeft) noexcept {
  PrefetchForRead(pStep + std::min(kDecodeAheadBytes, nLeft));
}

// ---- Scalar forms: the reference for the others, and the only ones on
// processors without SSE2.

// The bytes of a word with every high bit set: a word of ASCII bytes has
// none of them. A machine word, so 32-bit builds test four bytes a step.
constexpr std::size_t kWordHighBits = static_cast<std::size_t>(0x8080808080808080u);

std::size_t AsciiPrefixLengthScalar(const unsigned char* p, std::size_t nBytes) noexcept {
  std::size_t i = 0;
  for (std::size_t word; nBytes - i >= sizeof word; i += sizeof word) {
    std::memcpy(&word, p + i, sizeof word);
    if ((word & kWordHighBits) != 0) break;
  }
  while (i < nBytes && p[i] < 0x80) ++i;
  return i;
}

std::size_t WidenAsciiScalar(const unsigned char* p, std::size_t nBytes, char16_t* out) noexcept {
  std::size_t i = 0;
  for (; i < nBytes && p[i] < 0x80; ++i) out[i] = p[i];
  return i;
}

std::size_t NarrowAsciiScalar(const char16_t* p, std::size_t nUnits, char* out) noexcept {
  std::size_t i = 0;
  for (; i < nUnits && p[i] < 0x80; ++i) out[i] = static_cast<char>(p[i]);
  return i;
}

EncodedRun EncodeBelowU0800Scalar(const char16_t* p, std::size_t nUnits, char* out,
                                  std::size_t nRoom) noexcept {
  EncodedRun run{0, 0};
  while (nUnits - run.nUnits >= kEncodeGroupUnits && nRoom - run.nBytes >= kBlockBytes) {
    const char16_t* const group = p + run.nUnits;
    bool bBelowU0800 = true;
    for (std::size_t k = 0; k < kEncodeGroupUnits; ++k) bBelowU0800 &= group[k] < 0x800;
    if (!bBelowU0800) break;
    for (std::size_t k = 0; k < kEncodeGroupUnits; ++k) {
      const char16_t unit = group[k];
      if (unit < 0x80) {
        out[run.nBytes++] = static_cast<char>(unit);
      } else {
        out[run.nBytes++] = static_cast<char>(0xC0 | (unit >> 6));
        out[run.nBytes++] = static_cast<char>(0x80 | (unit & 0x3F));
      }
    }
    run.nUnits += kEncodeGroupUnits;
  }
  return run;
}

EncodedRun EncodeFromU0800Scalar(const char16_t* p, std::size_t nUnits, char* out,
                                 std::size_t nRoom) noexcept {
  EncodedRun run{0, 0};
  while (nUnits - run.nUnits >= kEncodeGroupUnits && nRoom - run.nBytes >= 2 * kBlockBytes) {
    const char16_t* const group = p + run.nUnits;
    bool bTaken = true;
    for (std::size_t k = 0; k < kEncodeGroupUnits; ++k)
      bTaken &= group[k] < 0x80 || (group[k] >= 0x800 && (group[k] < 0xD800 || group[k] > 0xDFFF));
    if (!bTaken) break;
    for (std::size_t k = 0; k < kEncodeGroupUnits; ++k) {
      const char16_t unit = group[k];
      if (unit < 0x80) {
        out[run.nBytes++] = static_cast<char>(unit);
        continue;
      }
      out[run.nBytes++] = static_cast<char>(0xE0 | (unit >> 12));
      out[run.nBytes++] = static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
      out[run.nBytes++] = static_cast<char>(0x80 | (unit & 0x3F));
    }
    run.nUnits += kEncodeGroupUnits;
  }
  return run;
}

// Without a branch a byte: each stores the first two bytes of its entry and
// moves on by the length of a taken byte's form; a block found to hold
// another byte is written but not taken.
EncodedRun EncodePageBelowU0800Scalar(const SingleBytePage& page, const unsigned char* p,
                                      std::size_t nBytes, char* out, std::size_t nRoom) noexcept {
  EncodedRun run{0, 0};
  while (nBytes - run.nUnits >= kBlockBytes && nRoom - run.nBytes >= kPageBlockReach) {
    const unsigned char* const block = p + run.nUnits;
    unsigned nOtherLengths = 0;
    std::size_t nOut = run.nBytes;
    for (std::size_t k = 0; k < kBlockBytes; ++k) {
      const unsigned char byte = block[k];
      const unsigned nTakenLength = 1u + (byte >> 7);
      std::memcpy(out + nOut, page.utf8Ahead[byte], 2);
      nOtherLengths |= page.nUtf8Bytes[byte] ^ nTakenLength;
      nOut += nTakenLength;
    }
    if (nOtherLengths != 0) break;
    run.nBytes = nOut;
    run.nUnits += kBlockBytes;
  }
  return run;
}

// The character loop of IsValidUtf8 checks every byte itself.
std::size_t ValidUtf8PrefixScalar(const unsigned char* /*p*/, std::size_t /*nBytes*/) noexcept {
  return 0;
}

bool IsTwoByteLead(unsigned char byte) noexcept {
  return byte >= 0xC2 && byte <= 0xDF;
}

DecodedRun DecodeBelowU0800Scalar(const unsigned char* p, std::size_t nBytes, char16_t* out,
                                  std::size_t nRoom) noexcept {
  DecodedRun run{0, 0};
  while (nBytes - run.nBytes >= kBlockBytes && nRoom - run.nUnits >= kBlockBytes) {
    PrefetchAheadOfDecoder(p + run.nBytes, nBytes - run.nBytes);
    const unsigned char* const step = p + run.nBytes;
    char16_t* const units = out + run.nUnits;
    std::size_t k = 0;
    std::size_t nUnits = 0;
    while (k < kBlockBytes) {
      if (step[k] < 0x80) {
        units[nUnits++] = step[k++];
      } else if (IsTwoByteLead(step[k]) && k + 1 < kBlockBytes && (step[k + 1] & 0xC0) == 0x80) {
        units[nUnits++] = static_cast<char16_t>(((step[k] & 0x1F) << 6) | (step[k + 1] & 0x3F));
        k += 2;
      } else {
        break;
      }
    }
    const bool bLeadWaits = k == kBlockBytes - 1 && IsTwoByteLead(step[k]);
    if (k != kBlockBytes && !bLeadWaits) break;
    run.nBytes += k;
    run.nUnits += nUnits;
  }
  return run;
}

// Bytes and units of one step of DecodeFromU0800, and what a step may write.
constexpr std::size_t kThreeByteStepUnits = kDecodeThreeByteStep / 3;
constexpr std::size_t kThreeByteStepRead = 16;
constexpr std::size_t kThreeByteStepStores = 8;

// A mixed step of DecodeFromU0800 (ASCII among three-byte sequences) looks
// at the first 12 bytes of a block, by which bytes start a character (all
// but continuation bytes): a start followed by a start is ASCII, a start
// followed by two others a three-byte sequence. It takes whole characters
// so found, at most 8 units; an ASCII byte is taken only when the byte after
// it is among the 12 too, so the shape depends on those 12 bits alone.
constexpr unsigned kMixedStepBytes = 12;
constexpr unsigned kMixedStepStarts = (1u << kMixedStepBytes) - 1;

struct MixedShape {
  unsigned nBytes = 0;
  unsigned nUnits = 0;
  unsigned leads = 0;  // bits of the three-byte sequences' leads
  unsigned ascii = 0;  // bits of the ASCII bytes
  unsigned kinds = 1;  // a bit a unit (1 for three bytes) after a leading 1
};

constexpr MixedShape MixedShapeOf(unsigned starts) noexcept {
  MixedShape shape;
  const auto isStart = [starts](unsigned at) { return at < kMixedStepBytes && (starts >> at & 1); };
  unsigned at = 0;
  while (shape.nUnits < kThreeByteStepStores && isStart(at)) {
    if (isStart(at + 1)) {
      shape.ascii |= 1u << at;
      shape.kinds <<= 1;
      at += 1;
    } else if (at + 2 < kMixedStepBytes && !isStart(at + 2)) {
      shape.leads |= 1u << at;
      shape.kinds = shape.kinds << 1 | 1;
      at += 3;
    } else {
      break;
    }
    ++shape.nUnits;
  }
  shape.nBytes = at;
  return shape;
}

bool IsThreeByteUnit(unsigned unit) noexcept {
  return unit >= 0x800 && (unit < 0xD800 || unit > 0xDFFF);
}

// Decodes five well-formed three-byte sequences at `step` to `units`;
// false (units undefined) when they are not.
bool DecodeThreeByteStep(const unsigned char* step, char16_t* units) noexcept {
  bool bWellFormed = true;
  for (std::size_t k = 0; k < kThreeByteStepUnits; ++k) {
    const unsigned char* const sequence = step + 3 * k;
    const unsigned unit =
        (sequence[0] & 0x0Fu) << 12 | (sequence[1] & 0x3Fu) << 6 | (sequence[2] & 0x3Fu);
    bWellFormed &= (sequence[0] & 0xF0) == 0xE0 && (sequence[1] & 0xC0) == 0x80 &&
                   (sequence[2] & 0xC0) == 0x80 && IsThreeByteUnit(unit);
    units[k] = static_cast<char16_t>(unit);
  }
  return bWellFormed;
}

// Decodes a mixed step at `step` to `units`; the shape taken, none (zero
// bytes) when its characters are not ASCII and well-formed three-byte ones.
MixedShape DecodeMixedStep(const unsigned char* step, char16_t* units) noexcept {
  unsigned starts = 0;
  for (unsigned k = 0; k < kMixedStepBytes; ++k) starts |= unsigned{(step[k] & 0xC0) != 0x80} << k;
  const MixedShape shape = MixedShapeOf(starts);
  unsigned at = 0;
  for (unsigned k = 0; k < shape.nUnits; ++k) {
    if (shape.ascii >> at & 1) {
      if (step[at] >= 0x80) return {};
      units[k] = step[at++];
      continue;
    }
    const unsigned unit =
        (step[at] & 0x0Fu) << 12 | (step[at + 1] & 0x3Fu) << 6 | (step[at + 2] & 0x3Fu);
    if ((step[at] & 0xF0) != 0xE0 || !IsThreeByteUnit(unit)) return {};
    units[k] = static_cast<char16_t>(unit);
    at += 3;
  }
  return shape;
}

DecodedRun DecodeFromU0800Scalar(const unsigned char* p, std::size_t nBytes, char16_t* out,
                                 std::size_t nRoom) noexcept {
  DecodedRun run{0, 0};
  while (nBytes - run.nBytes >= kThreeByteStepRead && nRoom - run.nUnits >= kThreeByteStepStores) {
    PrefetchAheadOfDecoder(p + run.nBytes, nBytes - run.nBytes);
    const unsigned char* const step = p + run.nBytes;
    char16_t units[kThreeByteStepStores];
    if (DecodeThreeByteStep(step, units)) {
      std::memcpy(out + run.nUnits, units, kThreeByteStepUnits * sizeof units[0]);
      run.nBytes += kDecodeThreeByteStep;
      run.nUnits += kThreeByteStepUnits;
      continue;
    }
    const MixedShape shape = DecodeMixedStep(step, units);
    if (shape.nBytes == 0) break;
    std::memcpy(out + run.nUnits, units, shape.nUnits * sizeof units[0]);
    run.nBytes += shape.nBytes;
    run.nUnits += shape.nUnits;
  }
  return run;
}

// Each block holds a unit before the NUL or the bound, which the caller
// vouches for, so its page is the text's. (ZeroUnitMask is the SSE2 form
// wherever the build has SSE2.)
KXU_READS_WHOLE_BLOCKS std::size_t FindNulInBlocks(const char16_t* p, std::size_t nUnits) noexcept {
  for (std::size_t i = 0; i < nUnits; i += kBlockBytes) {
    if (const Mask zeros = ZeroUnitMask(p + i); zeros != 0) {
      return std::min(i + static_cast<std::size_t>(std::countr_zero(zeros)), nUnits);
    }
  }
  return nUnits;
}

#if defined(KXU_SIMD_SSE2)
// ---- SSE2 forms: a block of 16 a step, the scalar form for the rest.

std::size_t AsciiPrefixLengthSse2(const unsigned char* p, std::size_t nBytes) noexcept {
  std::size_t i = 0;
  for (; nBytes - i >= kBlockBytes; i += kBlockBytes) {
    const Mask nonAscii = HighBitMask(LoadBlock(p + i));
    if (nonAscii != 0) return i + static_cast<std::size_t>(std::countr_zero(nonAscii));
  }
  return i + AsciiPrefixLengthScalar(p + i, nBytes - i);
}

std::size_t WidenAsciiSse2(const unsigned char* p, std::size_t nBytes, char16_t* out) noexcept {
  std::size_t i = 0;
  for (; nBytes - i >= kBlockBytes; i += kBlockBytes) {
    const Block block = LoadBlock(p + i);
    StoreWidened(block, out + i);
    const Mask nonAscii = HighBitMask(block);
    if (nonAscii != 0) return i + static_cast<std::size_t>(std::countr_zero(nonAscii));
  }
  return i + WidenAsciiScalar(p + i, nBytes - i, out + i);
}

std::size_t NarrowAsciiSse2(const char16_t* p, std::size_t nUnits, char* out) noexcept {
  std::size_t i = 0;
  for (; nUnits - i >= kBlockBytes; i += kBlockBytes) {
    const Block block = LoadNarrowed(p + i);
    StoreBlock(out + i, block);
    const Mask nonAscii = HighBitMask(block);
    if (nonAscii != 0) return i + static_cast<std::size_t>(std::countr_zero(nonAscii));
  }
  return i + NarrowAsciiScalar(p + i, nUnits - i, out + i);
}

// A block a step, going from each byte with a two-byte form to the next: the
// rest of the block moves whole, stored after that byte's form.
EncodedRun EncodePageBelowU0800Sse2(const SingleBytePage& page, const unsigned char* p,
                                    std::size_t nBytes, char* out, std::size_t nRoom) noexcept {
  EncodedRun run{0, 0};
  // The rest of a block is loaded whole, reading up to 16 bytes past it.
  while (nBytes - run.nUnits >= 2 * kBlockBytes && nRoom - run.nBytes >= kPageBlockReach) {
    const unsigned char* const block = p + run.nUnits;
    char* pOut = out + run.nBytes;
    bool bOtherLength = false;
    StoreBlock(pOut, LoadBlock(block));
    for (Mask high = HighBitMask(LoadBlock(block)); high != 0; high &= high - 1) {
      const auto at = static_cast<std::size_t>(std::countr_zero(high));
      bOtherLength |= page.nUtf8Bytes[block[at]] != 2;
      std::memcpy(pOut + at, page.utf8Ahead[block[at]], 2);
      StoreBlock(pOut + at + 2, LoadBlock(block + at + 1));
      ++pOut;
    }
    if (bOtherLength) break;
    run.nBytes = static_cast<std::size_t>(pOut - out) + kBlockBytes;
    run.nUnits += kBlockBytes;
  }
  const EncodedRun rest = EncodePageBelowU0800Scalar(page, p + run.nUnits, nBytes - run.nUnits,
                                                     out + run.nBytes, nRoom - run.nBytes);
  return {run.nUnits + rest.nUnits, run.nBytes + rest.nBytes};
}
#endif

#if defined(KXU_SIMD_X86_EXTENSIONS)
// ---- SSSE3 forms: the UTF-8 encoders, which shuffle bytes.

constexpr int kGroupUnits = static_cast<int>(kEncodeGroupUnits);
constexpr int kGroupShapes = 1 << kGroupUnits;

// The set bits of each group shape. std::popcount is a library call where
// the POPCNT instruction is not assumed, as it cannot be at the SSSE3 level.
struct ShapeBitCounts {
  unsigned char of[kGroupShapes];
};
constexpr ShapeBitCounts MakeShapeBitCounts() {
  ShapeBitCounts counts{};
  for (int nShape = 0; nShape < kGroupShapes; ++nShape) {
    counts.of[nShape] = static_cast<unsigned char>(std::popcount(static_cast<unsigned>(nShape)));
  }
  return counts;
}
constexpr ShapeBitCounts kShapeBitCounts = MakeShapeBitCounts();
constexpr unsigned char kZeroByte = 0x80;  // a shuffle index that yields 0

// For each set of non-ASCII units in a group of eight (bit k for unit k): the
// shuffle that keeps, unit by unit, the first byte of its pair (the ASCII
// byte or the lead byte) and, for a non-ASCII unit, the second (the trail).
struct GroupShuffles {
  alignas(16) unsigned char order[kGroupShapes][kBlockBytes];
};

constexpr GroupShuffles MakeGroupShuffles() {
  GroupShuffles shuffles{};
  for (int shape = 0; shape < kGroupShapes; ++shape) {
    int n = 0;
    for (int unit = 0; unit < kGroupUnits; ++unit) {
      shuffles.order[shape][n++] = static_cast<unsigned char>(2 * unit);
      if ((shape >> unit) & 1)
        shuffles.order[shape][n++] = static_cast<unsigned char>(2 * unit + 1);
    }
    while (n < static_cast<int>(kBlockBytes)) shuffles.order[shape][n++] = kZeroByte;
  }
  return shuffles;
}

constexpr GroupShuffles kGroupShuffles = MakeGroupShuffles();

// 10xxxxxx, a continuation byte, from the low six bits of each 16-bit lane.
inline __m128i ContinuationBytes(__m128i bits) noexcept {
  return _mm_or_si128(_mm_and_si128(bits, _mm_set1_epi16(0x3F)), _mm_set1_epi16(0x80));
}

__attribute__((target("ssse3"))) EncodedRun EncodeBelowU0800WithSsse3(const char16_t* p,
                                                                      std::size_t nUnits, char* out,
                                                                      std::size_t nRoom) noexcept {
  const __m128i zero = _mm_setzero_si128();
  const __m128i fromU0800 = _mm_set1_epi16(static_cast<short>(0xF800));
  const __m128i nonAsciiBits = _mm_set1_epi16(static_cast<short>(0xFF80));
  const __m128i leadMark = _mm_set1_epi16(0xC0);
  EncodedRun run{0, 0};
  while (nUnits - run.nUnits >= kGroupUnits && nRoom - run.nBytes >= kBlockBytes) {
    const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + run.nUnits));
    if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(units, fromU0800), zero)) != 0xFFFF) break;
    const __m128i ascii = _mm_cmpeq_epi16(_mm_and_si128(units, nonAsciiBits), zero);
    // Each unit as a pair of bytes: the ASCII byte or 110xxxxx, then 10xxxxxx.
    const __m128i lead = _mm_or_si128(_mm_srli_epi16(units, 6), leadMark);
    const __m128i first = _mm_or_si128(_mm_and_si128(ascii, units), _mm_andnot_si128(ascii, lead));
    const __m128i trail = _mm_slli_epi16(ContinuationBytes(units), 8);
    const auto nonAscii =
        static_cast<unsigned>(~_mm_movemask_epi8(_mm_packs_epi16(ascii, zero))) & 0xFFu;
    const __m128i order =
        _mm_load_si128(reinterpret_cast<const __m128i*>(kGroupShuffles.order[nonAscii]));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + run.nBytes),
                     _mm_shuffle_epi8(_mm_or_si128(first, trail), order));
    run.nUnits += kGroupUnits;
    run.nBytes += kGroupUnits + std::size_t{kShapeBitCounts.of[nonAscii]};
  }
  return run;
}

// For each set of ASCII units in a group of eight (bit k for unit k), the
// shuffles that spread the group's forms, held as first-and-second bytes (one
// pair a unit: the ASCII byte or the lead, then the second byte) and third
// bytes (one a unit, in the low half), to the 8 to 24 bytes of its UTF-8 in
// order: the first 16 bytes, then the rest. Each output byte is taken from
// one of the two inputs; the other shuffle gives 0 there.
struct ThreeByteShuffles {
  alignas(16) unsigned char pairs[kGroupShapes][2][kBlockBytes];
  alignas(16) unsigned char thirds[kGroupShapes][2][kBlockBytes];
};

constexpr ThreeByteShuffles MakeThreeByteShuffles() {
  ThreeByteShuffles shuffles{};
  for (int shape = 0; shape < kGroupShapes; ++shape) {
    unsigned char pairs[2 * kBlockBytes];
    unsigned char thirds[2 * kBlockBytes];
    for (std::size_t at = 0; at < 2 * kBlockBytes; ++at) pairs[at] = thirds[at] = kZeroByte;
    int n = 0;
    for (int unit = 0; unit < kGroupUnits; ++unit) {
      pairs[n++] = static_cast<unsigned char>(2 * unit);
      if ((shape >> unit) & 1) continue;
      pairs[n++] = static_cast<unsigned char>(2 * unit + 1);
      thirds[n++] = static_cast<unsigned char>(unit);
    }
    for (std::size_t at = 0; at < 2 * kBlockBytes; ++at) {
      shuffles.pairs[shape][at / kBlockBytes][at % kBlockBytes] = pairs[at];
      shuffles.thirds[shape][at / kBlockBytes][at % kBlockBytes] = thirds[at];
    }
  }
  return shuffles;
}

constexpr ThreeByteShuffles kThreeByteShuffles = MakeThreeByteShuffles();

__m128i LoadShuffle(const unsigned char* order) noexcept {
  return _mm_load_si128(reinterpret_cast<const __m128i*>(order));
}

__attribute__((target("ssse3"))) EncodedRun EncodeFromU0800WithSsse3(const char16_t* p,
                                                                     std::size_t nUnits, char* out,
                                                                     std::size_t nRoom) noexcept {
  const __m128i zero = _mm_setzero_si128();
  const __m128i topBits = _mm_set1_epi16(static_cast<short>(0xF800));
  const __m128i nonAsciiBits = _mm_set1_epi16(static_cast<short>(0xFF80));
  const __m128i surrogateTop = _mm_set1_epi16(static_cast<short>(0xD800));
  const __m128i leadMark = _mm_set1_epi16(0xE0);
  EncodedRun run{0, 0};
  while (nUnits - run.nUnits >= kGroupUnits && nRoom - run.nBytes >= 2 * kBlockBytes) {
    const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + run.nUnits));
    // Every unit ASCII or from U+0800 on, and none a surrogate.
    const __m128i top = _mm_and_si128(units, topBits);
    const __m128i ascii = _mm_cmpeq_epi16(_mm_and_si128(units, nonAsciiBits), zero);
    const __m128i refused = _mm_or_si128(_mm_andnot_si128(ascii, _mm_cmpeq_epi16(top, zero)),
                                         _mm_cmpeq_epi16(top, surrogateTop));
    if (_mm_movemask_epi8(refused) != 0) break;
    // The ASCII byte, or 1110xxxx and 10xxxxxx, as a pair a unit, then
    // 10xxxxxx a unit.
    const __m128i lead = _mm_or_si128(_mm_srli_epi16(units, 12), leadMark);
    const __m128i first = _mm_or_si128(_mm_and_si128(ascii, units), _mm_andnot_si128(ascii, lead));
    const __m128i second = ContinuationBytes(_mm_srli_epi16(units, 6));
    const __m128i pairs = _mm_or_si128(first, _mm_slli_epi16(second, 8));
    const __m128i thirds = _mm_packus_epi16(ContinuationBytes(units), zero);
    const auto shape = static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(ascii, zero)));
    for (int half = 0; half < 2; ++half) {
      const __m128i bytes = _mm_or_si128(
          _mm_shuffle_epi8(pairs, LoadShuffle(kThreeByteShuffles.pairs[shape][half])),
          _mm_shuffle_epi8(thirds, LoadShuffle(kThreeByteShuffles.thirds[shape][half])));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + run.nBytes + half * kBlockBytes), bytes);
    }
    run.nUnits += kGroupUnits;
    run.nBytes += 3 * kEncodeGroupUnits - 2 * std::size_t{kShapeBitCounts.of[shape]};
  }
  return run;
}

// The two-byte forms as shuffle tables, eight rows of 16 bytes: a byte's
// row is looked up by shuffling with its index (byte & 0x7F) less 16 a row,
// which shuffles to 0 once negative. Each row holds its forms XORed with
// the row before, so that the shuffles of all rows XORed leave the byte's
// own form.
constexpr int kFormRows = static_cast<int>(TwoByteForms::kHighBytes / kBlockBytes);

struct FormRows {
  __m128i leads[kFormRows];
  __m128i trails[kFormRows];
};

void LoadCascade(const unsigned char* forms, __m128i* rows) noexcept {
  __m128i before = _mm_setzero_si128();
  for (int row = 0; row < kFormRows; ++row) {
    const __m128i current = LoadShuffle(forms + row * kBlockBytes);
    rows[row] = _mm_xor_si128(current, before);
    before = current;
  }
}

__attribute__((target("ssse3"))) EncodedRun EncodePageBelowU0800WithSsse3(
    const SingleBytePage& page, const unsigned char* p, std::size_t nBytes, char* out,
    std::size_t nRoom) noexcept {
  FormRows rows;
  LoadCascade(page.twoByteForms.leads, rows.leads);
  LoadCascade(page.twoByteForms.trails, rows.trails);
  const __m128i zero = _mm_setzero_si128();
  const __m128i rowStep = _mm_set1_epi8(static_cast<char>(kBlockBytes));
  EncodedRun run{0, 0};
  while (nBytes - run.nUnits >= kBlockBytes && nRoom - run.nBytes >= kPageBlockReach) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + run.nUnits));
    __m128i index = _mm_and_si128(bytes, _mm_set1_epi8(0x7F));
    __m128i lead = _mm_shuffle_epi8(rows.leads[0], index);
    __m128i trail = _mm_shuffle_epi8(rows.trails[0], index);
#pragma GCC unroll 8
    for (int row = 1; row < kFormRows; ++row) {
      index = _mm_sub_epi8(index, rowStep);
      lead = _mm_xor_si128(lead, _mm_shuffle_epi8(rows.leads[row], index));
      trail = _mm_xor_si128(trail, _mm_shuffle_epi8(rows.trails[row], index));
    }
    const auto high = static_cast<unsigned>(_mm_movemask_epi8(bytes));
    if ((static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(lead, zero))) & high) != 0) break;
    // The ASCII byte or the lead, then the trail, a pair a byte, kept as
    // EncodeBelowU0800 keeps its pairs.
    const __m128i isHigh = _mm_cmplt_epi8(bytes, zero);
    const __m128i first =
        _mm_or_si128(_mm_and_si128(isHigh, lead), _mm_andnot_si128(isHigh, bytes));
    for (int half = 0; half < 2; ++half) {
      const __m128i pairs =
          half == 0 ? _mm_unpacklo_epi8(first, trail) : _mm_unpackhi_epi8(first, trail);
      const unsigned shape = (high >> (8 * half)) & 0xFF;
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + run.nBytes),
                       _mm_shuffle_epi8(pairs, LoadShuffle(kGroupShuffles.order[shape])));
      run.nBytes += kEncodeGroupUnits + std::size_t{kShapeBitCounts.of[shape]};
    }
    run.nUnits += kBlockBytes;
  }
  return run;
}

// For each set of bytes in half a block that start no unit (bit k for byte
// k: a continuation byte, or a lead left to the next step): the shuffle that
// gathers the 16-bit units of the others.
struct HalfBlockShuffles {
  alignas(16) unsigned char order[256][kBlockBytes];
};

constexpr HalfBlockShuffles MakeHalfBlockShuffles() {
  HalfBlockShuffles shuffles{};
  for (int shape = 0; shape < 256; ++shape) {
    int n = 0;
    for (int unit = 0; unit < 8; ++unit) {
      if ((shape >> unit) & 1) continue;
      shuffles.order[shape][n++] = static_cast<unsigned char>(2 * unit);
      shuffles.order[shape][n++] = static_cast<unsigned char>(2 * unit + 1);
    }
    while (n < static_cast<int>(kBlockBytes)) shuffles.order[shape][n++] = kZeroByte;
  }
  return shuffles;
}

constexpr HalfBlockShuffles kHalfBlockShuffles = MakeHalfBlockShuffles();

__attribute__((target("ssse3"))) DecodedRun DecodeBelowU0800WithSsse3(const unsigned char* p,
                                                                      std::size_t nBytes,
                                                                      char16_t* out,
                                                                      std::size_t nRoom) noexcept {
  constexpr unsigned kWholeStep = 0xFFFF;
  const __m128i zero = _mm_setzero_si128();
  DecodedRun run{0, 0};
  while (nBytes - run.nBytes >= kBlockBytes && nRoom - run.nUnits >= kBlockBytes) {
    PrefetchAheadOfDecoder(p + run.nBytes, nBytes - run.nBytes);
    // Compared as signed bytes: continuations are -128..-65, two-byte leads
    // C2..DF are -62..-33.
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + run.nBytes));
    const unsigned ascii = ~static_cast<unsigned>(_mm_movemask_epi8(bytes)) & kWholeStep;
    const auto continuations =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_cmplt_epi8(bytes, _mm_set1_epi8(-64))));
    const auto leads = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(
        _mm_cmpgt_epi8(bytes, _mm_set1_epi8(-63)), _mm_cmplt_epi8(bytes, _mm_set1_epi8(-32)))));
    // A lead in the last byte waits for the next step.
    const unsigned taken = (leads >> 15) != 0 ? kWholeStep >> 1 : kWholeStep;
    const unsigned takenLeads = leads & taken;
    if (((ascii | takenLeads | continuations) & taken) != taken ||
        (continuations & taken) != takenLeads << 1)
      break;
    // Each byte as a unit: an ASCII byte as it is, a lead with the next byte.
    const __m128i nextBytes = _mm_srli_si128(bytes, 1);
    const unsigned startsNoUnit = ~(ascii | takenLeads) & kWholeStep;
    for (int half = 0; half < 2; ++half) {
      const __m128i first =
          half == 0 ? _mm_unpacklo_epi8(bytes, zero) : _mm_unpackhi_epi8(bytes, zero);
      const __m128i second =
          half == 0 ? _mm_unpacklo_epi8(nextBytes, zero) : _mm_unpackhi_epi8(nextBytes, zero);
      const __m128i twoByte =
          _mm_or_si128(_mm_slli_epi16(_mm_and_si128(first, _mm_set1_epi16(0x1F)), 6),
                       _mm_and_si128(second, _mm_set1_epi16(0x3F)));
      const __m128i isAscii = _mm_cmplt_epi16(first, _mm_set1_epi16(0x80));
      const __m128i units =
          _mm_or_si128(_mm_and_si128(isAscii, first), _mm_andnot_si128(isAscii, twoByte));
      const unsigned shape = (startsNoUnit >> (8 * half)) & 0xFF;
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + run.nUnits),
                       _mm_shuffle_epi8(units, LoadShuffle(kHalfBlockShuffles.order[shape])));
      run.nUnits += 8 - std::size_t{kShapeBitCounts.of[shape]};
    }
    run.nBytes += taken == kWholeStep ? kBlockBytes : kBlockBytes - 1;
  }
  return run;
}

// The leads and continuation bytes of five three-byte sequences in a block's
// first 15 bytes, as bits; the mask of those bytes.
constexpr unsigned kThreeByteLeads = 0x1249;
constexpr unsigned kThreeByteContinuations = 0x6DB6;
constexpr unsigned kThreeByteStepBits = 0x7FFF;

// For each set of character starts among a block's first 12 bytes (bit k
// for byte k): the mixed step's shape, as an index into the shapes met, and
// for each shape the shuffles that put its units' leads (low byte of each
// 16-bit lane; zero for ASCII) and their middle and last bytes (the middle
// one high, zero for ASCII; the last one low, the ASCII byte itself) in the
// units' lanes.
constexpr std::size_t kMixedShapes = 134;  // orders of 0 to 8 units that fit

struct MixedStepTable {
  unsigned char shapeOf[kMixedStepStarts + 1];
  MixedShape shapes[kMixedShapes];
  alignas(16) unsigned char leadOrder[kMixedShapes][kBlockBytes];
  alignas(16) unsigned char tailOrder[kMixedShapes][kBlockBytes];
};

constexpr MixedStepTable MakeMixedStepTable() {
  MixedStepTable table{};
  constexpr unsigned kNoShape = 0xFF;
  unsigned char shapeOfKinds[1u << (kThreeByteStepStores + 1)];
  for (unsigned char& shape : shapeOfKinds) shape = kNoShape;
  std::size_t nShapes = 0;
  for (unsigned starts = 0; starts <= kMixedStepStarts; ++starts) {
    const MixedShape shape = MixedShapeOf(starts);
    if (shapeOfKinds[shape.kinds] == kNoShape) {
      if (nShapes == kMixedShapes) throw "more mixed shapes than kMixedShapes";
      shapeOfKinds[shape.kinds] = static_cast<unsigned char>(nShapes);
      table.shapes[nShapes] = shape;
      unsigned char* const lead = table.leadOrder[nShapes];
      unsigned char* const tail = table.tailOrder[nShapes];
      for (std::size_t at = 0; at < kBlockBytes; ++at) lead[at] = tail[at] = kZeroByte;
      unsigned at = 0;
      for (std::size_t unit = 0; unit < shape.nUnits; ++unit) {
        if (shape.ascii >> at & 1) {
          tail[2 * unit] = static_cast<unsigned char>(at++);
          continue;
        }
        lead[2 * unit] = static_cast<unsigned char>(at);
        tail[2 * unit + 1] = static_cast<unsigned char>(at + 1);
        tail[2 * unit] = static_cast<unsigned char>(at + 2);
        at += 3;
      }
      ++nShapes;
    }
    table.shapeOf[starts] = shapeOfKinds[shape.kinds];
  }
  if (nShapes != kMixedShapes) throw "fewer mixed shapes than kMixedShapes";
  return table;
}

constexpr MixedStepTable kMixedStepTable = MakeMixedStepTable();

// Puts the units whose leads (low byte of each 16-bit lane, zero for ASCII)
// and middle and last bytes (middle << 8 | last; the ASCII byte as the last)
// the shuffles take from `bytes` at `out`, 8 units; false when a three-byte
// one is below U+0800 (an overlong form) or a surrogate. Lanes the shuffles
// leave zero are ASCII NULs here, never out of range.
__attribute__((target("ssse3"))) inline bool PutThreeByteLanes(__m128i bytes, __m128i leadOrder,
                                                               __m128i tailOrder,
                                                               char16_t* out) noexcept {
  const __m128i leads = _mm_shuffle_epi8(bytes, leadOrder);
  const __m128i tails = _mm_shuffle_epi8(bytes, tailOrder);
  // A continuation byte has bit 6 clear, so the last byte's seven low bits
  // serve both kinds.
  const __m128i units =
      _mm_or_si128(_mm_or_si128(_mm_slli_epi16(leads, 12),
                                _mm_srli_epi16(_mm_and_si128(tails, _mm_set1_epi16(0x3F00)), 2)),
                   _mm_and_si128(tails, _mm_set1_epi16(0x7F)));
  // Told by the top five bits.
  const __m128i zero = _mm_setzero_si128();
  const __m128i top = _mm_and_si128(units, _mm_set1_epi16(static_cast<short>(0xF800)));
  const __m128i overlong =
      _mm_andnot_si128(_mm_cmpeq_epi16(leads, zero), _mm_cmpeq_epi16(top, zero));
  const __m128i outOfRange =
      _mm_or_si128(overlong, _mm_cmpeq_epi16(top, _mm_set1_epi16(static_cast<short>(0xD800))));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), units);
  return _mm_movemask_epi8(outOfRange) == 0;
}

__attribute__((target("ssse3"))) DecodedRun DecodeFromU0800WithSsse3(const unsigned char* p,
                                                                     std::size_t nBytes,
                                                                     char16_t* out,
                                                                     std::size_t nRoom) noexcept {
  const __m128i tailOrder = _mm_setr_epi8(2, 1, 5, 4, 8, 7, 11, 10, 14, 13, -1, -1, -1, -1, -1, -1);
  const __m128i leadOrder =
      _mm_setr_epi8(0, -1, 3, -1, 6, -1, 9, -1, 12, -1, -1, -1, -1, -1, -1, -1);
  DecodedRun run{0, 0};
  while (nBytes - run.nBytes >= kThreeByteStepRead && nRoom - run.nUnits >= kThreeByteStepStores) {
    PrefetchAheadOfDecoder(p + run.nBytes, nBytes - run.nBytes);
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + run.nBytes));
    const auto leads = static_cast<unsigned>(_mm_movemask_epi8(
        _mm_cmpeq_epi8(_mm_and_si128(bytes, _mm_set1_epi8(-16)), _mm_set1_epi8(-32))));
    const auto continuations = static_cast<unsigned>(_mm_movemask_epi8(
        _mm_cmpeq_epi8(_mm_and_si128(bytes, _mm_set1_epi8(-64)), _mm_set1_epi8(-128))));
    if ((leads & kThreeByteStepBits) == kThreeByteLeads &&
        (continuations & kThreeByteStepBits) == kThreeByteContinuations) {
      if (!PutThreeByteLanes(bytes, leadOrder, tailOrder, out + run.nUnits)) break;
      run.nBytes += kDecodeThreeByteStep;
      run.nUnits += kThreeByteStepUnits;
      continue;
    }
    // A mixed step; its shape tells where the leads and ASCII bytes must be.
    const std::size_t nShape = kMixedStepTable.shapeOf[~continuations & kMixedStepStarts];
    const MixedShape& shape = kMixedStepTable.shapes[nShape];
    const unsigned taken = (1u << shape.nBytes) - 1;
    const unsigned ascii = ~static_cast<unsigned>(_mm_movemask_epi8(bytes));
    if (shape.nBytes == 0 || (leads & taken) != shape.leads || (ascii & taken) != shape.ascii ||
        !PutThreeByteLanes(bytes, LoadShuffle(kMixedStepTable.leadOrder[nShape]),
                           LoadShuffle(kMixedStepTable.tailOrder[nShape]), out + run.nUnits))
      break;
    run.nBytes += shape.nBytes;
    run.nUnits += shape.nUnits;
  }
  return run;
}

// ---- UTF-8 validation a block at a time. Every error shows in a pair of
// adjacent bytes, but for a missing third or fourth byte: each pair is
// classified by three table lookups (the high and the low half of the byte
// before, the high half of the byte itself), whose AND keeps a bit for each
// error the pair shows; a byte that a lead two or three bytes back needs as
// a continuation is then told from a stray continuation byte.

// The errors a pair of bytes (before, after) can show, a bit each.
enum Utf8PairError : unsigned char {
  kTooShort = 1 << 0,                // a lead, then no continuation byte
  kTooLong = 1 << 1,                 // ASCII, then a continuation byte
  kOverlongThree = 1 << 2,           // E0, then 80..9F
  kTooLarge = 1 << 3,                // F4..FF, then 90..BF: past U+10FFFF
  kSurrogate = 1 << 4,               // ED, then A0..BF
  kOverlongTwo = 1 << 5,             // C0 or C1, then a continuation byte
  kOverlongFourOrTooLarge = 1 << 6,  // F0 or F5..FF, then 80..8F
  kTwoContinuations = 1 << 7,        // an error unless a lead before needs the second
};

// A set of values of a byte's high or low half (bit n for the value n).
using Nibbles = unsigned;
constexpr Nibbles NibbleRange(unsigned first, unsigned last) {
  return ((2u << last) - 1) & ~((1u << first) - 1);
}
constexpr Nibbles kAnyNibble = NibbleRange(0, 15);
constexpr Nibbles kAsciiHigh = NibbleRange(0, 7);
constexpr Nibbles kContinuationHigh = NibbleRange(8, 11);
constexpr Nibbles kLeadHigh = NibbleRange(12, 15);

// An error and the halves of the two bytes that show it: every error is
// exactly the pairs whose three halves each lie in its set.
struct PairRule {
  unsigned char error;
  Nibbles beforeHigh;
  Nibbles beforeLow;
  Nibbles afterHigh;
};

constexpr PairRule kPairRules[] = {
    {kTooShort, kLeadHigh, kAnyNibble, kAsciiHigh | kLeadHigh},
    {kTooLong, kAsciiHigh, kAnyNibble, kContinuationHigh},
    {kOverlongThree, NibbleRange(14, 14), NibbleRange(0, 0), NibbleRange(8, 9)},
    {kTooLarge, NibbleRange(15, 15), NibbleRange(4, 15), NibbleRange(9, 11)},
    {kSurrogate, NibbleRange(14, 14), NibbleRange(13, 13), NibbleRange(10, 11)},
    {kOverlongTwo, NibbleRange(12, 12), NibbleRange(0, 1), kContinuationHigh},
    {kOverlongFourOrTooLarge, NibbleRange(15, 15), NibbleRange(0, 0) | NibbleRange(5, 15),
     NibbleRange(8, 8)},
    {kTwoContinuations, kContinuationHigh, kAnyNibble, kContinuationHigh},
};

// For each of the three halves, by its value, the errors it allows.
struct PairErrorTables {
  unsigned char beforeHigh[kBlockBytes];
  unsigned char beforeLow[kBlockBytes];
  unsigned char afterHigh[kBlockBytes];
};

constexpr PairErrorTables MakePairErrorTables() {
  PairErrorTables tables{};
  for (const PairRule& rule : kPairRules) {
    for (unsigned n = 0; n < kBlockBytes; ++n) {
      if ((rule.beforeHigh >> n & 1) != 0) tables.beforeHigh[n] |= rule.error;
      if ((rule.beforeLow >> n & 1) != 0) tables.beforeLow[n] |= rule.error;
      if ((rule.afterHigh >> n & 1) != 0) tables.afterHigh[n] |= rule.error;
    }
  }
  return tables;
}

constexpr PairErrorTables kPairErrorTables = MakePairErrorTables();

__attribute__((target("ssse3"))) inline __m128i LoadTable(const unsigned char* table) noexcept {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(table));
}

// Each byte's high half, as a table index.
__attribute__((target("ssse3"))) inline __m128i HighHalves(__m128i bytes) noexcept {
  return _mm_and_si128(_mm_srli_epi16(bytes, 4), _mm_set1_epi8(0x0F));
}

// Nonzero bytes where the block `bytes`, after the block `before`, shows an
// error other than text cut short at its end.
__attribute__((target("ssse3"))) __m128i Utf8BlockErrors(__m128i bytes, __m128i before) noexcept {
  const __m128i before1 = _mm_alignr_epi8(bytes, before, 15);
  const __m128i pairErrors = _mm_and_si128(
      _mm_and_si128(_mm_shuffle_epi8(LoadTable(kPairErrorTables.beforeHigh), HighHalves(before1)),
                    _mm_shuffle_epi8(LoadTable(kPairErrorTables.beforeLow),
                                     _mm_and_si128(before1, _mm_set1_epi8(0x0F)))),
      _mm_shuffle_epi8(LoadTable(kPairErrorTables.afterHigh), HighHalves(bytes)));
  // The high bit of each byte whose lead, two or three bytes back, needs it
  // as a continuation byte: leads E0 and up two back, F0 and up three back.
  const __m128i before2 = _mm_alignr_epi8(bytes, before, 14);
  const __m128i before3 = _mm_alignr_epi8(bytes, before, 13);
  const __m128i needed = _mm_and_si128(_mm_or_si128(_mm_subs_epu8(before2, _mm_set1_epi8(0x60)),
                                                    _mm_subs_epu8(before3, _mm_set1_epi8(0x70))),
                                       _mm_set1_epi8(static_cast<char>(0x80)));
  return _mm_xor_si128(pairErrors, needed);
}

// Nonzero bytes where `bytes` ends inside a character: a lead from C0 in its
// last byte, from E0 in the one before, from F0 in the one before that.
__attribute__((target("ssse3"))) __m128i Utf8CutShort(__m128i bytes) noexcept {
  const __m128i largestWhole =
      _mm_setr_epi8(-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, static_cast<char>(0xEF),
                    static_cast<char>(0xDF), static_cast<char>(0xBF));
  return _mm_subs_epu8(bytes, largestWhole);
}

// Backs `nBytes` off to the start of the character the bytes before it end
// in when that may be cut short, so that a checked prefix ends with a
// whole character.
std::size_t BackToCharacterStart(const unsigned char* p, std::size_t nBytes) noexcept {
  std::size_t n = nBytes;
  while (n != 0 && nBytes - n < 3 && (p[n - 1] & 0xC0) == 0x80) --n;
  if (n != 0 && p[n - 1] >= 0xC0) return n - 1;
  return n;
}

__attribute__((target("ssse3"))) std::size_t ValidUtf8PrefixWithSsse3(const unsigned char* p,
                                                                      std::size_t nBytes) noexcept {
  __m128i before = _mm_setzero_si128();
  __m128i cutShort = _mm_setzero_si128();
  std::size_t n = 0;
  for (; nBytes - n >= kBlockBytes; n += kBlockBytes) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + n));
    // A block of ASCII has no error of its own; it only may cut the character before short.
    const __m128i errors =
        _mm_movemask_epi8(bytes) == 0 ? cutShort : Utf8BlockErrors(bytes, before);
    if (_mm_movemask_epi8(_mm_cmpeq_epi8(errors, _mm_setzero_si128())) != 0xFFFF) break;
    cutShort = Utf8CutShort(bytes);
    before = bytes;
  }
  return BackToCharacterStart(p, n);
}

// ---- AVX2 forms: 32 bytes a step, the SSE2 form for the rest. They clear
// the upper halves of the wide registers before the SSE2 code runs: left
// set, they slow every SSE instruction after them several times over.

constexpr std::size_t kWideBytes = 32;

__attribute__((target("avx2"))) std::size_t AsciiPrefixLengthAvx2(const unsigned char* p,
                                                                  std::size_t nBytes) noexcept {
  std::size_t i = 0;
  for (; nBytes - i >= kWideBytes; i += kWideBytes) {
    const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i));
    const auto nonAscii = static_cast<std::uint32_t>(_mm256_movemask_epi8(bytes));
    if (nonAscii != 0) return i + static_cast<std::size_t>(std::countr_zero(nonAscii));
  }
  _mm256_zeroupper();
  return i + AsciiPrefixLengthSse2(p + i, nBytes - i);
}

__attribute__((target("avx2"))) std::size_t WidenAsciiAvx2(const unsigned char* p,
                                                           std::size_t nBytes,
                                                           char16_t* out) noexcept {
  std::size_t i = 0;
  for (; nBytes - i >= kWideBytes; i += kWideBytes) {
    const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i),
                        _mm256_cvtepu8_epi16(_mm256_castsi256_si128(bytes)));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i + kBlockBytes),
                        _mm256_cvtepu8_epi16(_mm256_extracti128_si256(bytes, 1)));
    const auto nonAscii = static_cast<std::uint32_t>(_mm256_movemask_epi8(bytes));
    if (nonAscii != 0) return i + static_cast<std::size_t>(std::countr_zero(nonAscii));
  }
  _mm256_zeroupper();
  return i + WidenAsciiSse2(p + i, nBytes - i, out + i);
}

__attribute__((target("avx2"))) std::size_t NarrowAsciiAvx2(const char16_t* p, std::size_t nUnits,
                                                            char* out) noexcept {
  const __m256i nonAsciiBits = _mm256_set1_epi16(static_cast<short>(0xFF80));
  std::size_t i = 0;
  for (; nUnits - i >= kWideBytes; i += kWideBytes) {
    const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i));
    const __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i + kBlockBytes));
    if (!_mm256_testz_si256(_mm256_or_si256(low, high), nonAsciiBits)) break;
    // Packing works on 128-bit lanes: the permutation puts the lanes in order.
    const __m256i bytes = _mm256_permute4x64_epi64(_mm256_packus_epi16(low, high), 0xD8);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), bytes);
  }
  _mm256_zeroupper();
  return i + NarrowAsciiSse2(p + i, nUnits - i, out + i);
}

// Units of type T from `out` to the next line of kLineBytes (none at a
// line's start).
template <std::size_t kLineBytes, class T>
std::size_t UnitsToLineStart(const T* out) noexcept {
  return (kLineBytes - reinterpret_cast<std::uintptr_t>(out) % kLineBytes) % kLineBytes / sizeof(T);
}

// WidenAsciiAvx2 writing around the caches: whole lines from the first one
// `out` reaches, the cached form before them and from the first block that
// is not all ASCII.
__attribute__((target("avx2"))) std::size_t WidenAsciiAroundCachesAvx2(const unsigned char* p,
                                                                       std::size_t nBytes,
                                                                       char16_t* out) noexcept {
  const std::size_t nHead = std::min(nBytes, UnitsToLineStart<kWideBytes>(out));
  std::size_t i = WidenAsciiSse2(p, nHead, out);
  if (i < nHead) return i;
  for (; nBytes - i >= kWideBytes; i += kWideBytes) {
    const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i));
    if (_mm256_movemask_epi8(bytes) != 0) break;
    _mm256_stream_si256(reinterpret_cast<__m256i*>(out + i),
                        _mm256_cvtepu8_epi16(_mm256_castsi256_si128(bytes)));
    _mm256_stream_si256(reinterpret_cast<__m256i*>(out + i + kBlockBytes),
                        _mm256_cvtepu8_epi16(_mm256_extracti128_si256(bytes, 1)));
  }
  _mm_sfence();
  return i + WidenAsciiAvx2(p + i, nBytes - i, out + i);
}

__attribute__((target("avx2"))) std::size_t NarrowAsciiAroundCachesAvx2(const char16_t* p,
                                                                        std::size_t nUnits,
                                                                        char* out) noexcept {
  const std::size_t nHead = std::min(nUnits, UnitsToLineStart<kWideBytes>(out));
  std::size_t i = NarrowAsciiSse2(p, nHead, out);
  if (i < nHead) return i;
  const __m256i nonAsciiBits = _mm256_set1_epi16(static_cast<short>(0xFF80));
  for (; nUnits - i >= kWideBytes; i += kWideBytes) {
    const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i));
    const __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i + kBlockBytes));
    if (!_mm256_testz_si256(_mm256_or_si256(low, high), nonAsciiBits)) break;
    _mm256_stream_si256(reinterpret_cast<__m256i*>(out + i),
                        _mm256_permute4x64_epi64(_mm256_packus_epi16(low, high), 0xD8));
  }
  _mm_sfence();
  return i + NarrowAsciiAvx2(p + i, nUnits - i, out + i);
}

__attribute__((target("avx2"))) EncodedRun EncodePageBelowU0800Avx2(const SingleBytePage& page,
                                                                    const unsigned char* p,
                                                                    std::size_t nBytes, char* out,
                                                                    std::size_t nRoom) noexcept {
  FormRows rows;
  LoadCascade(page.twoByteForms.leads, rows.leads);
  LoadCascade(page.twoByteForms.trails, rows.trails);
  __m256i leads[kFormRows];
  __m256i trails[kFormRows];
  for (int row = 0; row < kFormRows; ++row) {
    leads[row] = _mm256_broadcastsi128_si256(rows.leads[row]);
    trails[row] = _mm256_broadcastsi128_si256(rows.trails[row]);
  }
  const __m256i zero = _mm256_setzero_si256();
  const __m256i rowStep = _mm256_set1_epi8(static_cast<char>(kBlockBytes));
  EncodedRun run{0, 0};
  // Room for the first block's 32 bytes and the second's reach: the blocks
  // taken are those the 16-byte form takes.
  while (nBytes - run.nUnits >= kWideBytes &&
         nRoom - run.nBytes >= kBlockBytes * 2 + kPageBlockReach) {
    const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + run.nUnits));
    __m256i index = _mm256_and_si256(bytes, _mm256_set1_epi8(0x7F));
    __m256i lead = _mm256_shuffle_epi8(leads[0], index);
    __m256i trail = _mm256_shuffle_epi8(trails[0], index);
#pragma GCC unroll 8
    for (int row = 1; row < kFormRows; ++row) {
      index = _mm256_sub_epi8(index, rowStep);
      lead = _mm256_xor_si256(lead, _mm256_shuffle_epi8(leads[row], index));
      trail = _mm256_xor_si256(trail, _mm256_shuffle_epi8(trails[row], index));
    }
    const auto high = static_cast<std::uint32_t>(_mm256_movemask_epi8(bytes));
    if ((static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(lead, zero))) & high) !=
        0)
      break;
    // The ASCII byte or the lead, then the trail, a pair a byte; unpacking
    // works on 128-bit lanes, so the groups of eight bytes come out of order.
    const __m256i first = _mm256_blendv_epi8(bytes, lead, bytes);
    const __m256i pairsLow = _mm256_unpacklo_epi8(first, trail);
    const __m256i pairsHigh = _mm256_unpackhi_epi8(first, trail);
    const __m128i groups[4] = {_mm256_castsi256_si128(pairsLow), _mm256_castsi256_si128(pairsHigh),
                               _mm256_extracti128_si256(pairsLow, 1),
                               _mm256_extracti128_si256(pairsHigh, 1)};
    for (int group = 0; group < 4; ++group) {
      const unsigned shape = (high >> (8 * group)) & 0xFF;
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + run.nBytes),
                       _mm_shuffle_epi8(groups[group], LoadShuffle(kGroupShuffles.order[shape])));
      run.nBytes += kEncodeGroupUnits + std::size_t{kShapeBitCounts.of[shape]};
    }
    run.nUnits += kWideBytes;
  }
  _mm256_zeroupper();
  const EncodedRun rest = EncodePageBelowU0800WithSsse3(page, p + run.nUnits, nBytes - run.nUnits,
                                                        out + run.nBytes, nRoom - run.nBytes);
  return {run.nUnits + rest.nUnits, run.nBytes + rest.nBytes};
}

// ---- AVX-512 forms (with VBMI2's byte compress): 64 bytes, or 32 UTF-16
// units, a step, the AVX2 or SSSE3 form for the rest. A step writes its
// encoded bytes by compressing each unit's form to the bytes it keeps, so
// that no shuffle table is needed at this width.

#define KXU_TARGET_AVX512 __attribute__((target("avx512f,avx512bw,avx512vbmi,avx512vbmi2,popcnt")))
// GCC 12 takes the undefined source lanes of its own AVX-512 intrinsics for
// uninitialized reads.
#if !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

constexpr std::size_t kZmmBytes = 64;
constexpr std::size_t kZmmUnits = 32;
// A step of the three-byte encoder: 16 units, each widened to 32 bits.
constexpr std::size_t kZmmLanes = 16;

KXU_TARGET_AVX512 std::size_t AsciiPrefixLengthAvx512(const unsigned char* p,
                                                      std::size_t nBytes) noexcept {
  std::size_t i = 0;
  for (; nBytes - i >= kZmmBytes; i += kZmmBytes) {
    const auto nonAscii =
        static_cast<std::uint64_t>(_mm512_movepi8_mask(_mm512_loadu_si512(p + i)));
    if (nonAscii != 0) return i + static_cast<std::size_t>(std::countr_zero(nonAscii));
  }
  return i + AsciiPrefixLengthAvx2(p + i, nBytes - i);
}

KXU_TARGET_AVX512 std::size_t WidenAsciiAvx512(const unsigned char* p, std::size_t nBytes,
                                               char16_t* out) noexcept {
  std::size_t i = 0;
  for (; nBytes - i >= kZmmBytes; i += kZmmBytes) {
    const __m512i bytes = _mm512_loadu_si512(p + i);
    _mm512_storeu_si512(out + i, _mm512_cvtepu8_epi16(_mm512_castsi512_si256(bytes)));
    _mm512_storeu_si512(out + i + kZmmUnits,
                        _mm512_cvtepu8_epi16(_mm512_extracti64x4_epi64(bytes, 1)));
    const auto nonAscii = static_cast<std::uint64_t>(_mm512_movepi8_mask(bytes));
    if (nonAscii != 0) return i + static_cast<std::size_t>(std::countr_zero(nonAscii));
  }
  return i + WidenAsciiAvx2(p + i, nBytes - i, out + i);
}

KXU_TARGET_AVX512 std::size_t NarrowAsciiAvx512(const char16_t* p, std::size_t nUnits,
                                                char* out) noexcept {
  const __m512i nonAsciiBits = _mm512_set1_epi16(static_cast<short>(0xFF80));
  std::size_t i = 0;
  for (; nUnits - i >= kZmmBytes; i += kZmmBytes) {
    const __m512i low = _mm512_loadu_si512(p + i);
    const __m512i high = _mm512_loadu_si512(p + i + kZmmUnits);
    if (_mm512_test_epi16_mask(_mm512_or_si512(low, high), nonAsciiBits) != 0) break;
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), _mm512_cvtepi16_epi8(low));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i + kZmmUnits),
                        _mm512_cvtepi16_epi8(high));
  }
  return i + NarrowAsciiAvx2(p + i, nUnits - i, out + i);
}

// The around-the-caches forms (see WidenAsciiAroundCachesAvx2) by lines of
// 64 bytes.
KXU_TARGET_AVX512 std::size_t WidenAsciiAroundCachesAvx512(const unsigned char* p,
                                                           std::size_t nBytes,
                                                           char16_t* out) noexcept {
  const std::size_t nHead = std::min(nBytes, UnitsToLineStart<kZmmBytes>(out));
  std::size_t i = WidenAsciiAvx2(p, nHead, out);
  if (i < nHead) return i;
  for (; nBytes - i >= kZmmBytes; i += kZmmBytes) {
    const __m512i bytes = _mm512_loadu_si512(p + i);
    if (_mm512_movepi8_mask(bytes) != 0) break;
    _mm512_stream_si512(reinterpret_cast<__m512i*>(out + i),
                        _mm512_cvtepu8_epi16(_mm512_castsi512_si256(bytes)));
    _mm512_stream_si512(reinterpret_cast<__m512i*>(out + i + kZmmUnits),
                        _mm512_cvtepu8_epi16(_mm512_extracti64x4_epi64(bytes, 1)));
  }
  _mm_sfence();
  return i + WidenAsciiAvx512(p + i, nBytes - i, out + i);
}

KXU_TARGET_AVX512 std::size_t NarrowAsciiAroundCachesAvx512(const char16_t* p, std::size_t nUnits,
                                                            char* out) noexcept {
  const std::size_t nHead = std::min(nUnits, UnitsToLineStart<kZmmBytes>(out));
  std::size_t i = NarrowAsciiAvx2(p, nHead, out);
  if (i < nHead) return i;
  const __m512i nonAsciiBits = _mm512_set1_epi16(static_cast<short>(0xFF80));
  for (; nUnits - i >= kZmmBytes; i += kZmmBytes) {
    const __m512i low = _mm512_loadu_si512(p + i);
    const __m512i high = _mm512_loadu_si512(p + i + kZmmUnits);
    if (_mm512_test_epi16_mask(_mm512_or_si512(low, high), nonAsciiBits) != 0) break;
    _mm512_stream_si512(reinterpret_cast<__m512i*>(out + i),
                        _mm512_inserti64x4(_mm512_castsi256_si512(_mm512_cvtepi16_epi8(low)),
                                           _mm512_cvtepi16_epi8(high), 1));
  }
  _mm_sfence();
  return i + NarrowAsciiAvx512(p + i, nUnits - i, out + i);
}

// The low (0) or high (1) half of `v`.
KXU_TARGET_AVX512 inline __m256i HalfOf(__m512i v, int half) noexcept {
  return half == 0 ? _mm512_castsi512_si256(v) : _mm512_extracti64x4_epi64(v, 1);
}

// 10xxxxxx from the low six bits of each 16- or 32-bit lane.
KXU_TARGET_AVX512 inline __m512i ContinuationBytes16(__m512i bits) noexcept {
  return _mm512_or_si512(_mm512_and_si512(bits, _mm512_set1_epi16(0x3F)), _mm512_set1_epi16(0x80));
}
KXU_TARGET_AVX512 inline __m512i ContinuationBytes32(__m512i bits) noexcept {
  return _mm512_or_si512(_mm512_and_si512(bits, _mm512_set1_epi32(0x3F)), _mm512_set1_epi32(0x80));
}

// Stores the bytes of 32 UTF-8 forms of one or two bytes held in 16-bit
// lanes, in order: each lane's first byte, and its second where it is not
// zero. Writes 64 bytes.
KXU_TARGET_AVX512 inline void StorePairs(__m512i pairs, char* out) noexcept {
  const __mmask64 kept =
      _mm512_test_epi8_mask(_mm512_or_si512(pairs, _mm512_set1_epi16(0xFF)), _mm512_set1_epi8(-1));
  _mm512_storeu_si512(out, _mm512_maskz_compress_epi8(kept, pairs));
}

// The encoders keep their masks in mask registers and count bytes from the
// narrower masks of units: a 64-bit mask costs a pair of moves and counts
// on 32-bit processors.
KXU_TARGET_AVX512 EncodedRun EncodeBelowU0800Avx512(const char16_t* p, std::size_t nUnits,
                                                    char* out, std::size_t nRoom) noexcept {
  EncodedRun run{0, 0};
  while (nUnits - run.nUnits >= kZmmUnits && nRoom - run.nBytes >= kZmmBytes) {
    const __m512i units = _mm512_loadu_si512(p + run.nUnits);
    if (_mm512_test_epi16_mask(units, _mm512_set1_epi16(static_cast<short>(0xF800))) != 0) break;
    // Each unit as a pair of bytes: 110xxxxx and 10xxxxxx, or the ASCII byte and 0.
    const __mmask32 ascii = _mm512_cmplt_epu16_mask(units, _mm512_set1_epi16(0x80));
    const __m512i pairs = _mm512_mask_mov_epi16(
        _mm512_or_si512(_mm512_or_si512(_mm512_srli_epi16(units, 6), _mm512_set1_epi16(0xC0)),
                        _mm512_slli_epi16(ContinuationBytes16(units), 8)),
        ascii, units);
    StorePairs(pairs, out + run.nBytes);
    run.nUnits += kZmmUnits;
    run.nBytes += kZmmUnits + static_cast<std::size_t>(__builtin_popcount(~ascii));
  }
  const EncodedRun rest = EncodeBelowU0800WithSsse3(p + run.nUnits, nUnits - run.nUnits,
                                                    out + run.nBytes, nRoom - run.nBytes);
  return {run.nUnits + rest.nUnits, run.nBytes + rest.nBytes};
}

KXU_TARGET_AVX512 EncodedRun EncodeFromU0800Avx512(const char16_t* p, std::size_t nUnits, char* out,
                                                   std::size_t nRoom) noexcept {
  EncodedRun run{0, 0};
  while (nUnits - run.nUnits >= kZmmLanes && nRoom - run.nBytes >= kZmmBytes) {
    const __m512i units =
        _mm512_cvtepu16_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + run.nUnits)));
    // Every unit ASCII or from U+0800 on, and none a surrogate.
    const __mmask16 ascii = _mm512_cmplt_epu32_mask(units, _mm512_set1_epi32(0x80));
    const __mmask16 twoBytes = _mm512_cmplt_epu32_mask(units, _mm512_set1_epi32(0x800)) & ~ascii;
    const __mmask16 surrogate = _mm512_cmpeq_epi32_mask(
        _mm512_and_si512(units, _mm512_set1_epi32(0xF800)), _mm512_set1_epi32(0xD800));
    if ((twoBytes | surrogate) != 0) break;
    // 1110xxxx, 10xxxxxx and 10xxxxxx in the low three bytes of each lane, or the ASCII byte.
    const __m512i forms = _mm512_mask_mov_epi32(
        _mm512_or_si512(
            _mm512_or_si512(_mm512_srli_epi32(units, 12), _mm512_set1_epi32(0xE0)),
            _mm512_or_si512(_mm512_slli_epi32(ContinuationBytes32(_mm512_srli_epi32(units, 6)), 8),
                            _mm512_slli_epi32(ContinuationBytes32(units), 16))),
        ascii, units);
    // Every first byte is kept, a second and third one where they are not zero.
    const __mmask64 kept = _mm512_test_epi8_mask(_mm512_or_si512(forms, _mm512_set1_epi32(0xFF)),
                                                 _mm512_set1_epi32(0x00FFFFFF));
    _mm512_storeu_si512(out + run.nBytes, _mm512_maskz_compress_epi8(kept, forms));
    run.nUnits += kZmmLanes;
    run.nBytes += kZmmLanes + 2 * static_cast<std::size_t>(
                                      __builtin_popcount(static_cast<unsigned>(~ascii) & 0xFFFFu));
  }
  const EncodedRun rest = EncodeFromU0800WithSsse3(p + run.nUnits, nUnits - run.nUnits,
                                                   out + run.nBytes, nRoom - run.nBytes);
  return {run.nUnits + rest.nUnits, run.nBytes + rest.nBytes};
}

// The page's two-byte forms looked up in 128-byte tables, one permute each
// for all 64 bytes; a step takes the four blocks the 16-byte form would,
// with room for three blocks' 32 bytes and the fourth's reach.
KXU_TARGET_AVX512 EncodedRun EncodePageBelowU0800Avx512(const SingleBytePage& page,
                                                        const unsigned char* p, std::size_t nBytes,
                                                        char* out, std::size_t nRoom) noexcept {
  const unsigned char* const leads = page.twoByteForms.leads;
  const unsigned char* const trails = page.twoByteForms.trails;
  const __m512i leadsLow = _mm512_loadu_si512(leads);
  const __m512i leadsHigh = _mm512_loadu_si512(leads + kZmmBytes);
  const __m512i trailsLow = _mm512_loadu_si512(trails);
  const __m512i trailsHigh = _mm512_loadu_si512(trails + kZmmBytes);
  EncodedRun run{0, 0};
  while (nBytes - run.nUnits >= kZmmBytes &&
         nRoom - run.nBytes >= 3 * (2 * kBlockBytes) + kPageBlockReach) {
    const __m512i bytes = _mm512_loadu_si512(p + run.nUnits);
    const __mmask64 high = _mm512_movepi8_mask(bytes);
    // The permutes read the low seven bits of each byte.
    const __m512i lead = _mm512_permutex2var_epi8(leadsLow, bytes, leadsHigh);
    if (_mm512_mask_testn_epi8_mask(high, lead, lead) != 0) break;  // a longer form
    const __m512i first = _mm512_mask_mov_epi8(bytes, high, lead);
    const __m512i second =
        _mm512_maskz_mov_epi8(high, _mm512_permutex2var_epi8(trailsLow, bytes, trailsHigh));
    for (int half = 0; half < 2; ++half) {
      const __m256i halfBytes = HalfOf(bytes, half);
      const __m512i pairs =
          _mm512_or_si512(_mm512_cvtepu8_epi16(HalfOf(first, half)),
                          _mm512_slli_epi16(_mm512_cvtepu8_epi16(HalfOf(second, half)), 8));
      StorePairs(pairs, out + run.nBytes);
      run.nBytes += kZmmUnits + static_cast<std::size_t>(__builtin_popcount(
                                    static_cast<unsigned>(_mm256_movemask_epi8(halfBytes))));
    }
    run.nUnits += kZmmBytes;
  }
  const EncodedRun rest = EncodePageBelowU0800Avx2(page, p + run.nUnits, nBytes - run.nUnits,
                                                   out + run.nBytes, nRoom - run.nBytes);
  return {run.nUnits + rest.nUnits, run.nBytes + rest.nBytes};
}

// Each 16-byte lane of `bytes` followed by the first byte of the lane after
// it (0 after the last lane): the byte after each byte.
KXU_TARGET_AVX512 inline __m512i NextBytes(__m512i bytes) noexcept {
  return _mm512_alignr_epi8(_mm512_alignr_epi64(_mm512_setzero_si512(), bytes, 2), bytes, 1);
}

KXU_TARGET_AVX512 DecodedRun DecodeBelowU0800Avx512(const unsigned char* p, std::size_t nBytes,
                                                    char16_t* out, std::size_t nRoom) noexcept {
  constexpr std::uint64_t kWholeStep = ~std::uint64_t{0};
  DecodedRun run{0, 0};
  while (nBytes - run.nBytes >= kZmmBytes && nRoom - run.nUnits >= kZmmBytes) {
    PrefetchAheadOfDecoder(p + run.nBytes, nBytes - run.nBytes);
    // Compared as signed bytes: continuations are -128..-65, two-byte leads
    // C2..DF are -62..-33.
    const __m512i bytes = _mm512_loadu_si512(p + run.nBytes);
    const std::uint64_t ascii = ~static_cast<std::uint64_t>(_mm512_movepi8_mask(bytes));
    const std::uint64_t continuations = _mm512_cmplt_epi8_mask(bytes, _mm512_set1_epi8(-64));
    const std::uint64_t leads = _mm512_cmpgt_epi8_mask(bytes, _mm512_set1_epi8(-63)) &
                                _mm512_cmplt_epi8_mask(bytes, _mm512_set1_epi8(-32));
    // A lead in the last byte waits for the next step.
    const std::uint64_t taken = (leads >> 63) != 0 ? kWholeStep >> 1 : kWholeStep;
    const std::uint64_t takenLeads = leads & taken;
    if (((ascii | takenLeads | continuations) & taken) != taken ||
        (continuations & taken) != takenLeads << 1)
      break;
    // Each byte as a unit (an ASCII byte as it is, a lead with the next
    // byte), kept where a character starts.
    const __m512i nextBytes = NextBytes(bytes);
    const std::uint64_t starts = (ascii | takenLeads) & taken;
    for (int half = 0; half < 2; ++half) {
      const __m512i first = _mm512_cvtepu8_epi16(HalfOf(bytes, half));
      const __m512i second = _mm512_cvtepu8_epi16(HalfOf(nextBytes, half));
      const __m512i twoByte =
          _mm512_or_si512(_mm512_slli_epi16(_mm512_and_si512(first, _mm512_set1_epi16(0x1F)), 6),
                          _mm512_and_si512(second, _mm512_set1_epi16(0x3F)));
      const auto halfAscii = static_cast<__mmask32>(ascii >> (32 * half));
      const auto halfStarts = static_cast<__mmask32>(starts >> (32 * half));
      _mm512_storeu_si512(out + run.nUnits,
                          _mm512_maskz_compress_epi16(
                              halfStarts, _mm512_mask_mov_epi16(twoByte, halfAscii, first)));
      run.nUnits += static_cast<std::size_t>(__builtin_popcount(halfStarts));
    }
    run.nBytes += taken == kWholeStep ? kZmmBytes : kZmmBytes - 1;
  }
  const DecodedRun rest = DecodeBelowU0800WithSsse3(p + run.nBytes, nBytes - run.nBytes,
                                                    out + run.nUnits, nRoom - run.nUnits);
  return {run.nBytes + rest.nBytes, run.nUnits + rest.nUnits};
}

// Puts at `out` the 32 units whose leads, middle and last bytes the lanes of
// `leads`, `middles` and `lasts` hold (an ASCII byte as its own lead; zero
// lanes past the characters are NULs); false when a three-byte one is below
// U+0800 (an overlong form) or a surrogate.
KXU_TARGET_AVX512 inline bool PutThreeByteUnits(__m256i leads, __m256i middles, __m256i lasts,
                                                char16_t* out) noexcept {
  const __m512i lead = _mm512_cvtepu8_epi16(leads);
  const __m512i unit = _mm512_or_si512(
      _mm512_or_si512(
          _mm512_slli_epi16(lead, 12),
          _mm512_slli_epi16(
              _mm512_and_si512(_mm512_cvtepu8_epi16(middles), _mm512_set1_epi16(0x3F)), 6)),
      _mm512_and_si512(_mm512_cvtepu8_epi16(lasts), _mm512_set1_epi16(0x3F)));
  const __mmask32 ascii = _mm512_cmplt_epu16_mask(lead, _mm512_set1_epi16(0x80));
  const __mmask32 outOfRange =
      _mm512_cmplt_epu16_mask(unit, _mm512_set1_epi16(0x800)) |
      _mm512_cmpeq_epi16_mask(_mm512_and_si512(unit, _mm512_set1_epi16(static_cast<short>(0xF800))),
                              _mm512_set1_epi16(static_cast<short>(0xD800)));
  _mm512_storeu_si512(out, _mm512_mask_mov_epi16(unit, ascii, lead));
  return (outOfRange & ~ascii) == 0;
}

// A step of 21 three-byte characters from its start: where each one's lead,
// middle and last byte lie, the kind bits of each byte (F0 of a lead, C0 of
// a continuation; none of the last byte, which is looked at alone) and what
// they must be.
constexpr std::size_t kPureThreeByteUnits = 21;
struct PureThreeByteStep {
  unsigned char order[3][kZmmBytes];
  unsigned char kindBits[kZmmBytes];
  unsigned char kinds[kZmmBytes];
};
constexpr PureThreeByteStep MakePureThreeByteStep() {
  PureThreeByteStep step{};
  for (std::size_t unit = 0; unit < kPureThreeByteUnits; ++unit) {
    for (std::size_t part = 0; part < 3; ++part) {
      const std::size_t at = 3 * unit + part;
      step.order[part][unit] = static_cast<unsigned char>(at);
      step.kindBits[at] = part == 0 ? 0xF0 : 0xC0;
      step.kinds[at] = part == 0 ? 0xE0 : 0x80;
    }
  }
  return step;
}
constexpr PureThreeByteStep kPureThreeByteStep = MakePureThreeByteStep();

// The bytes of `bytes` the permute `order` picks for the 21 characters, 0 past them.
KXU_TARGET_AVX512 inline __m256i PickForCharacters(const unsigned char* order,
                                                   __m512i bytes) noexcept {
  constexpr __mmask64 kCharacters = (std::uint64_t{1} << kPureThreeByteUnits) - 1;
  return _mm512_castsi512_si256(
      _mm512_maskz_permutexvar_epi8(kCharacters, _mm512_loadu_si512(order), bytes));
}

KXU_TARGET_AVX512 DecodedRun DecodeFromU0800Avx512(const unsigned char* p, std::size_t nBytes,
                                                   char16_t* out, std::size_t nRoom) noexcept {
  // A step takes up to 63 bytes, whole characters only; the byte after them
  // must not be a continuation byte (as in the 16-byte form).
  constexpr std::uint64_t kReach = ~std::uint64_t{0} >> 1;
  DecodedRun run{0, 0};
  while (nBytes - run.nBytes >= kZmmBytes && nRoom - run.nUnits >= kZmmBytes) {
    PrefetchAheadOfDecoder(p + run.nBytes, nBytes - run.nBytes);
    const __m512i bytes = _mm512_loadu_si512(p + run.nBytes);
    // The common step of text without ASCII takes fixed permutes and a
    // fixed length, which the next step's load need not wait for; it is told
    // in mask registers, which 32-bit code moves out only in halves.
    const __m512i kinds = _mm512_and_si512(bytes, _mm512_loadu_si512(kPureThreeByteStep.kindBits));
    if (_mm512_cmpneq_epi8_mask(kinds, _mm512_loadu_si512(kPureThreeByteStep.kinds)) == 0 &&
        (p[run.nBytes + kZmmBytes - 1] & 0xC0) != 0x80) {
      const auto& order = kPureThreeByteStep.order;
      if (!PutThreeByteUnits(PickForCharacters(order[0], bytes), PickForCharacters(order[1], bytes),
                             PickForCharacters(order[2], bytes), out + run.nUnits))
        break;
      run.nBytes += 3 * kPureThreeByteUnits;
      run.nUnits += kPureThreeByteUnits;
      continue;
    }
    const std::uint64_t ascii = ~static_cast<std::uint64_t>(_mm512_movepi8_mask(bytes));
    const std::uint64_t leads = _mm512_cmpeq_epi8_mask(
        _mm512_and_si512(bytes, _mm512_set1_epi8(-16)), _mm512_set1_epi8(-32));
    const std::uint64_t continuations = _mm512_cmpeq_epi8_mask(
        _mm512_and_si512(bytes, _mm512_set1_epi8(-64)), _mm512_set1_epi8(-128));
    const std::uint64_t taken = (leads >> 62 & 1) != 0   ? kReach >> 1
                                : (leads >> 61 & 1) != 0 ? kReach >> 2
                                                         : kReach;
    const std::uint64_t takenLeads = leads & taken;
    if (((ascii | takenLeads | continuations) & taken) != taken ||
        (continuations & (taken | (taken + 1))) != ((takenLeads << 1) | (takenLeads << 2)))
      break;
    // Each character's lead (or ASCII byte), middle and last byte, in order.
    const std::uint64_t starts = (ascii | takenLeads) & taken;
    const __m512i middles = NextBytes(bytes);
    const __m512i lead = _mm512_maskz_compress_epi8(starts, bytes);
    const __m512i middle = _mm512_maskz_compress_epi8(starts, middles);
    const __m512i last = _mm512_maskz_compress_epi8(starts, NextBytes(middles));
    const auto nStarts = static_cast<std::size_t>(__builtin_popcountll(starts));
    bool bInRange = PutThreeByteUnits(_mm512_castsi512_si256(lead), _mm512_castsi512_si256(middle),
                                      _mm512_castsi512_si256(last), out + run.nUnits);
    if (nStarts > kZmmUnits) {
      bInRange &= PutThreeByteUnits(
          _mm512_extracti64x4_epi64(lead, 1), _mm512_extracti64x4_epi64(middle, 1),
          _mm512_extracti64x4_epi64(last, 1), out + run.nUnits + kZmmUnits);
    }
    if (!bInRange) break;
    run.nBytes += static_cast<std::size_t>(__builtin_popcountll(taken));
    run.nUnits += nStarts;
  }
  const DecodedRun rest = DecodeFromU0800WithSsse3(p + run.nBytes, nBytes - run.nBytes,
                                                   out + run.nUnits, nRoom - run.nUnits);
  return {run.nBytes + rest.nBytes, run.nUnits + rest.nUnits};
}

// A 16-byte table in each lane.
KXU_TARGET_AVX512 inline __m512i LaneTable(const unsigned char* entries) noexcept {
  return _mm512_broadcast_i32x4(_mm_loadu_si128(reinterpret_cast<const __m128i*>(entries)));
}

KXU_TARGET_AVX512 inline __m512i HighHalves(__m512i bytes) noexcept {
  return _mm512_and_si512(_mm512_srli_epi16(bytes, 4), _mm512_set1_epi8(0x0F));
}

// 16-byte blocks up to the first 64-byte boundary, then whole aligned
// blocks of 64 bytes.
KXU_TARGET_AVX512 KXU_READS_WHOLE_BLOCKS std::size_t FindNulInAlignedBlocksAvx512(
    const char16_t* p, std::size_t nUnits) noexcept {
  const std::size_t nToBoundary =
      (kZmmBytes - reinterpret_cast<std::uintptr_t>(p) % kZmmBytes) % kZmmBytes / sizeof(char16_t);
  std::size_t i = std::min(nToBoundary, nUnits);
  if (const std::size_t nAt = FindNulInBlocks(p, i); nAt < i) return nAt;
  for (; i < nUnits; i += kZmmUnits) {
    const __mmask32 zeros =
        _mm512_cmpeq_epi16_mask(_mm512_load_si512(p + i), _mm512_setzero_si512());
    if (zeros != 0) return std::min(i + static_cast<std::size_t>(std::countr_zero(zeros)), nUnits);
  }
  return nUnits;
}

// Utf8BlockErrors over the four 16-byte lanes of 64 bytes: each lane's
// bytes before it are the 16 before its own.
KXU_TARGET_AVX512 __m512i Utf8BlockErrorsAvx512(__m512i bytes, __m512i before) noexcept {
  const __m512i lanesBefore = _mm512_alignr_epi64(bytes, before, 6);
  const __m512i before1 = _mm512_alignr_epi8(bytes, lanesBefore, 15);
  const __m512i pairErrors = _mm512_and_si512(
      _mm512_and_si512(
          _mm512_shuffle_epi8(LaneTable(kPairErrorTables.beforeHigh), HighHalves(before1)),
          _mm512_shuffle_epi8(LaneTable(kPairErrorTables.beforeLow),
                              _mm512_and_si512(before1, _mm512_set1_epi8(0x0F)))),
      _mm512_shuffle_epi8(LaneTable(kPairErrorTables.afterHigh), HighHalves(bytes)));
  const __m512i before2 = _mm512_alignr_epi8(bytes, lanesBefore, 14);
  const __m512i before3 = _mm512_alignr_epi8(bytes, lanesBefore, 13);
  const __m512i needed =
      _mm512_and_si512(_mm512_or_si512(_mm512_subs_epu8(before2, _mm512_set1_epi8(0x60)),
                                       _mm512_subs_epu8(before3, _mm512_set1_epi8(0x70))),
                       _mm512_set1_epi8(static_cast<char>(0x80)));
  return _mm512_xor_si512(pairErrors, needed);
}

// The bytes of a 64-byte block that end a character cut short when they are
// its last three: a lead from F0, from E0, from C0.
KXU_TARGET_AVX512 std::uint64_t Utf8CutShortAvx512(__m512i bytes) noexcept {
  const __mmask64 kLastThree = 0x7ULL << 61;
  const __m512i largestWhole = _mm512_mask_blend_epi8(
      kLastThree, _mm512_set1_epi8(-1), _mm512_set1_epi32(static_cast<int>(0xBFDFEFFF)));
  const __m512i past = _mm512_subs_epu8(bytes, largestWhole);
  return _mm512_test_epi8_mask(past, past);
}

// Whole blocks of 64 bytes, and the last part block read as though zeros
// followed it: zeros after a character cut short show it as an error, so a
// valid text is taken whole.
KXU_TARGET_AVX512 std::size_t ValidUtf8PrefixAvx512(const unsigned char* p,
                                                    std::size_t nBytes) noexcept {
  __m512i before = _mm512_setzero_si512();
  std::uint64_t cutShort = 0;
  for (std::size_t n = 0; n < nBytes; n += kZmmBytes) {
    const std::size_t nLeft = nBytes - n;
    const std::uint64_t inText =
        nLeft >= kZmmBytes ? ~std::uint64_t{0} : (std::uint64_t{1} << nLeft) - 1;
    const __m512i bytes = _mm512_maskz_loadu_epi8(inText, p + n);
    // A block of ASCII has no error of its own; it only may cut the character before short.
    const bool bError = _mm512_movepi8_mask(bytes) == 0
                            ? cutShort != 0
                            : _mm512_test_epi8_mask(Utf8BlockErrorsAvx512(bytes, before),
                                                    _mm512_set1_epi8(-1)) != 0;
    if (bError) return BackToCharacterStart(p, n);
    cutShort = Utf8CutShortAvx512(bytes);
    before = bytes;
  }
  return cutShort != 0 ? BackToCharacterStart(p, nBytes) : nBytes;
}

#if !defined(__clang__)
#pragma GCC diagnostic pop
#endif
#undef KXU_TARGET_AVX512
#endif

// ---- The choice.

struct Kernels {
  std::size_t (*asciiPrefixLength)(const unsigned char*, std::size_t) noexcept;
  std::size_t (*widenAscii)(const unsigned char*, std::size_t, char16_t*) noexcept;
  std::size_t (*narrowAscii)(const char16_t*, std::size_t, char*) noexcept;
  std::size_t (*widenAsciiAroundCaches)(const unsigned char*, std::size_t, char16_t*) noexcept;
  std::size_t (*narrowAsciiAroundCaches)(const char16_t*, std::size_t, char*) noexcept;
  EncodedRun (*encodeBelowU0800)(const char16_t*, std::size_t, char*, std::size_t) noexcept;
  EncodedRun (*encodeFromU0800)(const char16_t*, std::size_t, char*, std::size_t) noexcept;
  DecodedRun (*decodeBelowU0800)(const unsigned char*, std::size_t, char16_t*,
                                 std::size_t) noexcept;
  DecodedRun (*decodeFromU0800)(const unsigned char*, std::size_t, char16_t*, std::size_t) noexcept;
  EncodedRun (*encodePageBelowU0800)(const SingleBytePage&, const unsigned char*, std::size_t,
                                     char*, std::size_t) noexcept;
  std::size_t (*validUtf8Prefix)(const unsigned char*, std::size_t) noexcept;
  std::size_t (*findNulInAlignedBlocks)(const char16_t*, std::size_t) noexcept;
};

constexpr Kernels kScalarKernels = {
    AsciiPrefixLengthScalar,    WidenAsciiScalar,       NarrowAsciiScalar,
    WidenAsciiScalar,           NarrowAsciiScalar,      EncodeBelowU0800Scalar,
    EncodeFromU0800Scalar,      DecodeBelowU0800Scalar, DecodeFromU0800Scalar,
    EncodePageBelowU0800Scalar, ValidUtf8PrefixScalar,  FindNulInBlocks};

// The kernels of each level, by SimdLevel; a level this build lacks (no
// x86) has the scalar ones, and the processor never offers it anyway.
#if defined(KXU_SIMD_X86_EXTENSIONS)
constexpr Kernels kLevelKernels[] = {
    kScalarKernels,
    {AsciiPrefixLengthSse2, WidenAsciiSse2, NarrowAsciiSse2, WidenAsciiSse2, NarrowAsciiSse2,
     EncodeBelowU0800Scalar, EncodeFromU0800Scalar, DecodeBelowU0800Scalar, DecodeFromU0800Scalar,
     EncodePageBelowU0800Sse2, ValidUtf8PrefixScalar, FindNulInBlocks},
    {AsciiPrefixLengthSse2, WidenAsciiSse2, NarrowAsciiSse2, WidenAsciiSse2, NarrowAsciiSse2,
     EncodeBelowU0800WithSsse3, EncodeFromU0800WithSsse3, DecodeBelowU0800WithSsse3,
     DecodeFromU0800WithSsse3, EncodePageBelowU0800WithSsse3, ValidUtf8PrefixWithSsse3,
     FindNulInBlocks},
    {AsciiPrefixLengthAvx2, WidenAsciiAvx2, NarrowAsciiAvx2, WidenAsciiAroundCachesAvx2,
     NarrowAsciiAroundCachesAvx2, EncodeBelowU0800WithSsse3, EncodeFromU0800WithSsse3,
     DecodeBelowU0800WithSsse3, DecodeFromU0800WithSsse3, EncodePageBelowU0800Avx2,
     ValidUtf8PrefixWithSsse3, FindNulInBlocks},
    {AsciiPrefixLengthAvx512, WidenAsciiAvx512, NarrowAsciiAvx512, WidenAsciiAroundCachesAvx512,
     NarrowAsciiAroundCachesAvx512, EncodeBelowU0800Avx512, EncodeFromU0800Avx512,
     DecodeBelowU0800Avx512, DecodeFromU0800Avx512, EncodePageBelowU0800Avx512,
     ValidUtf8PrefixAvx512, FindNulInAlignedBlocksAvx512}};
#else
constexpr Kernels kLevelKernels[] = {kScalarKernels, kScalarKernels, kScalarKernels, kScalarKernels,
                                     kScalarKernels};
#endif

const Kernels& Active() noexcept {
  return kLevelKernels[static_cast<int>(ActiveSimdLevel())];
}

}  // namespace

DecodedRun DecodeBelowU0800(const unsigned char* p, std::size_t nBytes, char16_t* out,
                            std::size_t nRoom) noexcept {
  return Active().decodeBelowU0800(p, nBytes, out, nRoom);
}

DecodedRun DecodeFromU0800(const unsigned char* p, std::size_t nBytes, char16_t* out,
                           std::size_t nRoom) noexcept {
  return Active().decodeFromU0800(p, nBytes, out, nRoom);
}

std::size_t AsciiPrefixLength(const unsigned char* p, std::size_t nBytes) noexcept {
  return Active().asciiPrefixLength(p, nBytes);
}

std::size_t WidenAscii(const unsigned char* p, std::size_t nBytes, char16_t* out,
                       Stores stores) noexcept {
  const Kernels& kernels = Active();
  return (stores == Stores::kAroundCaches ? kernels.widenAsciiAroundCaches : kernels.widenAscii)(
      p, nBytes, out);
}

std::size_t NarrowAscii(const char16_t* p, std::size_t nUnits, char* out, Stores stores) noexcept {
  const Kernels& kernels = Active();
  return (stores == Stores::kAroundCaches ? kernels.narrowAsciiAroundCaches : kernels.narrowAscii)(
      p, nUnits, out);
}

EncodedRun EncodeBelowU0800(const char16_t* p, std::size_t nUnits, char* out,
                            std::size_t nRoom) noexcept {
  return Active().encodeBelowU0800(p, nUnits, out, nRoom);
}

EncodedRun EncodeFromU0800(const char16_t* p, std::size_t nUnits, char* out,
                           std::size_t nRoom) noexcept {
  return Active().encodeFromU0800(p, nUnits, out, nRoom);
}

EncodedRun EncodePageBelowU0800(const SingleBytePage& page, const unsigned char* p,
                                std::size_t nBytes, char* out, std::size_t nRoom) noexcept {
  return Active().encodePageBelowU0800(page, p, nBytes, out, nRoom);
}

std::size_t ValidUtf8Prefix(const unsigned char* p, std::size_t nBytes) noexcept {
  return Active().validUtf8Prefix(p, nBytes);
}

std::size_t FindNulInAlignedBlocks(const char16_t* p, std::size_t nUnits) noexcept {
  return Active().findNulInAlignedBlocks(p, nUnits);
}

}  // namespace kxu::platform::simd
