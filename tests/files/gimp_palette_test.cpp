#include <kxutils96/files/gimp_palette.h>

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <ostream>
#include <string>
#include <vector>

#include <support/file_bytes.h>
#include <support/temp_dir.h>
#include <support/utf8_path.h>

namespace {

using kxu::files::kPaletteNotAPalette;
using kxu::files::kPaletteOpenFailed;
using kxu::test::TempDir;
using kxu::test::Utf8;
using kxu::test::WriteBytes;

struct Colour {
  int r, g, b;
  bool operator==(const Colour&) const = default;
};

void PrintTo(const Colour& c, std::ostream* os) {
  *os << "{" << c.r << ", " << c.g << ", " << c.b << "}";
}

using Colours = std::vector<Colour>;

constexpr int kRoom = 40;
constexpr int kUntouched = -777;

struct PaletteCase {
  const char* name;
  std::string bytes;
  int nMax;
  int nExpected;
  Colours colours;  // what lands in the arrays, for a count of 1 or more
};

void PrintTo(const PaletteCase& c, std::ostream* os) {
  *os << c.name;
}

// A palette of `n` colours (i, 2i, 3i).
std::string Numbered(int n) {
  std::string text = "GIMP Palette\nName: Numbered\nColumns: 4\n#\n";
  for (int i = 1; i <= n; ++i) {
    text += std::to_string(i) + " " + std::to_string(2 * i) + " " + std::to_string(3 * i) +
            "\tColour " + std::to_string(i) + "\n";
  }
  return text;
}

Colours NumberedColours(int n) {
  Colours colours;
  for (int i = 1; i <= n; ++i) colours.push_back({i, 2 * i, 3 * i});
  return colours;
}

class ReadPalette : public testing::TestWithParam<PaletteCase> {};

TEST_P(ReadPalette, StoresTheColoursOfItsRow) {
  const PaletteCase& c = GetParam();
  TempDir dir;
  WriteBytes(dir.Path("p.gpl"), c.bytes);
  std::array<int, kRoom> red, green, blue;
  red.fill(kUntouched);
  green.fill(kUntouched);
  blue.fill(kUntouched);
  EXPECT_EQ(kxu_read_GIMP_palette(Utf8(dir.Path("p.gpl")).c_str(), red.data(), green.data(),
                                  blue.data(), c.nMax),
            c.nExpected);
  Colours stored;
  for (int i = 0; i < kRoom && red[i] != kUntouched; ++i) {
    stored.push_back({red[i], green[i], blue[i]});
  }
  EXPECT_EQ(stored, c.colours);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ReadPalette,
    testing::Values(
        PaletteCase{"NameAndColumnsPassedOver",
                    "GIMP Palette\nName: Warm tones\nColumns: 16\n# comment\n\n"
                    "255 128   0\tOrange\n 10  20  30 Indented\n",
                    16,
                    2,
                    {{255, 128, 0}, {10, 20, 30}}},
        PaletteCase{"LowerCaseHeader", "gimp palette\n1 2 3\n", 16, 1, {{1, 2, 3}}},
        PaletteCase{"CrLfLineEnds",
                    "GIMP Palette\r\nName: x\r\n#\r\n1 2 3 a\r\n4 5 6\r\n",
                    16,
                    2,
                    {{1, 2, 3}, {4, 5, 6}}},
        PaletteCase{
            "HeaderWithTrailingBlank", "GIMP Palette \n1 2 3\n", 16, kPaletteNotAPalette, {}},
        PaletteCase{"HeaderAfterByteOrderMark",
                    "\xEF\xBB\xBFGIMP Palette\n1 2 3\n",
                    16,
                    kPaletteNotAPalette,
                    {}},
        PaletteCase{"EmptyFile", "", 16, kPaletteNotAPalette, {}},
        PaletteCase{"HeaderOnly", "GIMP Palette\n", 16, kPaletteNotAPalette, {}},
        PaletteCase{"NoColourLine",
                    "GIMP Palette\nName: a b\nColumns: 3\n# 1 2 3\n",
                    16,
                    kPaletteNotAPalette,
                    {}},
        PaletteCase{"IndentedFirstColour", "GIMP Palette\n \t 7 8 9 x\n", 16, 1, {{7, 8, 9}}},
        PaletteCase{"OutOfRangeKept", "GIMP Palette\n300 -5 +7\n", 16, 1, {{300, -5, 7}}},
        PaletteCase{"NonNumericGivesZero", "GIMP Palette\n12 abc 3x\n", 16, 1, {{12, 0, 3}}},
        PaletteCase{"HugeValuesSaturate",
                    "GIMP Palette\n99999999999 -99999999999 1\n",
                    16,
                    1,
                    {{INT_MAX, INT_MIN, 1}}},
        PaletteCase{"LaterCommentIsAColour",
                    "GIMP Palette\n1 2 3\n# three tokens\n4 5 6\n",
                    16,
                    3,
                    {{1, 2, 3}, {0, 0, 0}, {4, 5, 6}}},
        PaletteCase{"ShortLaterLinesPassedOver",
                    "GIMP Palette\n1 2 3\n\n7 8\n4 5 6\n\n",
                    16,
                    2,
                    {{1, 2, 3}, {4, 5, 6}}},
        // Double quotes keep a stretch in one token, which loses its quotes.
        PaletteCase{"QuotedTokens",
                    "GIMP Palette\n\"1 2\" 3 4\n5 \"6 x\" 7\n",
                    16,
                    2,
                    {{1, 3, 4}, {5, 6, 7}}},
        PaletteCase{"MoreColoursThanRoom", Numbered(20), 16, 16, NumberedColours(16)},
        PaletteCase{"FewerColoursThanRoom", Numbered(20), 32, 20, NumberedColours(20)},
        PaletteCase{"ExactlyRoom", Numbered(3), 3, 3, NumberedColours(3)},
        PaletteCase{"NoRoom", Numbered(3), 0, 0, {}},
        PaletteCase{"NegativeRoom", Numbered(3), -4, 0, {}},
        PaletteCase{"NoRoomStillNeedsAColourLine", "GIMP Palette\n", 0, kPaletteNotAPalette, {}}));

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

TEST(ReadPaletteArguments, ReadsANonAsciiFileName) {
  TempDir dir;
  const auto name = dir.Path("caf\xC3\xA9 palette.gpl");
  WriteBytes(name, "GIMP Palette\n9 8 7\n");
  int r[1] = {}, g[1] = {}, b[1] = {};
  EXPECT_EQ(kxu_read_GIMP_palette(Utf8(name).c_str(), r, g, b, 1), 1);
  EXPECT_EQ(Colour({r[0], g[0], b[0]}), Colour({9, 8, 7}));
}

}  // namespace
