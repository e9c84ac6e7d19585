// The library's one SIMD foundation, in two parts.
//
// Blocks: 16-byte blocks of bytes and the masks that scanning and
// transcoding loops need, inline. With SSE2 (every x86 build: it is the
// 32-bit builds' floor too) the operations are single instructions;
// elsewhere a scalar fallback gives the same results, so callers never test
// the instruction set themselves.
//
// Kernels: loops over whole runs (ASCII runs, groups of UTF-16 units, blocks
// of single-byte code-page text), each in a scalar form and in forms for
// SSE2, SSSE3 and AVX2, of which the one for the process's SIMD level
// (platform/cpu/simd_level.h) runs.
//
// A mask has bit i set for byte i of the block (bit 0 for the lowest
// address); find the first with std::countr_zero.
// Example: HighBitMask(LoadBlock("ab\xC3\xA9............")) == 0b1100.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#include <emmintrin.h>
#define KXU_SIMD_SSE2 1
#endif

// Marks a function that may read a whole aligned block past the end of the
// text it scans (see nul_scan.cpp): such a read never leaves the text's page,
// but the address and thread checkers would report it (as an overflow, or a
// use of freed memory). Functions that call one must carry the mark too, or
// a checker keeps it out of line and checks its reads.
#if defined(__GNUC__)
#define KXU_READS_WHOLE_BLOCKS __attribute__((no_sanitize("address", "thread")))
#else
#define KXU_READS_WHOLE_BLOCKS
#endif

namespace kxu::platform {
struct SingleBytePage;
}

namespace kxu::platform::simd {

inline constexpr std::size_t kBlockBytes = 16;
using Mask = std::uint32_t;

#if defined(KXU_SIMD_SSE2)

struct Block {
  __m128i bytes;
};

// The 16 bytes at `p` (any alignment).
inline Block LoadBlock(const void* p) noexcept {
  return {_mm_loadu_si128(static_cast<const __m128i*>(p))};
}

inline void StoreBlock(void* p, Block block) noexcept {
  _mm_storeu_si128(static_cast<__m128i*>(p), block.bytes);
}

// Bits of the bytes at 0x80 or above.
inline Mask HighBitMask(Block block) noexcept {
  return static_cast<Mask>(_mm_movemask_epi8(block.bytes));
}

// Bits of the bytes equal to `value`.
inline Mask EqualMask(Block block, unsigned char value) noexcept {
  const __m128i wanted = _mm_set1_epi8(static_cast<char>(value));
  return static_cast<Mask>(_mm_movemask_epi8(_mm_cmpeq_epi8(block.bytes, wanted)));
}

// Bits of the bytes equal to any of `values`, in one mask.
// Example: AnyEqualMask(block, '(', ')') marks both parentheses.
template <class... Bytes>
inline Mask AnyEqualMask(Block block, unsigned char first, Bytes... others) noexcept {
  const auto equal = [block](unsigned char value) {
    return _mm_cmpeq_epi8(block.bytes, _mm_set1_epi8(static_cast<char>(value)));
  };
  __m128i any = equal(first);
  ((any = _mm_or_si128(any, equal(static_cast<unsigned char>(others)))), ...);
  return static_cast<Mask>(_mm_movemask_epi8(any));
}

// Bits of the bytes at or below `value`, compared as unsigned bytes.
inline Mask AtMostMask(Block block, unsigned char value) noexcept {
  const __m128i lowest = _mm_min_epu8(block.bytes, _mm_set1_epi8(static_cast<char>(value)));
  return static_cast<Mask>(_mm_movemask_epi8(_mm_cmpeq_epi8(lowest, block.bytes)));
}

// Bits of the bytes from `low` to `high` (both included, low <= high).
inline Mask InRangeMask(Block block, unsigned char low, unsigned char high) noexcept {
  const __m128i lowAtZero = _mm_sub_epi8(block.bytes, _mm_set1_epi8(static_cast<char>(low)));
  return AtMostMask({lowAtZero}, static_cast<unsigned char>(high - low));
}

// Writes the 16 bytes as 16 UTF-16 units (zero-extended) at `out`.
inline void StoreWidened(Block block, char16_t* out) noexcept {
  const __m128i zero = _mm_setzero_si128();
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(block.bytes, zero));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), _mm_unpackhi_epi8(block.bytes, zero));
}

// The 16 UTF-16 units at `p` as bytes: a unit below 0x80 keeps its value,
// every other unit becomes 0xFF (so HighBitMask marks the non-ASCII units).
inline Block LoadNarrowed(const char16_t* p) noexcept {
  const __m128i nonAsciiBits = _mm_set1_epi16(static_cast<short>(0xFF80));
  const __m128i zero = _mm_setzero_si128();
  const __m128i all = _mm_set1_epi16(0xFF);
  __m128i halves[2];
  for (std::size_t i = 0; i < 2; ++i) {
    const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 8 * i));
    const __m128i ascii = _mm_cmpeq_epi16(_mm_and_si128(units, nonAsciiBits), zero);
    // Packing saturates signed values: every unit is made 0..0xFF first.
    halves[i] = _mm_or_si128(_mm_and_si128(ascii, units), _mm_andnot_si128(ascii, all));
  }
  return {_mm_packus_epi16(halves[0], halves[1])};
}

