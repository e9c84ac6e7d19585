// The SIMD kernels, each implementation this processor runs (scalar, SSE2,
// SSSE3, AVX2) held to a plain reference: every length up to three of the
// widest blocks and one more, the stopping unit at every offset, unaligned
// starts, and nothing written past the room given.
#include <kxutils96/platform/cpu/simd_level.h>
#include <kxutils96/platform/text/simd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

using kxu::platform::SimdLevel;
namespace simd = kxu::platform::simd;

constexpr std::size_t kLongest = 3 * 32 + 1;
constexpr char kUntouched = '\x5A';

class SimdKernels : public ::testing::TestWithParam<SimdLevel> {
 protected:
  void SetUp() override { ASSERT_TRUE(kxu::platform::ForceSimdLevel(GetParam())); }
  void TearDown() override { kxu::platform::ForceSimdLevel(m_before); }

 private:
  SimdLevel m_before = kxu::platform::ActiveSimdLevel();
};

// Texts of `n` ASCII units, starting `start` units into their buffer, with
// the unit `stop` at `at` when `at` < n.
template <class Unit>
std::vector<Unit> AsciiWithStop(std::size_t start, std::size_t n, std::size_t at, Unit stop) {
  std::vector<Unit> units(start + n + 1, Unit{'.'});
  for (std::size_t i = 0; i < n; ++i) units[start + i] = static_cast<Unit>('a' + i % 26);
  if (at < n) units[start + at] = stop;
  return units;
}

TEST_P(SimdKernels, AsciiRunsStopAtTheFirstOtherUnitAndWriteOnlyTheirRoom) {
  for (std::size_t start = 0; start < 3; ++start) {
    for (std::size_t n = 0; n <= kLongest; ++n) {
      for (std::size_t at = 0; at <= n; ++at) {
        const auto bytes = AsciiWithStop<unsigned char>(start, n, at, 0x80 | (at * 37 % 128));
        const auto units = AsciiWithStop<char16_t>(start, n, at, at % 2 ? 0x80 : 0xFF00 + at);
        std::u16string widened(n + 1, kUntouched);
        std::string narrowed(n + 1, kUntouched);
        const unsigned char* p = bytes.data() + start;
        ASSERT_EQ(simd::AsciiPrefixLength(p, n), at) << start << " " << n;
        ASSERT_EQ(simd::WidenAscii(p, n, widened.data()), at) << start << " " << n;
        ASSERT_EQ(simd::NarrowAscii(units.data() + start, n, narrowed.data()), at) << start << n;
        ASSERT_EQ(widened.substr(0, at), std::u16string(p, p + at)) << start << " " << n;
        ASSERT_EQ(narrowed.substr(0, at), std::string(p, p + at)) << start << " " << n;
        ASSERT_EQ(widened[n], kUntouched) << start << " " << n;
        ASSERT_EQ(narrowed[n], kUntouched) << start << " " << n;
      }
    }
  }
}

std::string Utf8Of(const char16_t* p, std::size_t nUnits) {
  std::string out;
  for (const char16_t* end = p + nUnits; p != end; ++p) {
    const unsigned unit = *p;
    if (unit < 0x80) {
      out += static_cast<char>(unit);
    } else if (unit < 0x800) {
      out += {static_cast<char>(0xC0 | unit >> 6), static_cast<char>(0x80 | (unit & 0x3F))};
    } else {
      out += {static_cast<char>(0xE0 | unit >> 12), static_cast<char>(0x80 | (unit >> 6 & 0x3F)),
              static_cast<char>(0x80 | (unit & 0x3F))};
    }
  }
  return out;
}

// Each encoder takes whole groups of its units only, up to the first other
// unit when the room is ample, encodes them as UTF-8 does, and keeps within
// any room.
TEST_P(SimdKernels, EncodersTakeWholeGroupsOfTheirUnitsAndKeepWithinTheRoom) {
  struct Encoder {
    simd::EncodedRun (*encode)(const char16_t*, std::size_t, char*, std::size_t) noexcept;
    char16_t units[4];  // of the encoder's kind, drawn by a hash
    char16_t other;
  };
  const Encoder encoders[] = {{simd::EncodeBelowU0800, {u'a', 0xE9, 0x7FF, 0x80}, 0x800},
                              {simd::EncodeFromU0800, {0x800, 0x4E2D, 0xFFFF, u'7'}, 0xD800},
                              {simd::EncodeFromU0800, {0x800, 0x4E2D, 0xFFFF, u'7'}, 0x7FF}};
  constexpr std::size_t kUnits = 3 * simd::kEncodeGroupUnits + 1;
  for (const Encoder& encoder : encoders) {
    for (std::size_t at = 0; at <= kUnits; ++at) {
      std::u16string text(kUnits, u' ');
      for (std::uint32_t i = 0; i < kUnits; ++i)
        text[i] = encoder.units[static_cast<std::uint32_t>((i + 31 * at) * 2654435761U) >> 30];
      if (at < kUnits) text[at] = encoder.other;
      for (std::size_t nRoom : {0, 15, 16, 31, 32, 47, 48, 63, 64, 200}) {
        std::string out(nRoom + 1, kUntouched);
        const simd::EncodedRun run = encoder.encode(text.data(), kUnits, out.data(), nRoom);
        ASSERT_EQ(run.nUnits % simd::kEncodeGroupUnits, 0U) << at << " " << nRoom;
        ASSERT_LE(run.nUnits, at - at % simd::kEncodeGroupUnits) << at << " " << nRoom;
        if (nRoom == 200) {
          ASSERT_EQ(run.nUnits, at - at % simd::kEncodeGroupUnits) << at;
        }
        ASSERT_EQ(out.substr(0, run.nBytes), Utf8Of(text.data(), run.nUnits)) << at << " " << nRoom;
        ASSERT_EQ(out[nRoom], kUntouched) << at << " " << nRoom;
      }
    }
  }
}

