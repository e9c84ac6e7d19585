// The separator search: the block-wise scanner under every search, held to
// the byte-at-a-time reference over many texts, rule sets and start states
// (the three exports are driven by the token splitter's tests).
#include <kxutils96/host/zutl96/zutl96.h>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "support/reference_separator_search.h"

using namespace kxu::zutl96;

namespace {

using kxu::test::ReferenceFindSeparator;

// A separator above 0x7F in a signed char (the rule sets below use ASCII ones).
TEST(utlFindSeparator, FindsAHighByteSeparator) {
  std::string text = "a\xA7z";
  EXPECT_EQ(utlFindSeparator(text.data(), '\xA7', kFindBrackets, nullptr), text.data() + 1);
}

// The three searches keep brackets whole alike, angle brackets while the
// switch is on (the offset found, or -1 for none).
TEST(utlFindSeparatorQuoted, HonoursBracketsAsTheOtherSearchesDo) {
  const struct {
    std::string_view text;
    int nOff;  // with the angle switch off
    int nOn;   // and on
  } rows[] = {{"(a,b),c", 5, 5},   {"<a,b>,c", 2, 5},       {"a,(b,c),d", 1, 1},
              {"[a,{b)],c", 7, 7}, {"(a,\"),\",b", -1, -1}, {"a>,b", 2, 2}};
  for (const auto& row : rows) {
    for (const bool bAngle : {false, true}) {
      const int nOld = set_parenth_use_angle_brackets(bAngle ? 1 : 0);
      std::string text(row.text);
      const auto offset = [&text](const char* pFound) {
        return pFound == nullptr ? -1 : static_cast<int>(pFound - text.data());
      };
      const int nExpected = bAngle ? row.nOn : row.nOff;
      EXPECT_EQ(offset(utlFindSeparator(text.data(), ',', kFindBrackets, nullptr)), nExpected)
          << row.text;
      EXPECT_EQ(offset(utlFindSeparatorEx(text.data(), ',', kFindBrackets, nullptr, 0, 0)),
                nExpected)
          << row.text;
      EXPECT_EQ(offset(utlFindSeparatorQuoted(text.data(), ',', kQuoteKindDouble)), nExpected)
          << row.text;
      set_parenth_use_angle_brackets(nOld);
    }
  }
}

// Every rule set a search can run under: separator, brackets with the angle
// switch off and on, escape, quote kinds.
std::vector<SeparatorRules> EveryRuleSet() {
  std::vector<SeparatorRules> all;
  for (const unsigned char separator : {',', '\0', '"', '('}) {
    for (const int nBrackets : {0, 1, 2}) {
      for (const unsigned char escape : {'\0', '\\', '^'}) {
        for (const bool bSingleQuotes : {true, false}) {
          all.push_back({separator, true, bSingleQuotes, nBrackets > 0, nBrackets > 1, escape});
        }
      }
    }
  }
  return all;
}

// Cuts `text` from 0 outside quotes and then from one past each separator,
// as a splitter does (the course on which a whole text is decided at once):
// each search and the state agree with the reference, and a search passed
// nothing exactly when its token holds no quote, bracket or escape byte.
void ExpectCutAsASplitterCuts(const std::string& text, const SeparatorRules& rules) {
  std::string looked = rules.brackets ? (rules.angleBrackets ? "()[]{}<>" : "()[]{}") : "";
  if (rules.doubleQuotes) looked += '"';
  if (rules.singleQuotes) looked += '\'';
  if (rules.escape != 0) looked += static_cast<char>(rules.escape);
  int nState = kSearchOutsideQuotes;
  int nReferenceState = nState;
  SeparatorScanner scanner(text, rules, &nState);
  for (std::size_t nStart = 0; nStart <= text.size();) {
    const std::size_t nExpected =
        ReferenceFindSeparator(text.substr(nStart), rules, &nReferenceState);
    const std::size_t nFound = scanner.FindFrom(nStart);
    ASSERT_EQ(nFound, nExpected == std::string::npos ? nExpected : nStart + nExpected) << text;
    ASSERT_EQ(nState, nReferenceState) << text << " from " << nStart;
    const std::string token = text.substr(nStart, nExpected);
    if (rules.separator != 0) {
      EXPECT_EQ(scanner.PassedNothing(), token.find_first_of(looked) == std::string::npos) << text;
    }
    if (nExpected == std::string::npos) break;
    nStart = nFound + 1;
  }
}

TEST(SeparatorScanner, EverySearchFindsWhatAByteAtATimeSearchFinds) {
  // Each byte that matters at every position of a 64-byte word and the
  // block after it, plain bytes, multi-byte characters across every block
  // edge, and random mixes; searched from every position in turn, as a
  // splitter does, in every start state (a state that is no quote byte
  // starts outside).
  const std::vector<std::string> pieces = {",", " ", "\t", "\x01", "\"",       "'",
                                           "(", ")", "[",  "]",    "{",        "}",
                                           "<", ">", "\\", "^",    "\xC3\xA9", "\xE2\x82\xAC"};
  std::vector<std::string> texts;
  for (const std::string& piece : pieces) {
    // After a word byte where i % 3 == 1 (the last of a block at 16 and 64).
    for (std::size_t i = 0; i < 80; ++i) {
      texts.push_back(std::string(i, i % 3 == 1 ? 'a' : '.') + piece + ".a,b");
    }
  }
  std::mt19937 random(23);
  std::string all;  // past the 512 bytes whose stops are worked out together
  for (int n = 0; n < 400; ++n) {
    std::string text;
    const std::size_t nLength = random() % 56;
    while (text.size() < nLength)
      text += random() % 3 == 0 ? pieces[random() % pieces.size()] : "a.";
    texts.push_back(text);
    all += text;
  }
  const int kStartStates[] = {kSearchOutsideQuotes, '"', '\'', 'x', '"' + 256};
  for (const SeparatorRules& rules : EveryRuleSet()) {
    for (const std::string& text : texts) {
      int nState = 0;
      SeparatorScanner scanner(text, rules, &nState);
      for (std::size_t nStart = 0; nStart <= text.size(); ++nStart) {
        nState = kStartStates[nStart % 5];
        int nReferenceState = nState;
        const std::size_t nExpected =
            ReferenceFindSeparator(text.substr(nStart), rules, &nReferenceState);
        ASSERT_EQ(scanner.FindFrom(nStart),
                  nExpected == std::string::npos ? nExpected : nStart + nExpected)
            << text << " from " << nStart << " separator " << int{rules.separator} << " escape "
            << int{rules.escape};
        ASSERT_EQ(nState, nReferenceState) << text << " from " << nStart;
      }
      ExpectCutAsASplitterCuts(text, rules);
      // Across the 64-byte words of a decided text, and ending on their edge.
      ExpectCutAsASplitterCuts(text + std::string(64, '.') + text, rules);
    }
    ExpectCutAsASplitterCuts(all, rules);
  }
}

}  // namespace