// Bits of the zero units among the 16 UTF-16 units at `p`.
KXU_READS_WHOLE_BLOCKS inline Mask ZeroUnitMask(const char16_t* p) noexcept {
  const __m128i zero = _mm_setzero_si128();
  const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 8));
  // Each comparison gives 0xFFFF or 0 a unit, which packs to one byte.
  return static_cast<Mask>(
      _mm_movemask_epi8(_mm_packs_epi16(_mm_cmpeq_epi16(low, zero), _mm_cmpeq_epi16(high, zero))));
}

#else  // scalar fallback

struct Block {
  unsigned char bytes[kBlockBytes];
};

inline Block LoadBlock(const void* p) noexcept {
  Block block;
  std::memcpy(block.bytes, p, kBlockBytes);
  return block;
}

inline void StoreBlock(void* p, Block block) noexcept {
  std::memcpy(p, block.bytes, kBlockBytes);
}

inline Mask HighBitMask(Block block) noexcept {
  Mask mask = 0;
  for (std::size_t i = 0; i < kBlockBytes; ++i) mask |= static_cast<Mask>(block.bytes[i] >> 7) << i;
  return mask;
}

inline Mask EqualMask(Block block, unsigned char value) noexcept {
  Mask mask = 0;
  for (std::size_t i = 0; i < kBlockBytes; ++i) mask |= Mask{block.bytes[i] == value} << i;
  return mask;
}

template <class... Bytes>
inline Mask AnyEqualMask(Block block, Bytes... values) noexcept {
  return (EqualMask(block, static_cast<unsigned char>(values)) | ...);
}

inline Mask AtMostMask(Block block, unsigned char value) noexcept {
  Mask mask = 0;
  for (std::size_t i = 0; i < kBlockBytes; ++i) mask |= Mask{block.bytes[i] <= value} << i;
  return mask;
}

inline Mask InRangeMask(Block block, unsigned char low, unsigned char high) noexcept {
  Mask mask = 0;
  for (std::size_t i = 0; i < kBlockBytes; ++i) {
    mask |= Mask{block.bytes[i] >= low && block.bytes[i] <= high} << i;
  }
  return mask;
}

inline void StoreWidened(Block block, char16_t* out) noexcept {
  for (std::size_t i = 0; i < kBlockBytes; ++i) out[i] = static_cast<char16_t>(block.bytes[i]);
}

inline Block LoadNarrowed(const char16_t* p) noexcept {
  Block block;
  for (std::size_t i = 0; i < kBlockBytes; ++i) {
    block.bytes[i] = static_cast<unsigned char>(p[i] < 0x80 ? p[i] : 0xFF);
  }
  return block;
}

KXU_READS_WHOLE_BLOCKS inline Mask ZeroUnitMask(const char16_t* p) noexcept {
  Mask mask = 0;
  for (std::size_t i = 0; i < kBlockBytes; ++i) mask |= Mask{p[i] == 0} << i;
  return mask;
}

#endif

// The index of the first NUL among the `nUnits` UTF-16 units at `p`, which
// is aligned to a block of 16 units, or nUnits when none is. Reads whole
// aligned blocks (of 64 bytes at the AVX-512 level), none past the one that
// holds the NUL or the last unit.
std::size_t FindNulInAlignedBlocks(const char16_t* p, std::size_t nUnits) noexcept;

// The ASCII bytes that begin the `nBytes` at `p`.
// Example: AsciiPrefixLength("ab\xC3\xA9", 4) == 2.
std::size_t AsciiPrefixLength(const unsigned char* p, std::size_t nBytes) noexcept;

// Where the ASCII kernels write: through the caches, or around them
// (non-temporal stores, whole 32- or 64-byte lines at the AVX2 and AVX-512
// levels; the others write through the caches either way). Writing around
// saves reading each line of the output into the cache only to overwrite
// it, which pays off for an output far larger than the caches, and costs
// a caller who reads the output next.
enum class Stores { kThroughCaches, kAroundCaches };

// Widens the ASCII bytes that begin the `nBytes` at `p` to UTF-16 units at
// `out`, which has room for `nBytes` units, and returns how many it widened;
// the units of `out` past those, up to `nBytes`, may be overwritten.
// Example: WidenAscii("ab\xC3\xA9", 4, out) == 2, out starting u"ab".
std::size_t WidenAscii(const unsigned char* p, std::size_t nBytes, char16_t* out,
                       Stores stores = Stores::kThroughCaches) noexcept;