// Each decoder takes steps of its sequences only (ASCII and two-byte ones;
// three-byte ones), up to the first other byte (another length, or a
// sequence not well formed) when the room is ample, decodes them as UTF-8
// does, and keeps within any room.
TEST_P(SimdKernels, DecodersTakeStepsOfTheirSequencesUpToAnyOtherByteAndKeepWithinTheRoom) {
  struct Decoder {
    simd::DecodedRun (*decode)(const unsigned char*, std::size_t, char16_t*, std::size_t) noexcept;
    std::u16string_view units;  // of the decoder's kind, drawn in turn
    std::vector<std::string_view> stops;
    std::size_t nLongestStep;
  };
  const Decoder decoders[] = {
      {simd::DecodeBelowU0800,
       u"a\u00E9\u07FF",
       {"\xE0\xA0\x80", "\x80", "\xC0\x80", "\xC3\x41", "\xC3\xC3"},
       simd::kBlockBytes},
      {simd::DecodeFromU0800,
       u"\u0800\u4E2D\uD7FF\uE000\uFFFF",
       {"a", "\xC3\xA9", "\xE0\x9F\xBF", "\xED\xA0\x80", "\xED\xBF\xBF", "\xF1\x9F\x98\x80",
        "\xE4\xB8"
        "a",
        "\xBF"},
       simd::kDecodeThreeByteStep}};
  constexpr std::size_t kUnits = 3 * simd::kBlockBytes;
  for (const Decoder& decoder : decoders) {
    for (const std::string_view stop : decoder.stops) {
      for (std::size_t at = 0; at <= kUnits; ++at) {
        std::u16string text(kUnits, u' ');
        for (std::size_t i = 0; i < kUnits; ++i)
          text[i] = decoder.units[(i * 7 + at) % decoder.units.size()];
        const std::string before = Utf8Of(text.data(), at);
        const std::string bytes =
            before + std::string(stop) + Utf8Of(text.data() + at, kUnits - at);
        for (std::size_t nRoom : {0, 7, 8, 15, 16, 31, 32, 47, 48, 200}) {
          std::u16string out(nRoom + 1, kUntouched);
          const simd::DecodedRun run =
              decoder.decode(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                             out.data(), nRoom);
          ASSERT_LE(run.nBytes, before.size()) << stop << " " << at << " " << nRoom;
          if (nRoom == 200) {
            ASSERT_GT(run.nBytes + decoder.nLongestStep, before.size()) << stop << " " << at;
          }
          ASSERT_EQ(out.substr(0, run.nUnits), text.substr(0, run.nUnits)) << stop << " " << at;
          ASSERT_EQ(Utf8Of(text.data(), run.nUnits).size(), run.nBytes) << stop << " " << at;
          ASSERT_EQ(out[nRoom], kUntouched) << stop << " " << at << " " << nRoom;
        }
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(EveryLevel, SimdKernels,
                         ::testing::ValuesIn(kxu::platform::AvailableSimdLevels()),
                         [](const auto& info) {
                           return std::string(kxu::platform::SimdLevelName(info.param));
                         });

// KXU_SIMD chose the level this program started with (ctest runs the
// conversion tests once a level): the level it names when the processor has
// it, the best one otherwise.
TEST(SimdLevel, TheEnvironmentChoosesTheStartingLevel) {
  const char* const pszWanted = std::getenv("KXU_SIMD");
  const std::vector<SimdLevel> levels = kxu::platform::AvailableSimdLevels();
  SimdLevel expected = levels.back();
  for (const SimdLevel level : levels) {
    if (pszWanted != nullptr && kxu::platform::SimdLevelName(level) == pszWanted) expected = level;
  }
  EXPECT_EQ(kxu::platform::ActiveSimdLevel(), expected);
}

}  // namespace
