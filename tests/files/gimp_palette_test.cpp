#include <kxutils96/files/gimp_palette.h>

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <string>
#include <tuple>
#include <vector>

#include <support/file_bytes.h>
#include <support/temp_dir.h>
#include <support/utf8_path.h>

namespace {

using kxu::files::kPaletteNotAPalette;
using kxu::files::kPaletteOpenFailed;
using namespace kxu::test;

using Colours = std::vector<std::array<int, 3>>;

constexpr int kRoom = 40;
constexpr int kUntouched = -777;

// The result for at most nMax colours, and what lands in the arrays.
TEST(ReadPalette, StoresTheColoursOfItsRow) {
  const std::string kThree = "GIMP Palette\n1 2 3\n4 5 6\n7 8 9 Last\n";
  const std::tuple<std::string, int, int, Colours> cases[] = {
      {"GIMP Palette\nName: Warm tones\nColumns: 16\n# comment\n\n"
       "255 128   0\tOrange\n 10  20  30 Indented\n",
       16,
       2,
       {{255, 128, 0}, {10, 20, 30}}},
      {"gimp palette\n1 2 3\n", 16, 1, {{1, 2, 3}}},
      {"GIMP Palette \n1 2 3\n", 16, kPaletteNotAPalette, {}},
      {"GIMP Palette\n", 16, kPaletteNotAPalette, {}},
      {"GIMP Palette\nName: a b\nColumns: 3\n# 1 2 3\n", 16, kPaletteNotAPalette, {}},
      {"GIMP Palette\n12 abc 3x\n", 16, 1, {{12, 0, 3}}},
      {"GIMP Palette\n99999999999 -99999999999 1\n", 16, 1, {{INT_MAX, INT_MIN, 1}}},
      {"GIMP Palette\n1 2 3\n# three tokens\n4 5 6\n", 16, 3, {{1, 2, 3}, {0, 0, 0}, {4, 5, 6}}},
      {"GIMP Palette\n1 2 3\n\n7 8\n4 5 6\n\n", 16, 2, {{1, 2, 3}, {4, 5, 6}}},
      // Double quotes keep a stretch in one token, which loses its quotes.
      {"GIMP Palette\n\"1 2\" 3 4\n5 \"6 x\" 7\n", 16, 2, {{1, 3, 4}, {5, 6, 7}}},
      {kThree, 2, 2, {{1, 2, 3}, {4, 5, 6}}},
      {kThree, 3, 3, {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}},
      {kThree, 0, 0, {}},
      {"GIMP Palette\n", 0, kPaletteNotAPalette, {}}};
  TempDir dir;
  for (const auto& [bytes, nMax, nExpected, colours] : cases) {
    WriteBytes(dir.Path("p.gpl"), bytes);
    std::array<std::array<int, kRoom>, 3> rgb;
    for (auto& colour : rgb) colour.fill(kUntouched);
    auto& [red, green, blue] = rgb;
    EXPECT_EQ(kxu_read_GIMP_palette(Utf8(dir.Path("p.gpl")).c_str(), red.data(), green.data(),
                                    blue.data(), nMax),
              nExpected)
        << bytes;
    Colours stored;
    for (int i = 0; i < kRoom && red[i] != kUntouched; ++i)
      stored.push_back({red[i], green[i], blue[i]});
    EXPECT_EQ(stored, colours) << bytes;
  }
}

TEST(ReadPaletteArguments, MissingFilesAndArraysGiveMinusOne) {
  TempDir dir;
  int r[1] = {kUntouched}, g[1] = {kUntouched}, b[1] = {kUntouched};
  EXPECT_EQ(kxu_read_GIMP_palette(Utf8(dir.Path("missing.gpl")).c_str(), r, g, b, 1),
            kPaletteOpenFailed);
  EXPECT_EQ(kxu_read_GIMP_palette(Utf8(dir.Path()).c_str(), r, g, b, 1), kPaletteOpenFailed);
  EXPECT_EQ(kxu_read_GIMP_palette(nullptr, r, g, b, 1), kPaletteOpenFailed);
  WriteBytes(dir.Path("p.gpl"), "GIMP Palette\n1 2 3\n");
  EXPECT_EQ(kxu_read_GIMP_palette(Utf8(dir.Path("p.gpl")).c_str(), r, nullptr, b, 1),
            kPaletteOpenFailed);
  EXPECT_EQ(r[0], kUntouched);
  EXPECT_EQ(kxu_read_GIMP_palette(Utf8(dir.Path("p.gpl")).c_str(), nullptr, nullptr, nullptr, 0),
            0);
}

}  // namespace
