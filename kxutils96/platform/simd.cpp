// The SIMD routines that need more than SSE2: compiled for SSSE3 and called
// only when the processor has it.
#include <kxutils96/platform/simd.h>

#include <bit>

#if defined(KXU_SIMD_SSE2) && defined(__GNUC__)
#include <tmmintrin.h>
#define KXU_SIMD_SSSE3_AT_RUN_TIME 1
#endif

namespace kxu::platform::simd {

#if defined(KXU_SIMD_SSSE3_AT_RUN_TIME)
namespace {

constexpr int kGroupUnits = static_cast<int>(kEncodeGroupUnits);
constexpr int kGroupShapes = 1 << kGroupUnits;
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

bool HasSsse3() noexcept {
  static const bool bHas = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("ssse3") != 0;
  }();
  return bHas;
}

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
    run.nBytes += kGroupUnits + static_cast<std::size_t>(std::popcount(nonAscii));
  }
  return run;
}

// The shuffles that spread eight three-byte forms, held as first-and-second
// bytes (one pair a unit) and third bytes (one a unit, in the low half), to
// the 24 bytes of their UTF-8 in order: the first 16 bytes, then the last 8.
// Each output byte is taken from one of the two inputs; the other shuffle
// gives 0 there.
struct ThreeByteShuffles {
  alignas(16) unsigned char pairs[2][kBlockBytes];
  alignas(16) unsigned char thirds[2][kBlockBytes];
};

constexpr ThreeByteShuffles MakeThreeByteShuffles() {
  ThreeByteShuffles shuffles{};
  for (int out = 0; out < 3 * kGroupUnits; ++out) {
    const int unit = out / 3;
    const int nByte = out % 3;
    const int half = out / static_cast<int>(kBlockBytes);
    const int at = out % static_cast<int>(kBlockBytes);
    shuffles.pairs[half][at] = nByte < 2 ? static_cast<unsigned char>(2 * unit + nByte) : kZeroByte;
    shuffles.thirds[half][at] = nByte == 2 ? static_cast<unsigned char>(unit) : kZeroByte;
  }
  for (int at = 3 * kGroupUnits - static_cast<int>(kBlockBytes); at < static_cast<int>(kBlockBytes);
       ++at) {
    shuffles.pairs[1][at] = kZeroByte;
    shuffles.thirds[1][at] = kZeroByte;
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
  constexpr std::size_t kGroupBytes = 3 * kGroupUnits;
  const __m128i zero = _mm_setzero_si128();
  const __m128i topBits = _mm_set1_epi16(static_cast<short>(0xF800));
  const __m128i surrogateTop = _mm_set1_epi16(static_cast<short>(0xD800));
  const __m128i leadMark = _mm_set1_epi16(0xE0);
  EncodedRun run{0, 0};
  while (nUnits - run.nUnits >= kGroupUnits && nRoom - run.nBytes >= 2 * kBlockBytes) {
    const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + run.nUnits));
    // Every unit from U+0800 on, and none a surrogate.
    const __m128i top = _mm_and_si128(units, topBits);
    const __m128i refused =
        _mm_or_si128(_mm_cmpeq_epi16(top, zero), _mm_cmpeq_epi16(top, surrogateTop));
    if (_mm_movemask_epi8(refused) != 0) break;
    // 1110xxxx and 10xxxxxx as a pair a unit, then 10xxxxxx a unit.
    const __m128i lead = _mm_or_si128(_mm_srli_epi16(units, 12), leadMark);
    const __m128i second = ContinuationBytes(_mm_srli_epi16(units, 6));
    const __m128i pairs = _mm_or_si128(lead, _mm_slli_epi16(second, 8));
    const __m128i thirds = _mm_packus_epi16(ContinuationBytes(units), zero);
    for (int half = 0; half < 2; ++half) {
      const __m128i bytes =
          _mm_or_si128(_mm_shuffle_epi8(pairs, LoadShuffle(kThreeByteShuffles.pairs[half])),
                       _mm_shuffle_epi8(thirds, LoadShuffle(kThreeByteShuffles.thirds[half])));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + run.nBytes + half * kBlockBytes), bytes);
    }
    run.nUnits += kGroupUnits;
    run.nBytes += kGroupBytes;
  }
  return run;
}

}  // namespace

EncodedRun EncodeFromU0800(const char16_t* p, std::size_t nUnits, char* out,
                           std::size_t nRoom) noexcept {
  if (!HasSsse3()) return {0, 0};
  return EncodeFromU0800WithSsse3(p, nUnits, out, nRoom);
}

EncodedRun EncodeBelowU0800(const char16_t* p, std::size_t nUnits, char* out,
                            std::size_t nRoom) noexcept {
  if (!HasSsse3()) return {0, 0};
  return EncodeBelowU0800WithSsse3(p, nUnits, out, nRoom);
}

#else

EncodedRun EncodeBelowU0800(const char16_t*, std::size_t, char*, std::size_t) noexcept {
  return {0, 0};
}

EncodedRun EncodeFromU0800(const char16_t*, std::size_t, char*, std::size_t) noexcept {
  return {0, 0};
}

#endif

}  // namespace kxu::platform::simd