// The same the other way: the ASCII units that begin the `nUnits` at `p`
// as bytes at `out` (room for `nUnits` bytes).
std::size_t NarrowAscii(const char16_t* p, std::size_t nUnits, char* out,
                        Stores stores = Stores::kThroughCaches) noexcept;

// What DecodeBelowU0800 took and wrote.
struct DecodedRun {
  std::size_t nBytes;
  std::size_t nUnits;
};

// Decodes the UTF-8 bytes at `p` to UTF-16 units at `out` a step of 16 bytes
// at a time while the next 16 hold only ASCII and whole well-formed two-byte
// sequences (lead C2..DF, then a continuation byte; a lead in the 16th byte
// is left to the next step, so a step takes 15 or 16 bytes) and `nRoom`
// holds 16 more units (each step may store 16, of which it keeps 8 to 16);
// stops before the first step holding anything else, valid or not.
// Example: for "na\xC3\xAFve, un caf\xC3\xA9 ..." (European text) it takes
// 15 or 16 bytes a step while no byte starts a longer sequence.
DecodedRun DecodeBelowU0800(const unsigned char* p, std::size_t nBytes, char16_t* out,
                            std::size_t nRoom) noexcept;

// The most bytes DecodeFromU0800 takes a step: five three-byte sequences.
inline constexpr std::size_t kDecodeThreeByteStep = 15;

// Decodes the UTF-8 bytes at `p` to UTF-16 units at `out` a step at a time
// while the next bytes are ASCII and well-formed three-byte sequences (U+0800
// to U+FFFF outside the surrogates: CJK text with its blanks and digits), 16
// bytes are left to read and `nRoom` holds 8 more units (each step may store
// 8). A step takes five three-byte sequences (15 bytes), or else the whole
// characters among the next 12 bytes, at most 8 units (an ASCII byte in the
// 12th is left to the next step); it stops before the first step that would
// take nothing or holds anything else, valid or not.
// Example: for Han ideographs with a blank now and then it takes up to 15
// bytes a step, the blanks too.
DecodedRun DecodeFromU0800(const unsigned char* p, std::size_t nBytes, char16_t* out,
                           std::size_t nRoom) noexcept;

// The units EncodeBelowU0800 and EncodeFromU0800 take a step.
inline constexpr std::size_t kEncodeGroupUnits = 8;

// What EncodeBelowU0800 took and wrote.
struct EncodedRun {
  std::size_t nUnits;
  std::size_t nBytes;
};

// Encodes the UTF-16 units at `p` as UTF-8 eight at a time while the next
// eight are all below U+0800 (ASCII letters and the accented letters of
// European text) and `nRoom` holds 16 more bytes (each step may store 16, of
// which it keeps 8 to 16); stops before the first group holding a unit from
// U+0800 on.
// Example: for u"na\u00EFve, un caf\u00E9 ..." it takes 8 units per step
// while no unit reaches U+0800.
EncodedRun EncodeBelowU0800(const char16_t* p, std::size_t nUnits, char* out,
                            std::size_t nRoom) noexcept;

// The same for the units from U+0800 on outside the surrogates, three bytes
// each, and ASCII units among them (CJK text with its blanks and digits):
// eight units a step while the next eight all are such units and `nRoom`
// holds 32 more bytes (each step may store 32, keeps 8 to 24).
EncodedRun EncodeFromU0800(const char16_t* p, std::size_t nUnits, char* out,
                           std::size_t nRoom) noexcept;

// The length of a prefix of the `nBytes` at `p` that is valid UTF-8 and ends
// with a whole character, found a block of 16 bytes at a time: it ends at
// most a character before the first block holding an error or the bytes
// after the last whole block, which the caller checks itself. The scalar
// form takes nothing.
// Example: for "caf\xC3\xA9" and then 12 more ASCII bytes it returns 0 or 16,
// and for 32 bytes whose 30th starts a three-byte character, 0 or 29.
std::size_t ValidUtf8Prefix(const unsigned char* p, std::size_t nBytes) noexcept;

// The room EncodePageBelowU0800 needs for each block it takes.
inline constexpr std::size_t kPageBlockReach = 48;

// Encodes the text at `p`, bytes of the single-byte code page `page`, as
// UTF-8 at `out`, a block of 16 bytes at a time while the next 16 hold only
// ASCII and bytes whose form is two bytes long, and `nRoom` holds 48 more
// bytes (each block may store 48, of which it keeps 16 to 32); stops before
// the first block holding any other byte. The run's nUnits counts the bytes
// taken; every form takes the same blocks.
// Example: for 1252 text of European words it takes every block that holds
// no euro sign, typographic quote or dash (characters from U+2000 on).
EncodedRun EncodePageBelowU0800(const SingleBytePage& page, const unsigned char* p,
                                std::size_t nBytes, char* out, std::size_t nRoom) noexcept;

}  // namespace kxu::platform::simd
