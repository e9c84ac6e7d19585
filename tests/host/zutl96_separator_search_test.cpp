// The separator searches: every search, the three exports and the block-wise
// scanner, held to the byte-at-a-time reference over many texts, rule sets
// and start states.
#include <kxutils96/host/zutl96/zutl96.h>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <thread>
#include <vector>

#include "support/reference_separator_search.h"

using namespace kxu::zutl96;

namespace {

using kxu::test::ReferenceFindSeparator;

constexpr std::size_t kNone = std::string::npos;

std::size_t Offset(const char* pFound, const std::string& text) {
  return pFound == nullptr ? kNone : static_cast<std::size_t>(pFound - text.data());
}

// A separator above 0x7F in a signed char (the rule sets below use ASCII ones).
TEST(utlFindSeparator, FindsAHighByteSeparatorAndNothingInANullText) {
  std::string text = "a\xA7z";
  EXPECT_EQ(Offset(utlFindSeparator(text.data(), '\xA7', kFindBrackets, nullptr), text), 1u);
  EXPECT_EQ(utlFindSeparator(nullptr, ',', kFindBrackets, nullptr), nullptr);
  EXPECT_EQ(utlFindSeparatorEx(nullptr, ',', kFindBrackets, nullptr, 0, 0), nullptr);
  EXPECT_EQ(utlFindSeparatorQuoted(nullptr, ',', kQuoteKindDouble), nullptr);
}

TEST(set_parenth_use_angle_brackets, ReturnsThePreviousSettingOfItsOwnThread) {
  EXPECT_EQ(set_parenth_use_angle_brackets(1), 0);
  int nOtherThread = -1;
  std::thread([&] { nOtherThread = set_parenth_use_angle_brackets(0); }).join();
  EXPECT_EQ(nOtherThread, 0);
  EXPECT_EQ(set_parenth_use_angle_brackets(0), 1);
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

// The search of `text` from its start by the export whose arguments give
// `rules` (the angle switch on wherever brackets do not count, where it must
// not matter); false when no export searches by these rules.
bool ExportFinds(std::string text, const SeparatorRules& rules, int* pState, std::size_t& nFound) {
  const int nMode = (rules.bBrackets ? kFindBrackets : 0) | 0x100;  // other bits are ignored
  const char chSep = static_cast<char>(rules.separator);
  const int chEscape = rules.escape == '\\' ? 0 : rules.escape;  // 0: the backslash
  set_parenth_use_angle_brackets(!rules.bBrackets || rules.bAngleBrackets ? 1 : 0);
  bool bSearched = true;
  if (pState == nullptr && !rules.bBrackets && rules.escape == 0) {
    const int nKinds = kQuoteKindDouble | (rules.bSingleQuotes ? kQuoteKindSingle : 0);
    nFound = Offset(utlFindSeparatorQuoted(text.data(), chSep, nKinds), text);
  } else if (rules.bSingleQuotes && rules.escape == 0) {
    nFound = Offset(utlFindSeparator(text.data(), chSep, nMode, pState), text);
  } else if (rules.bSingleQuotes) {
    nFound = Offset(utlFindSeparatorEx(text.data(), chSep, nMode, pState, chEscape, 0), text);
  } else {
    bSearched = false;
  }
  set_parenth_use_angle_brackets(0);
  return bSearched;
}

TEST(SeparatorScanner, EverySearchFindsWhatAByteAtATimeSearchFinds) {
  // Each byte that matters at every position of three 16-byte blocks of
  // plain bytes, multi-byte characters across every block edge, and random
  // mixes; searched from every position in turn, as a splitter does, in
  // every start state (a state that is no quote byte starts outside).
  const std::vector<std::string> pieces = {",", " ", "\t", "\x01", "\"",       "'",
                                           "(", ")", "[",  "]",    "{",        "}",
                                           "<", ">", "\\", "^",    "\xC3\xA9", "\xE2\x82\xAC"};
  std::vector<std::string> texts;
  for (const std::string& piece : pieces) {
    for (std::size_t i = 0; i < 48; ++i) texts.push_back(std::string(i, '.') + piece + "a.,b");
  }
  std::mt19937 random(23);
  for (int n = 0; n < 400; ++n) {
    std::string text;
    const std::size_t nLength = random() % 56;
    while (text.size() < nLength)
      text += random() % 3 == 0 ? pieces[random() % pieces.size()] : "a.";
    texts.push_back(text);
  }
  const int kStartStates[] = {kSearchOutsideQuotes, '"', '\'', 'x', '"' + 256};
  for (const SeparatorRules& rules : EveryRuleSet()) {
    for (const std::string& text : texts) {
      int nState = 0;
      SeparatorScanner scanner(text, rules, &nState);
      for (std::size_t nStart = 0; nStart <= text.size(); ++nStart) {
        const int nStartState = kStartStates[nStart % 5];
        nState = nStartState;
        int nReferenceState = nState;
        const std::size_t nExpected =
            ReferenceFindSeparator(text.substr(nStart), rules, &nReferenceState);
        ASSERT_EQ(scanner.FindFrom(nStart), nExpected == kNone ? nExpected : nStart + nExpected)
            << text << " from " << nStart << " separator " << int{rules.separator} << " escape "
            << int{rules.escape};
        ASSERT_EQ(nState, nReferenceState) << text << " from " << nStart;
        std::size_t nFound = 0;
        int nExportState = nStartState;
        if (nStart == 0 && ExportFinds(text, rules, &nExportState, nFound)) {
          ASSERT_EQ(nFound, nExpected) << text << " by export";
          ASSERT_EQ(nExportState, nReferenceState) << text << " by export";
        }
        if (nStart == 0 && ExportFinds(text, rules, nullptr, nFound)) {
          ASSERT_EQ(nFound, ReferenceFindSeparator(text, rules, nullptr)) << text << " by export";
        }
      }
    }
  }
}

}  // namespace
