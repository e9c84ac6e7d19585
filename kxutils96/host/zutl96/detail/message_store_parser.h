// Reading a message store's text into the index that lookups search. Only
// the message store routines of this folder use it.
#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <kxutils96/host/zutl96/message_store.h>

namespace kxu::zutl96 {

// Message ids run from 0 to this, as in the string tables of resource modules.
inline constexpr int kMaxMessageId = 0xFFFF;

// One text of a store: its key and where its bytes lie in the index's texts.
struct StoredMessage {
  std::uint32_t nKey;
  std::uint32_t nOffset;
  std::uint32_t nLength;
};

// Orders messages by id first, then by language.
constexpr std::uint32_t MessageKey(int nID, int nLangId) {
  return (static_cast<std::uint32_t>(nID) << 16) | static_cast<std::uint32_t>(nLangId);
}

// A store in memory: every text once, and a table sorted by key for binary
// search.
struct MessageStoreIndex {
  int nDefaultLangId = 0;
  std::string texts;                    // the texts one after another, each NUL-terminated
  std::vector<StoredMessage> messages;  // sorted by nKey, no key twice

  // The text of `nID` in `nLangId` (0: none asked), else in the default
  // language; null when there is neither.
  const StoredMessage* Find(int nID, int nLangId) const;
};

// One problem of a store's text (kind: MessageStoreProblemKind of zutl96.h).
struct StoreProblem {
  int nLine;
  int nKind;
  std::string text;
};

// The problems of a store's text as a check lists them: every one counted,
// the first kMaxListedStoreProblems in line order (those of one line in the
// order found) kept with their texts, so that a store of any number of
// broken lines costs a bounded number of texts.
class StoreProblems {
 public:
  // Counts a problem of `nKind` on `nLine`, and keeps it with the text that
  // `describe()` makes when it is among the first so far; `describe` is not
  // called for one that is not.
  template <class Describe>
  void Add(int nLine, int nKind, Describe describe) {
    ++m_nCount;
    if (nLine >= m_nFirstLineLeftOut) {
      m_bErrorLeftOut = m_bErrorLeftOut || nKind == kStoreError;
      return;
    }
    m_listed.push_back(StoreProblem{nLine, nKind, describe()});
    if (m_listed.size() >= 2 * kMaxListed) KeepFirst();
  }

  // The first problems, in line order.
  const std::vector<StoreProblem>& Listed();
  // How many problems there are, listed or not.
  int Count() const { return m_nCount; }
  // True when a problem that Listed leaves out is an error.
  bool ErrorLeftOut();

 private:
  static constexpr auto kMaxListed = static_cast<std::size_t>(kMaxListedStoreProblems);

  // Sorts the problems kept by line and drops all but the first kMaxListed.
  void KeepFirst();

  std::vector<StoreProblem> m_listed;
  int m_nCount = 0;
  // Problems on this line or later are left out: kMaxListed come before them.
  int m_nFirstLineLeftOut = INT_MAX;
  bool m_bErrorLeftOut = false;
};

// Parses `content` (the bytes of a store file) into `index`. With
// `pProblems` null, stops at the first error; otherwise adds every error
// and warning to `*pProblems`. Returns true when the store has no error
// (warnings allowed); `index` is complete only then.
// Example: "default 0x0409\nlanguage 0x0409\n1 Hello\n" gives one message.
bool ParseMessageStore(std::string_view content, MessageStoreIndex& index,
                       StoreProblems* pProblems);

}  // namespace kxu::zutl96
